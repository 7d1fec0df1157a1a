#include "formats/series_table_writer.hpp"

#include <array>
#include <cmath>
#include <cstdio>

#include "formats/layouts.hpp"

namespace formats {

std::string fixed_field(double value, int width, int decimals) {
    const auto w = static_cast<std::size_t>(width);
    if (!std::isfinite(value)) {
        std::string body = std::signbit(value) ? "-" : "";
        body += std::isnan(value) ? "NaN" : "Inf";
        if (body.size() > w) return std::string(w, '*');
        // Right-aligned as a number is, so that it never touches the field
        // on its left ("120.00NaN" reads as one field).
        return std::string(w - body.size(), ' ') + body;
    }
    // printf rounds the exact binary value; 400 characters hold any double.
    char buf[400];
    std::snprintf(buf, sizeof buf, "%.*f", decimals, std::fabs(value));
    std::string digits = buf;
    const bool zero = digits.find_first_not_of("0.") == std::string::npos;
    const std::string sign = std::signbit(value) && !zero ? "-" : "";
    std::string body = sign + digits;
    if (body.size() > w && digits.starts_with("0.")) body = sign + digits.substr(1);
    if (body.size() > w) return std::string(w, '*');
    return std::string(w - body.size(), ' ') + body;
}

std::vector<std::string> table_header(std::string_view title, std::string_view description) {
    const std::string comment(layout::table_comment);
    return {comment + " " + std::string(title), comment + " " + std::string(description), comment,
            std::string(layout::plain_titles), comment + std::string(layout::table_rule_length, '-')};
}

std::string table_line(const SeriesRow& row) {
    const std::array<double, 14> cell_columns{
        row.cell.a,    row.esd.a,     row.cell.b,   row.esd.b,      row.cell.c,    row.esd.c,  row.cell.alpha,
        row.esd.alpha, row.cell.beta, row.esd.beta, row.cell.gamma, row.esd.gamma, row.volume, row.volume_esd};
    constexpr int width = static_cast<int>(layout::table_field_width);
    std::string line = fixed_field(row.t, static_cast<int>(layout::tk_width), layout::tk_decimals);
    for (double x : cell_columns) line += fixed_field(x, width, layout::cell_decimals);
    line += fixed_field(row.mosaicity, width, layout::mosaicity_decimals);
    line += fixed_field(row.mosaicity_esd, width, layout::mosaicity_decimals);
    return line;
}

}  // namespace formats
