#pragma once
// What each display mode allows, in one table: code asks ModeHas(mode, capability) instead of
// repeating its own list of modes, so a mode's abilities are read and changed in one place.
#include <cstdint>

#include "view/view_state.h"

namespace celes {

enum class ModeCapability : std::uint8_t {
    // A point of the chart is a point of the sky: a press identifies what is drawn there, the popup
    // point turns back into the sky, keys steer the view. (The polar-alignment view and the orbit
    // diagram draw no such sky.)
    Tappable = 1 << 0,
    // The telescope can be sent to a tapped point ("ここを導入する").
    Slewable = 1 << 1,
    // The view looks along one azimuth: releases in the side bands and the left and right keys turn it.
    Turns = 1 << 2,
    // The view has a height that releases in the top and bottom bands and the keys change.
    Heights = 1 << 3,
    // The chart shows the whole sky (or all of it there is to show): nothing to register a tap on.
    WholeSky = 1 << 4,
    // An overview looking up: a release in the bottom band (or the down key) steps down into the
    // direction view, releases at the edges face another quadrant.
    Overview = 1 << 5,
};

struct DisplayModeRow {
    ViewMode mode;
    std::uint8_t capabilities;  // ModeCapability bits
};

namespace display_modes_detail {
constexpr std::uint8_t operator|(ModeCapability a, ModeCapability b) {
    return static_cast<std::uint8_t>(static_cast<std::uint8_t>(a) | static_cast<std::uint8_t>(b));
}
constexpr std::uint8_t operator|(std::uint8_t a, ModeCapability b) {
    return static_cast<std::uint8_t>(a | static_cast<std::uint8_t>(b));
}
using C = ModeCapability;
inline constexpr DisplayModeRow kDisplayModes[] = {
    {ViewMode::Planisphere, C::Tappable | C::WholeSky | C::Overview},
    {ViewMode::Polar, static_cast<std::uint8_t>(C::WholeSky)},
    {ViewMode::Orbits, static_cast<std::uint8_t>(C::WholeSky)},
    {ViewMode::Zenith, C::Tappable | C::Overview},
    {ViewMode::Direction, C::Tappable | C::Slewable | C::Turns | C::Heights},
    {ViewMode::Zoom, C::Tappable | C::Slewable | C::Turns},
};
}  // namespace display_modes_detail

// Every display mode with its capabilities.
constexpr const auto& DisplayModes() {
    return display_modes_detail::kDisplayModes;
}

// Whether `mode` has `capability`; false for a number that is no mode.
constexpr bool ModeHas(ViewMode mode, ModeCapability capability) {
    for (const DisplayModeRow& row : display_modes_detail::kDisplayModes)
        if (row.mode == mode) return (row.capabilities & static_cast<std::uint8_t>(capability)) != 0;
    return false;
}

}  // namespace celes
