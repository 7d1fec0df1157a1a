#include "formats/strain_row.hpp"

#include <cmath>
#include <limits>
#include <vector>

#include "formats/measured_number.hpp"
#include "formats/number_field.hpp"

namespace formats {

namespace {

// A value with or without (n); false for text that is none.
bool read_value(std::string_view word, double& value, double& su, bool& has_su) {
    if (word.find('(') == std::string_view::npos) {
        su = 0;
        has_su = false;
        return read_field(word, value) != Field::invalid;
    }
    Estimate m;
    if (read_measured(word, m) != Measured::number) return false;
    value = m.value;
    su = m.sigma;
    has_su = true;
    return true;
}

}  // namespace

bool read_strain_row(std::string_view line, std::size_t count, SeriesRow& row, StrainRowGives& gives) {
    const std::vector<std::string_view> words = split_blanks(line);
    if (words.size() != 7 && words.size() != 8) return false;
    if (count != 0 && words.size() != count) return false;
    const bool sigma_column = words.size() == 8;
    gives = {};
    gives.words = words.size();
    bool has_su = false;
    double t_su = 0;
    if (!read_value(words[0], row.t, t_su, has_su)) return false;
    if (has_su && sigma_column) return false;  // sigmaT twice
    gives.sigma_t = has_su || sigma_column;
    row.sigma_t = t_su;
    if (sigma_column && read_field(words[1], row.sigma_t) == Field::invalid) return false;

    double* values[] = {&row.cell.a, &row.cell.b, &row.cell.c, &row.cell.alpha, &row.cell.beta, &row.cell.gamma};
    double* esds[] = {&row.esd.a, &row.esd.b, &row.esd.c, &row.esd.alpha, &row.esd.beta, &row.esd.gamma};
    const std::size_t first = sigma_column ? 2 : 1;
    for (std::size_t i = 0; i < 6; ++i) {
        if (!read_value(words[first + i], *values[i], *esds[i], has_su)) return false;
        gives.cell_esd = gives.cell_esd || has_su;
    }
    constexpr double not_a_number = std::numeric_limits<double>::quiet_NaN();
    row.volume = row.volume_esd = row.mosaicity = row.mosaicity_esd = not_a_number;
    row.complete = !std::isnan(row.t) && !std::isnan(row.sigma_t);
    for (double* v : values) row.complete = row.complete && !std::isnan(*v);
    return true;
}

}  // namespace formats
