#include "formats/uncertainty.hpp"

#include <algorithm>
#include <cmath>

#include "formats/number_text.hpp"

namespace formats {

namespace {

// x * 10^n for any n a double can need (from about -340 to 340): std::pow
// alone underflows to 0 below 1e-323, so large powers go in steps.
double times_power_of_ten(double x, int n) {
    while (n > 300) x *= 1e300, n -= 300;
    while (n < -300) x *= 1e-300, n += 300;
    return x * std::pow(10.0, n);
}

}  // namespace

std::string with_uncertainty(double value, double su) {
    if (!std::isfinite(value)) return printed("%g", value);
    if (!std::isfinite(su)) return printed("%.6g", value) + " (uncertainty undetermined)";
    su = std::fabs(su);
    // An uncertainty lost in the rounding of the sums is no uncertainty.
    if (!(su > std::fabs(value) * 1e-12)) return printed("%.6g", value);

    // k: the power of ten of the last digit shown; digits: the uncertainty
    // in units of it, 10 to 19 or 2 to 9.
    int d = int(std::floor(std::log10(su)));
    double lead = std::round(times_power_of_ten(su, 1 - d));
    if (lead >= 100) {
        ++d;
        lead = std::round(times_power_of_ten(su, 1 - d));
    }
    const int k = lead < 20 ? d - 1 : d;
    const int digits = int(std::round(times_power_of_ten(su, -k)));
    // |value| / su is below 1e12, so q is an exact integer below about 1e13.
    const double q = std::round(times_power_of_ten(value, -k)) + 0.0;  // + 0.0: no "-0"

    const double shown_value = std::fabs(times_power_of_ten(q, k));
    const double shown_su = times_power_of_ten(digits, k);
    const double larger = std::max(shown_value, shown_su);
    if (larger >= 1e-3 && larger < 1e6) {
        if (k >= 0) return printed("%.0f", times_power_of_ten(q, k)) + "(" + printed("%.0f", shown_su) + ")";
        return printed("%.*f", -k, times_power_of_ten(q, k)) + "(" + std::to_string(digits) + ")";
    }
    int exponent = int(std::floor(std::log10(larger)));
    // log10 may land just below an exact power of ten.
    if (times_power_of_ten(1.0, exponent + 1) <= larger) ++exponent;
    const int decimals = exponent - k;
    return printed("%.*f", decimals, times_power_of_ten(q, -decimals)) + "(" + std::to_string(digits) + ")e" +
           std::to_string(exponent);
}

}  // namespace formats
