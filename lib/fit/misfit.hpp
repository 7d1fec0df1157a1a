#pragma once
// Whether a fit misses its data in a way its chi2 alone does not show: the
// residuals in order of the variable (temperature, pressure) running in long
// blocks of one sign, and, where they do, whether the series is better
// described as two pieces (a phase transition, a change of regime).  General
// over the model: the caller refits a range of rows through a callback.

#include <cstddef>
#include <functional>
#include <optional>
#include <vector>

namespace fit {

// Wald-Wolfowitz runs test on the signs of the residuals (zeros left out):
// mu = 2 n+ n- / n + 1, s^2 = 2 n+ n- (2 n+ n- - n) / (n^2 (n - 1)),
// z = (R - mu)/s.
struct RunsTest {
    std::size_t plus = 0;
    std::size_t minus = 0;
    std::size_t runs = 0;
    double expected = 0;  // mu
    double z = 0;         // 0 where s is 0
    // n >= 10 and z < -2.576: too few runs (p < 0.005, one-sided).
    bool too_few = false;
};
RunsTest runs_test(const std::vector<double>& residuals);

// The chi2 of the model fitted to rows [begin, end) alone, in order of the
// variable; NaN where it cannot be fitted.
using RangeChi2 = std::function<double(std::size_t begin, std::size_t end)>;

struct SeriesBreak {
    std::size_t after = 0;  // the break lies between rows after and after + 1
    double aicc_drop = 0;   // AICc of the whole fit minus that of the pair
};

// The split of lowest AICc, fitting each side with the same model of p
// parameters: AICc = n ln((chi2_1 + chi2_2)/n) + 2q + 2q(q + 1)/(n - q - 1),
// q = 2p + 1 (the break counts as a parameter).  Only splits leaving more
// than p rows on each side; at most `max_splits` (200 unless a costly refit
// asks fewer) of them, spread evenly.  None when no split can be fitted.
std::optional<SeriesBreak> best_break(std::size_t n, std::size_t p, double whole_chi2, const RangeChi2& chi2_of,
                                      std::size_t max_splits = 200);

// The verdict on one fit.
struct Misfit {
    bool misses = false;
    RunsTest runs;
    std::optional<SeriesBreak> split;  // searched only for a fit that misses or has chi2_nu > 4 with ESDs
    bool break_found = false;          // a split lowering AICc by more than 10
    std::size_t largest[2] = {0, 0};   // the rows of the two largest |r|
};

// `residuals` in order of the variable, each (x - f)/sigma for a weighted
// fit or x - f; `reduced_chi2` the fit's.  With ESDs a fit of chi2_nu <= 1
// never misses, and one of 10 rows or more with chi2_nu above 4 misses when
// a break lowers AICc by more than 10, whatever the runs.
Misfit judge_fit(const std::vector<double>& residuals, bool weighted, double reduced_chi2, std::size_t p,
                 const RangeChi2& chi2_of, std::size_t max_splits = 200);

}  // namespace fit
