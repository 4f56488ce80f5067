#pragma once
// Small catalogues written by tests (header only; needs celes_skydata).
#include <cstdint>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

#include "skydata/star_record.h"

namespace celes::fakes {

inline StarRecord makeStar(std::int16_t number, double ra, double dec, double magnitude,
                           std::string_view constellation = "Ori", std::string_view designation = "",
                           std::int16_t type = +ObjectType::Star) {
    StarRecord r;
    r.number = number;
    r.ra = ra;
    r.dec = dec;
    r.magnitude = magnitude;
    r.type = type;
    setField(r.constellation, constellation);
    setField(r.designation, designation);
    return r;
}

// n stars spread over the sky, each with a name, all accepted by the catalogue read.
inline std::vector<StarRecord> makeStars(int n) {
    std::vector<StarRecord> out;
    out.reserve(n);
    for (int i = 0; i < n; ++i) {
        StarRecord r = makeStar(static_cast<std::int16_t>(i + 1), 0.001 + (i % 360) * 0.0174,
                                -1.2 + (i % 140) * 0.017, 1.0 + (i % 60) * 0.1);
        r.name = "Star" + std::to_string(i);
        setField(r.classText, "A0V");
        out.push_back(std::move(r));
    }
    return out;
}

inline void writeFile(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream f(path, std::ios::binary | std::ios::trunc);
    f.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

inline void writeCatalogue(const std::string& path, const std::vector<StarRecord>& records,
                           std::uint32_t formatWord = 1000) {
    writeFile(path, writeRecordStream(formatWord, records));
}

}  // namespace celes::fakes
