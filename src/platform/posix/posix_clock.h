#pragma once
// The machine's clock: local wall time, a monotonic millisecond tick, sleeping.
#include "platform/clock.h"

namespace celes::platform {

class PosixClock : public Clock {
  public:
    WallTime localTime() const override;
    std::uint32_t tickCount() const override;
};

}  // namespace celes::platform
