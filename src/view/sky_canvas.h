#pragma once
// The off-screen raster the chart is drawn into: a 24-bit top-down blue-green-red buffer with rows
// padded to 4 bytes, written directly by the pixel primitives below, and a platform Graphics that
// draws text and fills into the very same bytes.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/colour.h"
#include "platform/graphics.h"

namespace celes {

namespace platform {
class Dialogs;
class EventLoop;
}  // namespace platform

struct CanvasSize {
    int width = 0;
    int height = 0;
};

// Bytes per row of a 24-bit canvas: 3 bytes a pixel, rounded up to a multiple of 4.
int CanvasStride(int width);

class CSkyCanvas {
  public:
    // The largest side accepted by Create; a bigger request fails like an allocation failure.
    static constexpr int kMaxSide = 32767;

    // Without a factory the canvas has no drawing context: text and fills draw nothing.
    explicit CSkyCanvas(platform::GraphicsFactory* factory = nullptr);
    ~CSkyCanvas();
    CSkyCanvas(const CSkyCanvas&) = delete;
    CSkyCanvas& operator=(const CSkyCanvas&) = delete;

    void SetGraphicsFactory(platform::GraphicsFactory* factory) { factory_ = factory; }
    platform::GraphicsFactory* GraphicsFactory() const { return factory_; }

    // Replaces the buffer with a black one of the given size. A size of 0 (or below) in either
    // direction leaves the canvas empty and succeeds; false when the memory cannot be had, with the
    // reason in LastError(). Any drawing context is dropped and must be attached again.
    bool Create(int width, int height);
    // Makes a drawing context on the buffer through the factory.
    void AttachContext();
    bool HasContext() const { return gc_ != nullptr; }
    void Destroy();

    CanvasSize Size() const { return {width_, height_}; }
    int Width() const { return width_; }
    int Height() const { return height_; }
    int Stride() const { return stride_; }
    std::uint8_t* Bits() { return bits_.get(); }
    const std::uint8_t* Bits() const { return bits_.get(); }
    const std::string& LastError() const { return lastError_; }

    // The drawing context, or a context that draws nothing when none is attached.
    platform::Graphics& Gc();

    double Ceiling() const { return ceiling_; }
    void SetCeiling(double ceiling) { ceiling_ = ceiling; }
    bool KeyEnabled() const { return keyEnabled_; }
    Colour KeyColour() const { return keyColour_; }
    // End points of the last Line, or the bounding rectangle of the last StampLine.
    platform::Rect LastLine() const { return lastLine_; }

    void CopyFrom(const CSkyCanvas& other);
    void Tint(Colour colour, int percent);
    void SetKey(Colour colour);

    bool Contains(int x, int y) const { return x >= 0 && y >= 0 && x < width_ && y < height_; }
    Colour GetPixel(int x, int y) const;
    void PutPixel(int x, int y, Colour colour, int percent);
    void BlendPixelCeiling(int x, int y, Colour colour, int percent);
    int PixelLuminance(int x, int y) const;

    void Line(int x1, int y1, int x2, int y2, Colour colour, int percent);
    void MoveTo(int x, int y) {
        penX_ = x;
        penY_ = y;
    }
    void LineTo(int x, int y, Colour colour, int percent);

    // Blends `source` read from (sourceX, sourceY) onto the clip rectangle of this canvas (the whole
    // canvas when clip is null). Source pixels equal to the source's key colour are skipped when its
    // key is enabled.
    void BlendFrom(const platform::Rect* clip, const CSkyCanvas& source, int sourceX, int sourceY,
                   int percent);
    // As BlendFrom, but each pixel is weakened by how bright this canvas already is there.
    void BlendFromCeiling(const platform::Rect* clip, const CSkyCanvas& source, int sourceX, int sourceY,
                          int percent);
    // Blends `source`, centred, at every point of a line.
    void StampLine(int x1, int y1, int x2, int y2, const CSkyCanvas& source, int percent);

    // Selects the chart's 10-point fixed-pitch gothic face into the context.
    bool SelectCanvasFont();

    // The Moon's phase disc: centre, size in pixels, age in days, bright-limb angle in radians, the
    // lit colour and an optional 20 x 20 texture copied in place of the plain disc.
    void DrawMoonPhase(int x, int y, int size, double age, double brightLimbAngle, Colour colour,
                       const CSkyCanvas* texture = nullptr);

  private:
    template <bool kCeiling>
    void BlendFromImpl(const platform::Rect* clip, const CSkyCanvas& source, int sourceX, int sourceY,
                       int percent);

    platform::Rect lastLine_{};
    bool keyEnabled_ = false;
    Colour keyColour_ = 0;
    int penY_ = 0;
    int penX_ = 0;
    double ceiling_ = 255.0;
    platform::GraphicsFactory* factory_ = nullptr;
    std::unique_ptr<platform::Graphics> gc_;
    platform::NullGraphics nullGc_;
    int width_ = 0;
    int height_ = 0;
    int stride_ = 0;
    // Zeroed by calloc: a large buffer comes straight from fresh pages, so memory the chart never
    // draws is never touched.
    struct FreeBits {
        void operator()(std::uint8_t* p) const;
    };
    std::unique_ptr<std::uint8_t[], FreeBits> bits_;
    std::size_t size_ = 0;
    std::string lastError_;
};

// A canvas that cannot be made leaves nothing to draw on: tells the user why under "DIB生成" and
// ends the program.
void ReportCanvasFailure(const CSkyCanvas& canvas, platform::Dialogs& dialogs, platform::EventLoop& loop);

// The points of one arc of the Moon's phase drawing, in order (exposed for tests).
std::vector<platform::Point> MoonArc(int x, int y, int r, double t0, double t1, double k, double theta);

}  // namespace celes
