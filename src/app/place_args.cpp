#include "app/place_args.h"

#include <charconv>
#include <cmath>
#include <cstdlib>

namespace celes::app {

namespace {

bool ParseUnsignedField(const std::string& text, std::size_t pos, std::size_t len, int& out) {
    if (pos + len > text.size()) return false;
    const std::string part = text.substr(pos, len);
    if (part[0] == '-' || part[0] == '+') return false;
    return ParseIntArg(part, 0, 9999, out);
}

int DaysInMonth(int year, int month) {
    static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && year % 4 == 0 ? 29 : kDays[month - 1];
}

}  // namespace

bool ParseIntArg(const std::string& text, long lo, long hi, int& out) {
    const char* first = text.data();
    const char* last = first + text.size();
    if (first != last && *first == '+') ++first;  // from_chars takes only '-'
    if (first == last || *first == '+') return false;
    long v = 0;
    const auto [p, ec] = std::from_chars(first, last, v);
    if (ec != std::errc() || p != last || v < lo || v > hi) return false;
    out = static_cast<int>(v);
    return true;
}

bool ParseDegMin(const std::string& text, int maxDegrees, int& degrees, int& minutes) {
    if (text.empty()) return false;
    const bool negative = text[0] == '-';
    const std::string body = (text[0] == '-' || text[0] == '+') ? text.substr(1) : text;
    if (body.empty()) return false;
    int d = 0, m = 0;
    const std::size_t colon = body.find(':');
    if (colon != std::string::npos) {
        if (!ParseUnsignedField(body, 0, colon, d)) return false;
        const std::string mins = body.substr(colon + 1);
        if (mins.empty() || !ParseUnsignedField(mins, 0, mins.size(), m) || m > 59) return false;
    } else if (body.find('.') != std::string::npos) {
        for (char c : body)
            if ((c < '0' || c > '9') && c != '.') return false;
        if (body == "." || body.find('.') != body.rfind('.')) return false;
        const double value = std::strtod(body.c_str(), nullptr);
        if (!(value <= maxDegrees)) return false;      // before scaling, which could overflow
        const long total = std::lround(value * 60.0);  // to the nearest arc minute
        d = static_cast<int>(total / 60);
        m = static_cast<int>(total % 60);
    } else if (!ParseUnsignedField(body, 0, body.size(), d)) {
        return false;
    }
    if (d > maxDegrees || (d == maxDegrees && m > 0)) return false;
    degrees = negative ? -d : d;
    minutes = negative ? -m : m;
    return true;
}

bool ParseLocalTime(const std::string& text, bool dateOnly, CAstroTime& out) {
    // YYYY-MM-DD
    if (text.size() < 10 || text[4] != '-' || text[7] != '-') return false;
    int y, mo, d, h = 0, mi = 0, s = 0;
    if (!ParseUnsignedField(text, 0, 4, y) || !ParseUnsignedField(text, 5, 2, mo) ||
        !ParseUnsignedField(text, 8, 2, d))
        return false;
    if (dateOnly) {
        if (text.size() != 10) return false;
    } else {
        // HH:MM or HH:MM:SS after one separator
        if (text.size() != 16 && text.size() != 19) return false;
        if (text[10] != ' ' && text[10] != 'T') return false;
        if (text[13] != ':' || !ParseUnsignedField(text, 11, 2, h) || !ParseUnsignedField(text, 14, 2, mi))
            return false;
        if (text.size() == 19 && (text[16] != ':' || !ParseUnsignedField(text, 17, 2, s))) return false;
    }
    if (y < 1901 || y > 2099 || mo < 1 || mo > 12 || d < 1 || d > DaysInMonth(y, mo) || h > 23 || mi > 59 ||
        s > 59)
        return false;
    out = CAstroTime(y, mo, d, h, mi, s);
    return true;
}

std::string TakeDaysOption(Args& args, int& days) {
    Args rest;
    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string value;
        if (args[i].rfind("--days=", 0) == 0) {
            value = args[i].substr(7);
        } else if (args[i] == "--days") {
            if (i + 1 >= args.size()) return "--days: missing value";
            value = args[++i];
        } else {
            rest.push_back(args[i]);
            continue;
        }
        if (!ParseIntArg(value, 1, 366, days))
            return "--days: expected a whole number from 1 to 366, got '" + value + "'";
    }
    args = std::move(rest);
    return {};
}

std::string TakePlaceTimeOptions(Args& args, PlaceTimeOptions& out) {
    Args rest;
    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string name = args[i];
        std::string value;
        bool hasValue = false;
        const std::size_t eq = name.find('=');
        if (name.rfind("--", 0) == 0 && eq != std::string::npos) {
            value = name.substr(eq + 1);
            name = name.substr(0, eq);
            hasValue = true;
        }
        const bool known =
            name == "--local" || name == "--date" || name == "--lon" || name == "--lat" || name == "--tz";
        if (!known) {
            rest.push_back(args[i]);
            continue;
        }
        if (!hasValue) {
            if (i + 1 >= args.size()) return name + ": missing value";
            value = args[++i];
        }
        if (name == "--local") {
            CAstroTime t;
            if (!ParseLocalTime(value, false, t))
                return "--local: expected \"YYYY-MM-DD HH:MM[:SS]\" with a year from 1901 to 2099, got '" +
                       value + "'";
            out.local = t;
        } else if (name == "--date") {
            CAstroTime t;
            if (!ParseLocalTime(value, true, t))
                return "--date: expected YYYY-MM-DD with a year from 1901 to 2099, got '" + value + "'";
            out.date = t;
        } else if (name == "--lon") {
            if (!ParseDegMin(value, 180, out.place.longitudeDegrees, out.place.longitudeMinutes))
                return "--lon: expected degrees[:minutes] from -180 to 180 (west negative), got '" + value +
                       "'";
        } else if (name == "--lat") {
            if (!ParseDegMin(value, 90, out.place.latitudeDegrees, out.place.latitudeMinutes))
                return "--lat: expected degrees[:minutes] from -90 to 90 (south negative), got '" + value +
                       "'";
        } else {
            if (!ParseIntArg(value, -12, 14, out.place.timeDifference))
                return "--tz: expected whole hours from -12 to 14, got '" + value + "'";
        }
    }
    args = rest;
    return {};
}

}  // namespace celes::app
