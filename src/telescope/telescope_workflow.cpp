#include "telescope/telescope_workflow.h"

#include <cmath>

#include "astro/time.h"
#include "skydata/settings_table.h"
#include "view/display_modes.h"
#include "view/timer_ids.h"

namespace celes {

namespace {

constexpr std::uint32_t kCaptionMs = 10000;
using Kind = TelescopePrompts::BoxKind;

double Radians(double degrees) {
    return degrees * kPi / 180.0;
}

// A right ascension brought into 0-2π by whole turns.
double NormalisedRA(double ra) {
    if (!std::isfinite(ra)) return ra;
    ra = std::fmod(ra, kTwoPi);
    if (ra < 0) ra += kTwoPi;
    return ra;
}

}  // namespace

TelescopeWorkflow::TelescopeWorkflow(TelescopeHost& host, platform::EventLoop& loop, platform::Clock& clock,
                                     platform::SettingsStore& store, MountLinkMaker maker,
                                     std::string userFolder,
                                     std::function<std::vector<std::string>()> listDevices)
    : host_(host),
      loop_(loop),
      clock_(clock),
      store_(store),
      maker_(std::move(maker)),
      listDevices_(std::move(listDevices)),
      log_(std::move(userFolder)),
      self_(std::make_shared<TelescopeWorkflow*>(this)) {}

TelescopeWorkflow::~TelescopeWorkflow() {
    self_.reset();
    Disarm(loop_, TimerId::TraceTick);
    panel_.reset();
    telescope_.reset();
}

bool TelescopeWorkflow::ControlOn() const {
    return Settings(store_).readInt(Setting::Option3TsCtrl) == 1;
}

CTelescope& TelescopeWorkflow::Ensure() {
    if (!telescope_)
        telescope_ = std::make_unique<CTelescope>(TelescopeSettings::Read(store_), loop_, maker_);
    return *telescope_;
}

void TelescopeWorkflow::ToggleControl() {
    Settings settings(store_);
    if (ControlOn()) {
        settings.writeInt(Setting::Option3TsCtrl, 0);  // the port is left as it is
        return;
    }
    settings.writeInt(Setting::Option3TsCtrl, 1);
    Ensure();
    RunSettings([this] { AfterSwitchOn(); });
}

void TelescopeWorkflow::OptionDialogClosed() {
    if (!ControlOn()) return;
    Ensure();
    RunSettings([this] { AfterSwitchOn(); });
}

void TelescopeWorkflow::AfterSwitchOn() {
    host_.SetTimeToNow();
    if (!host_.ClockFollowing()) {
        host_.SwitchClockFollowingOn();
        host_.ShowBox("自動更新モードを設定しました", Kind::Plain);
    }
}

void TelescopeWorkflow::RunSettings(std::function<void()> then) {
    CTelescope& t = Ensure();
    if (t.PanelBusy() || settingsModel_) return then();
    t.SetPanelBusy(true);
    if (t.IsOpen()) t.Disconnect();
    settingsModel_ = std::make_unique<TelescopeSettingsModel>(
        t.Settings(), listDevices_ ? listDevices_() : std::vector<std::string>{});
    std::weak_ptr<TelescopeWorkflow*> weak = self_;
    host_.RunSettingsDialog(*settingsModel_, [weak, then = std::move(then)](bool accepted) {
        if (!weak.lock()) return;
        TelescopeWorkflow& w = **weak.lock();
        if (accepted && w.settingsModel_) {
            TelescopeSettings& s = w.telescope_->Settings();
            if (w.settingsModel_->Accept(s).empty()) s.Write(w.store_);
        }
        w.settingsModel_.reset();
        w.telescope_->SetPanelBusy(false);
        then();
    });
}

void TelescopeWorkflow::SlewHere() {
    const ViewMode mode = host_.Mode();
    if (!ModeHas(mode, ModeCapability::Slewable)) {
        host_.ShowBox("この画面では位置計算できません", Kind::Error);
        return;
    }
    if (!ControlOn()) {
        host_.ShowBox("制御指定をしてください。", Kind::Error);
        return;
    }
    if (!host_.ClockFollowing()) {
        host_.ShowBox("自動更新になっていません。現在時刻をセットします。もう一度操作してください。",
                      Kind::Error);
        host_.SwitchClockFollowingOn();
        host_.ShowBox("自動更新モードを設定しました", Kind::Plain);
        return;
    }
    CTelescope& t = Ensure();
    if (t.PanelBusy()) return;
    t.StopTrace();
    Disarm(loop_, TimerId::TraceTick);
    t.SetPanelBusy(true);
    // The point is taken now: the view may move while the mount answers.
    const std::optional<SkyPoint> point = host_.PopupPointOnSky();
    std::weak_ptr<TelescopeWorkflow*> weak = self_;

    auto slew = [this, &t, point] {
        SkyPoint target{-1, -1};
        if (point) target = SkyPoint{NormalisedRA(point->ra), point->dec};
        if (!point || !std::isfinite(target.ra) || !std::isfinite(target.dec) || target.ra < 0 ||
            target.dec < -kPi / 2 || target.dec > kPi / 2) {
            t.Disconnect();
            t.SetPanelBusy(false);
            host_.ShowBox("計算結果が不正です。もう一度操作してください", Kind::Error);
            host_.Caption("計算エラー");
            return;
        }
        t.SetTargetRA(target.ra);
        t.SetTargetDec(target.dec);
        std::weak_ptr<TelescopeWorkflow*> weak = self_;
        t.SlewToTarget([weak, target](const MountResult& r) {
            if (!weak.lock()) return;
            TelescopeWorkflow& w = **weak.lock();
            CTelescope& t = *w.telescope_;
            t.SetPanelBusy(false);
            w.host_.ShowBoxes(r);
            if (!r.ok || t.State() != TelescopeState::Ready) {
                t.Disconnect();
                w.host_.Caption(r.statusText);
                return;
            }
            if (t.Settings().traceEnabled == 1) {
                t.SetTraceRemaining(CTelescope::kTraceBudgetMs);
                w.host_.Caption("トレース開始");
                w.BeginTrace(target);
            } else {
                t.Disconnect();
                w.host_.Caption("導入指示完了");
            }
        });
    };

    auto position = [&t, weak, slew] {
        t.GetPosition(false, [weak, slew](const MountResult& r) {
            if (!weak.lock()) return;
            TelescopeWorkflow& w = **weak.lock();
            CTelescope& t = *w.telescope_;
            w.host_.ShowBoxes(r);
            if (!r.ok) {
                t.Disconnect();
                t.SetPanelBusy(false);
                w.host_.Caption("応答なし");
                w.host_.ShowBox("応答しません", Kind::Error);
                return;
            }
            if (t.State() != TelescopeState::Ready) {
                t.SetPanelBusy(false);
                w.host_.ShowBox("通信制御エラーです。", Kind::Error);
                w.host_.Caption("通信エラー");
                return;
            }
            w.host_.Caption(r.report);
            slew();
        });
    };

    if (t.IsOpen()) return position();
    t.Connect([weak, position](const MountResult& r) {
        if (!weak.lock()) return;
        TelescopeWorkflow& w = **weak.lock();
        if (!r.ok) {
            w.host_.Caption("COMポートエラー");
            w.telescope_->SetPanelBusy(false);
            w.host_.ShowBox("ポートを開けません", Kind::Error);
            return;
        }
        position();
    });
}

void TelescopeWorkflow::BeginTrace(std::optional<SkyPoint> target) {
    StartTrace(target);
    // The target is shown at once, where the previous trace's circle gives way to it; the squares
    // follow with the first poll.
    if (traceTarget_) host_.DrawTargetMarker(*traceTarget_);
}

void TelescopeWorkflow::StartTrace(std::optional<SkyPoint> target) {
    traceTarget_ = ControlOn() ? target : std::nullopt;
    std::weak_ptr<TelescopeWorkflow*> weak = self_;
    ArmOnce(loop_, TimerId::TraceTick, telescope_->TracePeriod(), [weak] {
        if (auto self = weak.lock()) (*self)->TraceTick();
    });
}

void TelescopeWorkflow::TraceTick() {
    if (!ControlOn()) {
        host_.EraseCaptionIn(100);
        return;
    }
    if (!telescope_) return;
    std::weak_ptr<TelescopeWorkflow*> weak = self_;
    telescope_->TracePoll([weak](const MountResult& r) {
        if (!weak.lock()) return;
        TelescopeWorkflow& w = **weak.lock();
        if (!r.ok) {
            w.host_.Caption("トレース終了");
            w.host_.EraseCaptionIn(kCaptionMs);
            return;
        }
        w.host_.Caption("トレース中");
        if (w.traceTarget_) w.host_.DrawTargetMarker(*w.traceTarget_);
        w.host_.DrawTelescopeMarker(SkyPoint{Radians(r.raDegrees), Radians(r.decDegrees)});
        w.StartTrace(w.traceTarget_);
    });
}

void TelescopeWorkflow::OpenPanel() {
    if (panel_) return;  // one panel at a time
    CTelescope& t = Ensure();
    PanelTarget target;
    if (auto tapped = host_.LastTapped()) {
        target = *tapped;
        target.ra = NormalisedRA(target.ra);
    }
    const ViewMode mode = host_.Mode();
    if (!ModeHas(mode, ModeCapability::Tappable)) {
        target.ra = -1.0;
        target.dec = -1.0;
    }
    Disarm(loop_, TimerId::TraceTick);
    panel_ = std::make_unique<TelescopePanel>(t, host_, clock_, host_.Place(), target);
    const std::optional<SkyPoint> traceTarget =
        target.ra >= 0 ? std::optional<SkyPoint>(SkyPoint{target.ra, target.dec}) : std::nullopt;
    std::weak_ptr<TelescopeWorkflow*> weak = self_;
    host_.RunPanel(*panel_, [weak, traceTarget] {
        if (!weak.lock()) return;
        TelescopeWorkflow& w = **weak.lock();
        CTelescope& t = *w.telescope_;
        const bool slewed = w.panel_->SlewDone();
        const std::string logLine = w.panel_->LogLine();
        t.SetPanelBusy(false);
        // The panel object goes once control is back in the loop: this call may come from its widget.
        w.loop_.post([panel = std::shared_ptr<TelescopePanel>(w.panel_.release())] {});
        if (t.State() == TelescopeState::Ready && slewed && t.IsOpen()) {
            t.SetTraceRemaining(CTelescope::kTraceBudgetMs);
            w.host_.Caption("トレース中");
            w.BeginTrace(traceTarget);
        } else {
            t.Disconnect();
        }
        if (!logLine.empty()) w.AppendLog(logLine);
    });
}

void TelescopeWorkflow::AppendLog(const std::string& line) {
    log_.Append(line);
    if (log_.FailureToReport()) {
        host_.Caption("導入履歴を書き込めません");
        host_.EraseCaptionIn(kCaptionMs);
    }
}

void TelescopeWorkflow::CheckPosition() {
    if (!ControlOn()) {
        host_.ShowBox("望遠鏡制御の設定がありません", Kind::Error);
        return;
    }
    CTelescope& t = Ensure();
    if (t.PanelBusy() || t.IsOpen() || t.Busy()) return;
    t.SetPanelBusy(true);
    std::weak_ptr<TelescopeWorkflow*> weak = self_;
    t.Connect([weak](const MountResult& r) {
        if (!weak.lock()) return;
        TelescopeWorkflow& w = **weak.lock();
        CTelescope& t = *w.telescope_;
        if (!r.ok) {
            t.SetPanelBusy(false);
            w.host_.ShowBox("ポートを開けません", Kind::Error);
            return;
        }
        t.GetPosition(false, [weak](const MountResult& p) {
            if (!weak.lock()) return;
            TelescopeWorkflow& w = **weak.lock();
            CTelescope& t = *w.telescope_;
            t.Disconnect();
            t.SetPanelBusy(false);
            w.host_.ShowBoxes(p);
            if (!p.ok) {
                w.host_.ShowBox("応答しません", Kind::Error);
                return;
            }
            w.host_.DrawTelescopeMarker(SkyPoint{Radians(p.raDegrees), Radians(p.decDegrees)});
            w.host_.EraseCaptionIn(kCaptionMs);
        });
    });
}

void TelescopeWorkflow::Prepare(std::function<void(bool)> then) {
    CTelescope& t = Ensure();
    if (t.IsOpen() || t.State() != TelescopeState::Closed) {
        if (t.TraceRemaining() != 0) {
            t.StopTrace();
            Disarm(loop_, TimerId::TraceTick);
        }
        // An exchange in flight belongs to someone else (the panel, a slew); this press is refused.
        if (t.Busy() || t.PanelBusy()) return then(false);
        t.Disconnect();
    }
    std::weak_ptr<TelescopeWorkflow*> weak = self_;
    t.Connect([weak, then = std::move(then)](const MountResult& r) {
        if (!weak.lock()) return;
        TelescopeWorkflow& w = **weak.lock();
        if (!r.ok) {
            w.host_.Caption("接続出来ません.");
            w.host_.EraseCaptionIn(kCaptionMs);
            return then(false);
        }
        w.host_.Caption("接続しました.");
        w.host_.CancelCaptionErase();
        then(true);
    });
}

void TelescopeWorkflow::Move(MountDirection d) {
    switch (d) {
        case MountDirection::Left:
            return Nudge('e', 0, "左回転     　　　", "移動指示失敗");
        case MountDirection::Right:
            return Nudge('w', 0, "右回転     　　　", "移動指示失敗");
        case MountDirection::Up:
            return Nudge('n', 0, "高位置へ     　　　", "移動指示失敗");
        case MountDirection::Down:
            return Nudge('s', 0, "低位置へ     　　　", "移動指示失敗");
    }
}

void TelescopeWorkflow::SetSpeed(MountSpeed speed) {
    if (speed == MountSpeed::Fast)
        Nudge(0, 4, "高速設定　　　", "高速コマンド失敗");
    else
        Nudge(0, 2, "低速設定　　　", "低速コマンド失敗");
}

void TelescopeWorkflow::Nudge(char direction, int rate, std::string caption, std::string failed) {
    if (!ControlOn()) return;
    std::weak_ptr<TelescopeWorkflow*> weak = self_;
    Prepare([weak, direction, rate, caption, failed](bool connected) {
        if (!connected || !weak.lock()) return;
        TelescopeWorkflow& w = **weak.lock();
        auto finished = [weak, direction, caption, failed](const MountResult& r) {
            if (!weak.lock()) return;
            TelescopeWorkflow& w = **weak.lock();
            w.telescope_->Disconnect();  // a bar button never leaves the port open
            w.host_.ShowBoxes(r);
            w.host_.Caption(r.ok ? caption : failed);
            w.host_.EraseCaptionIn(kCaptionMs);
            if (direction && r.ok) w.host_.CheckPositionSoon();  // the mark follows
        };
        if (direction)
            w.telescope_->MovePulse(direction, finished);
        else
            w.telescope_->SetSlewRate(rate, finished);
    });
}

}  // namespace celes
