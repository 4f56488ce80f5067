#include "telescope/telescope_workflow.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <thread>

#include "astro/time.h"
#include "fakes/manual_clock.h"
#include "fakes/memory_settings.h"
#include "fakes/virtual_event_loop.h"
#include "link_doubles.h"
#include "platform/posix/serial_posix.h"
#include "skydata/text_codec.h"
#include "telescope/lx200_link.h"
#include "telescope/trace_markers.h"
#include "view/timer_ids.h"

namespace celes {
namespace {

using namespace std::chrono_literals;
using testing::SimulatedMount;
using Kind = TelescopePrompts::BoxKind;

// The window side, recorded.
class RecordingHost : public TelescopeHost {
  public:
    void ShowBox(const std::string& text, BoxKind kind) override {
        boxes.push_back(text);
        kinds.push_back(kind);
        if (onBox) onBox(text);
    }
    void AskYesNo(const std::string& text, std::function<void()> onYes) override {
        questions.push_back(text);
        bool yes = true;
        if (!answers.empty()) {
            yes = answers.front();
            answers.erase(answers.begin());
        }
        if (yes) onYes();
    }
    void Caption(const std::string& text) override { captions.push_back(text); }
    void EraseCaptionIn(std::uint32_t ms) override { eraseMs = ms; }
    void CancelCaptionErase() override { eraseMs = 0; }
    bool ClockFollowing() const override { return following; }
    void SwitchClockFollowingOn() override { following = true; }
    void SetTimeToNow() override { ++timeSetToNow; }
    ViewMode Mode() const override { return mode; }
    std::optional<SkyPoint> PopupPointOnSky() override { return popup; }
    std::optional<PanelTarget> LastTapped() override { return tapped; }
    void DrawTargetMarker(SkyPoint p) override { targets.push_back(p); }
    void DrawTelescopeMarker(SkyPoint p) override { marks.push_back(p); }
    void CheckPositionSoon() override { ++positionChecksAsked; }
    ObservingPlace Place() const override {
        ObservingPlace p;
        p.longitudeDegrees = 139, p.longitudeMinutes = 22, p.latitudeDegrees = 35, p.latitudeMinutes = 34;
        p.timeDifference = timeDifference;
        return p;
    }
    void RunSettingsDialog(TelescopeSettingsModel& model, std::function<void(bool)> closed) override {
        ++settingsDialogs;
        if (editSettings) editSettings(model);
        closed(acceptSettings);
    }
    void RunPanel(TelescopePanel& p, std::function<void()> closed) override {
        panel = &p;
        closePanel = std::move(closed);
    }

