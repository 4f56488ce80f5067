// The telescope dialogs over their models: controls reach the model, a bad port keeps the settings
// open, the panel's buttons follow the model and its closing asks the model.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

#include "fakes/manual_clock.h"
#include "fakes/memory_settings.h"
#include "fakes/scripted_dialogs.h"
#include "fakes/virtual_event_loop.h"
#include "ui/widgets/telescope_control.h"
#include "ui/widgets/telescope_host.h"
#include "ui/widgets/telescope_panel.h"
#include "ui/widgets/telescope_settings_dialog.h"
#include "ui/widgets/test_application.h"
#include "view/celes_view.h"
#include "view/projection.h"
#include "view/render_records.h"
#include "view/screen_to_sky.h"

namespace celes {
namespace {

// A mount that takes every command and answers only when told.
class HeldLink : public MountLink {
  public:
    explicit HeldLink(platform::EventLoop& loop) : loop_(loop) {}
    void Connect(MountDone done) override { Answer(std::move(done), true); }
    void Disconnect() override { open_ = false; }
    bool IsOpen() const override { return open_; }
    TelescopeState State() const override {
        return pending_ ? TelescopeState::Waiting : TelescopeState::Ready;
    }
    bool Busy() const override { return pending_ != nullptr; }
    const std::string& StatusText() const override { return status_; }
    void GetPosition(bool, MountDone done) override { pending_ = std::move(done); }
    void SlewTo(double, double, MountDone done) override { pending_ = std::move(done); }
    void SetSlewRate(int, MountDone done) override { pending_ = std::move(done); }
    void MovePulse(char, MountDone done) override { pending_ = std::move(done); }
    void StopMotion(MountDone done) override { Answer(std::move(done), true); }
    void SendTimeAndPlace(const platform::WallTime&, const ObservingPlace&, MountDone done) override {
        pending_ = std::move(done);
    }
    void Release(bool ok) {
        Answer(std::move(pending_), ok);
        pending_ = nullptr;
    }

