#include "ui/time_step_model.h"

namespace celes {

namespace {

// The hour captions of 2, 3, 4, 6 and 12 hours are written with full-width digits.
constexpr TimeStepEntry kSteps[] = {
    {"30秒", {0, 0, 0, 30}},     {"1分", {0, 0, 1, 0}},    {"3分", {0, 0, 3, 0}},    {"5分", {0, 0, 5, 0}},
    {"10分", {0, 0, 10, 0}},     {"20分", {0, 0, 20, 0}},  {"30分", {0, 0, 30, 0}},  {"1時間", {0, 1, 0, 0}},
    {"２時間", {0, 2, 0, 0}},    {"３時間", {0, 3, 0, 0}}, {"４時間", {0, 4, 0, 0}}, {"６時間", {0, 6, 0, 0}},
    {"１２時間", {0, 12, 0, 0}}, {"1日", {1, 0, 0, 0}},    {"3日", {3, 0, 0, 0}},    {"5日", {5, 0, 0, 0}},
    {"7日", {7, 0, 0, 0}},       {"15日", {15, 0, 0, 0}},  {"30日", {30, 0, 0, 0}},
};
static_assert(std::size(kSteps) == 19);

}  // namespace

std::span<const TimeStepEntry> TimeStepTable() {
    return kSteps;
}

TimeStepModel::TimeStepModel(std::span<const TimeStepEntry> table, StepSize current)
    : table_(table), current_(current) {
    for (std::size_t i = 0; i < table_.size(); ++i) {
        if (table_[i].step == current) {
            selected_ = static_cast<int>(i);
            break;
        }
    }
}

void TimeStepModel::select(int index) {
    selected_ = (index >= 0 && index < static_cast<int>(table_.size())) ? index : -1;
}

StepSize TimeStepModel::result() const {
    return selected_ >= 0 ? table_[static_cast<std::size_t>(selected_)].step : current_;
}

}  // namespace celes
