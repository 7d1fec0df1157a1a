#include "usable_points.hpp"

#include <algorithm>
#include <cmath>
#include <iostream>

namespace celltrend_analyse {

namespace {

std::string line_of(const formats::Series& series, const formats::SeriesRow& row) {
    return series.name + ":" + std::to_string(row.line);
}

}  // namespace

void usable_points(std::string_view program, const formats::Series& series, std::vector<crystal::SeriesPoint>& points,
                   std::string_view without_esds, const SigmaTUse& sigma_t) {
    const bool sigma_t_read = sigma_t.read && series.has_sigma_t();
    std::vector<const formats::SeriesRow*> used;
    for (const formats::SeriesRow& row : series.rows) {
        // The volume and mosaicity are not used: the volume comes from the
        // cell, so a protein's volume of asterisks keeps its row.
        if (!row.cell_read() || (sigma_t_read && std::isnan(row.sigma_t))) {
            std::cerr << program << ": " << line_of(series, row) << ": warning: asterisks or NaN in the row; skipped\n";
            continue;
        }
        if (!(row.t > 0) || !std::isfinite(row.t)) {
            // 0 K and below is no temperature of a measurement; a cell in
            // degrees Celsius by mistake would become one at -173 K.
            std::cerr << program << ": " << line_of(series, row) << ": warning: T " << row.t
                      << " is no temperature in kelvin"
                      << (row.t > -273.15 && row.t <= 0 ? " (it looks like degrees Celsius)" : "") << "; skipped\n";
            continue;
        }
        if (series.has_cell_esd()) {
            bool negative = false;
            for (double e : row.esd.values()) negative = negative || e < 0;
            if (negative) {
                std::cerr << program << ": " << line_of(series, row) << ": warning: a negative cell ESD; skipped\n";
                continue;
            }
        }
        if (!formats::is_cell(row.cell))
            throw InputError(line_of(series, row) + ": not a unit cell (lengths or angles)");
        if (!std::isfinite(formats::volume(row.cell)))
            throw InputError(line_of(series, row) + ": the volume of the cell leaves the range of a double");
        crystal::SeriesPoint p;
        p.t = row.t;
        p.cell = row.cell;
        p.line = row.line;
        if (series.has_cell_esd()) p.esd = row.esd;
        // A CSV's volume ESD is the refinement's (collect writes the CIF's
        // own); celltrend's tables give the report's, propagated as before.
        if (series.layout == formats::SeriesLayout::csv && row.volume_esd > 0) p.volume_su = row.volume_esd;
        if (sigma_t_read) p.sigma_t = row.sigma_t;
        points.push_back(p);
        used.push_back(&row);
    }
    if (points.size() < 2)
        throw InputError(series.name + ": " + std::to_string(points.size()) +
                         (points.size() == 1 ? " usable row" : " usable rows") +
                         "; an expansion needs at least two temperatures");
    if (sigma_t_read) {
        std::size_t lacking = 0;
        for (std::size_t k = 0; k < points.size(); ++k) {
            if (points[k].sigma_t < 0) throw InputError(line_of(series, *used[k]) + ": sigmaT is negative");
            if (points[k].sigma_t == 0) ++lacking;
        }
        // A weight 1/sigmaT for some rows and none for others has no
        // meaning: all rows weigh the same unless --sigma-t gives the rest.
        if (lacking > 0 && std::isnan(sigma_t.fill)) {
            if (lacking == points.size())
                std::cerr << program << ": " << series.name << ": warning: sigmaT is 0 on every row; equal weights\n";
            else
                std::cerr << program << ": " << series.name << ": warning: " << lacking << " of " << points.size()
                          << " rows give no sigmaT (0); equal weights for all (--sigma-t K gives those rows K)\n";
            for (crystal::SeriesPoint& p : points) p.sigma_t = std::nan("");
        } else if (lacking > 0) {
            for (crystal::SeriesPoint& p : points)
                if (p.sigma_t == 0) p.sigma_t = sigma_t.fill;
        }
    }
    if (series.has_cell_esd()) {
        // celltrend writes 0 for an ESD the report does not give: a table of
        // zeros has no ESDs to carry.
        bool all_zero = true;
        for (const crystal::SeriesPoint& p : points)
            for (double e : p.esd.values()) all_zero = all_zero && e == 0;
        if (all_zero) {
            std::cerr << program << ": " << series.name << ": warning: every cell ESD is 0; " << without_esds << "\n";
            for (crystal::SeriesPoint& p : points) p.esd = formats::CellSu::not_given();
        }
    }
}

}  // namespace celltrend_analyse
