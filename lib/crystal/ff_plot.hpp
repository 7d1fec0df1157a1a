#pragma once
// The F-f plot of a fitted equation of state: each row's normalised
// pressure F against its strain f, with sigma of both from the row's sigmaP
// and sigmaV and the sigma of V0, and the line the fitted P(V) implies.
// Eulerian strain for the Birch-Murnaghan orders and Murnaghan, natural
// strain for the natural form, and for Vinet f_V = 1 - eta^(1/3) with ln F.
// An edge fitted as its cube is plotted as that cube (eta = (L/L0)^3).

#include <cstddef>
#include <vector>

#include "crystal/equation_of_state.hpp"

namespace crystal {

enum class FfStrain { eulerian, natural, vinet };

// The strain a model is plotted against.
FfStrain ff_strain(EosModel model);

struct FfPoint {
    std::size_t row = 0;  // in the data
    double f = 0, sigma_f = 0;
    double F = 0, sigma_F = 0;  // GPa; for Vinet ln(F/GPa) and sigma F/F
};

struct FfPlot {
    FfStrain strain = FfStrain::eulerian;
    std::vector<FfPoint> points;  // rows with f = 0 (and, for Vinet, F <= 0) left out
    // F of the fitted P(V) along f over the points' range (0 included),
    // densely enough to look smooth.
    std::vector<double> line_f, line_F;
};

// `fit` made from `data` (V or an edge cubed); V0 and its sigma are the
// fit's own.
FfPlot ff_plot(const EosFit& fit, const EosData& data);

}  // namespace crystal
