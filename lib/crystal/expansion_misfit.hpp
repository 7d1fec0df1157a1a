#pragma once
// Whether the straight lines of an expansion miss their rows (misfit.hpp):
// a principal strain or a volume that curves with T has a coefficient that
// changes with T, which one straight line hides.

#include <array>
#include <vector>

#include "crystal/expansion_result.hpp"
#include "fit/misfit.hpp"

namespace crystal {

struct LineMisfit {
    fit::Misfit verdict;
    std::array<double, 2> largest_t{};  // the temperatures of the two largest residuals
    std::array<double, 2> break_t{};    // of the rows either side of the best break, when searched
};

// The verdicts on the lines of X1, X2, X3 and V, residuals taken in order of
// T with the lines' weights; the points those of `expansion`.
std::array<LineMisfit, 4> expansion_misfits(const std::vector<SeriesPoint>& points, const Expansion& expansion);

}  // namespace crystal
