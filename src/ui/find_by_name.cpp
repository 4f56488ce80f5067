#include "ui/find_by_name.h"

#include <algorithm>
#include <cmath>

#include "astro/coords.h"
#include "astro/time.h"
#include "skydata/constellation_names.h"
#include "skydata/data_location.h"
#include "skydata/greek.h"
#include "skydata/star_record.h"
#include "skydata/text_codec.h"
#include "ui/above_horizon.h"
#include "ui/navigator.h"
#include "view/celes_view.h"
#include "view/display_modes.h"

namespace celes {

namespace {

// Greek letters (lower case from U+03B1, upper case from U+0391) to the codes the catalogue uses.
constexpr const char* kGreekCodes[] = {"alp", "bet", "gam", "del", "eps", "zet", "eta", "the", "iot",
                                       "kap", "lam", "mu",  "nu",  "xi",  "omi", "pi",  "rho", "sig",
                                       "sig", "tau", "ups", "phi", "chi", "psi", "ome"};

// Marks a byte that is not part of a well-formed character; it is kept as it is.
constexpr char32_t kRawByte = 0x110000;

// The next code point; invalid bytes come back one by one, marked.
char32_t NextCodePoint(std::string_view s, std::size_t& i) {
    const unsigned char b = static_cast<unsigned char>(s[i]);
    const std::size_t extra = b >= 0xF0 ? 3 : b >= 0xE0 ? 2 : 1;
    if (b < 0x80) {
        ++i;
        return b;
    }
    if (b < 0xC0 || b >= 0xF8 || i + extra >= s.size()) {
        ++i;
        return kRawByte + b;
    }
    char32_t c = b & (0x3F >> extra);
    for (std::size_t k = 1; k <= extra; ++k) {
        const unsigned char n = static_cast<unsigned char>(s[i + k]);
        if ((n & 0xC0) != 0x80) {
            ++i;
            return kRawByte + b;
        }
        c = (c << 6) | (n & 0x3F);
    }
    i += extra + 1;
    return c;
}

int CodePoints(std::string_view s) {
    int n = 0;
    for (std::size_t i = 0; i < s.size();) {
        NextCodePoint(s, i);
        ++n;
    }
    return n;
}

std::string Trimmed(std::string s) {
    while (!s.empty() && (s.back() == ' ' || s.back() == '\0')) s.pop_back();
    std::size_t a = 0;
    while (a < s.size() && s[a] == ' ') ++a;
    return s.substr(a);
}

struct BodyName {
    int index;
    const char* japanese;
    const char* english;
};
constexpr BodyName kBodies[] = {
    {int(Body::Mercury), "水星", "Mercury"}, {int(Body::Venus), "金星", "Venus"},
    {int(Body::Mars), "火星", "Mars"},       {int(Body::Jupiter), "木星", "Jupiter"},
    {int(Body::Saturn), "土星", "Saturn"},   {int(Body::Moon), "月", "Moon"}};

}  // namespace

std::string FoldForFind(std::string_view s) {
    std::string out;
    out.reserve(s.size());
    for (std::size_t i = 0; i < s.size();) {
        char32_t c = NextCodePoint(s, i);
        if (c >= kRawByte) {
            out += char(c - kRawByte);
            continue;
        }
        if (c >= 0xFF01 && c <= 0xFF5E) c -= 0xFEE0;  // full-width ASCII
        if (c == ' ' || c == '\t' || c == '-' || c == '_' || c == '.' || c == 0x3000 || c == 0x30FB) continue;
        if (c >= 'A' && c <= 'Z') c += 'a' - 'A';
        if (c >= 0x3041 && c <= 0x3096) c += 0x60;  // hiragana as katakana
        if (c >= 0x0391 && c <= 0x03A9 && c != 0x03A2) c += 0x20;
        if (c >= 0x03B1 && c <= 0x03C9) {
            out += kGreekCodes[c - 0x03B1];
            continue;
        }
        appendUtf8(out, c);
    }
    return out;
}

void NameIndex::build(const RecordSource& records) {
    const std::string folder = records.dataFolder();
    build(records,
          folder.empty() ? NameAliases() : readNameAliases(companionPath(folder, kNameAliasFileName)));
}

void NameIndex::build(const RecordSource& records, const NameAliases& aliases) {
    entries_.clear();
    entries_.reserve(std::size_t(records.objectCount()) + std::size(kBodies));
    for (int i = 0, n = records.objectCount(); i < n; ++i) {
        const StarRecord& r = records.object(i);
        if (r.isBody() || r.classText[0] == '!') continue;
        FindEntry e;
        e.index = i;
        e.magnitude = r.magnitude;
        const std::string name = r.name ? Trimmed(cp932ToUtf8(*r.name)) : std::string();
        const std::string abbreviation = Trimmed(fieldText(r.constellation));
        // English names go after the shown name and before the designations.
        auto addAliases = [&](const std::string& key) {
            const auto found = aliases.find(key);
            if (found == aliases.end()) return;
            for (const std::string& english : found->second) {
                std::string folded = FoldForFind(cp932ToUtf8(english));
                if (folded.empty() || std::find(e.keys.begin(), e.keys.end(), folded) != e.keys.end())
                    continue;
                e.keys.push_back(std::move(folded));
            }
        };
        if (r.type == +ObjectType::ConstellationLabel) {
            if (name.empty()) continue;
            e.name = name + "座";
            e.designation = abbreviation;
            e.magnitude = -50;  // a constellation comes before its stars of the same name
            e.keys = {FoldForFind(e.name), FoldForFind(name)};
            e.nameKeys = e.keys.size();
            e.keys.push_back(FoldForFind(abbreviation));
        } else if (r.type == +ObjectType::Star) {
            e.name = name;
            if (!name.empty()) e.keys.push_back(FoldForFind(name));
            if (r.number > 0) addAliases("HR " + std::to_string(r.number));
            e.nameKeys = e.keys.size();
            const GreekLetter* g = findGreekLetter(r.designation.data() + 3);
            const std::string flamsteed = Trimmed(std::string(r.designation.data(), 3));
            const bool numbered =
                !flamsteed.empty() &&
                std::all_of(flamsteed.begin(), flamsteed.end(), [](char c) { return c >= '0' && c <= '9'; });
            if (g) {
                e.designation = std::string(g->utf8) + " " + abbreviation;
                e.keys.push_back(FoldForFind(std::string(g->code, 3) + abbreviation));
            }
            if (numbered) {
                if (e.designation.empty()) e.designation = flamsteed + " " + abbreviation;
                e.keys.push_back(FoldForFind(flamsteed + abbreviation));
            }
            if (r.number > 0) {
                const std::string hr = "HR " + std::to_string(r.number);
                if (e.designation.empty()) e.designation = hr;
                e.keys.push_back(FoldForFind(hr));
            }
            if (e.keys.empty()) continue;
        } else {
            const std::string designation = Trimmed(cp932ToUtf8(fieldText(r.designation, 3)));
            e.name = name == designation ? std::string() : name;
            e.designation = designation;
            if (!e.name.empty()) e.keys.push_back(FoldForFind(e.name));
            if (!designation.empty()) addAliases(designation);
            e.nameKeys = e.keys.size();
            if (!designation.empty()) {
                e.keys.push_back(FoldForFind(designation));
                // "N7000" is NGC 7000.
                if (designation.size() > 1 && designation[0] == 'N' && designation[1] >= '0' &&
                    designation[1] <= '9')
                    e.keys.push_back("ngc" + FoldForFind(designation.substr(1)));
            }
            if (e.keys.empty()) continue;
        }
        entries_.push_back(std::move(e));
    }
    for (const BodyName& b : kBodies) {
        FindEntry e;
        e.kind = FindEntry::Kind::Body;
        e.index = b.index;
        e.name = b.japanese;  // the English name finds it but is not shown
        e.magnitude = -60;
        e.keys = {FoldForFind(b.japanese), FoldForFind(b.english)};
        e.nameKeys = e.keys.size();
        entries_.push_back(std::move(e));
    }
}

std::vector<FindMatch> NameIndex::find(std::string_view query, int limit) const {
    const std::string q = FoldForFind(query);
    std::vector<FindMatch> out;
    if (q.empty() || limit <= 0) return out;
    const bool inside = CodePoints(q) >= 2;
    for (int i = 0, n = int(entries_.size()); i < n; ++i) {
        const FindEntry& e = entries_[std::size_t(i)];
        int best = 3;
        for (const std::string& key : e.keys) {
            if (key.size() < q.size() || key.compare(0, q.size(), q) != 0) continue;
            best = std::min(best, key.size() == q.size() ? 0 : 1);
            if (best == 0) break;
        }
        if (best == 3 && inside) {
            for (std::size_t k = 0; k < e.nameKeys; ++k)
                if (e.keys[k].find(q) != std::string::npos) best = 2;
        }
        if (best < 3) out.push_back({i, best});
    }
    auto better = [this](const FindMatch& a, const FindMatch& b) {
        if (a.rank != b.rank) return a.rank < b.rank;
        const FindEntry& ea = entries_[std::size_t(a.entry)];
        const FindEntry& eb = entries_[std::size_t(b.entry)];
        if (ea.magnitude != eb.magnitude) return ea.magnitude < eb.magnitude;
        return a.entry < b.entry;
    };
    if (int(out.size()) > limit) {
        std::partial_sort(out.begin(), out.begin() + limit, out.end(), better);
        out.resize(std::size_t(limit));
    } else {
        std::sort(out.begin(), out.end(), better);
    }
    return out;
}

FoundPosition PositionOf(const FindEntry& e, const RecordSource& records, const RenderTime& t,
                         const RenderEphemeris& eph) {
    FoundPosition p;
    if (e.kind == FindEntry::Kind::Body) {
        p.ra = eph.bodies[std::size_t(e.index)].ra;
        p.dec = eph.bodies[std::size_t(e.index)].dec;
    } else {
        p.ra = records.object(e.index).ra;
        p.dec = records.object(e.index).dec;
    }
    const Horizontal here = EquatorialToHorizontal(p.ra, p.dec, t.latitude, t.lst);
    const double azimuth = here.azimuth, altitude = here.altitude;
    p.azimuthDeg = azimuth * kRadToDeg;
    if (p.azimuthDeg < 0) p.azimuthDeg += 360.0;
    p.altitudeDeg = altitude * kRadToDeg;
    return p;
}

bool TurnViewTowards(ViewState& s, double ra, double dec, ZoomNavigator* navigator) {
    if (!ModeHas(s.mode, ModeCapability::Turns)) return false;
    AboveHorizonEntry target;
    target.ra = ra;
    target.dec = dec;
    if (s.mode == ViewMode::Zoom) {
        AimZoomViewAt(s, target, navigator);
        // An object below the horizon: look at the horizon above it rather than into the ground.
        const int height = navigator ? navigator->height() : s.zoomHeight;
        const int held = std::clamp(height, ZoomNavigator::kMinHeight, ZoomNavigator::kMaxHeight);
        if (navigator)
            navigator->setHeight(held);
        else
            s.zoomHeight = held;
        return true;
    }
    const RenderTime t = MakeRenderTime(s);
    const Horizontal here = EquatorialToHorizontal(ra, dec, t.latitude, t.lst);
    const double azimuth = here.azimuth, altitude = here.altitude;
    int heading = 90 - int(-azimuth * kRadToDeg);
    if (heading < 0) heading += 360;
    s.direction = heading / 90;
    s.rotation = heading % 90;
    const double h = altitude * kRadToDeg;
    if (s.height != 0) s.height = h > 52 ? 1 : h > 37 ? 2 : -1;
    s.updateAzimuthWindow();
    return true;
}

}  // namespace celes
