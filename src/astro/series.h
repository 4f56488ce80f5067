#pragma once
// Periodic-term series of the Sun, Moon and planet positions. A term contributes
// amplitude * sin(T * rate + phase) (or cos), T in the time argument of its series. Tables are
// constant flat arrays stored in radians, so nothing is converted while they are summed.
#include <cstddef>

#include "astro/time.h"

namespace celes {

struct SeriesTerm {
    double amplitude;
    double phase;
    double rate;
};

// A row written in degrees (amplitude, phase, rate), stored in radians at compile time.
constexpr SeriesTerm DegreeTerm(double amplitude, double phase, double rate) {
    return {amplitude * kDegToRad, phase * kDegToRad, rate * kDegToRad};
}
// A row whose amplitude is a plain number (distances, logarithm terms); phase and rate in degrees.
constexpr SeriesTerm PlainTerm(double amplitude, double phase, double rate) {
    return {amplitude, phase * kDegToRad, rate * kDegToRad};
}

// accumulator += each term in table order; the accumulator keeps its value on entry.
void SumSineSeries(double t, double& accumulator, const SeriesTerm* table, std::size_t count);
void SumCosineSeries(double t, double& accumulator, const SeriesTerm* table, std::size_t count);

template <std::size_t N>
void SumSineSeries(double t, double& accumulator, const SeriesTerm (&table)[N]) {
    SumSineSeries(t, accumulator, table, N);
}
template <std::size_t N>
void SumCosineSeries(double t, double& accumulator, const SeriesTerm (&table)[N]) {
    SumCosineSeries(t, accumulator, table, N);
}

}  // namespace celes
