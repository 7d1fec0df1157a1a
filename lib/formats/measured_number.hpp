#pragma once
// A number as crystallographers write it, its standard uncertainty in
// parentheses in units of its last digit: "10.2728(6)" is 10.2728 with an
// uncertainty of 0.0006, "1.2E1(3)" is 12 with 3, "100(1)" is 100 with 1.
// CIF writes "?" for a value not known and "." for one that does not apply.

#include <string_view>

#include "formats/estimate.hpp"

namespace formats {

enum class Measured {
    number,   // `out` holds it
    missing,  // "?" or "."
    invalid,  // empty, or text that is no number in this notation
};

// One number without blanks inside: [+-]digits[.digits][E[+-]digits][(digits)],
// a leading or trailing point allowed ("0.5", ".5", "5."), blanks around it
// ignored.  The uncertainty is the integer in parentheses times the place of
// the mantissa's last digit and of the exponent.
// sigma is NaN when the text gives none ("90").
Measured read_measured(std::string_view text, Estimate& out);

}  // namespace formats
