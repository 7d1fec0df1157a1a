#pragma once
// A value with its standard uncertainty in the concise notation of
// crystallography: the value rounded to the uncertainty's last digit and the
// uncertainty in parentheses in units of that digit, two digits when they
// start with 1, else one ("12.35(4)", "13.60(15)", "1230(20)").  Values or
// uncertainties below 1e-3 or from 1e6 on get one exponent, chosen from the
// larger of the two ("2.31(4)e-5", "1(4)e-6", "0(6)e19", never "10(40)e-7").
// An uncertainty of 0 or within rounding of the value leaves the value alone
// with six significant digits; one that is not finite is "undetermined".
// Any finite value and uncertainty give a correct text: nothing overflows.

#include <string>

#include "formats/estimate.hpp"

namespace formats {

std::string with_uncertainty(double value, double su);
inline std::string with_uncertainty(const Estimate& e) { return with_uncertainty(e.value, e.sigma); }

}  // namespace formats
