#pragma once
// The date-and-time dialog ("日付、時刻"): the view's local date and time in six fields, and
// "現在時刻に", which fills them with the present time at the observing place.
#include <array>
#include <optional>
#include <string>

#include "astro/time.h"

namespace celes {

class DateTimeModel {
  public:
    enum class Field : int { Year, Month, Day, Hour, Minute, Second };
    static constexpr int kFieldCount = 6;
    // The field's index, in the order above.
    friend constexpr int operator+(Field f) { return static_cast<int>(f); }

    explicit DateTimeModel(const CAstroTime& local);

    int field(Field f) const { return fields_[+f]; }
    void setField(Field f, int value) { fields_[+f] = value; }
    // "現在時刻に": `now` is the present local time at the observing place.
    void fillNow(const CAstroTime& now);

    // The lowest and highest value a field accepts with the other fields as they are (the day's
    // upper bound follows the month and year). Years stay where the calendar arithmetic of the
    // charts (a leap day every fourth year) is right.
    static int minimum(Field f);
    int maximum(Field f) const;

    // What OK refuses: the first field outside its range, and the message to show.
    struct Refusal {
        Field field;
        std::string message;
    };
    std::optional<Refusal> validate() const;
    // OK: the new local time, or nothing when a field is refused.
    std::optional<CAstroTime> accept() const;

  private:
    std::array<int, kFieldCount> fields_{};
};

}  // namespace celes
