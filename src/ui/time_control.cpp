#include "ui/time_control.h"

#include <algorithm>
#include <cstdio>

#include "platform/clock.h"
#include "platform/dialogs.h"
#include "platform/event_loop.h"
#include "platform/settings_store.h"
#include "skydata/settings_table.h"
#include "ui/command_table.h"
#include "view/celes_view.h"
#include "view/timer_ids.h"

namespace celes {

namespace {

constexpr std::uint32_t kClockTickMs = 60000;
constexpr std::uint32_t kFirstAnimationTickMs = 100;
constexpr std::uint32_t kNextAnimationTickMs = 1000;
constexpr std::uint32_t kStartupQuestionMs = 30000;

// A step part as its settings row holds it (the time step record keeps unsigned 16-bit parts).
int HeldPart(Setting part, int v) {
    const SettingRow& row = settingRow(part);
    return row.range.hold(v, row.intDefault);
}

std::string Printf(const char* pattern, int v) {
    char text[32];
    std::snprintf(text, sizeof text, pattern, v);
    return text;
}

constexpr const char* kTelescopeOnText = "望遠鏡制御がONになっています。";
constexpr const char* kAskFollowingText = "望遠鏡制御がONになっています。自動更新を設定しますか？";
constexpr const char* kAskTelescopeOffText = "望遠鏡制御をOFFしますか？";

}  // namespace

std::string StepText(const StepSize& s) {
    // Each non-zero part found replaces the text: the smallest unit wins.
    std::string text;
    if (s.days) text = Printf("%d日", s.days);
    if (s.hours) text = Printf("%d時間", s.hours);
    if (s.minutes) text = Printf("%d分", s.minutes);
    if (s.seconds) text = Printf("%d秒", s.seconds);
    return text;
}

TimeControl::TimeControl(CCelesView& view, platform::SettingsStore& store, platform::EventLoop& loop,
                         platform::Dialogs& dialogs, const platform::Clock& clock)
    : view_(view), store_(store), loop_(loop), dialogs_(dialogs), clock_(clock) {
    const DisplaySettings& d = view_.settings();
    step_ = {HeldPart(Setting::AnimeDay, d.get(Setting::AnimeDay)),
             HeldPart(Setting::AnimeHour, d.get(Setting::AnimeHour)),
             HeldPart(Setting::AnimeMin, d.get(Setting::AnimeMin)),
             HeldPart(Setting::AnimeSec, d.get(Setting::AnimeSec))};
    following_ = d.on(Setting::SettingMoving);
}

TimeControl::~TimeControl() {
    Disarm(loop_, TimerId::ClockTick);
    Disarm(loop_, TimerId::AnimationTick);
    Disarm(loop_, TimerId::StartupTelescopeQuestion);
}

void TimeControl::changed() {
    if (changed_) changed_();
    if (table_) table_->Changed();
}

CAstroTime TimeControl::viewTime() const {
    const ViewState& v = view_.state();
    return CAstroTime(v.year, v.month, v.day, v.hour, v.minute, v.second);
}

void TimeControl::setViewTime(const CAstroTime& t) {
    ViewState& v = view_.state();
    v.year = t.year;
    v.month = t.month;
    v.day = t.day;
    v.hour = t.hour;
    v.minute = t.minute;
    v.second = t.second;
}

void TimeControl::setNow() {
    setViewTime(CivilTimeAt(clock_.unixSeconds(), view_.state().timeDifference));
    view_.recompute();
}

void TimeControl::stopAnimation() {
    animation_ = 0;
    Disarm(loop_, TimerId::AnimationTick);
    stepTaken_ = false;
}

void TimeControl::setNowOrStop() {
    if (animating()) {
        stopAnimation();
        return;
    }
    setNow();
}

void TimeControl::saveFollowing() {
    view_.settings().setOn(Setting::SettingMoving, following_);
    Settings(store_).writeBool(Setting::SettingMoving, following_);
}

void TimeControl::toggleFollowing() {
    if (following_) {
        following_ = false;
        Disarm(loop_, TimerId::ClockTick);
    } else {
        if (animating()) setNowOrStop();
        setNowOrStop();
        following_ = true;
        ArmRepeating(loop_, TimerId::ClockTick, kClockTickMs, [this] { clockTick(); });
    }
    saveFollowing();
}

void TimeControl::clockTick() {
    setViewTime(CivilTimeAt(clock_.unixSeconds(), view_.state().timeDifference));
    // Behind another window the time stays current without a redraw; the next tick catches up.
    if (inFront_ && !inFront_()) return;
    // The turn needs no new canvas: the chart is drawn again at the same size.
    TurnRight(view_.state(), navigator_);
    view_.recompute();
    changed();
}

void TimeControl::rotateOrStep() {
    if (following_) {
        view_.state().rotateRight = !view_.state().rotateRight;
        view_.saveSettings();
        return;
    }
    if (animating() || step_.zero()) return;
    CAstroTime t = viewTime();
    AddStep(t, TimeStep(step_.days, step_.hours, step_.minutes, step_.seconds));
    setViewTime(t);
    view_.recompute();
}

void TimeControl::toggleAnimation() {
    if (animating()) {
        stopAnimation();
    } else if (!following_ && !step_.zero()) {
        // A step of zero would redraw the same instant for ever: the animation stays off.
        ArmOnce(loop_, TimerId::AnimationTick, kFirstAnimationTickMs, [this] { animationTick(); });
        animation_ = 3;
    }
    view_.saveSettings();
}

void TimeControl::animationTick() {
    if (!animating()) return;
    CAstroTime t = viewTime();
    AddStep(t, TimeStep(step_.days, step_.hours, step_.minutes, step_.seconds));
    setViewTime(t);
    view_.recompute();
    stepTaken_ = true;
    changed();
}

void TimeControl::chartShown() {
    if (!stepTaken_ || !animating()) return;
    stepTaken_ = false;
    ArmOnce(loop_, TimerId::AnimationTick, kNextAnimationTickMs, [this] { animationTick(); });
}

void TimeControl::setStep(const StepSize& step) {
    step_ = {HeldPart(Setting::AnimeDay, step.days), HeldPart(Setting::AnimeHour, step.hours),
             HeldPart(Setting::AnimeMin, step.minutes), HeldPart(Setting::AnimeSec, step.seconds)};
    DisplaySettings& d = view_.settings();
    d.set(Setting::AnimeDay, step_.days);
    d.set(Setting::AnimeHour, step_.hours);
    d.set(Setting::AnimeMin, step_.minutes);
    d.set(Setting::AnimeSec, step_.seconds);
    Settings s(store_);
    store_.beginBatch();
    s.writeInt(Setting::AnimeDay, step_.days);
    s.writeInt(Setting::AnimeHour, step_.hours);
    s.writeInt(Setting::AnimeMin, step_.minutes);
    s.writeInt(Setting::AnimeSec, step_.seconds);
    store_.endBatch();
}

void TimeControl::shift(int hours, int minutes) {
    CAstroTime t = viewTime();
    if (hours > 0 || minutes > 0) {
        AddStep(t, TimeStep(0, std::max(hours, 0), std::max(minutes, 0), 0));
    } else {
        // Whole hours and minutes back; the subtraction borrows at most one day.
        SubtractStep(t, TimeStep(0, -hours, -minutes, 0));
        Normalise(t);
    }
    setViewTime(t);
    view_.recompute();
}

void TimeControl::start() {
    if (following_) ArmRepeating(loop_, TimerId::ClockTick, kClockTickMs, [this] { clockTick(); });
    if (view_.settings().get(Setting::Option3TsCtrl) != 0)
        ArmOnce(loop_, TimerId::StartupTelescopeQuestion, kStartupQuestionMs, [this] { startupQuestion(); });
}

void TimeControl::startupQuestion() {
    view_.recompute();
    if (following_) {
        dialogs_.messageBox(kTelescopeOnText, "Celes", platform::MessageButtons::Ok,
                            platform::MessageIcon::Information);
        return;
    }
    // Two questions in turn: following the clock, else (answered No) telescope control for this run.
    std::weak_ptr<int> alive = alive_;
    dialogs_.messageBox(kAskFollowingText, "Celes", platform::MessageButtons::YesNo,
                        platform::MessageIcon::Question, [this, alive](platform::MessageResult answer) {
                            if (alive.expired()) return;
                            if (answer == platform::MessageResult::Yes) {
                                if (!following_) toggleFollowing();
                                changed();
                                return;
                            }
                            dialogs_.messageBox(
                                kAskTelescopeOffText, "Celes", platform::MessageButtons::YesNo,
                                platform::MessageIcon::Question, [this, alive](platform::MessageResult off) {
                                    if (alive.expired()) return;
                                    // For this run only: the stored setting stays as it is (no display
                                    // save writes it).
                                    if (off == platform::MessageResult::Yes)
                                        view_.settings().adopt(Setting::Option3TsCtrl, 0);
                                    changed();
                                });
                        });
}

void TimeControl::registerCommands(CommandTable& table) {
    table_ = &table;
    table.SetHandler(kCmdSetNow, [this] { setNowOrStop(); });
    table.SetUpdate(kCmdSetNow, [this](CommandState& s) {
        s.caption = animating() ? "「進む」を停止させる" : "現在時刻セット";
    });
    table.SetHandler(kCmdClockFollowing, [this] { toggleFollowing(); });
    table.SetUpdate(kCmdClockFollowing, [this](CommandState& s) { s.checked = following_; });
    table.SetHandler(kCmdStepAnimation, [this] { toggleAnimation(); });
    table.SetUpdate(kCmdStepAnimation, [this](CommandState& s) {
        s.caption = StepText(step_) + "刻みで進める";
        s.checked = animating();
        s.enabled = !following_ && (!step_.zero() || animating());
    });
    table.SetUpdate(kCmdStepDialog, [this](CommandState& s) { s.enabled = !following_; });
    table.SetHandler(kCmdRotate, [this] { rotateOrStep(); });
    table.SetUpdate(kCmdRotate, [this](CommandState& s) {
        if (following_) {
            s.caption = "回す(右)";
            s.checked = view_.state().rotateRight;
        } else if (animating() || step_.zero()) {
            s.caption = "-----";
            s.enabled = false;
        } else {
            s.caption = StepText(step_) + "進める";
        }
    });
    table.SetHandler(32929, [this] { shift(1, 0); });
    table.SetHandler(32930, [this] { shift(-1, 0); });
    table.SetHandler(32931, [this] { shift(0, 10); });
    table.SetHandler(32932, [this] { shift(0, -10); });
}

}  // namespace celes