    std::vector<std::string> boxes, questions, captions;
    std::vector<BoxKind> kinds;
    std::vector<bool> answers;
    std::function<void(const std::string&)> onBox;
    std::uint32_t eraseMs = 0;
    bool following = true;
    int timeSetToNow = 0;
    ViewMode mode = ViewMode::Direction;
    int timeDifference = 9;
    std::optional<SkyPoint> popup = SkyPoint{(5 + 34.5 / 60) * kPi / 12, 22 * kPi / 180};
    std::optional<PanelTarget> tapped;
    std::vector<SkyPoint> targets, marks;
    int positionChecksAsked = 0;
    int settingsDialogs = 0;
    bool acceptSettings = true;
    std::function<void(TelescopeSettingsModel&)> editSettings;
    TelescopePanel* panel = nullptr;
    std::function<void()> closePanel;
};

class Workflow : public ::testing::Test {
  protected:
    void SetUp() override {
        folder = std::filesystem::temp_directory_path() /
                 ("celes-wf-" + std::to_string(::getpid()) + "-" +
                  ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(folder);
        settings.writeInt("OPTION3", "TS_CTRL", 1);
    }
    void TearDown() override {
        workflow.reset();
        std::filesystem::remove_all(folder);
    }
    void Start(MountSimOptions options = {}) {
        options.slewSeconds = 0.2;
        mount = std::make_unique<SimulatedMount>(std::move(options));
        mount->Pair(opener);
        ASSERT_TRUE(mount->ok());
        settings.writeString("TS", "DEVICES", mount->path());
        auto standard = StandardLinkMaker(loop, clock, opener);
        workflow = std::make_unique<TelescopeWorkflow>(
            host, loop, clock, settings,
            [this, standard](const std::string& port) {
                ++linksMade;
                return standard(port);
            },
            folder.string() + "/");
    }
    // Moves virtual time in 50 ms steps (loop and tick count together). Before each step the line
    // to the mount comes to rest and what arrived is handled, so however slowly a loaded machine
    // passes the bytes, each exchange takes the same virtual time.
    void Advance(std::uint32_t ms) {
        for (std::uint32_t t = 0; t < ms; t += 50) {
            Settle();
            clock.advance(50);
            loop.advance(50);
        }
        Settle();
    }
    // A line that never comes to rest fails the test once; later steps then go on without waiting,
    // so the test ends instead of waiting again at every step.
    void Settle() {
        for (;;) {
            if (mount && !stuck) {
                stuck = !mount->WaitAtRest(opener);
                EXPECT_FALSE(stuck) << "the simulated mount's line never came to rest: "
                                    << mount->Describe(opener);
            }
            loop.runPosted();
            if (!mount || stuck || mount->AtRest(opener)) return;
        }
    }
    bool stuck = false;
    void AdvanceUntil(const std::function<bool()>& done, std::uint32_t limitMs = 20000) {
        for (std::uint32_t t = 0; t < limitMs && !done(); t += 50) Advance(50);
    }
    std::vector<std::string> Sent() const { return mount->model().Commands(); }
    CTelescope& T() { return *workflow->Telescope(); }

    fakes::MemorySettings settings;
    fakes::VirtualEventLoop loop;
    fakes::ManualClock clock;
    testing::CountingOpener opener;
    RecordingHost host;
    std::filesystem::path folder;
    int linksMade = 0;
    std::unique_ptr<SimulatedMount> mount;
    std::unique_ptr<TelescopeWorkflow> workflow;
};

TEST_F(Workflow, SlewHereRefusalsTouchNoPort) {
    Start();
    struct Case {
        const char* name;
        ViewMode mode;
        bool control;
        bool following;
        std::vector<std::string> boxes;
    } cases[] = {
        {"planisphere", ViewMode::Planisphere, true, true, {"この画面では位置計算できません"}},
        {"zenith", ViewMode::Zenith, true, true, {"この画面では位置計算できません"}},
        {"polar", ViewMode::Polar, true, true, {"この画面では位置計算できません"}},
        {"control off", ViewMode::Direction, false, true, {"制御指定をしてください。"}},
        {"clock following off",
         ViewMode::Zoom,
         true,
         false,
         {"自動更新になっていません。現在時刻をセットします。もう一度操作してください。",
          "自動更新モードを設定しました"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        host.boxes.clear();
        host.mode = c.mode;
        host.following = c.following;
        settings.writeInt("OPTION3", "TS_CTRL", c.control ? 1 : 0);
        workflow->SlewHere();
        Advance(200);
        EXPECT_EQ(host.boxes, c.boxes);
        EXPECT_TRUE(host.following);  // switched on when it was off
    }
    EXPECT_EQ(linksMade, 0);
    EXPECT_TRUE(Sent().empty());
}

TEST_F(Workflow, SlewHereWithoutTraceSlewsAndClosesThePort) {
    Start();
    workflow->SlewHere();
    EXPECT_TRUE(T().PanelBusy());
    AdvanceUntil([&] { return host.captions.size() >= 2; });
    EXPECT_EQ(host.captions, (std::vector<std::string>{"赤経：05:34.5  赤緯：+22*00", "導入指示完了"}));
    EXPECT_TRUE(host.boxes.empty());
    EXPECT_FALSE(T().IsOpen());
    EXPECT_FALSE(T().PanelBusy());
    EXPECT_EQ(Sent(), (std::vector<std::string>{":GR#", ":GD#", ":U#", ":Sr 05:34:30#", ":U#", ":U#",
                                                ":Sd +22*00*00#", ":U#", ":MS#"}));
    EXPECT_FALSE(loop.timerActive(+TimerId::TraceTick));
    EXPECT_TRUE(workflow->Log().Lines().empty());  // only panel slews are logged
}

TEST_F(Workflow, ATraceDrawsItsMarksAndEndsWhenTheMountVanishes) {
    settings.writeInt("TS", "TRACE", 1);
    settings.writeInt("TS", "TRACE_TIME", 0);
    Start();
    workflow->SlewHere();
    AdvanceUntil([&] { return host.captions.size() >= 2; });
    ASSERT_EQ(host.captions.back(), "トレース開始");
    EXPECT_TRUE(T().IsOpen());
    EXPECT_EQ(loop.timerInterval(+TimerId::TraceTick), 500u);
    AdvanceUntil([&] { return host.marks.size() >= 3; });
    ASSERT_EQ(host.marks.size(), 3u);
    EXPECT_EQ(host.targets.size(), 4u);  // at once when the trace starts, then with each poll
    EXPECT_NEAR(host.targets[0].ra, (5 + 34.5 / 60) * kPi / 12, 1e-9);
    EXPECT_EQ(host.captions.back(), "トレース中");

    mount->Unplug();
    AdvanceUntil([&] { return host.captions.back() == "トレース終了"; }, 8000);
    EXPECT_EQ(host.captions.back(), "トレース終了");
    EXPECT_EQ(host.eraseMs, 10000u);
    EXPECT_FALSE(T().IsOpen());
    EXPECT_FALSE(loop.timerActive(+TimerId::TraceTick));
    EXPECT_TRUE(host.boxes.empty());  // the trace ends quietly, by its caption
}

// A slew from the panel, opened while a slew from the chart is being traced, traces as that one does
// once the panel closes: the caption, then the marks at the panel's own target (not the earlier point)
// and the mount's position, poll after poll.
TEST_F(Workflow, APanelSlewTracesItsOwnTargetLikeAChartSlew) {
    settings.writeInt("TS", "TRACE", 1);
    settings.writeInt("TS", "TRACE_TIME", 0);
    Start();
    workflow->SlewHere();  // the popup point: M1
    AdvanceUntil([&] { return host.marks.size() >= 2; });
    ASSERT_GE(host.marks.size(), 2u);
    Advance(200);  // a poll may be under way when the panel opens

    // Close to the pole, so the simulated mount finds it above its horizon at any hour.
    const SkyPoint vega{(18 + 36.9 / 60) * kPi / 12, 88.0 * kPi / 180};
    host.tapped = PanelTarget{"Vega", "Vega", vega.ra, vega.dec};
    workflow->OpenPanel();
    ASSERT_NE(host.panel, nullptr);
    TelescopePanel& p = *host.panel;
    Advance(2000);  // the panel stays open a while: no trace runs under it
    const std::size_t marksBefore = host.marks.size();
    EXPECT_FALSE(loop.timerActive(+TimerId::TraceTick));
    p.Press(PanelButton::Slew);
    AdvanceUntil([&] { return p.SlewDone() && p.Enabled(PanelButton::Up); });
    ASSERT_TRUE(p.SlewDone()) << p.Status();
    EXPECT_EQ(host.marks.size(), marksBefore);
    host.captions.clear();
    host.targets.clear();
    host.closePanel();
    loop.runPosted();
    ASSERT_FALSE(host.captions.empty());
    EXPECT_EQ(host.captions.front(), "トレース中");
    // The panel's target is drawn at once, before any poll; the squares come with the first poll,
    // one trace period later.
    ASSERT_EQ(host.targets.size(), 1u);
    EXPECT_EQ(host.marks.size(), marksBefore);
    std::uint32_t waited = 0;
    while (host.marks.size() == marksBefore && waited < 5000) {
        Advance(50);
        waited += 50;
    }
    ASSERT_EQ(host.marks.size(), marksBefore + 1);
    EXPECT_LE(waited, 500u + 200u) << "the first poll's mark waits for nothing but the poll";
    AdvanceUntil([&] { return host.marks.size() >= marksBefore + 3; }, 5000);
    ASSERT_GE(host.marks.size(), marksBefore + 3);
    ASSERT_FALSE(host.targets.empty());
    for (const SkyPoint& t : host.targets) {
        EXPECT_NEAR(t.ra, vega.ra, 1e-9);
        EXPECT_NEAR(t.dec, vega.dec, 1e-9);
    }
    EXPECT_EQ(host.captions.back(), "トレース中");
}

TEST_F(Workflow, ATraceEndsWithItsBudget) {
    settings.writeInt("TS", "TRACE", 1);
    settings.writeInt("TS", "TRACE_TIME", 2);  // 3 s: 20 polls
    Start();
    workflow->SlewHere();
    AdvanceUntil([&] { return host.captions.size() >= 2; });
    AdvanceUntil([&] { return host.captions.back() == "トレース終了"; }, 70000);
    EXPECT_EQ(host.marks.size(), 20u);
    EXPECT_FALSE(T().IsOpen());
}

TEST_F(Workflow, SlewHereFailures) {
    struct Case {
        const char* name;
        std::function<void(MountSimOptions&)> mount;
        std::optional<SkyPoint> popup;
        std::vector<std::string> boxes;
        std::string lastCaption;
    } cases[] = {
        {"silent",
         [](MountSimOptions& o) { o.silent.insert("GR"); },
         SkyPoint{1, 0.5},
         {"応答しません"},
         "応答なし"},
        {"off the sky",
         [](MountSimOptions&) {},
         SkyPoint{1, 2.0},
         {"計算結果が不正です。もう一度操作してください"},
         "計算エラー"},
        {"below the horizon",
         [](MountSimOptions& o) { o.replies["MS"] = "1Object Below Horizon#"; },
         SkyPoint{1, 0.5},
         {"MS Error1Object Below Horizon#"},
         "地平線下 MS:1Object Below Horizon#"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        MountSimOptions options;
        c.mount(options);
        workflow.reset();
        Start(options);
        host.boxes.clear();
        host.captions.clear();
        host.popup = c.popup;
        workflow->SlewHere();
        AdvanceUntil([&] { return !T().PanelBusy(); }, 8000);
        EXPECT_EQ(host.boxes, c.boxes);
        ASSERT_FALSE(host.captions.empty());
        EXPECT_EQ(host.captions.back(), c.lastCaption);
        EXPECT_FALSE(T().IsOpen());
    }

    workflow.reset();
    Start();
    settings.writeString("TS", "DEVICES", "/nonexistent/tty");
    workflow.reset();
    workflow = std::make_unique<TelescopeWorkflow>(
        host, loop, clock, settings, StandardLinkMaker(loop, clock, opener), folder.string() + "/");
    host.boxes.clear();
    workflow->SlewHere();
    Advance(100);
    EXPECT_EQ(host.boxes, std::vector<std::string>{"ポートを開けません"});
    EXPECT_EQ(host.captions.back(), "COMポートエラー");
    EXPECT_FALSE(T().PanelBusy());
}

TEST_F(Workflow, PanelWithoutATargetCannotSlew) {
    Start();
    workflow->OpenPanel();
    ASSERT_NE(host.panel, nullptr);
    TelescopePanel& p = *host.panel;
    EXPECT_EQ(p.CoordText(), "指定されていません(導入指示不可）");
    EXPECT_FALSE(p.Enabled(PanelButton::Slew));
    EXPECT_TRUE(p.Enabled(PanelButton::Up));
    EXPECT_EQ(p.Status(), "未接続状態");
    host.closePanel();
    Advance(100);
    EXPECT_EQ(linksMade, 0);
}

TEST_F(Workflow, PanelSlewStartsATraceOnCloseAndLogsTheLine) {
    Start();  // the trace setting is off
    // The line carries the place's time (UT + 9 h), not the machine's clock, which here runs on UT.
    clock.unixTime = 1796904309;  // 2026-12-10 12:05:09 UT
    clock.wall = platform::WallTime{2026, 12, 4, 10, 12, 5, 9, 0};
    host.tapped =
        PanelTarget{"M1 かに星雲", utf8ToCp932("M1 かに星雲"), (5 + 34.5 / 60) * kPi / 12, 22 * kPi / 180};
    workflow->OpenPanel();
    ASSERT_NE(host.panel, nullptr);
    TelescopePanel& p = *host.panel;
    EXPECT_EQ(p.CoordText(), "赤経 05:34:30 赤緯 +22*00*00 ");
    p.Press(PanelButton::Slew);
    EXPECT_EQ(p.Status(), "接続開始中...");
    AdvanceUntil([&] { return p.SlewDone(); });
    AdvanceUntil([&] { return p.Enabled(PanelButton::Up); });
    EXPECT_EQ(p.Status(), "導入コマンドを送りました");
    EXPECT_FALSE(p.Enabled(PanelButton::Slew));
    EXPECT_EQ(cp932ToUtf8(p.LogLine()), "Slew 2026/12/10 21:5 M1 かに星雲 赤経 05:34:30 赤緯 +22*00*00 ");

    const std::string line = p.LogLine();
    host.closePanel();
    loop.runPosted();
    EXPECT_EQ(host.captions.back(), "トレース中");
    EXPECT_TRUE(loop.timerActive(+TimerId::TraceTick));
    EXPECT_EQ(T().TraceRemaining(), CTelescope::kTraceBudgetMs);
    std::ifstream in(folder / kSlewLogFileName, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), {});
    EXPECT_EQ(bytes, line + "\r\n");  // written at once, not at exit
}

TEST_F(Workflow, PanelButtonsAndTheirTexts) {
    Start(MountSimOptions{});
    workflow->OpenPanel();
    TelescopePanel& p = *host.panel;
    auto press = [&](PanelButton b) {
        p.Press(b);
        AdvanceUntil([&] { return p.Enabled(PanelButton::Up) && !T().Busy(); }, 8000);
        return p.Status();
    };
    EXPECT_EQ(press(PanelButton::Fast), "高速コマンド送信した");
    EXPECT_EQ(press(PanelButton::Slow), "低速コマンド送信した");
    EXPECT_EQ(press(PanelButton::Up), "上移動指示送信した");
    p.Press(PanelButton::Stop);  // its completion comes once the link is seen to stay up
    Advance(300);
    EXPECT_EQ(p.Status(), "停止指示");
    press(PanelButton::Position);
    ASSERT_EQ(host.boxes.size(), 1u);
    EXPECT_EQ(host.boxes[0].rfind("赤経：05:34.5  赤緯：+22*0", 0), 0u);  // a little above, after the move up

    // ETX70: two questions, the first one answered no stops everything.
    host.boxes.clear();
    host.answers = {false};
    press(PanelButton::TimePlace);
    EXPECT_EQ(host.questions.size(), 1u);
    host.answers = {true, true};
    // The mount is told the place's civil time (UT + 9 h), whatever the machine's own clock says.
    clock.unixTime = 1796904000;  // 2026-12-10 12:00:00 UT
    clock.wall = platform::WallTime{2026, 12, 4, 10, 12, 0, 0, 0};
    EXPECT_EQ(press(PanelButton::TimePlace), "設定しました");
    EXPECT_EQ(host.questions.size(), 3u);
    EXPECT_EQ(host.boxes, std::vector<std::string>{"アラインメントが必要になる場合があります。"});
    EXPECT_EQ(mount->model().LastTimeAndPlace(), "21:00:00 12/10/26 220*38 +35*34");

    T().Settings().mountType = 1;  // AutoStar: only the second question
    host.questions.clear();
    press(PanelButton::TimePlace);
    EXPECT_EQ(host.questions, std::vector<std::string>{"観測地、日付時刻をコントローラに書き込みます。"});
    host.closePanel();
    loop.runPosted();
    EXPECT_FALSE(T().IsOpen());  // no slew: closing the panel closes the port

    // West of Greenwich across midnight: the date goes back with the hour.
    host.timeDifference = -5;
    workflow->OpenPanel();
    ASSERT_NE(host.panel, nullptr);
    clock.unixTime = 1796904000 - 10 * 3600;  // 2026-12-10 02:00 UT: 21:00 on the 9th at -5 h
    host.panel->Press(PanelButton::TimePlace);
    AdvanceUntil([&] { return host.panel->Status() == "設定しました"; }, 8000);
    EXPECT_EQ(mount->model().LastTimeAndPlace().substr(0, 17), "21:00:00 12/09/26");
    host.closePanel();
    loop.runPosted();
}

TEST_F(Workflow, ClosingThePanelIsRefusedWhileAnExchangeWaits) {
    MountSimOptions silentRate;
    silentRate.silent.insert("Sw");
    Start(silentRate);
    workflow->OpenPanel();
    TelescopePanel& p = *host.panel;
    p.Press(PanelButton::Medium);
    AdvanceUntil([&] { return T().State() == TelescopeState::Waiting; }, 1000);
    EXPECT_FALSE(p.Enabled(PanelButton::Close));
    EXPECT_TRUE(p.Enabled(PanelButton::Stop));
    EXPECT_FALSE(p.RequestClose());
    EXPECT_EQ(host.boxes, std::vector<std::string>{"望遠鏡と通信中です"});
    AdvanceUntil([&] { return p.Enabled(PanelButton::Close); }, 6000);
    EXPECT_EQ(p.Status(), "中速コマンド失敗");
    EXPECT_EQ(host.boxes.back(), "4秒間 応答なし");
    EXPECT_TRUE(p.RequestClose());
}

TEST_F(Workflow, BarButtonsNeverLeaveThePortOpen) {
    Start();
    workflow->Move(MountDirection::Up);
    AdvanceUntil([&] { return host.positionChecksAsked > 0; }, 3000);
    EXPECT_EQ(host.captions, (std::vector<std::string>{"接続しました.", "高位置へ     　　　"}));
    EXPECT_EQ(host.positionChecksAsked, 1);
    EXPECT_FALSE(T().IsOpen());
    workflow->SetSpeed(MountSpeed::Fast);
    AdvanceUntil([&] { return host.captions.size() >= 4; }, 3000);
    EXPECT_EQ(host.captions.back(), "高速設定　　　");
    EXPECT_EQ(mount->model().SlewRate(), 4);
    EXPECT_FALSE(T().IsOpen());

    workflow->CheckPosition();
    AdvanceUntil([&] { return !host.marks.empty(); }, 3000);
    ASSERT_EQ(host.marks.size(), 1u);
    EXPECT_NEAR(host.marks[0].ra, 83.625 * kPi / 180, 1e-9);
    EXPECT_FALSE(T().IsOpen());

    settings.writeInt("OPTION3", "TS_CTRL", 0);
    EXPECT_FALSE(workflow->ControlOn());
    workflow->CheckPosition();
    EXPECT_EQ(host.boxes.back(), "望遠鏡制御の設定がありません");
}

TEST_F(Workflow, SwitchingControlOnRunsTheSettingsAndFollowsTheClock) {
    settings.writeInt("OPTION3", "TS_CTRL", 0);
    Start();
    host.following = false;
    host.editSettings = [](TelescopeSettingsModel& m) {
        m.mountType = 1;
        m.trace = true;
        m.ports[0] = "tcp:bridge.local:4030";
    };
    workflow->ToggleControl();
    EXPECT_TRUE(workflow->ControlOn());
    EXPECT_EQ(host.settingsDialogs, 1);
    EXPECT_EQ(host.timeSetToNow, 1);
    EXPECT_TRUE(host.following);
    EXPECT_EQ(host.boxes, std::vector<std::string>{"自動更新モードを設定しました"});
    EXPECT_EQ(settings.readInt("TS", "TYPE", 0), 1);
    EXPECT_EQ(settings.readInt("TS", "TRACE", 0), 1);
    EXPECT_EQ(settings.readString("TS", "DEVICES", ""), "tcp:bridge.local:4030");
    EXPECT_FALSE(T().PanelBusy());
    workflow->ToggleControl();
    EXPECT_FALSE(workflow->ControlOn());
}

// A chart of distinct pixels the marks are drawn over, as the view's door hands it out.
struct MarkChart {
    static constexpr int w = 40, h = 30;
    explicit MarkChart(std::uint8_t seed = 3) : pixels(std::size_t(w) * 3 * h) {
        for (std::size_t i = 0; i < pixels.size(); ++i)
            pixels[i] = std::uint8_t(i * 7 + seed);  // a busy chart
        chart = pixels;
    }
    MarkCanvas canvas(Colour pen, std::uint64_t serial = 1) {
        return {platform::PixelBuffer{pixels.data(), w, h, w * 3}, MarkerColours{pen, 0}, serial};
    }
    Colour at(int x, int y) const {
        const std::uint8_t* p = &pixels[std::size_t(y) * w * 3 + std::size_t(x) * 3];
        return Colour(p[2]) | Colour(p[1]) << 8 | Colour(p[0]) << 16;
    }
    void set(int x, int y, Colour c) {
        std::uint8_t* p = &pixels[std::size_t(y) * w * 3 + std::size_t(x) * 3];
        p[0] = std::uint8_t(c >> 16), p[1] = std::uint8_t(c >> 8), p[2] = std::uint8_t(c);
    }
    std::vector<std::uint8_t> pixels, chart;
};

TEST(TraceMarkers, TheOldPairGivesTheChartBackAndLeavesNewDrawingAlone) {
    MarkChart m;
    TraceMarkers marks;
    marks.DrawTelescope(m.canvas(0x00FF00), {10, 10});
    EXPECT_EQ(m.at(5, 5), 0x00FF00u);    // outer square's corner
    EXPECT_EQ(m.at(13, 10), 0x00FF00u);  // inner square's side
    EXPECT_NE(m.at(10, 10), 0x00FF00u);  // the centre stays the chart's
    m.set(15, 5, 0x123456);              // something drawn over the chart since, on one pixel of the pair
    marks.DrawTelescope(m.canvas(0x00FF00), {-2, 28});  // partly off the buffer
    EXPECT_EQ(m.at(15, 5), 0x123456u);                  // the new drawing stays
    m.set(15, 5,
          Colour(m.chart[5 * MarkChart::w * 3 + 15 * 3 + 2]) |
              Colour(m.chart[5 * MarkChart::w * 3 + 15 * 3 + 1]) << 8 |
              Colour(m.chart[5 * MarkChart::w * 3 + 15 * 3]) << 16);
    for (int y = 0; y < 20; ++y)
        for (int x = 3; x < MarkChart::w; ++x)
            ASSERT_EQ(std::memcmp(&m.pixels[std::size_t(y) * MarkChart::w * 3 + std::size_t(x) * 3],
                                  &m.chart[std::size_t(y) * MarkChart::w * 3 + std::size_t(x) * 3], 3),
                      0)
                << x << "," << y;
    EXPECT_EQ(m.at(3, 23), 0x00FF00u);

    // A target circle of radius 5: its extreme pixels, not its centre.
    MarkChart c;
    TraceMarkers circle;
    circle.DrawTarget(c.canvas(0x0000FF), {20, 15});
    EXPECT_EQ(c.at(25, 15), 0x0000FFu);
    EXPECT_EQ(c.at(20, 10), 0x0000FFu);
    EXPECT_NE(c.at(20, 15), 0x0000FFu);
    EXPECT_NE(c.at(26, 15), 0x0000FFu);
}

// The marks of one trace and then another: the circle moves to the new target instead of a second
// circle standing at the old one, wherever the circle and the pair cross; over a chart drawn anew
// nothing of the old marks is given back, and the old target is not drawn there again.
TEST(TraceMarkers, ANewTargetTakesTheOldCircleAwayAndANewChartForgetsTheMarks) {
    constexpr Colour kPen = 0x00FFFF;
    struct Case {
        const char* name;
        platform::Point firstTarget, firstMount, secondTarget, secondMount;
    } cases[] = {
        {"apart", {8, 8}, {30, 20}, {30, 8}, {10, 22}},
        {"the mount on its target", {12, 12}, {12, 12}, {28, 18}, {28, 18}},
        {"the new target under the old pair", {8, 20}, {26, 12}, {26, 12}, {8, 20}},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        MarkChart m;
        TraceMarkers marks;
        marks.DrawTarget(m.canvas(kPen), k.firstTarget);
        marks.DrawTelescope(m.canvas(kPen), k.firstMount);
        EXPECT_EQ(m.at(k.firstTarget.x + 5, k.firstTarget.y), kPen);
        marks.DrawTarget(m.canvas(kPen), k.secondTarget);
        marks.DrawTelescope(m.canvas(kPen), k.secondMount);
        // Only the new circle and the new pair stand: take them away and the chart is as drawn.
        MarkChart fresh;
        TraceMarkers only;
        only.DrawTarget(fresh.canvas(kPen), k.secondTarget);
        only.DrawTelescope(fresh.canvas(kPen), k.secondMount);
        EXPECT_EQ(m.pixels, fresh.pixels);
    }

    // The chart is drawn anew (another picture, another chart number) under marks standing.
    MarkChart m;
    TraceMarkers marks;
    marks.DrawTarget(m.canvas(kPen, 1), {8, 8});
    marks.DrawTelescope(m.canvas(kPen, 1), {30, 20});
    MarkChart redrawn(91);
    std::copy(redrawn.pixels.begin(), redrawn.pixels.end(), m.pixels.begin());
    m.chart = redrawn.chart;
    marks.DrawTelescope(m.canvas(kPen, 2), {20, 15});
    TraceMarkers only;
    only.DrawTelescope(redrawn.canvas(kPen, 2), {20, 15});
    EXPECT_EQ(m.pixels, redrawn.pixels) << "just the new pair over the new chart";
    EXPECT_FALSE(marks.Target());
}

TEST(TraceMarkers, OverwritingLeavesTheWholeTrackStanding) {
    MarkChart m(0x20);
    std::fill(m.pixels.begin(), m.pixels.end(), 0x20);
    auto green = [&](int x, int y) { return m.at(x, y) == 0x00FF00u; };
    TraceMarkers marks;
    marks.SetOverwrite(true);
    marks.DrawTelescope(m.canvas(0x00FF00), {10, 10});
    marks.DrawTelescope(m.canvas(0x00FF00), {25, 15});
    EXPECT_TRUE(green(5, 5)) << "the first pair stays";
    EXPECT_TRUE(green(20, 10)) << "the second is drawn";
    marks.SetOverwrite(false);
    marks.DrawTelescope(m.canvas(0x00FF00), {25, 15});
    marks.DrawTelescope(m.canvas(0x00FF00), {10, 20});
    EXPECT_FALSE(green(30, 20)) << "switched off, the last pair is erased again";
}

TEST(SlewLog, EachLineIsOnDiskAtOnceAndAFailureIsReportedOnce) {
    const auto folder = std::filesystem::temp_directory_path() / ("celes-log-" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    SlewLog log(folder.string() + "/");
    ASSERT_TRUE(log.Append("Slew 1"));
    ASSERT_TRUE(log.Append("Slew 2"));
    std::ifstream in(log.Path(), std::ios::binary);
    EXPECT_EQ(std::string((std::istreambuf_iterator<char>(in)), {}), "Slew 1\r\nSlew 2\r\n");
    EXPECT_FALSE(log.FailureToReport());

    // A folder that is not yet there is made; a file lying in its place cannot be.
    SlewLog made((folder / "new" / "").string());
    EXPECT_TRUE(made.Append("Slew 0"));
    EXPECT_TRUE(std::filesystem::is_regular_file(made.Path()));
    std::ofstream(folder / "blocked") << "a file";
    SlewLog broken((folder / "blocked" / "").string());
    EXPECT_FALSE(broken.Append("Slew 3"));
    EXPECT_FALSE(broken.Append("Slew 4"));
    EXPECT_TRUE(broken.FailureToReport());
    EXPECT_FALSE(broken.FailureToReport());
    EXPECT_EQ(broken.Lines().size(), 2u);  // nothing is dropped from memory
    std::filesystem::remove_all(folder);
}

TEST(SlewLog, LinesAreCutAtSeventyBytesOnACharacterBoundary) {
    const platform::WallTime t{2026, 1, 0, 2, 3, 4, 0, 0};
    EXPECT_EQ(SlewLogLine(t, "Vega", "赤経 18:36:56 赤緯 +38*47*01 "),
              "Slew 2026/1/2 3:4 Vega " + utf8ToCp932("赤経 18:36:56 赤緯 +38*47*01 "));
    const std::string name = utf8ToCp932("アンドロメダ座大星雲とその仲間たち");
    const std::string line = SlewLogLine(t, name, "赤経 00:42:44 赤緯 +41*16*09 ");
    EXPECT_LE(line.size(), 70u);
    EXPECT_GE(line.size(), 69u);
    EXPECT_EQ(cp932ToUtf8(line).find("\xEF\xBF\xBD"), std::string::npos);  // no broken character
}

TEST(TelescopeSettingsModel, PortTextsAndAccept) {
    struct Case {
        const char* text;
        bool ok;
    } cases[] = {
        {"/dev/ttyUSB0", true},
        {"/dev/serial/by-id/usb-Prolific-if00-port0", true},
        {"tcp:192.168.4.1:4030", true},
        {"tcp:host:0", false},
        {"tcp:host:70000", false},
        {"tcp:host", false},
        {"indi:localhost:7624/Telescope Simulator", true},
        {"indi:localhost", true},
        {"indi::7624", false},
        {"indi:host:x/Dev", false},
        {"ttyUSB0", false},
        {"", false},
    };
    for (const Case& c : cases) EXPECT_EQ(PortTextProblem(c.text).empty(), c.ok) << c.text;

    TelescopeSettings s;
    s.portNumber = 2;
    TelescopeSettingsModel m(s, {"/dev/ttyACM0", "/dev/ttyUSB1"});
    EXPECT_EQ(m.portIndex, 1);
    EXPECT_EQ(m.PortChoices(), (std::vector<std::string>{"/dev/ttyACM0", "/dev/ttyUSB1"}));
    m.ports[1] = "indi:localhost:7624/Telescope Simulator";
    EXPECT_EQ(m.PortChoices().back(), "indi:localhost:7624/Telescope Simulator");
    EXPECT_TRUE(m.Accept(s).empty());
    EXPECT_EQ(s.PortText(), "indi:localhost:7624/Telescope Simulator");
    m.ports[1] = "tcp:nowhere";
    EXPECT_FALSE(m.Accept(s).empty());
}

}  // namespace
}  // namespace celes
