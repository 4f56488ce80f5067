#include "astro/series.h"

#include <cmath>

namespace celes {

void SumSineSeries(double t, double& accumulator, const SeriesTerm* table, std::size_t count) {
    double acc = accumulator;
    for (std::size_t i = 0; i < count; ++i)
        acc = table[i].amplitude * std::sin(t * table[i].rate + table[i].phase) + acc;
    accumulator = acc;
}

void SumCosineSeries(double t, double& accumulator, const SeriesTerm* table, std::size_t count) {
    double acc = accumulator;
    for (std::size_t i = 0; i < count; ++i)
        acc = table[i].amplitude * std::cos(t * table[i].rate + table[i].phase) + acc;
    accumulator = acc;
}

}  // namespace celes
