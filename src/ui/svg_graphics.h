#pragma once
// Graphics that writes SVG elements instead of pixels: the same drawing code that fills the
// window's pixel buffer makes a vector file. Text is measured from its characters (ASCII at a
// little over half the font size, everything else a full square), close enough for placing labels.
#include <string>
#include <vector>

#include "platform/graphics.h"

namespace celes {

class SvgGraphics final : public platform::Graphics {
  public:
    SvgGraphics(int width, int height) : width_(width), height_(height) {}
    // The document: the elements drawn so far inside an <svg> of the given size.
    std::string document() const;

    void setPen(Colour colour, int width) override;
    void setNullPen() override { state_.pen = false; }
    void setBrush(Colour colour) override;
    void setNullBrush() override { state_.brush = false; }
    void setInvert(bool) override {}
    void save() override { stack_.push_back(state_); }
    void restore() override;
    void fillRect(const platform::Rect& r, Colour colour) override;
    void rectangle(const platform::Rect& r) override;
    void ellipse(const platform::Rect& r) override;
    void polygon(const platform::Point* points, int count) override;
    void line(int x1, int y1, int x2, int y2) override;
    bool setFont(const std::string& face, int tenthsOfPoint) override;
    void setTextColour(Colour colour) override { state_.text = colour; }
    void setTextBackground(Colour colour) override { state_.textBackground = colour; }
    void setTransparentText(bool transparent) override { state_.transparentText = transparent; }
    void textOut(int x, int y, const std::string& text) override;
    platform::Extent textExtent(const std::string& text) override;

  private:
    struct State {
        bool pen = true, brush = false, transparentText = true;
        Colour penColour = 0, brushColour = 0xFFFFFF, text = 0, textBackground = 0xFFFFFF;
        int penWidth = 1;
        int fontPixels = 12;
    };
    std::string paintAttributes() const;
    int width_, height_;
    State state_;
    std::vector<State> stack_;
    std::string body_;
};

}  // namespace celes
