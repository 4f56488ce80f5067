#pragma once
// The planets' perturbation series. The first rows of each table are the classical ones; the
// rest come from tools/planetfit (a fit to a modern ephemeris that holds for 1900-2100 only).
// Angular rows are radians; distance rows have plain amplitudes (astronomical units for
// Mercury, decimal-logarithm units for the others). Mercury's rates are per Julian century of
// CenturiesSinceJ2000, all others per Julian year of YearsSince1975.
#include "astro/series.h"

namespace celes::planet_tables {

extern const SeriesTerm kMercuryLongitude[21];  // cosine terms added to l
extern const SeriesTerm kMercuryLatitude[13];   // cosine terms added to b
extern const SeriesTerm kMercuryDistance[4];    // cosine terms added to r
extern const SeriesTerm kVenusAnomaly[12];      // sine terms added to the equation of centre
extern const SeriesTerm kVenusDistance[4];      // cosine terms added to log10 r
extern const SeriesTerm kMarsAnomaly[26];       // sine terms added to the equation of centre
extern const SeriesTerm kMarsDistance[8];       // cosine terms added to log10 r
extern const SeriesTerm kJupiterAnomaly[35];    // sine terms added to the mean anomaly
extern const SeriesTerm kJupiterDistance[16];   // cosine terms added to the distance logarithm
extern const SeriesTerm kSaturnAnomaly[42];     // sine terms added to the mean anomaly
extern const SeriesTerm kSaturnDistance[18];    // cosine terms added to the distance logarithm

// Saturn's principal latitude term asin(k sin(nu + phase)): k plain, phase radians.
extern const double kSaturnLatitudeSine;
extern const double kSaturnLatitudePhase;

}  // namespace celes::planet_tables
