// Drives the canvas's pixel primitives with arbitrary sizes, coordinates, percents, clip
// rectangles and source offsets: nothing may read or write outside the buffers.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "view/sky_canvas.h"

namespace {

class Input {
  public:
    Input(const std::uint8_t* d, std::size_t n) : d_(d), n_(n) {}
    bool empty() const { return n_ == 0; }
    std::uint8_t byte() {
        if (!n_) return 0;
        --n_;
        return *d_++;
    }
    int i32() {
        std::uint32_t v = 0;
        for (int i = 0; i < 4; ++i) v = v << 8 | byte();
        return int(v);
    }
    // Mostly near the canvas, sometimes anywhere in the int range.
    int coord() {
        const std::uint8_t sel = byte();
        if (sel < 200) return int(byte()) - 64;
        return i32();
    }
    int percent() { return int(std::int8_t(byte())) * 2; }

  private:
    const std::uint8_t* d_;
    std::size_t n_;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Input in(data, size);
    celes::CSkyCanvas a, b;
    a.Create(in.byte() % 97, in.byte() % 61);
    b.Create(in.byte() % 41, in.byte() % 41);
    int ops = 0;
    while (!in.empty() && ops++ < 64) {
        celes::CSkyCanvas& dst = in.byte() & 1 ? a : b;
        celes::CSkyCanvas& src = &dst == &a ? b : a;
        const celes::Colour c = celes::MakeColour(in.byte(), in.byte(), in.byte());
        switch (in.byte() % 12) {
            case 0:
                dst.PutPixel(in.coord(), in.coord(), c, in.percent());
                break;
            case 1:
                dst.BlendPixelCeiling(in.coord(), in.coord(), c, in.percent());
                break;
            case 2: {
                const int x1 = in.coord(), y1 = in.coord(), x2 = in.coord(), y2 = in.coord();
                dst.Line(x1, y1, x2, y2, c, in.percent());
                break;
            }
            case 3:
                dst.Tint(c, in.percent());
                break;
            case 4:
                dst.SetKey(c);
                break;
            case 5:
            case 6: {
                const celes::platform::Rect r{in.coord(), in.coord(), in.coord(), in.coord()};
                const bool clip = in.byte() & 1;
                const int sx = in.coord(), sy = in.coord(), p = in.percent();
                if (in.byte() & 1)
                    dst.BlendFrom(clip ? &r : nullptr, src, sx, sy, p);
                else
                    dst.BlendFromCeiling(clip ? &r : nullptr, src, sx, sy, p);
                break;
            }
            case 7: {
                const int x1 = in.coord(), y1 = in.coord(), x2 = in.coord(), y2 = in.coord();
                dst.StampLine(x1, y1, x2, y2, src, in.percent());
                break;
            }
            case 8:
                dst.CopyFrom(src);
                break;
            case 9:
                dst.SetCeiling(double(in.coord()));
                break;
            case 10:
                dst.Create(in.byte() % 97, in.byte() % 61);
                break;
            case 11: {
                const int x = in.coord(), y = in.coord(), s = in.coord();
                dst.DrawMoonPhase(x, y, s, double(in.coord()) / 7.0, double(in.coord()) / 11.0, c);
                break;
            }
        }
        volatile int sink = dst.PixelLuminance(in.coord(), in.coord());
        (void)sink;
    }
    return 0;
}
