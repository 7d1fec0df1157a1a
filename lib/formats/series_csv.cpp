#include "formats/series_csv.hpp"

#include <array>
#include <cmath>
#include <limits>
#include <optional>
#include <vector>

#include "formats/number_field.hpp"

namespace formats {

namespace {

constexpr double not_a_number = std::numeric_limits<double>::quiet_NaN();

// The fields of one RFC 4180 record on one line: commas separate them, a
// field in double quotes may hold commas and "" for a quote.
std::vector<std::string> split_record(std::string_view line) {
    std::vector<std::string> fields(1);
    bool quoted = false;
    for (std::size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (quoted) {
            if (c != '"')
                fields.back() += c;
            else if (i + 1 < line.size() && line[i + 1] == '"')
                fields.back() += '"', ++i;
            else
                quoted = false;
        } else if (c == '"') {
            quoted = true;
        } else if (c == ',') {
            fields.emplace_back();
        } else {
            fields.back() += c;
        }
    }
    return fields;
}

// Where each value of a row goes, by column name.
struct Named {
    std::string_view name;
    double SeriesRow::*member;  // null for the cell's own members below
    int cell_parameter;         // a, b, c, alpha, beta, gamma: 0 to 5; -1 for a row member
    bool esd;                   // of the cell: row.esd, else row.cell
};

constexpr std::array<Named, 20> names{{
    {"T_K", &SeriesRow::t, -1, false},
    {"sigma_T_K", &SeriesRow::sigma_t, -1, false},
    {"a_A", nullptr, 0, false},
    {"b_A", nullptr, 1, false},
    {"c_A", nullptr, 2, false},
    {"alpha_deg", nullptr, 3, false},
    {"beta_deg", nullptr, 4, false},
    {"gamma_deg", nullptr, 5, false},
    {"sigma_a_A", nullptr, 0, true},
    {"sigma_b_A", nullptr, 1, true},
    {"sigma_c_A", nullptr, 2, true},
    {"sigma_alpha_deg", nullptr, 3, true},
    {"sigma_beta_deg", nullptr, 4, true},
    {"sigma_gamma_deg", nullptr, 5, true},
    {"V_A3", &SeriesRow::volume, -1, false},
    {"sigma_V_A3", &SeriesRow::volume_esd, -1, false},
    {"mosaicity_deg", &SeriesRow::mosaicity, -1, false},
    {"sigma_mosaicity_deg", &SeriesRow::mosaicity_esd, -1, false},
    {"P_GPa", &SeriesRow::pressure, -1, false},
    {"sigma_P_GPa", &SeriesRow::pressure_esd, -1, false},
}};
constexpr std::size_t needed = 8;  // T_K and the cell, then sigma_T_K at 1 is optional

// The name of column `n` of `names` in a series of `variable`.
std::string_view name_of(std::size_t n, SeriesVariable variable) {
    if (variable == SeriesVariable::pressure && n < 2) return n == 0 ? "P_GPa" : "sigma_P_GPa";
    // In a pressure series the pressure is the variable, read in T_K's place
    // above, not a column beside it.
    if (variable == SeriesVariable::pressure && names[n].member == &SeriesRow::pressure) return {};
    if (variable == SeriesVariable::pressure && names[n].member == &SeriesRow::pressure_esd) return {};
    return names[n].name;
}

// For each field of the header, the index in `names`, or nullopt for a
// column the analysis does not use.
std::vector<std::optional<std::size_t>> columns_of(const std::vector<std::string>& header, SeriesVariable variable) {
    std::vector<std::optional<std::size_t>> columns;
    for (const std::string& field : header) {
        std::optional<std::size_t> found;
        for (std::size_t n = 0; n < names.size(); ++n)
            if (!name_of(n, variable).empty() && trim(field) == name_of(n, variable)) found = n;
        columns.push_back(found);
    }
    return columns;
}

bool has_column(const std::vector<std::optional<std::size_t>>& columns, std::size_t n) {
    for (const auto& c : columns)
        if (c == n) return true;
    return false;
}

std::string without_cr(std::string line) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return line;
}

}  // namespace

