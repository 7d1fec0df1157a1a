#pragma once
// eos --ff: the F-f plot of each fitted quantity (V, and the edges as their
// cubes, so that their F reads as M/3 beside K), with the line each fit
// implies, on one panel.

#include <string>
#include <vector>

#include "crystal/equation_of_state.hpp"
#include "figures/xy_figure.hpp"

namespace celltrend_analyse {

struct FfQuantity {
    std::string name;              // "V", "a", ...
    const crystal::EosFit* fit;    // of V or of an edge cubed
    const crystal::EosData* data;  // what it was fitted to
};

figures::XyFigure ff_figure(const std::string& title, const std::vector<FfQuantity>& quantities);

}  // namespace celltrend_analyse
