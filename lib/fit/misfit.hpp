#pragma once
// Whether a fit misses its data in a way its chi-square alone cannot show:
// the runs test on the signs of the residuals taken in order of the
// variable (temperature or pressure).  Too few runs (long stretches of one
// sign) means the curve bends where the data do not.

#include <array>
#include <cstddef>
#include <vector>

namespace analysis {

struct RunsTest {
    std::size_t n = 0;      // residuals with a sign (zeros left out)
    std::size_t plus = 0;   // positive ones
    std::size_t minus = 0;  // negative ones
    std::size_t runs = 0;   // stretches of one sign
    double expected = 0;    // 2 n+ n- / n + 1
    double z = 0;           // (runs - expected) / s; 0 when s is 0
};

// `residuals` in order of the variable.
RunsTest runs_test(const std::vector<double>& residuals);

// The verdict: at least 10 signed residuals and z < -2.576 (p < 0.005, one
// sided).  A weighted fit whose chi2_nu <= 1 (pass `weighted` true) is
// within its errors and never misses.
bool misses(const RunsTest& test, bool weighted, double chi2_nu);

// The indices of the two largest |residuals| (the first twice for a single
// residual), largest first.
std::array<std::size_t, 2> largest_residuals(const std::vector<double>& residuals);

}  // namespace analysis
