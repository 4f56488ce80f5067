// The telescope's rows through the command table, against a simulated mount on virtual time: the
// bytes each bar row sends, the rows greyed and silent while control is off, and control switched
// off staying off through the display save that follows.
#include "ui/telescope_commands.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "skydata/settings_table.h"
#include "telescope/link_doubles.h"
#include "telescope/lx200_link.h"
#include "telescope/telescope_workflow.h"
#include "telescope/trace_markers.h"
#include "ui_fixture.h"

namespace celes {
namespace {

using testing::SimulatedMount;

// The window side, as little as the rows need: captions and boxes recorded, dialogs accepted.
class QuietHost : public TelescopeHost {
  public:
    void ShowBox(const std::string& text, BoxKind) override { boxes.push_back(text); }
    void AskYesNo(const std::string&, std::function<void()> onYes) override { onYes(); }
    void Caption(const std::string& text) override { captions.push_back(text); }
    void EraseCaptionIn(std::uint32_t) override {}
    void CancelCaptionErase() override {}
    bool ClockFollowing() const override { return true; }
    void SwitchClockFollowingOn() override {}
    void SetTimeToNow() override {}
    ViewMode Mode() const override { return ViewMode::Direction; }
    std::optional<SkyPoint> PopupPointOnSky() override { return std::nullopt; }
    std::optional<PanelTarget> LastTapped() override { return std::nullopt; }
    void DrawTargetMarker(SkyPoint) override {}
    void DrawTelescopeMarker(SkyPoint) override {}
    void CheckPositionSoon() override { ++positionChecks; }
    ObservingPlace Place() const override { return {}; }
    void RunSettingsDialog(TelescopeSettingsModel&, std::function<void(bool)> closed) override {
        closed(true);
    }
    void RunPanel(TelescopePanel&, std::function<void()>) override {}

    std::vector<std::string> boxes, captions;
    int positionChecks = 0;
};

class TelescopeRows : public ::testing::Test {
  protected:
    void SetUp() override {
        f.store.writeInt("OPTION3", "TS_CTRL", 1);
        MountSimOptions options;
        options.slewSeconds = 0.2;
        mount = std::make_unique<SimulatedMount>(std::move(options));
        mount->Pair(opener);
        ASSERT_TRUE(mount->ok());
        f.store.writeString("TS", "DEVICES", mount->path());
        f.make();
        workflow = std::make_unique<TelescopeWorkflow>(
            host, f.loop, f.clock, f.store,
            [this, standard = StandardLinkMaker(f.loop, f.clock, opener)](const std::string& port) {
                ++linksMade;
                return standard(port);
            },
            std::string());
        RegisterTelescopeCommands(f.table(), {*workflow, markers, f.loop, *f.view, f.store, {}});
    }
    void TearDown() override { workflow.reset(); }

    // Virtual time in 50 ms steps; before each the line comes to rest and what arrived is handled.
    void Advance(std::uint32_t ms) {
        for (std::uint32_t t = 0; t <= ms; t += 50) {
            if (!mount->AtRest(opener)) {
                EXPECT_TRUE(mount->WaitAtRest(opener));
            }
            f.loop.runPosted();
            f.clock.advance(50);
            f.loop.advance(50);
        }
    }
    // The motion and rate commands the mount received, in order (the connection's own queries left out).
    std::vector<std::string> Motions() const {
        std::vector<std::string> out;
        for (const std::string& c : mount->model().Commands())
            if (c.rfind(":M", 0) == 0 || c.rfind(":Q", 0) == 0 || c.rfind(":Sw", 0) == 0) out.push_back(c);
        return out;
    }

    test::UiFixture f;
    testing::CountingOpener opener;
    std::unique_ptr<SimulatedMount> mount;
    QuietHost host;
    TraceMarkers markers;
    int linksMade = 0;
    std::unique_ptr<TelescopeWorkflow> workflow;
};

TEST_F(TelescopeRows, EachBarRowSendsItsOwnMotionAndLeavesThePortClosed) {
    const struct Case {
        int id;
        std::vector<std::string> sent;
        bool followedByPositionCheck;
    } cases[] = {
        {kCmdTelescopeLeft, {":Me#", ":Qe#", ":Q#"}, true},
        {kCmdTelescopeRight, {":Mw#", ":Qw#", ":Q#"}, true},
        {kCmdTelescopeUp, {":Mn#", ":Qn#", ":Q#"}, true},
        {kCmdTelescopeDown, {":Ms#", ":Qs#", ":Q#"}, true},
        {kCmdTelescopeFast, {":Sw 4#"}, false},
        {kCmdTelescopeSlow, {":Sw 2#"}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.id);
        EXPECT_TRUE(f.table().State(c.id).enabled);
        const std::size_t before = Motions().size();
        const int checks = host.positionChecks;
        ASSERT_TRUE(f.table().Execute(c.id));
        Advance(3000);
        const std::vector<std::string> all = Motions();
        EXPECT_EQ(std::vector<std::string>(all.begin() + static_cast<long>(before), all.end()), c.sent);
        EXPECT_EQ(host.positionChecks - checks, c.followedByPositionCheck ? 1 : 0);
        EXPECT_FALSE(workflow->Telescope()->IsOpen());
    }
    EXPECT_EQ(mount->model().SlewRate(), 2);
}

TEST_F(TelescopeRows, ControlOffGreysTheMountRowsAndSendsNothing) {
    ASSERT_TRUE(f.table().Execute(kCmdTelescopeControl));
    EXPECT_EQ(f.stored("OPTION3", "TS_CTRL"), 0);
    EXPECT_FALSE(f.table().State(kCmdTelescopeControl).checked);
    EXPECT_EQ(f.table().State(kCmdTelescopeControl).caption, "望遠鏡設定");
    for (int id : {kCmdTelescopePanel, kCmdTelescopePosition, kCmdTelescopeLeft, kCmdTelescopeFast,
                   kCmdTelescopeSlow, kCmdTelescopeRight, kCmdTelescopeUp, kCmdTelescopeDown}) {
        EXPECT_FALSE(f.table().State(id).enabled) << id;
        f.table().Execute(id);
    }
    Advance(3000);
    EXPECT_TRUE(mount->model().Commands().empty());
    EXPECT_EQ(linksMade, 0);
    EXPECT_FALSE(f.table().State(kCmdTelescopeMenuChoice).enabled) << "the telescope popup follows at once";

    // A display toggle afterwards saves the display settings: control stays off.
    const bool names = f.state().constellationNames;
    ASSERT_TRUE(f.table().Execute(32789));
    EXPECT_NE(f.state().constellationNames, names);
    EXPECT_EQ(f.stored("OPTION3", "TS_CTRL"), 0);
}

TEST_F(TelescopeRows, TraceOverwriteTogglesTheMarksAndAnnouncesOnlyItsRelease) {
    ASSERT_FALSE(markers.Overwrite());
    f.table().Execute(kCmdTraceOverwrite);
    EXPECT_TRUE(markers.Overwrite());
    EXPECT_TRUE(f.table().State(kCmdTraceOverwrite).checked);
    EXPECT_TRUE(f.notices.empty());
    f.table().Execute(kCmdTraceOverwrite);
    EXPECT_FALSE(markers.Overwrite());
    EXPECT_EQ(f.notices, std::vector<std::string>{"上書き解除"});
}

}  // namespace
}  // namespace celes
