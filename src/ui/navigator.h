#pragma once
// The zoom navigator's values and rules: the centre of the zoom view (azimuth shown to the user,
// counted from south through west, and height) and the magnification in tenths, their steps, wrap
// and clamp, the "In" and "out" buttons, typed values, and the centre cross the chart shows. The
// tool window in ui/widgets binds its fields, scroll bars and buttons to this class.
#include <array>
#include <functional>
#include <string>

namespace celes {

class ZoomNavigator {
  public:
    static constexpr int kMinHeight = 4;
    static constexpr int kMaxHeight = 84;
    static constexpr int kMinZoom = 30;
    static constexpr int kMaxZoom = 900;

    // Seeds the values from the view: heading = direction x 90 + rotation (west 0, north 90, ...).
    void initialise(int headingDeg, int height, int zoom);

    // Asked whenever a value changed and the chart should follow (the view's refresh).
    void setRefresh(std::function<void()> refresh) { refresh_ = std::move(refresh); }
    // Asked whenever a shown value changed, so the window can show it.
    void setChanged(std::function<void()> changed) { changed_ = std::move(changed); }

    int azimuth() const { return azimuth_; }  // 0..359, south 0, west 90, north 180, east 270
    int height() const { return height_; }
    int zoom() const { return zoom_; }
    bool busy() const { return busy_; }

    // The view's heading (direction x 90 + rotation) to and from the azimuth shown.
    void setHeading(int headingDeg);
    int heading() const;
    void setHeight(int height);
    void setZoom(int zoom);

    // Azimuth and height step by the current zoom: 10 degrees below zoom 70, 5 below 150, 3 below
    // 250, 2 below 350, else 1.
    int step() const;

    // Scroll bars and keys: azimuth one step left or right (wrapped into 0..359), height one step up
    // or down (held within 4..84).
    void turn(int direction);   // -1 left, +1 right
    void raise(int direction);  // +1 up, -1 down
    // A dragged thumb: several steps at once, one store and one refresh (negative: left or down).
    void turnBy(int steps);
    void raiseBy(int steps);
    void zoomIn();   // "In": +zoom/10, at most 900
    void zoomOut();  // "out": -zoom/11, at least 30

    // Typed values: the three fields as text. Numbers are read as far as they go (anything else
    // reads as 0); the azimuth is wrapped into 0..359, the height and zoom are held to their ranges.
    void setTyped(const std::string& azimuth, const std::string& height, const std::string& zoom);

    // Visibility of the tool window (hidden by a tap or the navigator command, still existing).
    bool visible() const { return visible_; }
    void setVisible(bool on);

  private:
    void store(int azimuth, int height, int zoom);

    int azimuth_ = 0;
    int height_ = 45;
    int zoom_ = 50;
    bool busy_ = false;
    bool visible_ = true;
    std::function<void()> refresh_;
    std::function<void()> changed_;
};

// The centre mark the chart draws over itself while the navigator exists: an X drawn in the
// inverting mode, so drawing it twice at the same place erases it. Tracks where it stands.
struct CentreCross {
    bool drawn = false;
    int x = 0;
    int y = 0;
    // The two lines of the X at (x, y): (x-7, y-7)-(x+8, y+8) and (x+7, y-7)-(x-8, y+8).
    struct Segment {
        int x1, y1, x2, y2;
    };
    static std::array<Segment, 2> SegmentsAt(int x, int y);
};

struct ProjectionContext;  // view/projection.h
// The pixel of the navigator's centre in the zoom view's projection; false when it falls outside.
bool NavigatorCentrePixel(const ProjectionContext& ctx, const ZoomNavigator& navigator, int& x, int& y);

}  // namespace celes
