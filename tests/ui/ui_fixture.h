#pragma once
// The Qt-free command objects over fakes: in-memory settings, virtual time, scripted dialogs, a
// manual clock, and a view over a small catalogue with a window that counts redraws.
#include <memory>
#include <string>
#include <vector>

#include "fakes/manual_clock.h"
#include "fakes/memory_settings.h"
#include "fakes/scripted_dialogs.h"
#include "fakes/virtual_event_loop.h"
#include "ui/command_wiring.h"
#include "view/celes_view.h"
#include "view/render_records.h"

namespace celes::test {

class CountingWindow final : public ViewWindow {
  public:
    void invalidate() override { ++invalidations; }
    int invalidations = 0;
};

struct UiFixture {
    fakes::MemorySettings store;
    fakes::VirtualEventLoop loop;
    fakes::ScriptedDialogs dialogs;
    fakes::ManualClock clock;
    MemoryRecords records;
    CountingWindow window;
    std::unique_ptr<CCelesView> view;
    std::unique_ptr<AppCommands> commands;
    std::vector<std::string> notices;
    std::string dataFolder = "/nonexistent/";

    // Builds the view and the commands over the settings stored so far. The view gets no loop:
    // its redraws are counted by the window, not rendered.
    void make() {
        view = std::make_unique<CCelesView>(store, records, nullptr, nullptr, &window);
        commands = std::make_unique<AppCommands>(
            CommandServices{*view, store, loop, dialogs, clock, [this] { return dataFolder; }, [] {}});
        commands->table.SetNoticeSink([this](const std::string& t) { notices.push_back(t); });
    }
    CommandTable& table() { return commands->table; }
    ViewState& state() { return view->state(); }
    int stored(const char* section, const char* value, int fallback = -999) const {
        return store.readInt(section, value, fallback);
    }
    void setTime(int y, int mo, int d, int h, int mi, int s) {
        ViewState& v = state();
        v.year = y, v.month = mo, v.day = d, v.hour = h, v.minute = mi, v.second = s;
    }
    std::vector<int> time() {
        const ViewState& v = state();
        return {v.year, v.month, v.day, v.hour, v.minute, v.second};
    }
};

}  // namespace celes::test
