#pragma once
// Units in the legends that celltrend writes: the last parenthesised word,
// spelt in ASCII ("A", "A3", "deg."), shown to people as the symbols Å, Å³
// and °.  The files themselves keep the ASCII spelling.

#include <string>
#include <string_view>

namespace formats {

enum class QuantityKind { length, volume, other };

// The unit in the last parentheses of a legend: "a unit cell parameter (A)"
// gives "A", "Unit cell volume (A3)" gives "A3"; empty when there is none.
std::string unit_of(std::string_view legend);
QuantityKind kind_of(std::string_view y_legend);

// "A" -> "Å", "A3" -> "Å³", "deg." or "deg" -> "°"; any other unit as it is.
std::string unit_symbol(std::string_view unit);

// The unit of a slope, y per x, from two unit symbols: "Å/K"; "Å per unit
// of X" without an x unit; "/K" or "per unit of X" without a y unit.
std::string slope_unit(std::string_view y_unit, std::string_view x_unit);

// The text with every parenthesised unit written as a symbol:
// "a(A)=f(T)" -> "a(Å)=f(T)", "Unit cell volume (A3)" -> "Unit cell volume (Å³)".
std::string with_unit_symbols(std::string_view text);

}  // namespace formats
