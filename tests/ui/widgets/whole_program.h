#pragma once
// The whole program put together as app/gui_main.cpp puts it (frame, chart, hand, view, the command
// table and every area's rows: view, time, frame, taps, telescope, user data, dialogs), over fakes:
// settings in memory, virtual time, scripted boxes and file dialogs, a manual clock, a recording
// shell and speech, and a simulated mount behind every serial port. The modules are joined by the
// program's own WireWindowModules (ui/widgets/window_wiring.h), so the tests walk the window's wiring.
#include <QApplication>
#include <QMenu>
#include <QToolBar>
#include <QToolButton>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <filesystem>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "fakes/catalogue_builder.h"
#include "fakes/manual_clock.h"
#include "fakes/memory_settings.h"
#include "fakes/recording_shell.h"
#include "fakes/scripted_dialogs.h"
#include "fakes/virtual_event_loop.h"
#include "platform/qt/qt_graphics.h"
#include "telescope/mount_sim.h"
#include "ui/command_wiring.h"
#include "ui/full_screen.h"
#include "ui/tap_commands.h"
#include "ui/tap_menus.h"
#include "ui/watched_loop.h"
#include "ui/widgets/action_refresh.h"
#include "ui/widgets/chart_widget.h"
#include "ui/widgets/dialog_commands.h"
#include "ui/widgets/main_frame.h"
#include "ui/widgets/tap_input.h"
#include "ui/widgets/telescope_control.h"
#include "ui/widgets/test_application.h"
#include "ui/widgets/userdata_commands.h"
#include "ui/widgets/window_wiring.h"
#include "view/celes_doc.h"
#include "view/celes_view.h"
#include "view/render_records.h"

namespace celes::test {

// A serial line to a simulated mount, in memory: what the program writes is fed to the model at
// once, and the model's answers wait to be read (their delays are not kept). Every byte the
// program sent is kept in `received`.
class MountLine {
  public:
    explicit MountLine(platform::Clock& clock) : model_({}, clock) {}

    class Device final : public platform::SerialDevice {
      public:
        explicit Device(MountLine& line) : line_(line) {}
        ~Device() override {
            std::lock_guard guard(line_.mutex_);
            line_.open_ = false;
        }
        long read(std::uint8_t* buffer, std::size_t capacity, int timeoutMs) override {
            std::unique_lock lock(line_.mutex_);
            line_.changed_.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                                    [this] { return !line_.answers_.empty() || woken_; });
            woken_ = false;
            std::size_t n = 0;
            while (n < capacity && !line_.answers_.empty()) {
                buffer[n++] = static_cast<std::uint8_t>(line_.answers_.front());
                line_.answers_.pop_front();
            }
            return static_cast<long>(n);
        }
        bool write(const std::uint8_t* bytes, std::size_t length) override {
            const std::string text(reinterpret_cast<const char*>(bytes), length);
            const std::vector<MountOutput> out = line_.model_.Feed(text);
            std::lock_guard guard(line_.mutex_);
            line_.received_ += text;
            for (const MountOutput& o : out)
                line_.answers_.insert(line_.answers_.end(), o.bytes.begin(), o.bytes.end());
            line_.changed_.notify_all();
            return true;
        }
        void wake() override {
            std::lock_guard guard(line_.mutex_);
            woken_ = true;
            line_.changed_.notify_all();
        }

      private:
        MountLine& line_;
        bool woken_ = false;
    };

    class Opener final : public platform::SerialDeviceOpener {
      public:
        explicit Opener(MountLine& line) : line_(line) {}
        std::unique_ptr<platform::SerialDevice> open(const std::string&,
                                                     const platform::SerialLine&) override {
            {
                std::lock_guard guard(line_.mutex_);
                line_.open_ = true;
                ++line_.opened_;
            }
            return std::make_unique<Device>(line_);
        }

      private:
        MountLine& line_;
    };

    std::string received() const {
        std::lock_guard guard(mutex_);
        return received_;
    }
    bool open() const {
        std::lock_guard guard(mutex_);
        return open_;
    }
    int opened() const {
        std::lock_guard guard(mutex_);
        return opened_;
    }
    MountModel& model() { return model_; }

  private:
    MountModel model_;
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<char> answers_;
    std::string received_;
    bool open_ = false;
    int opened_ = 0;
};

class WholeProgram {
  public:
    // `stored` values are in the settings before anything reads them.
    explicit WholeProgram(std::map<fakes::MemorySettings::Key, int> stored = {})
        : userFolder_(MakeUserFolder()),
          doc_(store, watched, dialogs, "/nonexistent/celes.dat", userFolder_),
          records(doc_),
          mount(clock) {
        store.writeInt("OPTION3", "FULL_SCREEN", 0);
        for (const auto& [key, v] : stored) store.writeInt(key.first, key.second, v);
        clock.unixTime = 1796396400;  // 2026-12-04 15:00 UT
        clock.wall = platform::WallTime{2026, 12, 5, 4, 15, 0, 0, 0};
        std::vector<StarRecord> stars = fakes::makeStars(400);
        stars.push_back(fakes::makeStar(401, 1.46, 0.38, 1.5, "Tau", "Alp Tau"));
        stars.back().name = "Aldebaran";
        doc_.loadCatalogue(writeRecordStream(1000, stars));

        chart = new ChartWidget;
        frame.setCentralChart(chart);
        hand = std::make_unique<TapInput>(*chart, *chart, watched, store, dialogs);
        view = std::make_unique<CCelesView>(store, records, &graphics, &watched, hand.get());
        hand->attach(*view, records);
        chart->setView(view.get());
        commands = std::make_unique<AppCommands>(CommandServices{*view, store, watched, dialogs, clock,
                                                                 [this] { return doc_.keptDataDirectory(); },
                                                                 [this] { chart->update(); }});
        chart->setTransientCaption(&commands->caption);
        commands->table.SetNoticeSink([this](const std::string& t) {
            notices.push_back(t);
            commands->caption.show(t);
        });
        commands->openSetMenu = [this] { frame.openSetMenu(); };
        commands->exitProgram = [this] { exited = true; };
        {
            ViewState& v = view->state();
            v.year = 2026, v.month = 1, v.day = 1, v.hour = 0, v.minute = 0, v.second = 0;
        }
        registerAreas();
        KeepActionsCurrent(frame, *chart, commands->time, &watched);
        fullScreen = std::make_unique<FullScreenHandler>(*view, dialogs, frame);
        chart->setFullScreenHandler([this] { return fullScreen->adjust(); });
        frame.setCommands(commands->table, commands->bars, &watched);
        frame.resize(640, 800);
        frame.show();
        chart->prepareCanvas();
        view->recompute();  // what the catalogue's arrival does in the window
        commands->bars.start();
        frame.refreshActions();
        settle();
    }
    ~WholeProgram() {
        view->stopWorker();
        chart->setView(nullptr);
        telescope.reset();
        userData.reset();
        std::error_code ec;
        std::filesystem::remove_all(userFolder_, ec);
    }