bool is_series_csv_header(std::string_view line, SeriesVariable variable) {
    if (line.find(',') == std::string_view::npos) return false;
    const auto columns = columns_of(split_record(line), variable);
    for (std::size_t n = 0; n < needed; ++n)
        if (n != 1 && !has_column(columns, n)) return false;
    return true;
}

void read_series_csv(std::istream& in, std::string_view header, int header_line, Series& series) {
    const std::string& name = series.name;
    auto columns = columns_of(split_record(header), series.variable);
    for (std::size_t i = 0; i < columns.size(); ++i)
        for (std::size_t j = 0; j < i; ++j)
            if (columns[i] && columns[i] == columns[j])
                throw SeriesError(name + ":" + std::to_string(header_line) + ": the column " +
                                  std::string(name_of(*columns[i], series.variable)) + " is named twice");
    series.layout = SeriesLayout::csv;
    SeriesColumns& carried = series.carried;
    carried = {};
    carried.sigma_t = has_column(columns, 1);
    carried.cell_esd = true;
    for (std::size_t n = 8; n < 14; ++n) carried.cell_esd = carried.cell_esd && has_column(columns, n);
    carried.volume = has_column(columns, 14);
    carried.volume_esd = has_column(columns, 15);
    carried.mosaicity = has_column(columns, 16) && has_column(columns, 17);
    carried.pressure = has_column(columns, 18) && has_column(columns, 19);
    // ESDs of only some cell parameters carry nothing, which the user is
    // told: the fits then weigh every row the same.
    if (!carried.cell_esd) {
        std::size_t esd_columns = 0;
        for (auto& c : columns)
            if (c && *c >= 8 && *c < 14) c.reset(), ++esd_columns;
        if (esd_columns > 0)
            series.notes.push_back(name + ":" + std::to_string(header_line) + ": note: " + std::to_string(esd_columns) +
                                   " of the six cell ESD columns; the ESDs are not used (no weights from them)");
    }

    std::string line;
    int line_number = header_line;
    while (std::getline(in, line)) {
        ++line_number;
        line = without_cr(std::move(line));
        if (trim(line).empty()) continue;
        const std::vector<std::string> fields = split_record(line);
        if (fields.size() != columns.size())
            throw SeriesError(name + ":" + std::to_string(line_number) + ": " + std::to_string(fields.size()) +
                              " fields where the header names " + std::to_string(columns.size()));
        SeriesRow row;
        row.line = line_number;
        row.sigma_t = row.volume = row.volume_esd = row.mosaicity = row.mosaicity_esd = not_a_number;
        row.esd = CellSu::not_given();
        for (std::size_t i = 0; i < fields.size(); ++i) {
            if (!columns[i]) continue;
            const Named& n = names[*columns[i]];
            double value = not_a_number;
            if (!trim(fields[i]).empty() && read_field(fields[i], value) == Field::invalid)
                throw SeriesError(name + ":" + std::to_string(line_number) + ": " +
                                  std::string(name_of(*columns[i], series.variable)) + " is not a number: \"" +
                                  std::string(trim(fields[i]).substr(0, 60)) + "\"");
            if (n.member) {
                row.*n.member = value;
            } else {
                if (n.esd) {
                    std::array<double, 6> v = row.esd.values();
                    v[n.cell_parameter] = value;
                    row.esd = CellSu::from(v);
                } else {
                    std::array<double, 6> v = row.cell.values();
                    v[n.cell_parameter] = value;
                    row.cell = Cell::from(v);
                }
            }
            // A row at ambient pressure among rows at others gives none.
            if (std::isnan(value) && *columns[i] < 18) row.complete = false;
        }
        series.rows.push_back(row);
    }
    if (in.bad()) throw SeriesError(name + ": read error after line " + std::to_string(line_number));
}

}  // namespace formats
