// celltrend-analyse expansion's computation on generated series: strains,
// principal axes, the fits and the propagation of the cell ESDs of every
// row, for 1,000 and 10,000 temperatures.  Time per series should grow
// linearly with the number of rows (the propagation is one pass).

#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

#include "crystal/expansion.hpp"

namespace {

// A monoclinic cell warming from 100 K in steps that keep T below 1000 K
// (celltrend's F6.2), with ESDs of the size the example series has.
std::vector<crystal::SeriesPoint> generated_series(int rows) {
    std::vector<crystal::SeriesPoint> points(static_cast<std::size_t>(rows));
    const double step = 850.0 / rows;
    for (int k = 0; k < rows; ++k) {
        const double dt = step * k;
        crystal::SeriesPoint& p = points[static_cast<std::size_t>(k)];
        p.t = 100 + dt;
        p.cell = {7.5 * (1 + 1.3e-5 * dt + 1e-9 * dt * dt),
                  10.2 * (1 + 6e-5 * dt),
                  12.8 * (1 + 2.5e-5 * dt),
                  90 + 1e-4 * std::sin(k),
                  101.5 + 7e-4 * dt,
                  90 - 1e-4 * std::cos(k)};
        p.esd = {2e-4, 3e-4, 4e-4, 1.5e-3, 1.3e-3, 1.5e-3};
    }
    return points;
}

void expansion_with_esds(benchmark::State& state) {
    const std::vector<crystal::SeriesPoint> points = generated_series(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        crystal::Expansion ex = crystal::analyse_expansion(points, {});
        benchmark::DoNotOptimize(ex);
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

}  // namespace

BENCHMARK(expansion_with_esds)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);
