#pragma once
// The display modes by the names the command line uses, one table for `celes --mode` and
// `celes render --mode`.
#include <optional>
#include <string>
#include <string_view>

#include "view/view_state.h"

namespace celes::app {

struct ViewModeName {
    const char* name;
    ViewMode mode;
};

inline constexpr ViewModeName kViewModeNames[] = {
    {"planisphere", ViewMode::Planisphere}, {"polar", ViewMode::Polar},         {"orbits", ViewMode::Orbits},
    {"zenith", ViewMode::Zenith},           {"direction", ViewMode::Direction}, {"zoom", ViewMode::Zoom},
};

inline std::optional<ViewMode> ViewModeFromName(std::string_view name) {
    for (const ViewModeName& m : kViewModeNames)
        if (name == m.name) return m.mode;
    return std::nullopt;
}

// "planisphere|polar|...", for usage texts.
inline std::string ViewModeNameList() {
    std::string out;
    for (const ViewModeName& m : kViewModeNames) {
        if (!out.empty()) out += '|';
        out += m.name;
    }
    return out;
}

}  // namespace celes::app
