#include "formats/pressure_rows.hpp"

#include <array>
#include <cmath>

#include "formats/printed.hpp"

namespace formats {

namespace {

bool all_finite(const std::array<double, 6>& values) {
    for (double x : values)
        if (!std::isfinite(x)) return false;
    return true;
}

}  // namespace

double cell_volume_esd(const Cell& cell, const CellSu& esd, const CellTies& ties) {
    // A parameter the ties fix needs no ESD; one that counts and has none
    // makes the whole NaN.
    const double s = volume_esd(cell, esd, ties);
    return std::isfinite(s) ? s : 0;
}

PressureRows pressure_rows(const Series& series) {
    PressureRows out;
    for (const SeriesRow& row : series.rows) {
        const std::string where = series.name + ":" + std::to_string(row.line) + ": ";
        if (!std::isfinite(row.t)) throw PressureError(where + "the pressure is not a number");
        if (row.t < lowest_pressure)
            throw PressureError(where + "the pressure " + printed("%g", row.t) + " GPa is below -1 GPa");
        for (double e :
             {row.sigma_t, row.volume_esd, row.esd.a, row.esd.b, row.esd.c, row.esd.alpha, row.esd.beta, row.esd.gamma})
            if (e < 0) throw PressureError(where + "a negative ESD");
        PressureRow r;
        r.line = row.line;
        r.p = row.t;
        r.sigma_p = std::isfinite(row.sigma_t) ? row.sigma_t : 0;
        r.has_cell = all_finite(row.cell.values()) && is_cell(row.cell) && std::isfinite(volume(row.cell));
        if (r.has_cell) {
            r.cell = row.cell;
            r.esd = row.esd;
        }
        if (std::isfinite(row.volume) && row.volume > 0) {
            r.volume = row.volume;
            r.volume_given = true;
            r.sigma_volume = std::isfinite(row.volume_esd) ? row.volume_esd : 0;
            r.sigma_volume_given = r.sigma_volume > 0;
            if (r.sigma_volume == 0 && r.has_cell) r.sigma_volume = cell_volume_esd(r.cell, r.esd);
        } else if (r.has_cell) {
            r.volume = volume(r.cell);
            r.sigma_volume = cell_volume_esd(r.cell, r.esd);
        } else {
            out.warnings.push_back(where + "warning: no volume and no unit cell in the row; skipped");
            continue;
        }
        if (!(r.sigma_p > 0)) out.sigma_p_known = false;
        out.every_cell = out.every_cell && r.has_cell;
        out.rows.push_back(r);
    }
    return out;
}

}  // namespace formats
