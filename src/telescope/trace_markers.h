#pragma once
// The trace's marks on the chart: the target circle (from 5 pixels left and above to 6 right and below
// the point) and the telescope's two squares (half-sizes 5 and 3). One circle and one pair of squares
// stand for the whole program: before either is drawn anew, the marks standing give the chart's own
// pixels back, so a new target does not leave the old circle behind and the track does not leave a
// trail of holes across the stars. A pixel the chart has drawn anew since is left alone, and over a
// chart drawn anew since the marks (another render) nothing is given back: they went with it. Drawn
// straight into the pixels the window shows (blue, green, red bytes), clipped to the buffer, through
// the view's door to the shown chart.
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "platform/graphics.h"
#include "view/colour_table.h"

namespace celes {

class CCelesView;

// The pen and background of the marks under the colour mode: the marker colour filtered like other marks,
// and white behind black drawing on white, black otherwise.
struct MarkerColours {
    Colour pen = 0;
    Colour background = 0;
};
MarkerColours MarkerColoursFor(const ColourTable& table, const ColourMode& mode);

// The chart the marks go over: its pixels, the marks' colours, and which chart it is
// (CCelesView::shownChart).
struct MarkCanvas {
    platform::PixelBuffer buffer;
    MarkerColours colours;
    std::uint64_t chart = 0;
};

// Runs `draw` over the chart the view shows; false, drawing nothing, while the render worker draws.
bool DrawMarksOverShownChart(CCelesView& view, const std::function<void(const MarkCanvas&)>& draw);

class TraceMarkers {
  public:
    // Moves the target circle to p.
    void DrawTarget(const MarkCanvas& canvas, platform::Point p);
    // Erases the remembered pair (unless overwriting), draws the new one at p and remembers it.
    void DrawTelescope(const MarkCanvas& canvas, platform::Point p);
    // Nothing of the marks is left to give back (the chart was drawn anew).
    void Forget();
    std::optional<platform::Point> Last() const { return last_; }
    std::optional<platform::Point> Target() const { return target_; }
    // Overwriting: each new pair is drawn over the chart and the old one is left standing, so the
    // mount's whole track stays on the chart until it is drawn anew.
    void SetOverwrite(bool on) { overwrite_ = on; }
    bool Overwrite() const { return overwrite_; }

  private:
    enum class Mark : std::uint8_t { Target, Telescope };
    struct Kept {
        int x, y;
        Colour under;  // the chart's pixel before the mark
        Mark mark;
    };
    // Gives back what the marks standing cover, then draws the circle and the pair as they are now.
    void Redraw(const MarkCanvas& canvas);

    std::optional<platform::Point> target_;
    std::optional<platform::Point> last_;
    std::optional<std::uint64_t> chart_;  // the chart the kept pixels were read from
    Colour pen_ = 0;
    std::vector<Kept> kept_;  // in drawing order
    bool overwrite_ = false;
};

}  // namespace celes
