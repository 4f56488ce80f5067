#include "ui/night_summary.h"

#include <cmath>
#include <cstdio>

#include "astro/bodies.h"

namespace celes {

std::string NightTitle(int year, int month, int day) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%d年%d月%d日の夜", year, month, day);
    return buf;
}

std::string LocalClock(const std::optional<double>& unixSeconds, int timeDifference, bool withSeconds) {
    if (!unixSeconds) return withSeconds ? "--:--:--" : "--:--";
    // Whole minutes are rounded, not cut, so 17:02:41 shows as 17:03.
    const double t = withSeconds ? *unixSeconds : std::round(*unixSeconds / 60.0) * 60.0;
    const CAstroTime local = LocalRecordAt(t, timeDifference);
    char buf[40];
    if (withSeconds)
        std::snprintf(buf, sizeof buf, "%02d:%02d:%02d", local.hour, local.minute, local.second);
    else
        std::snprintf(buf, sizeof buf, "%02d:%02d", local.hour, local.minute);
    return buf;
}

std::string IsoLocal(double unixSeconds, int timeDifference) {
    const CAstroTime local = LocalRecordAt(unixSeconds, timeDifference);
    const int offset = timeDifference < 0 ? -timeDifference : timeDifference;
    char buf[80];
    std::snprintf(buf, sizeof buf, "%04d-%02d-%02dT%02d:%02d:%02d%c%02d:00", local.year, local.month,
                  local.day, local.hour, local.minute, local.second, timeDifference < 0 ? '-' : '+', offset);
    return buf;
}

std::vector<NightRow> NightRows(const NightEvents& n, int tz, bool withSeconds) {
    auto clock = [&](const std::optional<double>& t) { return LocalClock(t, tz, withSeconds); };
    std::vector<NightRow> rows = {
        {"日の入り", clock(n.sunset)},
        {"市民薄明終了", clock(n.civilDusk)},
        {"航海薄明終了", clock(n.nauticalDusk)},
        {"天文薄明終了", clock(n.astronomicalDusk)},
        {"天文薄明開始", clock(n.astronomicalDawn)},
        {"航海薄明開始", clock(n.nauticalDawn)},
        {"市民薄明開始", clock(n.civilDawn)},
        {"日の出", clock(n.sunrise)},
        {"月の出", clock(n.moonrise)},
        {"月の入り", clock(n.moonset)},
    };
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.0f%%", n.moonIllumination * 100.0);
    rows.push_back({"月の輝面比", buf});
    if (n.dark.empty()) rows.push_back({"暗夜", "なし"});
    for (const TimeInterval& d : n.dark) rows.push_back({"暗夜", clock(d.start) + "〜" + clock(d.end)});
    const long minutes = std::lround(n.darkSeconds / 60.0);
    std::snprintf(buf, sizeof buf, "%ld時間%02ld分", minutes / 60, minutes % 60);
    rows.push_back({"暗夜の合計", buf});
    for (const PlanetNight& p : n.planets) {
        const BodyInfo* info = FindBodyInfo(p.planet);
        const std::string name = info ? info->name : "";
        rows.push_back({name + " 出", clock(p.rise)});
        rows.push_back({name + " 南中", clock(p.transit)});
        rows.push_back({name + " 入り", clock(p.set)});
    }
    return rows;
}

}  // namespace celes
