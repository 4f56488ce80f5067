#pragma once
// The one colour type of the program: 32-bit 0x00BBGGRR, red in the lowest byte, as the chart's
// colour table stores it and the canvas and the drawing service take it.
#include <cstdint>

namespace celes {

using Colour = std::uint32_t;

constexpr Colour MakeColour(int r, int g, int b) {
    return Colour(r & 0xFF) | (Colour(g & 0xFF) << 8) | (Colour(b & 0xFF) << 16);
}
constexpr int RedOf(Colour c) {
    return int(c & 0xFF);
}
constexpr int GreenOf(Colour c) {
    return int((c >> 8) & 0xFF);
}
constexpr int BlueOf(Colour c) {
    return int((c >> 16) & 0xFF);
}

// Luminance 0..255 of a colour, with the weights the chart uses for pixels too.
constexpr double Luminance(int r, int g, int b) {
    return 0.114478 * b + 0.586611 * g + 0.298912 * r;
}
constexpr double Luminance(Colour c) {
    return Luminance(RedOf(c), GreenOf(c), BlueOf(c));
}

}  // namespace celes
