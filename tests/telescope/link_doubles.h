#pragma once
// Stand-ins for the platform services the telescope link uses, and a simulated mount on a real
// pseudo-terminal.
#include <atomic>
#include <chrono>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "platform/clock.h"
#include "platform/posix/posix_clock.h"
#include "platform/posix/serial_posix.h"
#include "telescope/mount_sim.h"

namespace celes::testing {

// The machine's clock.
using RealClock = platform::PosixClock;

// Byte counts of one side of a serial line: what it wrote and read, whether its reader is waiting
// for more (it has handled everything it read so far), whether its reader has seen the line drop,
// and whether it is closed.
struct LineEnd {
    std::atomic<std::uint64_t> written{0};
    std::atomic<std::uint64_t> read{0};
    std::atomic<bool> waiting{false};
    std::atomic<bool> dropped{false};
    std::atomic<bool> closed{false};
};

// A serial device that counts what passes through it, into its own LineEnd and into a total.
class CountingDevice final : public platform::SerialDevice {
  public:
    CountingDevice(std::unique_ptr<platform::SerialDevice> inner, std::shared_ptr<LineEnd> end,
                   std::shared_ptr<LineEnd> total = nullptr)
        : inner_(std::move(inner)), end_(std::move(end)), total_(std::move(total)) {}
    ~CountingDevice() override { end_->closed = true; }
    long read(std::uint8_t* buffer, std::size_t capacity, int timeoutMs) override {
        end_->waiting = true;
        const long n = inner_->read(buffer, capacity, timeoutMs);
        if (n > 0) {
            end_->waiting = false;  // before the counts: the bytes are not handled yet
            end_->read += std::uint64_t(n);
            if (total_) total_->read += std::uint64_t(n);
        } else if (n < 0) {
            end_->waiting = false;
            end_->dropped = true;
        }
        return n;
    }
    bool write(const std::uint8_t* bytes, std::size_t length) override {
        const bool ok = inner_->write(bytes, length);
        if (ok) {
            end_->written += length;
            if (total_) total_->written += length;
        }
        return ok;
    }
    void wake() override { inner_->wake(); }

  private:
    std::unique_ptr<platform::SerialDevice> inner_;
    std::shared_ptr<LineEnd> end_;
    std::shared_ptr<LineEnd> total_;
};

// Opens devices as the program does and counts what passes: per line, and in total over every
// line it opened (a port is opened and closed again for each bar button).
class CountingOpener final : public platform::SerialDeviceOpener {
  public:
    std::unique_ptr<platform::SerialDevice> open(const std::string& name,
                                                 const platform::SerialLine& line) override {
        auto device = inner_.open(name, line);
        if (!device) return device;
        auto end = std::make_shared<LineEnd>();
        {
            std::lock_guard guard(mutex_);
            last_ = end;
        }
        return std::make_unique<CountingDevice>(std::move(device), std::move(end), total_);
    }
    std::shared_ptr<const LineEnd> Last() const {
        std::lock_guard guard(mutex_);
        return last_;
    }
    const LineEnd& Total() const { return *total_; }

  private:
    platform::posix::PosixSerialOpener inner_;
    mutable std::mutex mutex_;
    std::shared_ptr<LineEnd> last_;
    std::shared_ptr<LineEnd> total_ = std::make_shared<LineEnd>();
};

// A simulated mount answering on a fresh pseudo-terminal; path() is what a port opens.
class SimulatedMount {
  public:
    explicit SimulatedMount(MountSimOptions options = {}) : model_(AtAFixedHour(std::move(options)), clock_) {
        auto pty = platform::posix::openPseudoTerminal();
        if (!pty) return;
        path_ = pty->slavePath;
        server_ = std::make_unique<MountSimServer>(
            model_, std::make_unique<CountingDevice>(std::move(pty->master), end_));
    }
    bool ok() const { return server_ != nullptr; }
    const std::string& path() const { return path_; }
    MountModel& model() { return model_; }
    // Drops the link as if the mount were unplugged.
    void Unplug() { server_.reset(); }
    bool Running() const { return server_ && server_->Running(); }

    // Whether the line is at rest: the mount has answered everything the program sent it (its
    // delays included) and the program's reader has taken in, and handed on, every byte of it.
    // Virtual time may move on only then, so how fast this machine passes bytes never shows in the
    // virtual time an exchange takes.
    bool AtRest(const CountingOpener& program) const {
        const LineEnd& total = program.Total();
        const std::shared_ptr<const LineEnd> line = program.Last();
        // Unplugged: nothing more comes, but the program's reader must have seen the line drop, or
        // virtual time could run out the exchange's limit before a busy machine lets it look.
        if (!Running()) return !line || line->closed || line->dropped;
        const bool reading = !line || line->closed || line->waiting;
        return reading && end_->waiting && end_->read == total.written - baseWritten_ &&
               (!line || line->closed || total.read - baseRead_ == end_->written);
    }
    std::string Describe(const CountingOpener& program) const {
        const LineEnd& total = program.Total();
        return "program wrote " + std::to_string(total.written - baseWritten_) + " read " +
               std::to_string(total.read - baseRead_) + "; mount running " + std::to_string(Running()) +
               " waiting " + std::to_string(end_->waiting) + " read " + std::to_string(end_->read) +
               " wrote " + std::to_string(end_->written);
    }
    // The program's ports are opened by `program` from now on: what it passed before went to
    // other mounts.
    void Pair(const CountingOpener& program) {
        baseWritten_ = program.Total().written;
        baseRead_ = program.Total().read;
    }
    // Waits, in real time, for the line to come to rest; false if it did not within the limit.
    bool WaitAtRest(const CountingOpener& program,
                    std::chrono::milliseconds limit = std::chrono::seconds(20)) const {
        const auto end = std::chrono::steady_clock::now() + limit;
        while (!AtRest(program)) {
            if (std::chrono::steady_clock::now() > end) return false;
            std::this_thread::sleep_for(std::chrono::microseconds(200));
        }
        return true;
    }

  private:
    // 2026-12-04 15:00 UTC: at the mount's place M1 stands 75 degrees high and the pole 36, so a
    // test's slew is answered the same whenever it runs.
    static MountSimOptions AtAFixedHour(MountSimOptions options) {
        if (options.horizonAtUnixSeconds == 0) options.horizonAtUnixSeconds = 1796396400;
        return options;
    }
    RealClock clock_;
    MountModel model_;
    std::shared_ptr<LineEnd> end_ = std::make_shared<LineEnd>();
    std::string path_;
    std::unique_ptr<MountSimServer> server_;
    std::uint64_t baseWritten_ = 0, baseRead_ = 0;
};

}  // namespace celes::testing
