#pragma once
// Pressure series generated from an equation of state with known
// parameters, for the tests of the fits and of what is read off them.

#include <random>
#include <vector>

#include "crystal/equation_of_state.hpp"

namespace celltrend::testing {

// The volume at pressure p of a model with parameters q, solved by the
// library's own inversion from an exact fit (no covariance).
inline double eos_volume_at(crystal::EosModel model, const std::vector<double>& q, double p) {
    crystal::EosFit exact;
    exact.model = model;
    exact.q = q;
    exact.covariance = Eigen::MatrixXd::Zero(Eigen::Index(q.size()), Eigen::Index(q.size()));
    return crystal::eos_at(exact, p).v;
}

// `count` pressures from 0 in steps of `step` GPa with sigmaP 0.02 GPa and
// sigmaV 0.01 A^3, V exact or (a non-zero seed) with noise of those sigma.
inline crystal::EosData eos_series(crystal::EosModel model, const std::vector<double>& q, unsigned noise_seed = 0,
                                   int count = 12, double step = 0.8) {
    crystal::EosData d;
    std::mt19937 random(noise_seed);
    std::normal_distribution<double> unit(0, 1);
    for (int k = 0; k < count; ++k) {
        const double p = step * k;
        d.p.push_back(noise_seed ? p + 0.02 * unit(random) : p);
        d.sigma_p.push_back(0.02);
        d.v.push_back(eos_volume_at(model, q, p) + (noise_seed ? 0.01 * unit(random) : 0));
        d.sigma_v.push_back(0.01);
    }
    return d;
}

}  // namespace celltrend::testing
