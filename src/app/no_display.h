#pragma once
// What `celes` and the window program say when there is no display to open the window on.

namespace celes::app {

inline constexpr const char* kNoDisplay =
    "celes: no display to open the window on (DISPLAY and WAYLAND_DISPLAY are unset or unreachable); "
    "the command-line verbs work without one (celes --help)";

}  // namespace celes::app
