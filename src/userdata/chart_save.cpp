#include "userdata/chart_save.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "view/timer_ids.h"

namespace celes {

std::string ProposedScreenShotName(int month, int day, int hour, int minute, int second, std::uint32_t tick) {
    char name[96];
    std::snprintf(name, sizeof name, "CelesSCR_%d%d_%d%d%d_%d.jpg", month, day, hour, minute, second,
                  static_cast<int>(tick / 100 % 1000));
    return name;
}

namespace {

std::string WithSlash(std::string dir) {
    if (!dir.empty() && dir.back() != '/') dir += '/';
    return dir;
}

// XDG_PICTURES_DIR="$HOME/Pictures" from user-dirs.dirs.
std::string FromUserDirs(const std::string& home) {
    const char* config = std::getenv("XDG_CONFIG_HOME");
    const std::string file =
        (config && *config ? std::string(config) : home + "/.config") + "/user-dirs.dirs";
    std::ifstream in(file);
    std::string line;
    while (std::getline(in, line)) {
        const std::string key = "XDG_PICTURES_DIR=";
        if (line.rfind(key, 0) != 0) continue;
        std::string value = line.substr(key.size());
        if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
            value = value.substr(1, value.size() - 2);
        if (value.rfind("$HOME", 0) == 0) value = home + value.substr(5);
        return value;
    }
    return {};
}

}  // namespace

std::string PicturesFolder() {
    const char* h = std::getenv("HOME");
    const std::string home = h && *h ? h : "/tmp";
    std::error_code ec;
    if (const char* env = std::getenv("XDG_PICTURES_DIR");
        env && *env && std::filesystem::is_directory(env, ec))
        return WithSlash(env);
    if (const std::string dir = FromUserDirs(home); !dir.empty() && std::filesystem::is_directory(dir, ec))
        return WithSlash(dir);
    if (std::filesystem::is_directory(home + "/Pictures", ec)) return home + "/Pictures/";
    return WithSlash(home);
}

ChartSaveFlow::ChartSaveFlow(platform::EventLoop& loop, platform::Dialogs& dialogs, platform::Clock& clock,
                             Hooks hooks)
    : loop_(loop), dialogs_(dialogs), clock_(clock), hooks_(std::move(hooks)) {
    if (!hooks_.folder) hooks_.folder = PicturesFolder;
}

ChartSaveFlow::~ChartSaveFlow() {
    if (state_ != State::Idle) Disarm(loop_, TimerId::ChartSaveWait);
}

void ChartSaveFlow::start() {
    if (state_ != State::Idle) return;
    state_ = State::WaitingForDialog;
    poll();
}

void ChartSaveFlow::waitForWorker() {
    ArmRepeating(loop_, TimerId::ChartSaveWait, kSaveWaitPollMs, [this] { poll(); });
}

void ChartSaveFlow::poll() {
    if (state_ == State::Idle || state_ == State::ChoosingPath) return;
    if (hooks_.workerBusy && hooks_.workerBusy()) {
        waitForWorker();
        return;
    }
    Disarm(loop_, TimerId::ChartSaveWait);
    if (state_ == State::WaitingForDialog)
        askForPath();
    else
        writeNow();
}

void ChartSaveFlow::askForPath() {
    int month = 1, day = 1, hour = 0, minute = 0, second = 0;
    if (hooks_.viewTime) hooks_.viewTime(month, day, hour, minute, second);
    const std::string proposed =
        hooks_.folder() + ProposedScreenShotName(month, day, hour, minute, second, clock_.tickCount());
    state_ = State::ChoosingPath;
    dialogs_.saveFile(proposed, kScreenShotFilter,
                      [weak = std::weak_ptr(self_)](std::optional<std::string> path) {
                          if (auto self = weak.lock()) (*self)->chosen(std::move(path));
                      });
}

void ChartSaveFlow::chosen(std::optional<std::string> path) {
    if (state_ != State::ChoosingPath) return;
    if (!path) {
        state_ = State::Idle;
        return;
    }
    path_ = *path;
    if (std::filesystem::path(path_).extension().empty()) path_ += ".jpg";
    // A render may have started while the dialog was open: write once it has finished, so the
    // file never holds a half-drawn chart.
    state_ = State::WaitingToWrite;
    poll();
}

void ChartSaveFlow::writeNow() {
    state_ = State::Idle;
    std::string error;
    if (hooks_.write && !hooks_.write(path_, &error))
        dialogs_.messageBox("画面を保存できませんでした。\n" + path_ + (error.empty() ? "" : "\n" + error),
                            "現在画面をJPEG保存", platform::MessageButtons::Ok, platform::MessageIcon::Error);
}

}  // namespace celes
