#include "ui/date_time_model.h"

#include <cstdio>

namespace celes {

namespace {

constexpr int kFirstYear = 1901;
constexpr int kLastYear = 2099;

int DaysInMonth(int year, int month) {
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12) return 31;
    if (month == 2 && year % 4 == 0 && (year % 100 != 0 || year % 400 == 0)) return 29;
    return kDays[month - 1];
}

}  // namespace

DateTimeModel::DateTimeModel(const CAstroTime& local) {
    fillNow(local);
}

void DateTimeModel::fillNow(const CAstroTime& t) {
    fields_ = {t.year, t.month, t.day, t.hour, t.minute, t.second};
}

int DateTimeModel::minimum(Field f) {
    switch (f) {
        case Field::Year:
            return kFirstYear;
        case Field::Month:
        case Field::Day:
            return 1;
        default:
            return 0;
    }
}

int DateTimeModel::maximum(Field f) const {
    switch (f) {
        case Field::Year:
            return kLastYear;
        case Field::Month:
            return 12;
        case Field::Day:
            return DaysInMonth(fields_[+Field::Year], fields_[+Field::Month]);
        case Field::Hour:
            return 23;
        default:
            return 59;
    }
}

std::optional<DateTimeModel::Refusal> DateTimeModel::validate() const {
    for (int i = 0; i < kFieldCount; ++i) {
        const Field f = static_cast<Field>(i);
        if (fields_[i] >= minimum(f) && fields_[i] <= maximum(f)) continue;
        char buf[128];
        std::snprintf(buf, sizeof buf, "%d から %d までの整数を入力してください。", minimum(f), maximum(f));
        return Refusal{f, buf};
    }
    return std::nullopt;
}

std::optional<CAstroTime> DateTimeModel::accept() const {
    if (validate()) return std::nullopt;
    return CAstroTime(fields_[+Field::Year], fields_[+Field::Month], fields_[+Field::Day],
                      fields_[+Field::Hour], fields_[+Field::Minute], fields_[+Field::Second]);
}

}  // namespace celes
