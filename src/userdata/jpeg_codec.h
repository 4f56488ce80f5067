#pragma once
// JPEG screen shots of the chart and decoding of the deep-sky and planet photographs. Pixels pass
// to and from the codec in the canvas's own blue-green-red order, without conversion. Library
// messages go to a message box captioned "JPEG Library Error" when a Dialogs is given.
#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

namespace celes {

class CSkyCanvas;
namespace platform {
class Dialogs;
}

// Caption of every codec message box.
inline constexpr const char* kJpegErrorCaption = "JPEG Library Error";
// Images whose decoded size would exceed this many pixels are refused before any pixel is decoded.
inline constexpr std::uint64_t kMaxJpegPixels = 64ull * 1024 * 1024;

// Where a decoded image is going to be drawn: the chart area in pixels and whether the stretch
// rule ("DC"/"STRETCHBLT") is on. The decoder uses it to decode no more than the drawing shows.
struct ChartFit {
    int width = 0;
    int height = 0;
    bool stretch = false;
};

// A decoded image: 24 bits per pixel, blue-green-red, rows padded to 4 bytes and stored bottom
// row first (the layout of a device-independent bitmap with positive height).
struct JpegBitmap {
    int width = 0;
    int height = 0;
    int stride = 0;
    std::vector<std::uint8_t> bits;
    // The image's size in its file. Decoded for a chart, the bitmap holds either the image reduced
    // (when it is to be stretched) or only its top-left part that the chart shows (when it is drawn
    // unscaled); 0 means the bitmap is the whole image at its own size.
    int fileWidth = 0;
    int fileHeight = 0;

    // Pixel (x, y) counted from the top-left corner as 0x00BBGGRR; 0 outside.
    std::uint32_t pixel(int x, int y) const;
    // First byte of image row y counted from the top.
    const std::uint8_t* topDownRow(int y) const { return bits.data() + std::size_t(height - 1 - y) * stride; }
};

// Writes the canvas as a baseline JPEG of quality 100. The file is written beside its final name
// and renamed over it only when complete, so a failed save leaves any earlier file as it was.
// False when the canvas is empty, the file cannot be written, or the codec fails (its message is
// shown).
bool SaveCanvasJpeg(const CSkyCanvas& canvas, const std::string& path, platform::Dialogs* dialogs = nullptr);

// Decodes a JPEG file; nothing when it cannot be opened (no message) or cannot be decoded (the
// codec's message is shown). A truncated file decodes to its end: the missing part is grey and one
// premature-end warning is shown. Grey-scale and CMYK files come out in colour like any other.
std::optional<JpegBitmap> LoadJpegBitmap(const std::string& path, platform::Dialogs* dialogs = nullptr);

// The same for drawing over a chart of fit.width x fit.height: an image that is going to be
// stretched is decoded at the smallest of 1/8, 1/4 and 1/2 of its size that still covers the chart
// (the library scales while it decodes, which costs far less than decoding every pixel); one drawn
// unscaled is decoded only as far as the chart reaches to the right and down, the rest of the file
// being read through without drawing, so a damaged end is still reported. Drawn with
// DrawJpegOnCanvas on that chart, the result is what the whole image would show.
std::optional<JpegBitmap> LoadJpegForChart(const std::string& path, const ChartFit& fit,
                                           platform::Dialogs* dialogs = nullptr);

// The same from an open stream (read from its current position; not closed); `fit` as above, or
// null for the whole image.
std::optional<JpegBitmap> DecodeJpegStream(std::FILE* file, platform::Dialogs* dialogs = nullptr,
                                           const ChartFit* fit = nullptr);

// The scale denominator (1, 2, 4 or 8) at which an image of width x height still covers a chart
// of chartWidth x chartHeight.
int ChartScaleDenominator(int width, int height, int chartWidth, int chartHeight);

// Draws a decoded image at the top-left corner of the canvas, within the chart area (chartWidth x
// chartHeight, held to the canvas): unscaled and clipped, or, when `stretch` is set and the image's
// width in its file differs from the chart's, stretched over the whole chart area by plain pixel
// copies.
void DrawJpegOnCanvas(const JpegBitmap& image, CSkyCanvas& canvas, int chartWidth, int chartHeight,
                      bool stretch);

}  // namespace celes
