// `celes ephem`: the engine's numbers for one instant and place, for scripts and for checking
// against other ephemerides.
#include <cmath>
#include <cstdio>
#include <string>

#include "app/commands.h"
#include "app/place_args.h"
#include "astro/coords.h"
#include "astro/planets.h"
#include "astro/sun_moon.h"
#include "astro/time.h"

namespace celes::app {

namespace {

struct BodyRow {
    const char* key;
    const char* label;
    double ra = 0, dec = 0, az = 0, alt = 0;  // radians; az/alt of the direction drawn on the chart
};

double Degrees0To360(double radians) {
    double d = std::fmod(radians * kRadToDeg, 360.0);
    if (d < 0) d += 360.0;
    return d;
}

// "18h42m54.3s" from radians of right ascension or sidereal time.
std::string Hms(double radians) {
    double hours = Degrees0To360(radians) / 15.0;
    long tenths = std::lround(hours * 36000.0);
    if (tenths >= 24L * 36000) tenths -= 24L * 36000;
    char buf[32];
    std::snprintf(buf, sizeof buf, "%02ldh%02ldm%04.1fs", tenths / 36000, tenths / 600 % 60,
                  (tenths % 600) / 10.0);
    return buf;
}

// "+23°26'21\"" (with a sign) or "279°51'40\"" (without) from radians.
std::string Dms(double radians, bool sign) {
    const double deg = radians * kRadToDeg;
    const long secs = std::lround(std::fabs(deg) * 3600.0);
    char buf[40];
    if (sign)
        std::snprintf(buf, sizeof buf, "%c%02ld°%02ld'%02ld\"", deg < 0 && secs > 0 ? '-' : '+', secs / 3600,
                      secs / 60 % 60, secs % 60);
    else
        std::snprintf(buf, sizeof buf, "%3ld°%02ld'%02ld\"", secs / 3600, secs / 60 % 60, secs % 60);
    return buf;
}

// A bad argument gets one line on stderr that names it, and exit status 2.
int Fail(const std::string& message) {
    std::fprintf(stderr, "celes ephem: %s\n", message.c_str());
    return 2;
}

int Help() {
    std::printf(
        "usage: celes ephem [--local \"YYYY-MM-DD HH:MM[:SS]\"] [--lon D:M] [--lat D:M] [--tz H] [--json]\n"
        "  --lon/--lat: degrees[:minutes], west and south negative (\"-5:30\"); --tz: hours from UT\n");
    return 0;
}

}  // namespace

int cmdEphem(const Args& argsIn) {
    Args args = argsIn;
    PlaceTimeOptions opt;
    if (const std::string err = TakePlaceTimeOptions(args, opt); !err.empty()) return Fail(err);
    if (opt.date) return Fail("--date: not an option of ephem (use --local)");
    bool json = false;
    for (const std::string& a : args) {
        if (a == "--json")
            json = true;
        else if (a == "--help" || a == "-h")
            return Help();
        else
            return Fail("unknown argument '" + a + "'");
    }

    const ObservingPlace& place = opt.place;
    const CAstroTime local = opt.local ? *opt.local : Now();
    CAstroTime ut = local;
    ToUniversalTime(ut, place.timeDifference);
    // A negative time difference may leave hour >= 24 on the day before; the positions are the
    // same either way, but the UT date shown, its day number and its 0h sidereal time should
    // agree, so the normalised instant is used throughout.
    Normalise(ut);
    const CAstroTime& utShown = ut;

    const double gmst0 = GreenwichSiderealTime0h(ut.year, ut.month, ut.day);
    const double lst = LocalSiderealTime(local, place);
    const double phi = AngleFromDegMin(place.latitudeDegrees, place.latitudeMinutes);
    const double eps = Obliquity(ut.year, ut.month, ut.day);

    const SunPlace sunPlace = SunPosition(ut);
    BodyRow sun{"sun", "Sun"};
    const Equatorial sunAt = SunEquatorial(sunPlace, eps);
    sun.ra = sunAt.ra;
    sun.dec = sunAt.dec;

    const MoonPlace moonPlace = MoonPosition(ut);
    BodyRow moon{"moon", "Moon"};
    const Equatorial moonAt = EclipticToEquatorial(eps, moonPlace.longitude, moonPlace.latitude);
    moon.ra = moonAt.ra;
    moon.dec = moonAt.dec;
    const Equatorial moonTopo = MoonTopocentric(ut, lst, phi);
    const double moonAge = MoonAge(local.year, local.month, local.day);

    const Horizontal sunHere = EquatorialToHorizontal(sunAt, phi, lst);
    sun.az = sunHere.azimuth;
    sun.alt = sunHere.altitude;
    const Horizontal moonHere = EquatorialToHorizontal(moonTopo, phi, lst);
    moon.az = moonHere.azimuth;
    moon.alt = moonHere.altitude;

    static const char* const kKeys[kPlanetCount] = {"mercury", "venus", "mars", "jupiter", "saturn"};
    static const char* const kLabels[kPlanetCount] = {"Mercury", "Venus", "Mars", "Jupiter", "Saturn"};
    BodyRow planets[kPlanetCount];
    const std::array<Heliocentric, kPlanetCount> helio = PlanetsHeliocentric(ut);
    const std::array<Equatorial, kPlanetCount> places = PlanetsEquatorial(helio, sunPlace, eps);
    for (int p = 0; p < kPlanetCount; ++p) {
        const std::size_t i = static_cast<std::size_t>(p);
        planets[p].key = kKeys[p];
        planets[p].label = kLabels[p];
        planets[p].ra = places[i].ra;
        planets[p].dec = places[i].dec;
        const Horizontal here = EquatorialToHorizontal(places[i], phi, lst);
        planets[p].az = here.azimuth;
        planets[p].alt = here.altitude;
    }

    char utText[40];
    std::snprintf(utText, sizeof utText, "%04d-%02d-%02d %02d:%02d:%02d", utShown.year, utShown.month,
                  utShown.day, utShown.hour, utShown.minute, utShown.second);

    if (json) {
        std::printf(
            "{\"ut\": \"%s\", \"day_number\": %d, \"years_since_1975\": %.9f, \"centuries_since_j2000\": "
            "%.11f",
            utText, DayNumber(ut.year, ut.month, ut.day), YearsSince1975(ut), CenturiesSinceJ2000(ut));
        std::printf(", \"gmst0_deg\": %.6f, \"lst_deg\": %.6f, \"obliquity_deg\": %.7f", Degrees0To360(gmst0),
                    Degrees0To360(lst), eps * kRadToDeg);
        auto common = [](const BodyRow& b) {
            std::printf(", \"%s\": {\"ra_deg\": %.6f, \"dec_deg\": %.6f, \"az_deg\": %.6f, \"alt_deg\": %.6f",
                        b.key, Degrees0To360(b.ra), b.dec * kRadToDeg, Degrees0To360(b.az),
                        b.alt * kRadToDeg);
        };
        common(sun);
        std::printf(", \"lon_deg\": %.6f, \"distance_au\": %.7f}", Degrees0To360(sunPlace.apparentLongitude),
                    sunPlace.distance);
        common(moon);
        std::printf(
            ", \"lon_deg\": %.6f, \"lat_deg\": %.6f, \"parallax_deg\": %.6f, \"topo_ra_deg\": %.6f, "
            "\"topo_dec_deg\": %.6f, \"age_days\": %.0f}",
            Degrees0To360(moonPlace.longitude), moonPlace.latitude * kRadToDeg,
            moonPlace.parallax * kRadToDeg, Degrees0To360(moonTopo.ra), moonTopo.dec * kRadToDeg, moonAge);
        for (int p = 0; p < kPlanetCount; ++p) {
            common(planets[p]);
            std::printf(", \"helio_lon_deg\": %.6f, \"helio_lat_deg\": %.6f, \"helio_r_au\": %.6f}",
                        Degrees0To360(helio[std::size_t(p)].l), helio[std::size_t(p)].b * kRadToDeg,
                        helio[std::size_t(p)].r);
        }
        std::printf("}\n");
        return 0;
    }

    std::printf("Local time     %04d-%02d-%02d %02d:%02d:%02d (UT%+d)\n", local.year, local.month, local.day,
                local.hour, local.minute, local.second, place.timeDifference);
    std::printf("Place          lon %s  lat %s\n",
                Dms(AngleFromDegMin(place.longitudeDegrees, place.longitudeMinutes), true).c_str(),
                Dms(phi, true).c_str());
    std::printf("UT             %s\n", utText);
    std::printf("Day number     %d   years since 1975 %.9f   centuries since J2000 %.11f\n",
                DayNumber(ut.year, ut.month, ut.day), YearsSince1975(ut), CenturiesSinceJ2000(ut));
    std::printf("GMST at 0h UT  %s\n", Hms(gmst0).c_str());
    std::printf("Local sid. t.  %s\n", Hms(lst).c_str());
    std::printf("Obliquity      %s\n", Dms(eps, false).c_str());
    std::printf("\n");
    auto horizontal = [](const BodyRow& b) {
        return "Az " + Dms(Degrees0To360(b.az) * kDegToRad, false) + "  Alt " + Dms(b.alt, true);
    };
    std::printf("Sun      lon %s  R %.6f AU\n",
                Dms(Degrees0To360(sunPlace.apparentLongitude) * kDegToRad, false).c_str(), sunPlace.distance);
    std::printf("         RA %s  Dec %s  %s\n", Hms(sun.ra).c_str(), Dms(sun.dec, true).c_str(),
                horizontal(sun).c_str());
    std::printf("Moon     lon %s  lat %s  parallax %s  age %.0f d\n",
                Dms(Degrees0To360(moonPlace.longitude) * kDegToRad, false).c_str(),
                Dms(moonPlace.latitude, true).c_str(), Dms(moonPlace.parallax, false).c_str(), moonAge);
    std::printf("         RA %s  Dec %s (geocentric)\n", Hms(moon.ra).c_str(), Dms(moon.dec, true).c_str());
    std::printf("         RA %s  Dec %s (topocentric)  %s\n", Hms(moonTopo.ra).c_str(),
                Dms(moonTopo.dec, true).c_str(), horizontal(moon).c_str());
    for (int p = 0; p < kPlanetCount; ++p) {
        const BodyRow& b = planets[p];
        std::printf("%-8s RA %s  Dec %s  %s\n", b.label, Hms(b.ra).c_str(), Dms(b.dec, true).c_str(),
                    horizontal(b).c_str());
        std::printf("         heliocentric l %s  b %s  r %.6f AU\n",
                    Dms(Degrees0To360(helio[std::size_t(p)].l) * kDegToRad, false).c_str(),
                    Dms(helio[std::size_t(p)].b, true).c_str(), helio[std::size_t(p)].r);
    }
    return 0;
}

}  // namespace celes::app
