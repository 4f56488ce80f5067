// Feeds arbitrary bytes to the mount reply parsers and, split at the first byte's position, to the
// simulated mount's command reader. Parsed values must stay within the sky.
#include <cmath>
#include <cstdint>
#include <string_view>

#include "platform/clock.h"
#include "telescope/lx200.h"
#include "telescope/mount_sim.h"

namespace {

class StillClock : public celes::platform::Clock {
  public:
    celes::platform::WallTime localTime() const override { return {}; }
    std::uint32_t tickCount() const override { return ticks; }
    std::uint32_t ticks = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    if (const auto ra = celes::lx200::ParseRA(bytes)) {
        if (!(ra->degrees >= 0 && ra->degrees < 360)) __builtin_trap();
    }
    if (const auto dec = celes::lx200::ParseDec(bytes)) {
        if (!(std::fabs(dec->degrees) <= 90)) __builtin_trap();
    }
    if (celes::lx200::SlewRefusalText(bytes).size() > 64 * 3 + 32) __builtin_trap();
    if (celes::lx200::ReplyText(bytes).size() > size * 2) __builtin_trap();

    static StillClock clock;
    celes::MountModel model({}, clock);
    const std::size_t split = size ? data[0] % (size + 1) : 0;
    for (const auto& out : model.Feed(bytes.substr(0, split))) (void)out;
    for (const auto& out : model.Feed(bytes.substr(split))) (void)out;
    clock.ticks += 1000;
    if (!(model.RADegrees() >= 0 && model.RADegrees() < 360 && std::fabs(model.DecDegrees()) <= 90))
        __builtin_trap();
    return 0;
}
