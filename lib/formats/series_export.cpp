#include "formats/series_export.hpp"

#include "formats/cell_ties.hpp"

#include <array>
#include <charconv>
#include <cmath>
#include <functional>
#include <string_view>

namespace formats {

namespace {

// One column a series may carry, under its names in CSV and in EosFit7's
// Format line ("" where EosFit7 takes no such column).
struct Column {
    std::string_view csv;
    std::string_view eosfit;
    double (*value)(const SeriesRow&);
    bool (*carried)(const Series&);
};

bool always(const Series&) { return true; }
bool with_cell_esd(const Series& s) { return s.has_cell_esd(); }
bool with_sigma_t(const Series& s) { return s.has_sigma_t(); }
bool with_volume(const Series& s) { return s.carried.volume; }
bool with_volume_esd(const Series& s) { return s.carried.volume_esd; }
bool with_mosaicity(const Series& s) { return s.carried.mosaicity; }
bool with_pressure(const Series& s) { return s.carried.pressure; }

constexpr std::array<Column, 20> columns{{
    {"T_K", "T", [](const SeriesRow& r) { return r.t; }, always},
    {"sigma_T_K", "", [](const SeriesRow& r) { return r.sigma_t; }, with_sigma_t},
    {"a_A", "A", [](const SeriesRow& r) { return r.cell.a; }, always},
    {"sigma_a_A", "SIGA", [](const SeriesRow& r) { return r.esd.a; }, with_cell_esd},
    {"b_A", "B", [](const SeriesRow& r) { return r.cell.b; }, always},
    {"sigma_b_A", "SIGB", [](const SeriesRow& r) { return r.esd.b; }, with_cell_esd},
    {"c_A", "C", [](const SeriesRow& r) { return r.cell.c; }, always},
    {"sigma_c_A", "SIGC", [](const SeriesRow& r) { return r.esd.c; }, with_cell_esd},
    {"alpha_deg", "ALPHA", [](const SeriesRow& r) { return r.cell.alpha; }, always},
    {"sigma_alpha_deg", "SIGAL", [](const SeriesRow& r) { return r.esd.alpha; }, with_cell_esd},
    {"beta_deg", "BETA", [](const SeriesRow& r) { return r.cell.beta; }, always},
    {"sigma_beta_deg", "SIGBE", [](const SeriesRow& r) { return r.esd.beta; }, with_cell_esd},
    {"gamma_deg", "GAMMA", [](const SeriesRow& r) { return r.cell.gamma; }, always},
    {"sigma_gamma_deg", "SIGGA", [](const SeriesRow& r) { return r.esd.gamma; }, with_cell_esd},
    {"V_A3", "V", [](const SeriesRow& r) { return r.volume; }, with_volume},
    {"sigma_V_A3", "SIGV", [](const SeriesRow& r) { return r.volume_esd; }, with_volume_esd},
    {"mosaicity_deg", "", [](const SeriesRow& r) { return r.mosaicity; }, with_mosaicity},
    {"sigma_mosaicity_deg", "", [](const SeriesRow& r) { return r.mosaicity_esd; }, with_mosaicity},
    {"P_GPa", "", [](const SeriesRow& r) { return r.pressure; }, with_pressure},
    {"sigma_P_GPa", "", [](const SeriesRow& r) { return r.pressure_esd; }, with_pressure},
}};

std::string number(double x) {
    char buf[400];  // any double in fixed notation
    // Fixed notation: 0.0009 rather than 9e-04, for readers and older parsers.
    const auto res = std::to_chars(buf, buf + sizeof buf, x, std::chars_format::fixed);
    return std::string(buf, res.ptr);
}

std::string where(const Series& series, const SeriesRow& row) {
    return series.name + ":" + std::to_string(row.line) + ": ";
}

// The names of the unreadable values, "a, sigma_V_A3", or "".
std::string unreadable(const std::vector<std::string_view>& names, const std::vector<double>& values) {
    std::string out;
    for (std::size_t i = 0; i < values.size(); ++i) {
        if (!std::isnan(values[i])) continue;
        if (!out.empty()) out += ", ";
        out += names[i];
    }
    return out;
}

std::string source_line(const Series& series) {
    std::string s = "# From " + series.name;
    if (!series.title.empty()) s += ": " + series.title;
    return s + "\n";
}

// Data lines of blank-separated values; a row with an unreadable value is
// left out with a warning.
using Value = std::function<double(const SeriesRow&)>;

void append_rows(const Series& series, const std::vector<std::string_view>& names, const std::vector<Value>& values,
                 ExportText& out) {
    std::vector<double> v(values.size());
    for (const SeriesRow& row : series.rows) {
        for (std::size_t i = 0; i < values.size(); ++i) v[i] = values[i](row);
        const std::string bad = unreadable(names, v);
        if (!bad.empty()) {
            out.warnings.push_back(where(series, row) + "asterisks or NaN in " + bad + "; row left out");
            continue;
        }
        for (std::size_t i = 0; i < v.size(); ++i) out.text += (i == 0 ? "" : " ") + number(v[i]);
        out.text += "\n";
        ++out.rows;
    }
}

}  // namespace

ExportText export_strain_rows(const Series& series, double sigma_t) {
    ExportText out;
    const bool own = std::isnan(sigma_t) && series.has_sigma_t();
    if (std::isnan(sigma_t) && !own) sigma_t = 1.0;
    out.text = source_line(series);
    if (own)
        out.text += "# sigmaT as the source gives it\n";
    else
        out.text += "# sigmaT = " + number(sigma_t) +
                    " K for every row (--sigma-t): a constant sigmaT does not change the fitted results\n";
    out.text += "# T(K) sigmaT(K) a(A) b(A) c(A) alpha(deg) beta(deg) gamma(deg)\n";

    const std::vector<std::string_view> names{"T", "sigmaT", "a", "b", "c", "alpha", "beta", "gamma"};
    std::vector<Value> values{columns[0].value};
    if (own)
        values.push_back(columns[1].value);
    else
        values.push_back([sigma_t](const SeriesRow&) { return sigma_t; });
    for (std::size_t i : {2u, 4u, 6u, 8u, 10u, 12u}) values.push_back(columns[i].value);
    append_rows(series, names, values, out);
    return out;
}

ExportText export_eosfit(const Series& series_read, const std::string& system) {
    ExportText out;
    // A volume of a million cubic Angstrom or more (a protein's cell) is
    // asterisks in celltrend's table; the cell still gives it.
    Series series = series_read;
    for (SeriesRow& row : series.rows) {
        if (series.has_sigma_t() || !std::isnan(row.volume) || !row.cell_read()) continue;
        row.volume = volume(row.cell);
        if (std::isnan(row.volume)) continue;
        if (series.has_cell_esd()) row.volume_esd = volume_esd(row.cell, row.esd);
        out.warnings.push_back(where(series, row) + "the volume is asterisks or NaN; V" +
                               (series.has_cell_esd() ? " and SIGV" : "") + " computed from the cell");
    }
    out.text = source_line(series);
    out.text += "Title " + (series.title.empty() ? series.name : series.title) + "\n";
    out.text += "TScale K\n";
    if (!system.empty()) out.text += "System " + system + "\n";
    std::vector<std::string_view> names;
    std::vector<Value> values;
    out.text += "Format";
    for (const Column& c : columns) {
        if (c.eosfit.empty() || !c.carried(series)) continue;
        out.text += " " + std::string(c.eosfit);
        names.push_back(c.eosfit);
        values.push_back(c.value);
    }
    out.text += "\n";
    append_rows(series, names, values, out);
    return out;
}

ExportText export_csv(const Series& series) {
    ExportText out;
    std::vector<const Column*> used;
    for (const Column& c : columns)
        if (c.carried(series)) used.push_back(&c);
    for (std::size_t i = 0; i < used.size(); ++i) out.text += (i == 0 ? "" : ",") + std::string(used[i]->csv);
    out.text += "\r\n";
    for (const SeriesRow& row : series.rows) {
        std::string empty;
        for (std::size_t i = 0; i < used.size(); ++i) {
            const double x = used[i]->value(row);
            if (i != 0) out.text += ",";
            if (std::isnan(x)) {
                // A row that gives no pressure among rows that do is no damage.
                if (used[i]->value != columns[18].value && used[i]->value != columns[19].value)
                    empty += (empty.empty() ? "" : ", ") + std::string(used[i]->csv);
                continue;
            }
            out.text += number(x);
        }
        out.text += "\r\n";
        if (row.cell_read()) ++out.rows;
        if (!empty.empty())
            out.warnings.push_back(where(series, row) + "asterisks or NaN in " + empty + "; left empty");
    }
    return out;
}

}  // namespace formats
