#include "ui/svg_graphics.h"

#include <cstdio>

namespace celes {

namespace {

std::string Hex(Colour c) {
    char buf[8];
    std::snprintf(buf, sizeof buf, "#%02x%02x%02x", RedOf(c), GreenOf(c), BlueOf(c));
    return buf;
}

std::string Escaped(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '&')
            out += "&amp;";
        else if (c == '<')
            out += "&lt;";
        else if (c == '>')
            out += "&gt;";
        else if (c == '"')
            out += "&quot;";
        else if (static_cast<unsigned char>(c) < 0x20)
            out += ' ';
        else
            out += c;
    }
    return out;
}

}  // namespace

std::string SvgGraphics::document() const {
    char head[256];
    std::snprintf(head, sizeof head,
                  "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<svg xmlns=\"http://www.w3.org/2000/svg\" "
                  "width=\"%d\" height=\"%d\" viewBox=\"0 0 %d %d\">\n",
                  width_, height_, width_, height_);
    return head + body_ + "</svg>\n";
}

void SvgGraphics::setPen(Colour colour, int width) {
    state_.pen = true;
    state_.penColour = colour;
    state_.penWidth = width < 1 ? 1 : width;
}

void SvgGraphics::setBrush(Colour colour) {
    state_.brush = true;
    state_.brushColour = colour;
}

void SvgGraphics::restore() {
    if (stack_.empty()) return;
    state_ = stack_.back();
    stack_.pop_back();
}

std::string SvgGraphics::paintAttributes() const {
    std::string a = " fill=\"" + (state_.brush ? Hex(state_.brushColour) : std::string("none")) + "\"";
    if (state_.pen)
        a += " stroke=\"" + Hex(state_.penColour) + "\" stroke-width=\"" + std::to_string(state_.penWidth) +
             "\"";
    return a;
}

void SvgGraphics::fillRect(const platform::Rect& r, Colour colour) {
    char buf[160];
    std::snprintf(buf, sizeof buf, "<rect x=\"%d\" y=\"%d\" width=\"%d\" height=\"%d\" fill=\"%s\"/>\n",
                  r.left, r.top, r.right - r.left, r.bottom - r.top, Hex(colour).c_str());
    body_ += buf;
}

void SvgGraphics::rectangle(const platform::Rect& r) {
    char buf[96];
    std::snprintf(buf, sizeof buf, "<rect x=\"%d\" y=\"%d\" width=\"%d\" height=\"%d\"", r.left, r.top,
                  r.right - r.left - 1, r.bottom - r.top - 1);
    body_ += buf + paintAttributes() + "/>\n";
}

void SvgGraphics::ellipse(const platform::Rect& r) {
    char buf[128];
    std::snprintf(buf, sizeof buf, "<ellipse cx=\"%g\" cy=\"%g\" rx=\"%g\" ry=\"%g\"",
                  (r.left + r.right) / 2.0, (r.top + r.bottom) / 2.0, (r.right - r.left) / 2.0,
                  (r.bottom - r.top) / 2.0);
    body_ += buf + paintAttributes() + "/>\n";
}

void SvgGraphics::polygon(const platform::Point* points, int count) {
    // Built by appending: GCC 12 at -O3 warns (-Wrestrict) on `"literal" + std::string&&`.
    body_ += "<polygon points=\"";
    for (int i = 0; i < count; ++i) {
        if (i) body_ += ' ';
        body_.append(std::to_string(points[i].x)).append(",").append(std::to_string(points[i].y));
    }
    body_.append("\"").append(paintAttributes()).append("/>\n");
}

void SvgGraphics::line(int x1, int y1, int x2, int y2) {
    if (!state_.pen) return;
    char buf[200];
    std::snprintf(buf, sizeof buf,
                  "<line x1=\"%d\" y1=\"%d\" x2=\"%d\" y2=\"%d\" stroke=\"%s\" stroke-width=\"%d\" "
                  "stroke-linecap=\"round\"/>\n",
                  x1, y1, x2, y2, Hex(state_.penColour).c_str(), state_.penWidth);
    body_ += buf;
}

bool SvgGraphics::setFont(const std::string&, int tenthsOfPoint) {
    // Points at the chart's 96 dots per inch.
    state_.fontPixels = (tenthsOfPoint * 96 + 360) / 720;
    if (state_.fontPixels < 1) state_.fontPixels = 1;
    return true;
}

void SvgGraphics::textOut(int x, int y, const std::string& text) {
    const platform::Extent e = textExtent(text);
    char buf[200];
    if (!state_.transparentText) {
        std::snprintf(buf, sizeof buf, "<rect x=\"%d\" y=\"%d\" width=\"%d\" height=\"%d\" fill=\"%s\"/>\n",
                      x, y, e.cx, e.cy, Hex(state_.textBackground).c_str());
        body_ += buf;
    }
    // The cell's top-left corner is given; SVG places the baseline, about 0.85 of the cell down.
    std::snprintf(
        buf, sizeof buf,
        "<text x=\"%d\" y=\"%d\" font-size=\"%d\" font-family=\"IPAPGothic, sans-serif\" fill=\"%s\">", x,
        y + state_.fontPixels * 85 / 100 + state_.fontPixels / 10, state_.fontPixels,
        Hex(state_.text).c_str());
    body_ += buf + Escaped(text) + "</text>\n";
}

platform::Extent SvgGraphics::textExtent(const std::string& text) {
    int width10 = 0;  // tenths of the font size
    for (std::size_t i = 0; i < text.size();) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (c < 0x80) {
            width10 += 6;
            ++i;
        } else {
            width10 += 10;
            i += c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : 2;
        }
    }
    return {(width10 * state_.fontPixels + 9) / 10, state_.fontPixels * 12 / 10};
}

}  // namespace celes
