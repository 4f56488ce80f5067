#pragma once
// The transient caption: a short notice drawn on the window over the lower-left corner of the
// chart, where the observing-place lines would stand, and erased by timer 179. The window draws
// `text()` in `colours()` on every paint while it is set.
#include <cstdint>
#include <functional>
#include <string>

#include "platform/colour.h"

namespace celes {

namespace platform {
class EventLoop;
}
class ColourTable;
struct ColourMode;

struct CaptionColours {
    Colour text;
    Colour background;
};

// Text: the general text colour through the red conversion (white in black-white, black in
// white-black); background: that colour with all 24 bits inverted, through the same conversion.
CaptionColours TransientCaptionColours(const ColourTable& table, const ColourMode& mode);

class TransientCaption {
  public:
    // How long a caption stays before timer 179 erases it.
    static constexpr std::uint32_t kDurationMs = 2000;

    // `placeLinesHidden` says whether the place lines are hidden ("OPTION2"/"NO_KANSOKU"): only
    // then is there room for the caption. `repaint` asks the window to paint again.
    TransientCaption(platform::EventLoop* loop, std::function<bool()> placeLinesHidden,
                     std::function<void()> repaint);

    // Shows `text` (UTF-8) for kDurationMs; a newer caption replaces an older one.
    void show(const std::string& text);
    // The erase step of timer 179.
    void erase();
    // A caption that stands for a state rather than an event (a telescope waiting for its mount)
    // stays until `keep()` is undone by `eraseIn(ms)`, which erases it after `ms` instead.
    void keep();
    void eraseIn(std::uint32_t ms);
    const std::string& text() const { return text_; }

  private:
    platform::EventLoop* loop_;
    std::function<bool()> placeLinesHidden_;
    std::function<void()> repaint_;
    std::string text_;
};

}  // namespace celes
