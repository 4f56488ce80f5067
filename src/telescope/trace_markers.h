#pragma once
// The trace's marks on the chart: the target circle (from 5 pixels left and above to 6 right and below
// the point) and the telescope's two squares (half-sizes 5 and 3). One pair of squares is remembered for
// the whole program and erased before a new pair is drawn: the chart's own pixels under it come back, so
// the track does not leave a trail of holes across the stars; a pixel the chart has drawn anew since is
// left alone, and where nothing was kept the background colour is used. Drawn straight into the pixels
// the window shows (blue, green, red bytes), clipped to the buffer.
#include <cstdint>
#include <optional>
#include <vector>

#include "platform/graphics.h"
#include "view/colour_table.h"

namespace celes {

// The pen and background of the marks under the colour mode: the marker colour filtered like other marks,
// and white behind black drawing on white, black otherwise.
struct MarkerColours {
    Colour pen = 0;
    Colour background = 0;
};
MarkerColours MarkerColoursFor(const ColourTable& table, const ColourMode& mode);

class TraceMarkers {
  public:
    static void DrawTarget(const platform::PixelBuffer& buffer, platform::Point p, Colour pen);
    // Erases the remembered pair, draws the new one at p and remembers it.
    void DrawTelescope(const platform::PixelBuffer& buffer, platform::Point p, const MarkerColours& colours);
    // The canvas was redrawn: nothing of the old pair is left to erase.
    void Forget() {
        last_.reset();
        kept_.clear();
    }
    std::optional<platform::Point> Last() const { return last_; }
    // Overwriting: each new pair is drawn over the chart and the old one is left standing, so the
    // mount's whole track stays on the chart until it is drawn anew.
    void SetOverwrite(bool on) { overwrite_ = on; }
    bool Overwrite() const { return overwrite_; }

  private:
    struct Kept {
        int x, y;
        Colour under;  // the chart's pixel before the mark
    };
    std::optional<platform::Point> last_;
    Colour lastPen_ = 0;
    std::vector<Kept> kept_;
    bool overwrite_ = false;
};

}  // namespace celes
