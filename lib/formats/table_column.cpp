#include "formats/table_column.hpp"

#include <cmath>

#include "formats/display_text.hpp"
#include "formats/layouts.hpp"

namespace formats {

namespace {

// The names a column is asked for by, in the tables' order (that of
// layout::quantity_legends).
constexpr std::string_view column_names[] = {"a", "b", "c", "alpha", "beta", "gamma", "volume", "mosaicity"};

std::string lower(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
    return out;
}

// The value and ESD of column k of a row; the ESD NaN where there is none.
std::pair<double, double> value_of(const SeriesRow& row, std::size_t k) {
    switch (k) {
        case 0:
            return {row.cell.a, row.esd.a};
        case 1:
            return {row.cell.b, row.esd.b};
        case 2:
            return {row.cell.c, row.esd.c};
        case 3:
            return {row.cell.alpha, row.esd.alpha};
        case 4:
            return {row.cell.beta, row.esd.beta};
        case 5:
            return {row.cell.gamma, row.esd.gamma};
        case 6:
            return {std::isnan(row.volume) ? volume(row.cell) : row.volume, row.volume_esd};
        default:
            return {row.mosaicity, row.mosaicity_esd};
    }
}

}  // namespace

std::optional<std::size_t> table_column_index(std::string_view name) {
    const std::string wanted = lower(name) == "v" ? "volume" : lower(name);
    for (std::size_t k = 0; k < std::size(column_names); ++k)
        if (column_names[k] == wanted) return k;
    return std::nullopt;
}

PlotFile table_column(const Series& series, std::string_view name) {
    const std::optional<std::size_t> index = table_column_index(name);
    if (!index)
        throw ReadError(series.name + ": no column \"" + std::string(name) +
                        "\": give a, b, c, alpha, beta, gamma, volume (or V) or mosaicity");
    PlotFile file;
    file.name = series.name;
    // As a plot file's title is read: shown on a terminal and drawn, so no
    // escape sequence of the table's reaches either.
    file.main_legend = displayable(series.title);
    const std::size_t k = *index;
    const std::string wanted(column_names[k]);
    file.x_legend = std::string(layout::temperature_legend);
    file.y_legend = std::string(layout::quantity_legends[k].y_legend);
    file.has_end_line = true;
    Pattern pattern;
    pattern.title = std::string(layout::quantity_legends[k].pattern_title);
    int skipped = 0;
    for (const SeriesRow& row : series.rows) {
        const auto [value, esd] = value_of(row, k);
        if (!std::isfinite(row.t) || !std::isfinite(value)) {
            ++skipped;
            continue;
        }
        Point p = point_without_sigma(row.t, value);
        if (std::isfinite(esd)) {
            p.y.sigma = esd;
            pattern.declares_sigy = true;
        }
        pattern.points.push_back(p);
    }
    pattern.announced_points = int(pattern.points.size());
    if (pattern.points.empty())
        throw ReadError(series.name + ": the column " + wanted + " has no value that can be read");
    if (skipped > 0)
        file.warnings.push_back(series.name + ": " + wanted + ": " + std::to_string(skipped) +
                                (skipped == 1 ? " row" : " rows") + " of asterisks or NaN left out");
    file.patterns.push_back(std::move(pattern));
    return file;
}

}  // namespace formats
