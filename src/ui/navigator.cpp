#include "ui/navigator.h"

#include <algorithm>
#include <cstdlib>

#include "astro/time.h"
#include "view/projection.h"

namespace celes {

namespace {

int Wrap360(int degrees) {
    degrees %= 360;
    return degrees < 0 ? degrees + 360 : degrees;
}

// Leading digits (with an optional sign) as a number; text that is not a number reads as 0. Very
// long digit runs are held far beyond any range so they cannot overflow.
int ReadNumber(const std::string& text) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
    long long value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i)
        value = std::min<long long>(value * 10 + (text[i] - '0'), 1000000000LL);
    return int(negative ? -value : value);
}

}  // namespace

void ZoomNavigator::initialise(int headingDeg, int height, int zoom) {
    azimuth_ = Wrap360(Wrap360(headingDeg) + 90);
    height_ = height;
    zoom_ = std::clamp(zoom, kMinZoom, kMaxZoom);
    visible_ = true;
    if (changed_) changed_();
}

void ZoomNavigator::store(int azimuth, int height, int zoom) {
    busy_ = true;
    azimuth_ = azimuth;
    height_ = height;
    zoom_ = zoom;
    if (changed_) changed_();
    if (refresh_) refresh_();
    busy_ = false;
}

void ZoomNavigator::setHeading(int headingDeg) {
    const int azimuth = Wrap360(Wrap360(headingDeg) + 90);
    if (azimuth != azimuth_) store(azimuth, height_, zoom_);
}

int ZoomNavigator::heading() const {
    const int h = azimuth_ - 90;
    return h < 0 ? h + 360 : h;
}

void ZoomNavigator::setHeight(int height) {
    if (height != height_) store(azimuth_, height, zoom_);
}

void ZoomNavigator::setZoom(int zoom) {
    if (zoom != zoom_) store(azimuth_, height_, zoom);
}

int ZoomNavigator::step() const {
    if (zoom_ < 70) return 10;
    if (zoom_ < 150) return 5;
    if (zoom_ < 250) return 3;
    if (zoom_ < 350) return 2;
    return 1;
}

void ZoomNavigator::turn(int direction) {
    store(Wrap360(azimuth_ + (direction < 0 ? -step() : step())), height_, zoom_);
}

void ZoomNavigator::raise(int direction) {
    store(azimuth_, std::clamp(height_ + (direction < 0 ? -step() : step()), kMinHeight, kMaxHeight), zoom_);
}

void ZoomNavigator::turnBy(int steps) {
    store(Wrap360(azimuth_ + steps * step()), height_, zoom_);
}

void ZoomNavigator::raiseBy(int steps) {
    store(azimuth_, std::clamp(height_ + steps * step(), kMinHeight, kMaxHeight), zoom_);
}

void ZoomNavigator::zoomIn() {
    if (zoom_ >= kMaxZoom) return;
    store(azimuth_, height_, std::min(zoom_ + zoom_ / 10, kMaxZoom));
}

void ZoomNavigator::zoomOut() {
    if (zoom_ <= kMinZoom) return;
    store(azimuth_, height_, std::max(zoom_ - zoom_ / 11, kMinZoom));
}

void ZoomNavigator::setTyped(const std::string& azimuth, const std::string& height, const std::string& zoom) {
    // A half-typed field must not send the chart to a nonsense place: the height and zoom keep to
    // the ranges the scroll bars and buttons keep to.
    store(Wrap360(ReadNumber(azimuth)), std::clamp(ReadNumber(height), kMinHeight, kMaxHeight),
          std::clamp(ReadNumber(zoom), kMinZoom, kMaxZoom));
}

void ZoomNavigator::setVisible(bool on) {
    if (on == visible_) return;
    visible_ = on;
    if (changed_) changed_();
}

std::array<CentreCross::Segment, 2> CentreCross::SegmentsAt(int x, int y) {
    return {Segment{x - 7, y - 7, x + 8, y + 8}, Segment{x + 7, y - 7, x - 8, y + 8}};
}

bool NavigatorCentrePixel(const ProjectionContext& ctx, const ZoomNavigator& navigator, int& x, int& y) {
    constexpr double kDegree = kPi / 180.0;
    // The view's heading counts from west; the projection's azimuth from north.
    const double azimuth = (navigator.heading() - 90) * kDegree;
    return ProjectHorizontal(ctx, azimuth, navigator.height() * kDegree, false, x, y);
}

}  // namespace celes
