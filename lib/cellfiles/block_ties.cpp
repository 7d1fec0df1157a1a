#include "cellfiles/block_ties.hpp"

#include <array>

namespace cellfiles {

formats::CellTies ties_in_one_cell(const formats::Cell& cell, const formats::CellSu& su) {
    const std::array<double, 6> v = cell.values();
    const std::array<double, 6> s = su.values();
    formats::CellTies ties;
    for (int p = 1; p < 3; ++p)
        for (int q = 0; q < p; ++q)
            if (ties.group[q] == q && v[p] == v[q] && s[p] == s[q]) {
                ties.group[p] = q;
                break;
            }
    for (int p = 3; p < 6; ++p) ties.fixed[p] = s[p] == 0 && (v[p] == 90 || v[p] == 120);
    return ties;
}

}  // namespace cellfiles
