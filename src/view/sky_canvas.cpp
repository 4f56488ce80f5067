#include "view/sky_canvas.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "platform/dialogs.h"
#include "platform/event_loop.h"

namespace celes {

int CanvasStride(int width) {
    if (width <= 0) return 0;
    return ((width * 24 + 31) / 8) & ~3;
}

namespace {

inline int BlendChannel(int c, int s, int percent) {
    return c + percent * (s - c) / 100;
}

inline void BlendBgr(std::uint8_t* p, Colour colour, int percent) {
    p[0] = std::uint8_t(BlendChannel(p[0], BlueOf(colour), percent));
    p[1] = std::uint8_t(BlendChannel(p[1], GreenOf(colour), percent));
    p[2] = std::uint8_t(BlendChannel(p[2], RedOf(colour), percent));
}

inline void StoreBgr(std::uint8_t* p, Colour colour) {
    p[0] = std::uint8_t(BlueOf(colour));
    p[1] = std::uint8_t(GreenOf(colour));
    p[2] = std::uint8_t(RedOf(colour));
}

inline double PixelY(const std::uint8_t* p) {
    return Luminance(p[2], p[1], p[0]);
}

// How strongly a partial-intensity pixel may still be drawn over a background of luminance y:
// in proportion to the head-room left below the ceiling.
inline int CeilingPercent(double ceiling, double y, int percent) {
    if (!(ceiling > 0.0)) return 0;
    const double k = (ceiling - y) / ceiling * percent;
    if (k < 1.0) return 0;
    if (k >= 100.0) return 100;
    return int(k);
}

// Visits the points of the integer Bresenham line from (x1, y1) to (x2, y2), both ends included,
// that lie in the box [minX, maxX] x [minY, maxY]. Point k along the major axis has its minor
// coordinate at k * minor / major rounded to the nearest, halves rounded down, so the walk can start
// where the line enters the box: a line with far-away end points costs no more than the box is wide.
template <typename F>
void Bresenham(int x1, int y1, int x2, int y2, long minX, long maxX, long minY, long maxY, F&& plot) {
    using Wide = __int128;
    const long dx = long(x2) - x1, dy = long(y2) - y1;
    const long adx = dx < 0 ? -dx : dx, ady = dy < 0 ? -dy : dy;
    const int sx = dx < 0 ? -1 : 1, sy = dy < 0 ? -1 : 1;
    const bool xMajor = adx >= ady;
    const long major = xMajor ? adx : ady, minor = xMajor ? ady : adx;
    const long start = xMajor ? x1 : y1;
    const int step = xMajor ? sx : sy;
    const long lo = xMajor ? minX : minY, hi = xMajor ? maxX : maxY;
    // Steps k in [0, major] whose major coordinate start + step * k lies in [lo, hi].
    long k0, k1;
    if (step > 0) {
        k0 = lo - start;
        k1 = hi - start;
    } else {
        k0 = start - hi;
        k1 = start - lo;
    }
    if (k0 < 0) k0 = 0;
    if (k1 > major) k1 = major;
    for (long k = k0; k <= k1; ++k) {
        const long m = major == 0 ? 0 : long((Wide(2) * k * minor + major - 1) / (Wide(2) * major));
        long x, y;
        if (xMajor) {
            x = x1 + sx * k;
            y = y1 + sy * m;
        } else {
            y = y1 + sy * k;
            x = x1 + sx * m;
        }
        if (x < minX || x > maxX || y < minY || y > maxY) continue;
        plot(int(x), int(y));
    }
}

}  // namespace

void CSkyCanvas::FreeBits::operator()(std::uint8_t* p) const {
    std::free(p);
}

CSkyCanvas::CSkyCanvas(platform::GraphicsFactory* factory) : factory_(factory) {}

CSkyCanvas::~CSkyCanvas() {
    Destroy();
}

bool CSkyCanvas::Create(int width, int height) {
    Destroy();
    lastError_.clear();
    if (width <= 0 || height <= 0) return true;
    if (width > kMaxSide || height > kMaxSide) {
        lastError_ =
            "canvas size " + std::to_string(width) + " x " + std::to_string(height) + " is too large";
        return false;
    }
    const int stride = CanvasStride(width);
    const std::size_t size = std::size_t(stride) * std::size_t(height);
    bits_.reset(static_cast<std::uint8_t*>(std::calloc(size, 1)));
    if (!bits_) {
        lastError_ =
            "not enough memory for " + std::to_string(width) + " x " + std::to_string(height) + " pixels";
        return false;
    }
    size_ = size;
    width_ = width;
    height_ = height;
    stride_ = stride;
    return true;
}

void CSkyCanvas::AttachContext() {
    gc_.reset();
    if (!factory_ || !bits_) return;
    gc_ = factory_->attach(platform::PixelBuffer{bits_.get(), width_, height_, stride_});
    // A keyed canvas draws its text without a background box, whichever came first.
    if (gc_ && keyEnabled_) gc_->setTransparentText(true);
}

void CSkyCanvas::Destroy() {
    gc_.reset();
    bits_.reset();
    size_ = 0;
    width_ = height_ = stride_ = 0;
}

platform::Graphics& CSkyCanvas::Gc() {
    if (gc_) return *gc_;
    return nullGc_;
}

void CSkyCanvas::CopyFrom(const CSkyCanvas& other) {
    if (&other == this) return;
    if (other.width_ != width_ || other.height_ != height_) {
        if (!Create(other.width_, other.height_)) return;
    }
    if (bits_) std::memcpy(bits_.get(), other.bits_.get(), size_);
    ceiling_ = other.ceiling_;
    if (other.HasContext() && !HasContext()) {
        if (!factory_) factory_ = other.factory_;
        AttachContext();
    }
}

void CSkyCanvas::Tint(Colour colour, int percent) {
    if (percent < 0 || percent > 100) return;
    for (int y = 0; y < height_; ++y) {
        std::uint8_t* p = bits_.get() + std::size_t(y) * stride_;
        if (percent == 100) {
            for (int x = 0; x < width_; ++x, p += 3) StoreBgr(p, colour);
        } else {
            for (int x = 0; x < width_; ++x, p += 3) BlendBgr(p, colour, percent);
        }
    }
}

void CSkyCanvas::SetKey(Colour colour) {
    Tint(colour, 100);
    keyEnabled_ = true;
    keyColour_ = colour & 0xFFFFFF;
    Gc().setTransparentText(true);
}

Colour CSkyCanvas::GetPixel(int x, int y) const {
    if (!Contains(x, y)) return 0;
    const std::uint8_t* p = bits_.get() + std::size_t(y) * stride_ + 3 * x;
    return MakeColour(p[2], p[1], p[0]);
}

namespace {
// A percent outside 0..100 would push channels past their range and wrap them; hold it inside.
inline int ClampPercent(int percent) {
    return percent < 0 ? 0 : (percent > 100 ? 100 : percent);
}
}  // namespace

void CSkyCanvas::PutPixel(int x, int y, Colour colour, int percent) {
    if (!Contains(x, y)) return;
    percent = ClampPercent(percent);
    std::uint8_t* p = bits_.get() + std::size_t(y) * stride_ + 3 * x;
    if (percent == 100)
        StoreBgr(p, colour);
    else
        BlendBgr(p, colour, percent);
}

void CSkyCanvas::BlendPixelCeiling(int x, int y, Colour colour, int percent) {
    if (!Contains(x, y)) return;
    percent = ClampPercent(percent);
    std::uint8_t* p = bits_.get() + std::size_t(y) * stride_ + 3 * x;
    if (percent == 100) {
        StoreBgr(p, colour);
        return;
    }
    const int k = CeilingPercent(ceiling_, PixelY(p), percent);
    if (k < 1) return;
    if (k < 100)
        BlendBgr(p, colour, k);
    else
        StoreBgr(p, colour);
}

int CSkyCanvas::PixelLuminance(int x, int y) const {
    if (!Contains(x, y)) return 0;
    return int(PixelY(bits_.get() + std::size_t(y) * stride_ + 3 * x));
}

void CSkyCanvas::Line(int x1, int y1, int x2, int y2, Colour colour, int percent) {
    Bresenham(x1, y1, x2, y2, 0, width_ - 1, 0, height_ - 1,
              [&](int x, int y) { PutPixel(x, y, colour, percent); });
    lastLine_ = {x1, y1, x2, y2};
}

void CSkyCanvas::LineTo(int x, int y, Colour colour, int percent) {
    Line(penX_, penY_, x, y, colour, percent);
    penX_ = x;
    penY_ = y;
}

template <bool kCeiling>
void CSkyCanvas::BlendFromImpl(const platform::Rect* clip, const CSkyCanvas& source, int sourceX, int sourceY,
                               int percent) {
    if (percent < 0 || percent > 100) return;
    if (!bits_ || !source.bits_) return;
    // The destination area, with the source origin following the area's top-left corner so that a
    // clip rectangle hanging over the canvas edge keeps the source aligned.
    long left = 0, top = 0, right = width_, bottom = height_;
    long sx0 = sourceX, sy0 = sourceY;
    if (clip) {
        left = std::max<long>(clip->left, 0);
        top = std::max<long>(clip->top, 0);
        right = std::min<long>(clip->right, width_);
        bottom = std::min<long>(clip->bottom, height_);
        sx0 += left - clip->left;
        sy0 += top - clip->top;
    }
    // Parts of the area whose source lies before the source's first row or column.
    if (sx0 < 0) {
        left -= sx0;
        sx0 = 0;
    }
    if (sy0 < 0) {
        top -= sy0;
        sy0 = 0;
    }
    right = std::min<long>(right, left + (source.width_ - sx0));
    bottom = std::min<long>(bottom, top + (source.height_ - sy0));
    if (left >= right || top >= bottom) return;

    const bool useKey = source.keyEnabled_;
    const int kb = BlueOf(source.keyColour_), kg = GreenOf(source.keyColour_), kr = RedOf(source.keyColour_);
    for (long y = top; y < bottom; ++y) {
        std::uint8_t* d = bits_.get() + std::size_t(y) * stride_ + 3 * left;
        const std::uint8_t* s =
            source.bits_.get() + std::size_t(sy0 + (y - top)) * source.stride_ + 3 * std::size_t(sx0);
        for (long x = left; x < right; ++x, d += 3, s += 3) {
            if (useKey && s[0] == kb && s[1] == kg && s[2] == kr) continue;
            int p = percent;
            if constexpr (kCeiling) {
                p = CeilingPercent(ceiling_, PixelY(d), percent);
                if (p < 1) continue;
            }
            if (p == 100) {
                d[0] = s[0];
                d[1] = s[1];
                d[2] = s[2];
            } else {
                d[0] = std::uint8_t(BlendChannel(d[0], s[0], p));
                d[1] = std::uint8_t(BlendChannel(d[1], s[1], p));
                d[2] = std::uint8_t(BlendChannel(d[2], s[2], p));
            }
        }
    }
}

void CSkyCanvas::BlendFrom(const platform::Rect* clip, const CSkyCanvas& source, int sourceX, int sourceY,
                           int percent) {
    BlendFromImpl<false>(clip, source, sourceX, sourceY, percent);
}

void CSkyCanvas::BlendFromCeiling(const platform::Rect* clip, const CSkyCanvas& source, int sourceX,
                                  int sourceY, int percent) {
    BlendFromImpl<true>(clip, source, sourceX, sourceY, percent);
}

void CSkyCanvas::StampLine(int x1, int y1, int x2, int y2, const CSkyCanvas& source, int percent) {
    const int hw = source.width_ / 2, hh = source.height_ / 2;
    // Computed wide and held to the int range: end points may lie anywhere.
    auto held = [](long v) { return int(std::clamp<long>(v, INT_MIN, INT_MAX)); };
    const platform::Rect bounds{held(long(std::min(x1, x2)) - hw), held(long(std::min(y1, y2)) - hh),
                                held(long(std::max(x1, x2)) - hw + source.width_),
                                held(long(std::max(y1, y2)) - hh + source.height_)};
    if (&source != this) {
        // Only the points whose stamp can touch the canvas.
        Bresenham(x1, y1, x2, y2, long(hw) - source.width_, long(width_) + hw, long(hh) - source.height_,
                  long(height_) + hh, [&](int x, int y) {
                      const platform::Rect r{x - hw, y - hh, x - hw + source.width_, y - hh + source.height_};
                      BlendFrom(&r, source, 0, 0, percent);
                  });
    }
    lastLine_ = bounds;
}

bool CSkyCanvas::SelectCanvasFont() {
    return Gc().setFont("MS ゴシック", 100);
}

void ReportCanvasFailure(const CSkyCanvas& canvas, platform::Dialogs& dialogs, platform::EventLoop& loop) {
    dialogs.messageBox(canvas.LastError(), "DIB生成", platform::MessageButtons::Ok,
                       platform::MessageIcon::Information);
    loop.quit();
}

// ---- Moon phase ----

namespace {
// The phase drawing's own coarse quarter turns (six places), not the engine's pi.
constexpr double kPhaseHalfPi = 1.570796;
constexpr double kPhaseThreeHalfPi = 4.712388;
constexpr double kPhaseFiveHalfPi = 7.85398;
constexpr double kPhaseTwoPi = 6.283184;
constexpr double kArcStep = 0.1745328888888889;  // 10 degrees
constexpr double kPhaseQ = 0.13559322033898305;  // 1 / 7.375
}  // namespace

std::vector<platform::Point> MoonArc(int x, int y, int r, double t0, double t1, double k, double theta) {
    std::vector<platform::Point> pts;
    const double flatten = std::sin(k * kPhaseHalfPi);
    auto add = [&](double t) {
        const double xp = r * std::sin(t), yp = r * std::cos(t) * flatten;
        const double phi = std::atan2(xp, yp) + theta;
        const double rho = std::sqrt(xp * xp + yp * yp);
        // trunc(v + 0.5) added to the centre, computed wide and held to the int range.
        auto at = [](int c, double v) {
            const double o = std::isfinite(v) ? std::clamp(v + 0.5, -4e18, 4e18) : 0.0;
            return int(std::clamp<long>(long(c) + long(o), INT_MIN, INT_MAX));
        };
        pts.push_back({at(x, rho * std::sin(phi)), at(y, rho * std::cos(phi))});
    };
    if (t1 >= t0) {
        for (double t = t0; t < t1; t += kArcStep) add(t);
    } else {
        for (double t = t0; t > t1; t -= kArcStep) add(t);
    }
    add(t1);
    return pts;
}

void CSkyCanvas::DrawMoonPhase(int x, int y, int size, double age, double brightLimbAngle, Colour colour,
                               const CSkyCanvas* texture) {
    if (!std::isfinite(age) || !std::isfinite(brightLimbAngle)) return;
    const int r = size / 2;
    Colour disc = colour, shadow = 0;
    if (colour == 0) {
        disc = 0;
        shadow = MakeColour(255, 255, 255);
    }
    platform::Graphics& g = Gc();
    g.save();
    if (texture && texture->Width() > 0) {
        const int n = std::min({20, texture->Width(), texture->Height()});
        for (int ty = 0; ty < n; ++ty)
            for (int tx = 0; tx < n; ++tx) PutPixel(11 + tx, 11 + ty, texture->GetPixel(tx, ty), 100);
    } else {
        const auto pts = MoonArc(x, y, r, 0.0, kPhaseTwoPi, 1.0, brightLimbAngle);
        g.setPen(disc);
        g.setBrush(disc);
        g.polygon(pts.data(), int(pts.size()));
    }
    const double m = age - 14.75;
    double limb0, limb1, term0, term1, k;
    if (m < -7.5) {
        limb0 = kPhaseHalfPi, limb1 = kPhaseThreeHalfPi, term0 = kPhaseThreeHalfPi, term1 = kPhaseFiveHalfPi;
        k = (-m - 7.375) * kPhaseQ;
    } else if (m < 0.25) {
        limb0 = kPhaseHalfPi, limb1 = kPhaseThreeHalfPi, term0 = kPhaseThreeHalfPi, term1 = kPhaseHalfPi;
        k = 1 + m * kPhaseQ;
    } else if (m == 0.25) {
        g.restore();
        return;
    } else if (m < 7.5) {
        limb0 = kPhaseThreeHalfPi, limb1 = kPhaseFiveHalfPi, term0 = kPhaseFiveHalfPi,
        term1 = kPhaseThreeHalfPi;
        k = 1 - m * kPhaseQ;
    } else {
        limb0 = kPhaseThreeHalfPi, limb1 = kPhaseFiveHalfPi, term0 = kPhaseHalfPi, term1 = kPhaseThreeHalfPi;
        k = (m - 7.375) * kPhaseQ;
    }
    auto pts = MoonArc(x, y, r, limb0, limb1, 1.0, brightLimbAngle);
    const auto term = MoonArc(x, y, r, term0, term1, k, brightLimbAngle);
    pts.insert(pts.end(), term.begin(), term.end());
    g.setPen(shadow);
    g.setBrush(shadow);
    g.polygon(pts.data(), int(pts.size()));
    g.restore();
}

}  // namespace celes
