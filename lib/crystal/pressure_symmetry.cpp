#include "crystal/pressure_symmetry.hpp"

#include <vector>

namespace crystal {

SeriesSymmetry apply_symmetry(formats::PressureRows& rows, CrystalSystem system) {
    // The pressure in place of the temperature: the ties look at the cells
    // alone, and the pressure only names a row without a line.
    std::vector<SeriesPoint> points;
    for (const formats::PressureRow& r : rows.rows)
        points.push_back({r.p, r.sigma_p, r.cell, r.esd, std::size_t(r.line > 0 ? r.line : 0)});
    SeriesSymmetry symmetry = apply_symmetry(points, system);
    for (std::size_t n = 0; n < rows.rows.size(); ++n) {
        formats::PressureRow& r = rows.rows[n];
        r.cell = points[n].cell;
        r.esd = points[n].esd;
        if (!r.volume_given) r.volume = formats::volume(r.cell);
        if (!r.sigma_volume_given) r.sigma_volume = formats::cell_volume_esd(r.cell, r.esd, symmetry.ties);
    }
    return symmetry;
}

}  // namespace crystal
