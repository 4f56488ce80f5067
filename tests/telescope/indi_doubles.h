#pragma once
// The INDI side of the telescope tests: a real `indiserver` with its drivers as a child process,
// a scripted INDI server for the faults a real one will not produce, and an event loop whose
// posted calls may come from any thread.
#include <fcntl.h>
#include <netinet/in.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <filesystem>
#include <functional>
#include <future>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/event_loop.h"
#include "platform/posix/tcp_device.h"
#include "telescope/indi_mount.h"

extern char** environ;

namespace celes::testing {

// A loopback port nobody listens on at the moment of asking.
inline int FreePort() {
    auto listener = platform::posix::TcpListener::listenLoopback(0);
    return listener ? listener->port() : 0;
}

inline bool Answers(int port) {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    const bool ok = ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    ::close(fd);
    return ok;
}

// Runs a command with a time limit and returns its standard output.
inline std::string Capture(const std::string& command) {
    std::string out;
    if (FILE* pipe = ::popen(("timeout 10 " + command + " 2>/dev/null").c_str(), "r")) {
        char buffer[512];
        std::size_t n;
        while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) out.append(buffer, n);
        ::pclose(pipe);
    }
    return out;
}

// `indiserver -p PORT DRIVER...` as a child process, with its own home folder so that the
// drivers' saved settings stay out of the user's. Stopped by its process id.
class IndiServerProcess {
  public:
    explicit IndiServerProcess(const std::vector<std::string>& drivers) {
        if (!std::filesystem::exists("/usr/bin/indiserver")) return;
        home_ = std::filesystem::temp_directory_path() /
                ("celes-indi-" + std::to_string(::getpid()) + "-" + std::to_string(counter()++));
        std::filesystem::create_directories(home_);
        for (int attempt = 0; attempt < 3 && pid_ <= 0; ++attempt) {
            port_ = FreePort();
            Spawn(drivers);
            // The server listens at once; its drivers describe themselves a moment later.
            const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
            while (std::chrono::steady_clock::now() < deadline && !Answers(port_) && Alive())
                std::this_thread::sleep_for(std::chrono::milliseconds(50));
            if (!Answers(port_)) Stop();
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
    }
    ~IndiServerProcess() {
        Stop();
        std::error_code ignored;
        if (!home_.empty()) std::filesystem::remove_all(home_, ignored);
    }
    bool ok() const { return pid_ > 0; }
    int port() const { return port_; }
    std::string address(const std::string& device = "") const {
        return "indi:127.0.0.1:" + std::to_string(port_) + (device.empty() ? "" : "/" + device);
    }
    // One value as the server holds it, read by INDI's own tool: "DEVICE.PROPERTY.ELEMENT".
    std::string Get(const std::string& name) const {
        std::string out = Capture("indi_getprop -1 -t 3 -p " + std::to_string(port_) + " '" + name + "'");
        while (!out.empty() && (out.back() == '\n' || out.back() == '\r')) out.pop_back();
        return out;
    }
    // Whether the value turns to `value` within a few seconds (the server passes news on in its
    // own time).
    bool Becomes(const std::string& name, const std::string& value) const {
        for (int i = 0; i < 20; ++i) {
            if (Get(name) == value) return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
        return false;
    }
    void Set(const std::string& assignment) const {
        Capture("indi_setprop -t 3 -p " + std::to_string(port_) + " '" + assignment + "'");
    }
    void Stop() {
        if (pid_ <= 0) return;
        ::kill(pid_, SIGTERM);
        for (int i = 0; i < 100; ++i) {
            if (::waitpid(pid_, nullptr, WNOHANG) == pid_) {
                pid_ = -1;
                return;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        ::kill(pid_, SIGKILL);
        ::waitpid(pid_, nullptr, 0);
        pid_ = -1;
    }

  private:
    static int& counter() {
        static int n = 0;
        return n;
    }
    bool Alive() { return pid_ > 0 && ::waitpid(pid_, nullptr, WNOHANG) == 0; }
    void Spawn(const std::vector<std::string>& drivers) {
        // Each server has its own local socket: the default one allows a single server per machine.
        std::vector<std::string> args{"indiserver", "-p", std::to_string(port_), "-u",
                                      (home_ / "socket").string()};
        args.insert(args.end(), drivers.begin(), drivers.end());
        std::vector<char*> argv;
        for (auto& a : args) argv.push_back(a.data());
        argv.push_back(nullptr);
        std::vector<std::string> env{"HOME=" + home_.string(), "PATH=/usr/bin:/bin"};
        std::vector<char*> envp;
        for (auto& e : env) envp.push_back(e.data());
        envp.push_back(nullptr);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        const std::string log = (home_ / "indiserver.log").string();
        posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
        posix_spawn_file_actions_addopen(&actions, 2, log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        pid_t pid = -1;
        if (posix_spawn(&pid, "/usr/bin/indiserver", &actions, nullptr, argv.data(), envp.data()) == 0)
            pid_ = pid;
        posix_spawn_file_actions_destroy(&actions);
    }

    std::filesystem::path home_;
    int port_ = 0;
    pid_t pid_ = -1;
};

// A loop whose post may be called from any thread; the test runs the posted calls.
class ThreadSafeLoop : public platform::EventLoop {
  public:
    void startTimer(int, std::uint32_t, std::function<void()>) override {}
    void stopTimer(int) override {}
    void post(std::function<void()> call) override {
        std::lock_guard lock(mutex_);
        posted_.push_back(std::move(call));
    }
    void quit() override {}
    std::size_t RunPosted() {
        std::deque<std::function<void()>> calls;
        {
            std::lock_guard lock(mutex_);
            calls.swap(posted_);
        }
        for (auto& call : calls) call();
        return calls.size();
    }

  private:
    std::mutex mutex_;
    std::deque<std::function<void()>> posted_;
};

// Runs one operation on a mount without a loop and returns its result (the command line's way).
template <typename Operation>
IndiResult Await(Operation operation) {
    auto promise = std::make_shared<std::promise<IndiResult>>();
    auto future = promise->get_future();
    operation([promise](const IndiResult& result) { promise->set_value(result); });
    if (future.wait_for(std::chrono::seconds(30)) != std::future_status::ready) {
        IndiResult hung;
        hung.state = TelescopeState::Closed;
        hung.status = "the operation never finished";
        return hung;
    }
    return future.get();
}

// A scripted INDI server for one client: sends `greeting` when the client asks for the
// properties, and answers each new*Vector it receives through `answer` (nothing when it returns
// empty). Drop() closes the connection as a crashed server would.
class FakeIndiServer {
  public:
    using Answer = std::function<std::string(const std::string& request)>;
    FakeIndiServer(std::string greeting, Answer answer)
        : listener_(platform::posix::TcpListener::listenLoopback(0)),
          greeting_(std::move(greeting)),
          answer_(std::move(answer)) {
        if (listener_) thread_ = std::thread([this] { Run(); });
    }
    ~FakeIndiServer() {
        stop_ = true;
        if (listener_) listener_->wake();
        {
            std::lock_guard lock(mutex_);
            if (link_) link_->wake();
        }
        if (thread_.joinable()) thread_.join();
    }
    int port() const { return listener_ ? listener_->port() : 0; }
    std::string address(const std::string& device = "") const {
        return "indi:127.0.0.1:" + std::to_string(port()) + (device.empty() ? "" : "/" + device);
    }
    void Drop() { drop_ = true; }
    void Send(const std::string& xml) {
        std::lock_guard lock(mutex_);
        pending_ += xml;
    }

  private:
    void Run() {
        std::unique_ptr<platform::SerialDevice> link;
        while (!stop_ && !link) link = listener_->accept(100);
        if (!link) return;
        {
            std::lock_guard lock(mutex_);
            link_ = link.get();
        }
        std::string received;
        bool greeted = false;
        while (!stop_ && !drop_) {
            std::uint8_t buffer[4096];
            const long n = link->read(buffer, sizeof buffer, 50);
            if (n < 0) break;
            received.append(reinterpret_cast<char*>(buffer), static_cast<std::size_t>(std::max(n, 0L)));
            std::string out;
            if (!greeted && received.find("<getProperties") != std::string::npos) {
                greeted = true;
                out += greeting_;
            }
            // Whole requests only: each ends with its closing tag.
            for (;;) {
                const auto start = received.find("<new");
                if (start == std::string::npos) break;
                const auto end = received.find("Vector>", received.find("</new", start));
                if (received.find("</new", start) == std::string::npos || end == std::string::npos) break;
                const std::string request = received.substr(start, end + 7 - start);
                received.erase(0, end + 7);
                out += answer_(request);
            }
            {
                std::lock_guard lock(mutex_);
                out += pending_;
                pending_.clear();
            }
            if (!out.empty()) link->write(reinterpret_cast<const std::uint8_t*>(out.data()), out.size());
        }
        std::lock_guard lock(mutex_);
        link_ = nullptr;
    }

    std::unique_ptr<platform::posix::TcpListener> listener_;
    std::string greeting_;
    Answer answer_;
    std::atomic<bool> stop_{false};
    std::atomic<bool> drop_{false};
    std::mutex mutex_;
    platform::SerialDevice* link_ = nullptr;
    std::string pending_;
    std::thread thread_;
};

}  // namespace celes::testing
