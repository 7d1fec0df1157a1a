#include "formats/series_table_writer.hpp"

#include <array>
#include <cmath>
#include <cstdio>

namespace analysis {

std::string fixed_field(double value, int width, int decimals) {
    const auto w = static_cast<std::size_t>(width);
    if (!std::isfinite(value)) {
        std::string body = std::signbit(value) ? "-" : "";
        body += std::isnan(value) ? "NaN" : "Inf";
        if (body.size() > w) return std::string(w, '*');
        return body + std::string(w - body.size(), ' ');
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
    constexpr std::array<std::string_view, 16> titles{
        "a(A)",      "ESD(A)",   "b(A)",       "ESD(A)",   "c(A)",       "ESD(A)",  "alpha(deg)", "ESD(deg)",
        "beta(deg)", "ESD(deg)", "gamma(deg)", "ESD(deg)", "volume(A3)", "ESD(A3)", "mosa.(deg)", "ESD(deg)"};
    std::string columns = "!   TK";
    for (std::string_view t : titles) columns += std::string(12 - t.size(), ' ') + std::string(t);
    columns += ' ';
    return {"! " + std::string(title), "! " + std::string(description), "!", columns, "!" + std::string(200, '-')};
}

std::string table_line(const SeriesRow& row) {
    const std::array<double, 14> cell_columns{
        row.cell.a,    row.esd.a,     row.cell.b,   row.esd.b,      row.cell.c,    row.esd.c,  row.cell.alpha,
        row.esd.alpha, row.cell.beta, row.esd.beta, row.cell.gamma, row.esd.gamma, row.volume, row.volume_esd};
    std::string line = fixed_field(row.t, 6, 2);
    for (double x : cell_columns) line += fixed_field(x, 12, 5);
    line += fixed_field(row.mosaicity, 12, 3);
    line += fixed_field(row.mosaicity_esd, 12, 3);
    return line;
}

}  // namespace analysis
