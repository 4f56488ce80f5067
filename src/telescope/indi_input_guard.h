#pragma once
// IndiInputGuard: a watch over the bytes an INDI server sends, kept before they reach the INDI
// client library. The library's parser builds every element it is sent in memory until the
// outermost one closes, and keeps every device and property defined: deeply nested or endless
// input from a faulty or hostile server would grow without bound. The guard follows the XML's
// structure (tags, quoted attribute values, nesting) without keeping any of it and says when the
// input passes one of its limits.
#include <cstddef>
#include <string>

namespace celes {

struct IndiInputLimits {
    // INDI's messages nest three deep (a vector, its members, nothing inside those).
    std::size_t depth = 16;
    // One outermost message: its bytes and the elements inside it. A mount's largest property
    // vectors are a few kilobytes with tens of members.
    std::size_t messageBytes = std::size_t{4} << 20;
    std::size_t messageElements = 10000;
    // Everything before the device the link waits for is ready: a server describing a few dozen
    // devices sends a few hundred kilobytes.
    std::size_t beforeDevice = std::size_t{16} << 20;
};

class IndiInputGuard {
  public:
    explicit IndiInputGuard(IndiInputLimits limits = {}) : limits_(limits) {}

    // Looks at the next bytes of the input; false, with Problem() saying why, once a limit is
    // passed (and from then on).
    bool Feed(const char* data, std::size_t size);
    // The device is ready: the total no longer counts (each message still does).
    void DeviceReady() { deviceReady_ = true; }
    const std::string& Problem() const { return problem_; }
    std::size_t Total() const { return total_; }

  private:
    enum class State { Text, TagStart, Open, Quoted, Close, Other };
    bool Fail(const char* problem);
    void EndOfMessageIfOutermost();

    IndiInputLimits limits_;
    State state_ = State::Text;
    char quote_ = 0;
    bool slashLast_ = false;
    std::size_t depth_ = 0;
    std::size_t messageBytes_ = 0;
    std::size_t messageElements_ = 0;
    std::size_t total_ = 0;
    bool deviceReady_ = false;
    std::string problem_;
};

}  // namespace celes