    // Every module's rows, through the program's own wiring.
    void registerAreas() {
        WindowModules modules = WireWindowModules({frame, *chart, *hand, *view, doc_, records, *commands},
                                                  {store,
                                                   watched,
                                                   dialogs,
                                                   clock,
                                                   shell,
                                                   speech,
                                                   opener,
                                                   [this] { return userFolder_; },
                                                   [] { return std::vector<std::string>{"/dev/ttyS0"}; },
                                                   {},
                                                   [] { return CAstroTime(2026, 12, 5, 0, 15, 0); }});
        userData = std::move(modules.userData);
        telescope = std::move(modules.telescope);
    }

    CommandTable& table() { return commands->table; }
    ViewState& state() { return view->state(); }
    std::vector<int> time() {
        const ViewState& v = state();
        return {v.year, v.month, v.day, v.hour, v.minute, v.second};
    }
    int stored(const char* section, const char* value, int fallback = -999) const {
        return store.readInt(section, value, fallback);
    }

    // Runs what the loop has been handed, lets Qt deliver its events, and waits (in real time, a
    // little) for the mount's answers and the render worker to come back.
    void settle(int rounds = 3) {
        for (int i = 0; i < rounds; ++i) {
            QCoreApplication::processEvents();
            loop.runPosted();
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        QCoreApplication::processEvents();
        loop.runPosted();
    }
    // Moves virtual time on (deferred commands, the mount's periods), settling in between.
    void advance(std::uint64_t ms, std::uint64_t step = 100) {
        for (std::uint64_t t = 0; t < ms; t += step) {
            clock.advance(static_cast<std::uint32_t>(step));
            loop.advance(step);
            settle(1);
        }
    }

    // The dialog windows open over the frame now (top-level widgets that are visible dialogs).
    static std::vector<QDialog*> OpenDialogs() {
        std::vector<QDialog*> out;
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* d = qobject_cast<QDialog*>(w); d && d->isVisible()) out.push_back(d);
        return out;
    }

    // A popup holding command `id`, built as the hand builds every popup; its action.
    QAction* popupAction(int id) {
        hand->openPopup(0, TapMenu{MenuEntry{MenuEntry::Kind::Command, id, "", {}}}, 10, 10);
        QMenu* menu = hand->lastPopup();
        if (!menu || menu->actions().isEmpty()) return nullptr;
        return menu->actions().front();
    }
    // The bar buttons of command `id` shown now (command bar and tool bar).
    std::vector<QToolButton*> barButtons(int id) {
        std::vector<QToolButton*> out;
        QAction* a = frame.action(id);
        if (!a) return out;
        for (QToolBar* bar : {frame.commandBar(), frame.toolBar()})
            if (bar)
                if (auto* b = qobject_cast<QToolButton*>(bar->widgetForAction(a))) out.push_back(b);
        return out;
    }

    struct AppFirst {
        AppFirst() { EnsureApplication(); }
    } appFirst;  // the application object exists before the first widget member
    fakes::MemorySettings store;
    fakes::VirtualEventLoop loop;
    // What the program's modules see: the loop with the hook that refreshes the actions after each call.
    WatchedEventLoop watched{loop};
    fakes::ScriptedDialogs dialogs;
    fakes::ManualClock clock;
    fakes::RecordingShell shell;
    fakes::RecordingSpeech speech;
    platform::QtGraphicsFactory graphics;

  private:
    static std::string MakeUserFolder() {
        static int serial = 0;
        const auto dir = std::filesystem::temp_directory_path() /
                         ("celes_whole_" + std::to_string(::getpid()) + "_" + std::to_string(++serial));
        std::filesystem::create_directories(dir);
        return dir.string() + "/";
    }
    std::string userFolder_;
    CCelesDoc doc_;

  public:
    DocumentRecords<CCelesDoc> records;
    MountLine mount;
    MountLine::Opener opener{mount};
    CMainFrame frame;
    ChartWidget* chart = nullptr;
    std::unique_ptr<TapInput> hand;
    std::unique_ptr<CCelesView> view;
    std::unique_ptr<AppCommands> commands;
    std::unique_ptr<UserDataCommands> userData;
    std::unique_ptr<TelescopeControl> telescope;
    std::unique_ptr<FullScreenHandler> fullScreen;
    std::vector<std::string> notices;
    bool exited = false;
    CCelesDoc& doc() { return doc_; }
};

}  // namespace celes::test
