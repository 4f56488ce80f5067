#pragma once
// The interval dialog ("時間間隔"): a list of nineteen steps and the button "設定".
#include <span>

namespace celes {

// A step of the step animation: days, hours, minutes and seconds ("ANIME"/"DAY", "HOUR", "MIN",
// "SEC").
struct StepSize {
    int days = 0, hours = 0, minutes = 0, seconds = 0;
    bool zero() const { return days == 0 && hours == 0 && minutes == 0 && seconds == 0; }
    friend bool operator==(const StepSize&, const StepSize&) = default;
};

// One entry of the dialog's list: its caption (UTF-8) and its step.
struct TimeStepEntry {
    const char* caption;
    StepSize step;
};

// The nineteen entries, from "30秒" to "30日".
std::span<const TimeStepEntry> TimeStepTable();

class TimeStepModel {
  public:
    // Selects the first entry equal to `current` in all four parts; none when no entry matches.
    TimeStepModel(std::span<const TimeStepEntry> table, StepSize current);

    std::span<const TimeStepEntry> entries() const { return table_; }
    int selected() const { return selected_; }  // -1: nothing selected
    void select(int index);
    // "設定": the selected entry's step, or the current step when nothing is selected (the step
    // then stays as it is rather than becoming some entry the user never chose).
    StepSize result() const;

  private:
    std::span<const TimeStepEntry> table_;
    StepSize current_;
    int selected_ = -1;
};

}  // namespace celes
