#include "pressure_input.hpp"

#include <cmath>
#include <iostream>

#include "formats/number_field.hpp"

namespace celltrend_analyse {

formats::PressureRows read_pressure_rows(const Subcommand& sub, const std::string& file, bool keep_file_order) {
    formats::Series series = read_table(sub, file, formats::SeriesVariable::pressure);
    try {
        // The pressures are checked in the file's order, so that a refusal
        // names the line the user will look for whatever the sort does.
        formats::pressure_rows(series);
    } catch (const formats::PressureError& e) {
        throw InputError(e.what());
    }
    order_rows(sub, series, keep_file_order);
    formats::PressureRows rows = formats::pressure_rows(series);
    for (const std::string& w : rows.warnings) std::cerr << "celltrend-analyse " << sub.name << ": " << w << "\n";
    return rows;
}

std::string read_pressures(const std::string& text, std::vector<double>& pressures, bool& every_row) {
    every_row = false;
    if (text == "rows") {
        every_row = true;
        return "";
    }
    std::size_t start = 0;
    while (true) {
        const std::size_t comma = text.find(',', start);
        const std::string field = text.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
        double p = 0;
        if (formats::read_field(field, p) != formats::Field::number || !std::isfinite(p))
            return "--at '" + text + "': '" + field + "' is not a pressure";
        if (p < formats::lowest_pressure) return "--at '" + text + "': pressures are in GPa, at least -1";
        pressures.push_back(p);
        if (comma == std::string::npos) return "";
        start = comma + 1;
    }
}

std::string series_name(const std::string& file) { return file == "-" ? "(standard input)" : file; }

}  // namespace celltrend_analyse
