#pragma once
// Text and area drawing into a canvas's own pixel buffer: pens, brushes, the inverting mode, fills,
// fonts by face name, text output and measurement. The pixel-level work of the chart is done by the
// canvas itself; this interface covers what needs a rasteriser or a font engine.
//
// Coordinates are canvas pixels, x to the right, y downwards. Rectangles follow the window system's
// rule: left and top inside, right and bottom outside. Colours are 0x00BBGGRR. Text is UTF-8.
#include <cstdint>
#include <memory>
#include <string>

#include "platform/colour.h"

namespace celes::platform {

struct Point {
    int x = 0;
    int y = 0;
};

struct Rect {
    int left = 0;
    int top = 0;
    int right = 0;   // outside
    int bottom = 0;  // outside
};

struct Extent {
    int cx = 0;  // advance width
    int cy = 0;  // cell height (ascent + descent)
};

// A 24-bit top-down pixel buffer, bytes blue, green, red, rows `stride` bytes apart. Not owned.
struct PixelBuffer {
    std::uint8_t* bits = nullptr;
    int width = 0;
    int height = 0;
    int stride = 0;
};

class Graphics {
  public:
    virtual ~Graphics() = default;

    // Outlines of rectangle, ellipse and polygon, and pen lines. A null pen draws no outline.
    virtual void setPen(Colour colour, int width = 1) = 0;
    virtual void setNullPen() = 0;
    // Interiors of rectangle, ellipse and polygon. A null brush leaves them unfilled.
    virtual void setBrush(Colour colour) = 0;
    virtual void setNullBrush() = 0;
    // Inverting mode: every pixel drawn by a pen, brush or text becomes the inverse of what was there.
    virtual void setInvert(bool on) = 0;
    // Pen, brush, font, text colours and modes are saved on a stack and restored in reverse order.
    virtual void save() = 0;
    virtual void restore() = 0;

    // Fills the rectangle with a colour regardless of pen and brush.
    virtual void fillRect(const Rect& r, Colour colour) = 0;
    virtual void rectangle(const Rect& r) = 0;
    // The ellipse inscribed in the rectangle.
    virtual void ellipse(const Rect& r) = 0;
    virtual void polygon(const Point* points, int count) = 0;
    // A pen line from (x1, y1) up to, but not including, (x2, y2).
    virtual void line(int x1, int y1, int x2, int y2) = 0;

    // Selects a font by the face name the chart uses ("MS Pゴシック", "MS ゴシック", "Tahoma"; others are
    // tried as installed family names) and its size in tenths of a point. Returns false when no font
    // could be made (the previous font stays selected).
    virtual bool setFont(const std::string& face, int tenthsOfPoint) = 0;
    virtual void setTextColour(Colour colour) = 0;
    // Colour of the text cell behind the glyphs while the background is opaque.
    virtual void setTextBackground(Colour colour) = 0;
    virtual void setTransparentText(bool transparent) = 0;
    // Draws the text with the top-left corner of its cell at (x, y).
    virtual void textOut(int x, int y, const std::string& text) = 0;
    virtual Extent textExtent(const std::string& text) = 0;
};

// Makes a Graphics drawing into a pixel buffer. The buffer must outlive the returned object.
class GraphicsFactory {
  public:
    virtual ~GraphicsFactory() = default;
    virtual std::unique_ptr<Graphics> attach(const PixelBuffer& buffer) = 0;
};

// Draws nothing and measures every text as empty: used by a canvas that has no drawing context.
class NullGraphics final : public Graphics {
  public:
    void setPen(Colour, int) override {}
    void setNullPen() override {}
    void setBrush(Colour) override {}
    void setNullBrush() override {}
    void setInvert(bool) override {}
    void save() override {}
    void restore() override {}
    void fillRect(const Rect&, Colour) override {}
    void rectangle(const Rect&) override {}
    void ellipse(const Rect&) override {}
    void polygon(const Point*, int) override {}
    void line(int, int, int, int) override {}
    bool setFont(const std::string&, int) override { return false; }
    void setTextColour(Colour) override {}
    void setTextBackground(Colour) override {}
    void setTransparentText(bool) override {}
    void textOut(int, int, const std::string&) override {}
    Extent textExtent(const std::string&) override { return {}; }
};

}  // namespace celes::platform
