// celltrend-analyse alpha's computation on generated series: the seven fits
// and the tensor with its covariance at four temperatures, for 1,000 and
// 10,000 temperatures, with the polynomial of degree 3 and with the
// Einstein model (a profile over theta, then Levenberg-Marquardt).  Time
// per series should grow linearly with the number of rows.

#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

#include "crystal/alpha.hpp"

namespace {

double einstein(double x0, double a, double theta, double t) { return x0 + a * theta / std::expm1(theta / t); }

// A monoclinic cell warming from 100 K whose edges follow Einstein curves,
// rounded to the five decimals of celltrend's tables, with ESDs of the
// size the example series has.
std::vector<crystal::SeriesPoint> generated_series(int rows) {
    std::vector<crystal::SeriesPoint> points(static_cast<std::size_t>(rows));
    const double step = 850.0 / rows;
    const auto rounded = [](double x) { return std::round(x * 1e5) / 1e5; };
    for (int k = 0; k < rows; ++k) {
        const double dt = step * k, t = 100 + dt;
        crystal::SeriesPoint& p = points[static_cast<std::size_t>(k)];
        p.t = t;
        p.cell = {rounded(einstein(7.5, 2e-4, 180, t)),        rounded(einstein(10.2, 9e-4, 260, t)),
                  rounded(einstein(12.8, 4e-4, 320, t)),       rounded(90 + 1e-4 * std::sin(k)),
                  rounded(101.5 + 7e-4 * dt + 1e-7 * dt * dt), rounded(90 - 1e-4 * std::cos(k))};
        p.esd = {2e-4, 3e-4, 4e-4, 1.5e-3, 1.3e-3, 1.5e-3};
    }
    return points;
}

void alpha_of_series(benchmark::State& state, crystal::AlphaModel model) {
    const std::vector<crystal::SeriesPoint> points = generated_series(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        const crystal::AlphaFits fits = crystal::fit_cell_series(points, model);
        std::vector<crystal::AlphaAt> at = crystal::alpha_on_grid(fits, {100, 298.15, 525, 950});
        if (!at.front().tensor) state.SkipWithError("a fit was refused");
        benchmark::DoNotOptimize(at);
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

}  // namespace

BENCHMARK_CAPTURE(alpha_of_series, poly3, crystal::AlphaModel::poly3)
    ->Arg(1000)
    ->Arg(10000)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(alpha_of_series, einstein, crystal::AlphaModel::einstein)
    ->Arg(1000)
    ->Arg(10000)
    ->Unit(benchmark::kMillisecond);
