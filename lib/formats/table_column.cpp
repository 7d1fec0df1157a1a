#include "formats/table_column.hpp"

#include <cmath>

namespace analysis {

namespace {

// The legends of celltrend's plot file for each column, in the tables' order.
struct ColumnLegends {
    std::string_view name, y_legend, pattern_title;
};

constexpr ColumnLegends columns[] = {
    {"a", "a unit cell parameter (A)", "a(A)=f(T)"},
    {"b", "b unit cell parameter (A)", "b(A)=f(T)"},
    {"c", "c unit cell parameter (A)", "c(A)=f(T)"},
    {"alpha", "alpha angle (deg.)", "alpha(deg)=f(T)"},
    {"beta", "beta angle (deg.)", "beta(deg)=f(T)"},
    {"gamma", "gamma angle (deg.)", "gamma(deg)=f(T)"},
    {"volume", "Unit cell volume (A3)", "volume(A3)=f(T)"},
    {"mosaicity", "Crystal mosaicity (deg.)", "mosaicity(deg)=f(T)"},
};

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

const std::vector<std::string_view>& table_column_names() {
    static const std::vector<std::string_view> names = [] {
        std::vector<std::string_view> n;
        for (const ColumnLegends& c : columns) n.push_back(c.name);
        return n;
    }();
    return names;
}

PlotFile table_column(const Series& series, std::string_view name) {
    const std::string wanted = lower(name) == "v" ? "volume" : lower(name);
    std::size_t k = 0;
    while (k < std::size(columns) && columns[k].name != wanted) ++k;
    if (k == std::size(columns))
        throw ReadError(series.name + ": no column \"" + std::string(name) +
                        "\": give a, b, c, alpha, beta, gamma, volume (or V) or mosaicity");
    PlotFile file;
    file.name = series.name;
    file.main_legend = series.title;
    file.x_legend = "Temperature (K)";
    file.y_legend = std::string(columns[k].y_legend);
    file.has_end_line = true;
    Pattern pattern;
    pattern.title = std::string(columns[k].pattern_title);
    int skipped = 0;
    for (const SeriesRow& row : series.rows) {
        const auto [value, esd] = value_of(row, k);
        if (!std::isfinite(row.t) || !std::isfinite(value)) {
            ++skipped;
            continue;
        }
        Point p{row.t, value, 0, false};
        if (std::isfinite(esd)) {
            p.sigy = esd;
            p.has_sigy = true;
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

}  // namespace analysis