  private:
    void Answer(MountDone done, bool ok) {
        open_ = open_ || ok;
        MountResult r;
        r.ok = ok;
        r.state = TelescopeState::Ready;
        loop_.post([done = std::move(done), r] { done(r); });
    }
    platform::EventLoop& loop_;
    bool open_ = false;
    MountDone pending_;
    std::string status_;
};

class Prompts : public TelescopePrompts {
  public:
    void ShowBox(const std::string& text, BoxKind) override { boxes.push_back(text); }
    void AskYesNo(const std::string&, std::function<void()> onYes) override { onYes(); }
    std::vector<std::string> boxes;
};

TEST(TelescopeWidgets, SettingsDialogBindsItsControlsAndRefusesABadPort) {
    test::EnsureApplication();
    TelescopeSettings s;
    s.portNumber = 2;
    TelescopeSettingsModel model(s, {"/dev/ttyACM0"});
    auto* dialog = new TelescopeSettingsDialog(model);
    std::optional<bool> closed;
    dialog->onClosed = [&](bool accepted) { closed = accepted; };
    EXPECT_EQ(dialog->mountType()->count(), 2);
    EXPECT_TRUE(dialog->portButton(1)->isChecked());
    EXPECT_EQ(dialog->portButton(3)->text(), QString::fromUtf8("COM４"));
    dialog->mountType()->setCurrentIndex(1);
    dialog->trace()->setChecked(true);
    dialog->periodButton(0)->click();
    dialog->portButton(2)->click();
    EXPECT_EQ(model.portIndex, 2);
    dialog->port()->setCurrentText("tcp:nowhere");
    dialog->accept();
    EXPECT_FALSE(closed.has_value());  // refused: the dialog stays
    EXPECT_NE(dialog->refusalBox(), nullptr);
    dialog->port()->setCurrentText("indi:localhost:7624/Telescope Simulator");
    dialog->accept();
    ASSERT_TRUE(closed.has_value());
    EXPECT_TRUE(*closed);
    EXPECT_EQ(model.mountType, 1);
    EXPECT_TRUE(model.trace);
    EXPECT_EQ(model.traceTimeIndex, 0);
    EXPECT_EQ(model.ports[2], "indi:localhost:7624/Telescope Simulator");
    QCoreApplication::processEvents();
}

TEST(TelescopeWidgets, PanelFollowsItsModelAndClosesOnlyWhenIdle) {
    test::EnsureApplication();
    fakes::VirtualEventLoop loop;
    fakes::ManualClock clock;
    HeldLink* link = nullptr;
    CTelescope telescope(TelescopeSettings{}, loop, [&](const std::string&) {
        auto made = std::make_unique<HeldLink>(loop);
        link = made.get();
        return made;
    });
    Prompts prompts;
    {
        TelescopePanel empty(telescope, prompts, clock, ObservingPlace{}, PanelTarget{});
        TelescopePanelDialog dialog(empty);
        EXPECT_FALSE(dialog.button(PanelButton::Slew)->isEnabled());
        EXPECT_EQ(dialog.coordLabel()->text(), QString::fromUtf8("指定されていません(導入指示不可）"));
        EXPECT_EQ(dialog.status()->text(), QString::fromUtf8("未接続状態"));
    }

    TelescopePanel panel(telescope, prompts, clock, ObservingPlace{},
                         PanelTarget{"Vega", "Vega", 4.87, 0.68});
    auto* dialog = new TelescopePanelDialog(panel);
    bool closed = false;
    dialog->onClosed = [&] { closed = true; };
    dialog->show();
    dialog->button(PanelButton::Up)->click();
    loop.runPosted();  // connected; the move waits
    ASSERT_NE(link, nullptr);
    EXPECT_FALSE(dialog->button(PanelButton::Up)->isEnabled());
    EXPECT_FALSE(dialog->button(PanelButton::Close)->isEnabled());
    EXPECT_TRUE(dialog->button(PanelButton::Stop)->isEnabled());
    dialog->reject();  // Esc while the move waits
    EXPECT_FALSE(closed);
    EXPECT_EQ(prompts.boxes, std::vector<std::string>{"望遠鏡と通信中です"});
    link->Release(true);
    loop.runPosted();
    EXPECT_EQ(dialog->status()->text(), QString::fromUtf8("上移動指示送信した"));
    EXPECT_TRUE(dialog->button(PanelButton::Close)->isEnabled());
    dialog->button(PanelButton::Close)->click();
    EXPECT_TRUE(closed);
    QCoreApplication::processEvents();
}

// The trace's marks as the window draws them, through the view's door over a real chart: a second
// trace's target takes the first one's circle and squares away, and over a chart drawn anew only the
// new marks stand. Every pixel that differs from the plain chart lies within a mark of the last point.
TEST(TelescopeWidgets, TraceMarksOverTheShownChartLeaveOnlyTheLastTarget) {
    test::EnsureApplication();
    fakes::MemorySettings store;
    MemoryRecords records;
    CCelesView view(store, records, nullptr);
    view.resize(320, 320);
    view.render();
    CSkyCanvas plain;
    ASSERT_TRUE(view.copyShownChart(plain));
    int repaints = 0;
    TelescopeHostHooks hooks;
    SetViewTelescopeHooks(
        hooks, view, [&] { ++repaints; }, [] { return std::nullopt; }, [] { return nullptr; });
    fakes::ScriptedDialogs dialogs;
    QtTelescopeHost host(dialogs, nullptr, hooks);
    // Two points of the sky on the chart, found from two pixels.
    const ViewState& v = view.state();
    const ProjectionContext ctx = MakeProjectionContext(MakeProjectionInput(v, MakeRenderTime(v)));
    SkyPoint a, b;
    ScreenToSky(ctx, 100, 120, a.ra, a.dec);
    ScreenToSky(ctx, 220, 200, b.ra, b.dec);
    const auto pb = hooks.project(b);
    ASSERT_TRUE(hooks.project(a) && pb);
    // Only pixels near the last point differ from the plain chart, and some do.
    const auto onlyNear = [&](platform::Point p, const char* when) {
        CSkyCanvas shown;
        ASSERT_TRUE(view.copyShownChart(shown));
        int near = 0;
        for (int y = 0; y < 320; ++y)
            for (int x = 0; x < 320; ++x) {
                if (shown.GetPixel(x, y) == plain.GetPixel(x, y)) continue;
                ASSERT_LE(std::abs(x - p.x), 6) << when << " at " << x << "," << y;
                ASSERT_LE(std::abs(y - p.y), 6) << when << " at " << x << "," << y;
                ++near;
            }
        EXPECT_GT(near, 20) << when;
    };
    host.DrawTargetMarker(a);
    host.DrawTelescopeMarker(a);
    host.DrawTargetMarker(b);
    host.DrawTelescopeMarker(b);
    onlyNear(*pb, "second trace");
    EXPECT_EQ(repaints, 4) << "each mark is shown";
    host.DrawTelescopeMarker(a);
    view.render();  // the chart drawn anew under the marks
    host.DrawTargetMarker(b);
    host.DrawTelescopeMarker(b);
    onlyNear(*pb, "after a render");
}

}  // namespace
}  // namespace celes
