#include "telescope/telescope_panel.h"

#include <cstdio>

#include "skydata/text_codec.h"

namespace celes {

namespace {

constexpr std::size_t kLogLineBytes = 70;

int Index(PanelButton b) {
    return static_cast<int>(b);
}

}  // namespace

const char* PanelButtonCaption(PanelButton b) {
    switch (b) {
        case PanelButton::TimePlace:
            return "時刻、観測地";
        case PanelButton::Close:
            return "閉じる";
        case PanelButton::Right:
            return "右";
        case PanelButton::Fast:
            return "高速";
        case PanelButton::Medium:
            return "中速";
        case PanelButton::Slow:
            return "低速";
        case PanelButton::Down:
            return "下";
        case PanelButton::Up:
            return "上";
        case PanelButton::Position:
            return "現在位置";
        case PanelButton::Left:
            return "左";
        case PanelButton::Slew:
            return "導入開始";
        case PanelButton::Stop:
            return "停止";
    }
    return "";
}

platform::WallTime PlaceTime(const platform::Clock& clock, int timeDifference) {
    const CAstroTime t = CivilTimeAt(clock.unixSeconds(), timeDifference);
    platform::WallTime w;
    w.year = t.year;
    w.month = t.month;
    w.dayOfWeek = t.dayOfWeek;
    w.day = t.day;
    w.hour = t.hour;
    w.minute = t.minute;
    w.second = t.second;
    return w;
}

std::string SlewLogLine(const platform::WallTime& now, const std::string& nameBytes,
                        const std::string& coordText) {
    char head[64];
    std::snprintf(head, sizeof head, "Slew %d/%d/%d %d:%d ", now.year, now.month, now.day, now.hour,
                  now.minute);
    const std::string line = head + nameBytes + " " + utf8ToCp932(coordText);
    // Cut at a character boundary: a CP932 lead byte takes its trail byte with it.
    std::size_t end = 0;
    while (end < line.size()) {
        const auto c = static_cast<unsigned char>(line[end]);
        const std::size_t width = ((c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC)) ? 2 : 1;
        if (end + width > kLogLineBytes || end + width > line.size()) break;
        end += width;
    }
    return line.substr(0, end);
}

TelescopePanel::TelescopePanel(CTelescope& telescope, TelescopePrompts& prompts, platform::Clock& clock,
                               ObservingPlace place, PanelTarget target)
    : telescope_(telescope),
      prompts_(prompts),
      clock_(clock),
      place_(std::move(place)),
      target_(std::move(target)),
      self_(std::make_shared<TelescopePanel*>(this)) {
    telescope_.StopTrace();
    telescope_.SetTargetRA(target_.ra);
    telescope_.SetTargetDec(target_.dec);
    nameText_ = target_.name;
    if (target_.ra < 0) {
        noTarget_ = true;
        coordText_ = "指定されていません(導入指示不可）";
    } else {
        coordText_ = "赤経 " + telescope_.TargetRAText() + " 赤緯 " + telescope_.TargetDecText() + " ";
        telescope_.SetTraceRemaining(0);
    }
    enabled_.fill(true);
    if (noTarget_) enabled_[Index(PanelButton::Slew)] = false;
    status_ = telescope_.IsOpen() ? "接続状態" : "未接続状態";
}

TelescopePanel::~TelescopePanel() {
    self_.reset();
}

bool TelescopePanel::Enabled(PanelButton button) const {
    if (button == PanelButton::Stop) return true;
    return enabled_[Index(button)];
}

void TelescopePanel::Changed() {
    if (onChanged) onChanged();
}

void TelescopePanel::SetAllEnabled(bool on) {
    for (int i = 0; i < kManagedPanelButtons; ++i) {
        // "導入開始" stays off once the slew is accepted or when there is no target.
        if (on && i == Index(PanelButton::Slew) && (noTarget_ || slewDone_)) continue;
        enabled_[static_cast<std::size_t>(i)] = on;
    }
    statusEnabled_ = on;
    Changed();
}

void TelescopePanel::WithConnection(std::function<void()> action) {
    if (telescope_.IsOpen()) return action();
    status_ = "接続開始中...";
    SetAllEnabled(false);
    std::weak_ptr<TelescopePanel*> weak = self_;
    telescope_.Connect([weak, action = std::move(action)](const MountResult& r) {
        auto self = weak.lock();
        if (!self) return;
        TelescopePanel& panel = **self;
        panel.SetAllEnabled(true);
        if (!r.ok) {
            panel.status_ = "接続出来ません.";
            panel.Changed();
            panel.prompts_.ShowBox("接続出来ません", TelescopePrompts::BoxKind::Error);
            return;
        }
        panel.status_ = "接続しました.";
        panel.Changed();
        action();
    });
}

void TelescopePanel::Run(const std::function<void(MountDone)>& start,
                         std::function<void(const MountResult&)> finished) {
    SetAllEnabled(false);
    std::weak_ptr<TelescopePanel*> weak = self_;
    start([weak, finished = std::move(finished)](const MountResult& r) {
        auto self = weak.lock();
        if (!self) return;
        (*self)->prompts_.ShowBoxes(r);
        finished(r);
        (*self)->SetAllEnabled(true);
    });
}

void TelescopePanel::BuildLogLine() {
    logLine_ = SlewLogLine(PlaceTime(clock_, place_.timeDifference), target_.nameBytes, coordText_);
}

void TelescopePanel::Press(PanelButton button) {
    if (!Enabled(button)) return;
    CTelescope& t = telescope_;
    switch (button) {
        case PanelButton::Close:
            return;  // the widget asks RequestClose
        case PanelButton::Slew:
            if (noTarget_) {
                prompts_.ShowBox("目標物が設定されていません", TelescopePrompts::BoxKind::Error);
                return;
            }
            return WithConnection([this, &t] {
                Run([&t](MountDone d) { t.SlewToTarget(std::move(d)); },
                    [this](const MountResult& r) {
                        if (r.ok) {
                            slewDone_ = true;
                            BuildLogLine();
                            status_ = "導入コマンドを送りました";
                        } else {
                            status_ = r.statusText;
                        }
                    });
            });
        case PanelButton::Fast:
        case PanelButton::Medium:
        case PanelButton::Slow: {
            const int rate = button == PanelButton::Fast ? 4 : button == PanelButton::Medium ? 3 : 2;
            static const char* kSent[] = {"低速コマンド送信した", "中速コマンド送信した",
                                          "高速コマンド送信した"};
            static const char* kFailed[] = {"低速コマンド失敗", "中速コマンド失敗", "高速コマンド失敗"};
            return WithConnection([this, &t, rate] {
                Run([&t, rate](MountDone d) { t.SetSlewRate(rate, std::move(d)); },
                    [this, rate](const MountResult& r) { status_ = (r.ok ? kSent : kFailed)[rate - 2]; });
            });
        }
        case PanelButton::Up:
        case PanelButton::Down:
        case PanelButton::Left:
        case PanelButton::Right: {
            const char direction = button == PanelButton::Up     ? 'n'
                                   : button == PanelButton::Down ? 's'
                                   : button == PanelButton::Left ? 'e'
                                                                 : 'w';
            const char* sent = button == PanelButton::Up     ? "上移動指示送信した"
                               : button == PanelButton::Down ? "下移動指示送信した"
                               : button == PanelButton::Left ? "左移動指示送信した"
                                                             : "右移動指示送信した";
            return WithConnection([this, &t, direction, sent] {
                Run([&t, direction](MountDone d) { t.MovePulse(direction, std::move(d)); },
                    [this, sent](const MountResult& r) { status_ = r.ok ? sent : "移動指示失敗"; });
            });
        }
        case PanelButton::Stop:
            // Goes out at once, even while another command waits; it leaves the buttons as they are.
            return WithConnection([this, &t] {
                std::weak_ptr<TelescopePanel*> weak = self_;
                t.StopMotion([weak](const MountResult& r) {
                    auto self = weak.lock();
                    if (!self) return;
                    // A stop the mount did not confirm says why (the driver refused it, never answered).
                    (*self)->status_ = r.ok                   ? "停止指示"
                                       : r.statusText.empty() ? "接続出来ません"
                                                              : r.statusText;
                    (*self)->Changed();
                });
            });
        case PanelButton::Position:
            return WithConnection([this, &t] {
                Run([&t](MountDone d) { t.GetPosition(true, std::move(d)); },
                    [this](const MountResult& r) {
                        if (r.ok) prompts_.ShowBox(r.report, TelescopePrompts::BoxKind::Plain);
                    });
            });
        case PanelButton::TimePlace: {
            // The questions come before the connection; their answers find the panel gone if it
            // closed meanwhile.
            std::weak_ptr<TelescopePanel*> weak = self_;
            auto write = [weak] {
                auto self = weak.lock();
                if (!self) return;
                TelescopePanel& panel = **self;
                panel.prompts_.AskYesNo("観測地、日付時刻をコントローラに書き込みます。", [weak] {
                    auto self = weak.lock();
                    if (self) (*self)->SendTimeAndPlace();
                });
            };
            if (t.Settings().mountType == 0)
                prompts_.AskYesNo(
                    "ETX70に対してこのコマンドを送ると画面表示が壊れる場合があります。続けますか？", write);
            else
                write();
            return;
        }
    }
}

void TelescopePanel::SendTimeAndPlace() {
    CTelescope& t = telescope_;
    WithConnection([this, &t] {
        const platform::WallTime now = PlaceTime(clock_, place_.timeDifference);
        Run([&t, now, place = place_](MountDone d) { t.SendTimeAndPlace(now, place, std::move(d)); },
            [this](const MountResult& r) {
                status_ = r.ok ? "設定しました" : "失敗しました";
                if (r.ok)
                    prompts_.ShowBox("アラインメントが必要になる場合があります。",
                                     TelescopePrompts::BoxKind::Information);
            });
    });
}

bool TelescopePanel::RequestClose() {
    if (telescope_.Busy()) {
        prompts_.ShowBox("望遠鏡と通信中です", TelescopePrompts::BoxKind::Error);
        return false;
    }
    return true;
}

}  // namespace celes
