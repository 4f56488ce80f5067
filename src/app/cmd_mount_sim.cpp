// `celes mount-sim`: a simulated LX200 mount on a pseudo-terminal or a loopback TCP port, for
// trying the telescope link without hardware.
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <thread>

#include "app/commands.h"
#include "platform/posix/posix_clock.h"
#include "platform/posix/serial_posix.h"
#include "platform/posix/tcp_device.h"
#include "telescope/mount_sim.h"

namespace celes::app {

namespace {

int Usage(const std::string& problem) {
    if (!problem.empty()) std::fprintf(stderr, "celes mount-sim: %s\n", problem.c_str());
    std::fprintf(problem.empty() ? stdout : stderr,
                 "usage: celes mount-sim [--link PATH] [--tcp PORT] [--quiet] [faults]\n"
                 "  Without --tcp the mount answers on a new pseudo-terminal whose path is printed;\n"
                 "  --link PATH also makes PATH a symbolic link to it. With --tcp it listens on\n"
                 "  127.0.0.1:PORT. It runs until interrupted. Faults:\n%s",
                 std::string(kMountSimOptionsHelp).c_str());
    return problem.empty() ? 0 : 2;
}

// Waits for SIGINT or SIGTERM (blocked beforehand) for up to ms; true when one came.
bool Interrupted(const sigset_t& signals, int ms) {
    timespec wait{ms / 1000, (ms % 1000) * 1000000L};
    return sigtimedwait(&signals, nullptr, &wait) > 0;
}

// Prints the commands the mount received since the last call.
void Log(const MountModel& model, std::size_t& shown, bool quiet) {
    const auto commands = model.Commands();
    for (; shown < commands.size(); ++shown) {
        if (!quiet) std::printf("<- %s\n", commands[shown].c_str());
    }
    std::fflush(stdout);
}

}  // namespace

int cmdMountSim(const Args& arguments) {
    Args args = arguments;
    MountSimOptions options;
    if (std::string problem = ParseMountSimOptions(args, options); !problem.empty()) return Usage(problem);
    std::string link;
    int tcpPort = -1;
    bool quiet = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--link" && i + 1 < args.size()) {
            link = args[++i];
        } else if (args[i] == "--tcp" && i + 1 < args.size()) {
            char* end = nullptr;
            const long port = std::strtol(args[++i].c_str(), &end, 10);
            if (*end != '\0' || port < 0 || port > 65535) return Usage("--tcp needs a port number 0-65535");
            tcpPort = static_cast<int>(port);
        } else if (args[i] == "--quiet") {
            quiet = true;
        } else if (args[i] == "--help" || args[i] == "-h") {
            return Usage("");
        } else {
            return Usage("unknown argument '" + args[i] + "'");
        }
    }

    // Signals are taken by sigtimedwait below, so block them before any thread starts.
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);
    ::signal(SIGPIPE, SIG_IGN);

    platform::PosixClock clock;
    MountModel model(options, clock);
    std::size_t shown = 0;

    if (tcpPort >= 0) {
        auto listener = platform::posix::TcpListener::listenLoopback(static_cast<std::uint16_t>(tcpPort));
        if (!listener) {
            std::fprintf(stderr, "celes mount-sim: cannot listen on 127.0.0.1:%d\n", tcpPort);
            return 1;
        }
        std::printf("tcp:127.0.0.1:%u\n", listener->port());
        std::fflush(stdout);
        std::atomic<bool> stop{false};
        std::thread acceptor([&] {
            while (!stop) {
                auto client = listener->accept(-1);
                if (!client) continue;
                MountSimServer server(model, std::move(client));
                while (!stop && server.Running()) std::this_thread::sleep_for(std::chrono::milliseconds(50));
            }
        });
        while (!Interrupted(signals, 200)) Log(model, shown, quiet);
        stop = true;
        listener->wake();
        acceptor.join();
        Log(model, shown, quiet);
        return 0;
    }

    auto pty = platform::posix::openPseudoTerminal();
    if (!pty) {
        std::fprintf(stderr, "celes mount-sim: cannot open a pseudo-terminal\n");
        return 1;
    }
    if (!link.empty()) {
        struct stat st {};
        if (lstat(link.c_str(), &st) == 0) {
            if (!S_ISLNK(st.st_mode)) {
                std::fprintf(stderr, "celes mount-sim: %s exists and is not a symbolic link\n", link.c_str());
                return 1;
            }
            ::unlink(link.c_str());
        }
        if (::symlink(pty->slavePath.c_str(), link.c_str()) != 0) {
            std::fprintf(stderr, "celes mount-sim: cannot make the link %s\n", link.c_str());
            return 1;
        }
    }
    std::printf("%s\n", link.empty() ? pty->slavePath.c_str() : link.c_str());
    std::fflush(stdout);
    int status = 0;
    {
        MountSimServer server(model, std::move(pty->master));
        for (;;) {
            if (Interrupted(signals, 200)) break;
            Log(model, shown, quiet);
            if (!server.Running()) {
                std::fprintf(stderr, "celes mount-sim: the link was dropped\n");
                status = 1;
                break;
            }
        }
    }
    Log(model, shown, quiet);
    if (!link.empty()) ::unlink(link.c_str());
    return status;
}

}  // namespace celes::app
