#pragma once
// A render context over in-memory records and bare canvases (no text engine), for probing the
// pixels the sky layers draw.
#include <unistd.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "skydata/star_record.h"
#include "view/celes_view.h"
#include "view/colour_table.h"
#include "view/drawn_objects.h"
#include "view/layers/layer_state.h"
#include "view/projection.h"
#include "view/render_context.h"
#include "view/render_records.h"
#include "view/render_result.h"
#include "view/sky_canvas.h"

namespace celes::testing {

inline void PutLe(std::vector<std::uint8_t>& b, std::size_t at, std::uint64_t v, int bytes) {
    for (int i = 0; i < bytes; ++i)
        b[at + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(v >> (8 * i));
}
inline void PutDouble(std::vector<std::uint8_t>& b, std::size_t at, double d) {
    std::uint64_t bits;
    std::memcpy(&bits, &d, 8);
    PutLe(b, at, bits, 8);
}

// A temporary data folder removed at the end of the test.
class TempFolder {
  public:
    TempFolder() {
        static int serial = 0;
        path_ = std::filesystem::temp_directory_path() /
                ("celes_layers_" + std::to_string(::getpid()) + "_" + std::to_string(++serial));
        std::filesystem::create_directories(path_);
    }
    ~TempFolder() { std::filesystem::remove_all(path_); }
    std::string folder() const { return path_.string() + "/"; }
    std::string write(const std::string& name, const std::vector<std::uint8_t>& bytes) const {
        const std::string p = folder() + name;
        std::ofstream(p, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        return p;
    }

  private:
    std::filesystem::path path_;
};

// One polyline slot: abbreviation, then (pen, ra, dec) points.
struct Slot {
    const char* abbreviation;
    std::vector<std::int32_t> pens;
    std::vector<double> ra, dec;
};
// Slot 0 is an empty "And" slot: a valid file starts with it.
inline std::vector<std::uint8_t> PolylineFile(std::vector<Slot> slots) {
    slots.insert(slots.begin(), Slot{"And", {}, {}, {}});
    std::vector<std::uint8_t> b(2700, 0);
    for (std::size_t s = 0; s < slots.size(); ++s) {
        std::memcpy(&b[s * 4], slots[s].abbreviation, 3);
        const std::size_t n = slots[s].pens.size();
        PutLe(b, 600 + s * 2, n, 2);
        const std::size_t pens = b.size();
        b.resize(b.size() + n * 20);
        PutLe(b, 900 + s * 4, pens, 4);
        PutLe(b, 1500 + s * 4, pens + n * 4, 4);
        PutLe(b, 2100 + s * 4, pens + n * 12, 4);
        for (std::size_t i = 0; i < n; ++i) {
            PutLe(b, pens + i * 4, static_cast<std::uint32_t>(slots[s].pens[i]), 4);
            PutDouble(b, pens + n * 4 + i * 8, slots[s].ra[i]);
            PutDouble(b, pens + n * 12 + i * 8, slots[s].dec[i]);
        }
    }
    return b;
}

// An outline add-in image (".p90" when capacity is 50, ".p92"/".p99" when 1000).
inline std::vector<std::uint8_t> OutlineAddin(std::size_t capacity, const std::vector<std::int32_t>& pens,
                                              const std::vector<double>& ra, const std::vector<double>& dec,
                                              const std::u16string& caption = u"") {
    std::vector<std::uint8_t> b(4 + capacity * 20, 0);
    PutLe(b, 0, pens.size(), 4);
    for (std::size_t i = 0; i < pens.size(); ++i) {
        PutLe(b, 4 + i * 4, static_cast<std::uint32_t>(pens[i]), 4);
        PutDouble(b, 4 + capacity * 4 + i * 8, ra[i]);
        PutDouble(b, 4 + capacity * 12 + i * 8, dec[i]);
    }
    if (capacity == 50) {
        b.resize(b.size() + 2 + caption.size() * 2);
        PutLe(b, 1004, caption.size(), 2);
        for (std::size_t i = 0; i < caption.size(); ++i) PutLe(b, 1006 + 2 * i, caption[i], 2);
    }
    return b;
}

inline StarRecord Record(int type, double ra, double dec, double magnitude, const char* constellation = " ",
                         const char* designation = "") {
    StarRecord r;
    r.type = static_cast<std::int16_t>(type);
    r.ra = ra;
    r.dec = dec;
    r.magnitude = magnitude;
    setField(r.constellation, constellation);
    setField(r.designation, designation);
    return r;
}

// The chart: 240 x 320 by default, observer at latitude 35 N, sky colour dark blue.
class LayerHarness {
  public:
    explicit LayerHarness(std::vector<StarRecord> catalogue = {}, std::string dataFolder = {},
                          int width = 240, int height = 320)
        : records(std::move(catalogue), dataFolder), dataFolder_(std::move(dataFolder)) {
        view.setClientSize(width, height);
        view.latitudeDeg = 35;
        view.latitudeMin = 0;
        view.longitudeDeg = 135;
        view.longitudeMin = 0;
        view.year = 2024, view.month = 1, view.day = 15, view.hour = 21, view.minute = 0;
        canvas.Create(width, height);
        scratch.Create(40, 40);
    }

    // A fresh context for the current view state (mode, time, size).
    RenderContext& context() {
        view.updateAzimuthWindow();
        const RenderTime time = MakeRenderTime(view);
        ProjectionInput in = MakeProjectionInput(view, time);
        in.selection = switches.selection.flags();
        projection = MakeProjectionContext(in);
        result = RenderResult{};
        rc_ = std::make_unique<RenderContext>(RenderContext{view, records, colours, colourMode, projection,
                                                            switches, cache, result, canvas, overlay, scratch,
                                                            dataFolder_, time, RenderEphemeris{}});
        rc_->skyColour = kSky;
        return *rc_;
    }

    // Pixel where a sky point lands in the current context.
    bool Where(double ra, double dec, int& x, int& y) {
        double az, alt;
        ToHorizontal(*rc_, ra, dec, az, alt);
        return ProjectHorizontal(*rc_, az, alt, false, x, y);
    }
    // Sky point at a horizontal direction, for placing test objects.
    void SkyAt(double azimuth, double altitude, double& ra, double& dec) {
        const RenderContext& rc = *rc_;
        const double sa = std::sin(altitude), ca = std::cos(altitude);
        const double sl = rc.time.sinLatitude, cl = rc.time.cosLatitude;
        const double sd = sa * sl + ca * cl * std::cos(azimuth);
        dec = std::asin(sd);
        const double h = std::atan2(-ca * std::sin(azimuth), sa * cl - ca * sl * std::cos(azimuth));
        ra = rc.time.lst - h;
    }

    int CountPixels(Colour c) const {
        int n = 0;
        for (int y = 0; y < canvas.Height(); ++y)
            for (int x = 0; x < canvas.Width(); ++x) n += canvas.GetPixel(x, y) == c;
        return n;
    }

    static constexpr Colour kSky = MakeColour(0, 0, 40);

    ViewState view;
    MemoryRecords records;
    ColourTable colours;
    ColourMode colourMode;
    ProjectionContext projection;
    // The record of drawn entry i of the result.
    const StarRecord* DrawnRecord(int i) const {
        return result.Resolve(records, result.drawn.Entries()[static_cast<std::size_t>(i)].ref);
    }

    LayerSwitches switches;
    LayerCache cache;
    RenderResult result;
    CSkyCanvas canvas, overlay, scratch;

  private:
    std::string dataFolder_;
    std::unique_ptr<RenderContext> rc_;
};

}  // namespace celes::testing
