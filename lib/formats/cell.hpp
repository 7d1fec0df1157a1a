#pragma once
// A unit cell and the standard uncertainties of its six parameters: lengths
// in Angstrom, angles in degrees, everything in double.  The two are
// separate types, since an uncertainty is never a cell (an ESD of 90 degrees
// is no ESD).

#include <array>
#include <limits>

namespace formats {

struct Cell {
    double a = 0;
    double b = 0;
    double c = 0;
    double alpha = 90;
    double beta = 90;
    double gamma = 90;

    // a, b, c, alpha, beta, gamma, in that order: the order of every loop
    // over the six parameters.
    std::array<double, 6> values() const { return {a, b, c, alpha, beta, gamma}; }
    static Cell from(const std::array<double, 6>& v) { return {v[0], v[1], v[2], v[3], v[4], v[5]}; }
};

// The six ESDs of a cell, in its units.  0 is an exact (fixed) parameter;
// NaN is an ESD the source does not give.
struct CellSu {
    double a = std::numeric_limits<double>::quiet_NaN();
    double b = std::numeric_limits<double>::quiet_NaN();
    double c = std::numeric_limits<double>::quiet_NaN();
    double alpha = std::numeric_limits<double>::quiet_NaN();
    double beta = std::numeric_limits<double>::quiet_NaN();
    double gamma = std::numeric_limits<double>::quiet_NaN();

    static CellSu zero() { return {0, 0, 0, 0, 0, 0}; }
    static CellSu not_given() { return {}; }
    std::array<double, 6> values() const { return {a, b, c, alpha, beta, gamma}; }
    static CellSu from(const std::array<double, 6>& v) { return {v[0], v[1], v[2], v[3], v[4], v[5]}; }
};

// abc sqrt(1 - cos²alpha - cos²beta - cos²gamma + 2 cos alpha cos beta cos gamma);
// NaN when the three angles cannot close a cell.
double volume(const Cell& cell);

// A unit cell: positive lengths, each angle strictly between 0 and 180
// degrees, and a volume more than rounding (above 10^-6 abc): 270, 360 and
// 120/120/120 close no cell.  False for NaN anywhere.
bool is_cell(const Cell& cell);

// dV/d(a, b, c, alpha, beta, gamma), the angles' per degree; NaN where the
// volume is.
std::array<double, 6> volume_gradient(const Cell& cell);

}  // namespace formats
