// celltrend-analyse collect: the temperature series of the files people
// already have, a CIF or a SHELX .ins/.res per temperature, as one table that
// every subcommand reads.

#include <Eigen/Dense>
#include <algorithm>
#include <cmath>
#include <iostream>
#include <limits>
#include <string>
#include <vector>

#include "cellfiles/cif_cells.hpp"
#include "cellfiles/shelx_cells.hpp"
#include "cli/output_file.hpp"
#include "commands.hpp"
#include "formats/cell_ties.hpp"
#include "formats/series_export.hpp"
#include "subcommand.hpp"
#include "write_result.hpp"

namespace analyse {

namespace {

constexpr std::string_view program = "celltrend-analyse collect";

constexpr OptionSpec options[] = {
    {"format", 'f', true},
    {"output", 'o', true},
    {"help", 'h', false},
};

void print_help(std::ostream& out) {
    out << "Usage: celltrend-analyse collect [-o OUT] [--format csv|pascal|eosfit] FILE...\n"
           "Collects the cells of a temperature series from CIFs (one row per data block\n"
           "with a cell) and SHELX .ins/.res files (one row per file), sorted by T: the\n"
           "table that expansion, transform and export read.\n"
           "\n"
           "  -f, --format csv     the CSV of export --format csv with sigma_T_K (default)\n"
           "               pascal  rows \"T sigmaT a b c alpha beta gamma\"\n"
           "               eosfit  an EosFit7 data file\n"
           "  -o, --output OUT     write to OUT (complete or not at all) instead of\n"
           "                       standard output; \"-\" is standard output\n"
           "  -h, --help           show this text\n"
           "A FILE ending in .ins or .res is read as SHELX (CELL, ZERR, TEMP in degrees\n"
           "Celsius, 20 when absent), any other as CIF (_cell_length_a or _cell.length_a,\n"
           "the temperature from _cell_measurement_temperature, else\n"
           "_diffrn_ambient_temperature).  An ESD or sigmaT not given is written as 0.\n"
           "V and its ESD are computed from the cell, the six ESDs taken as independent.\n";
}

const Subcommand collect{"collect", options, print_help};

bool is_shelx(const std::string& file) {
    if (file.size() < 4) return false;
    std::string ext = file.substr(file.size() - 4);
    for (char& c : ext)
        if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
    return ext == ".ins" || ext == ".res";
}

analysis::SeriesRow row_of(const analysis::FoundCell& found) {
    analysis::SeriesRow row;
    row.t = found.t;
    row.sigma_t = found.sigma_t;
    row.cell = found.cell;
    row.esd = found.esd;
    row.volume = analysis::volume(found.cell);
    row.volume_esd = analysis::volume_esd(found.cell, found.esd);
    row.mosaicity = row.mosaicity_esd = std::numeric_limits<double>::quiet_NaN();
    return row;
}

}  // namespace

int run_collect(const Arguments& args) {
    CommandLine cl;
    try {
        cl = parse_command_line(args, options);
    } catch (const UsageError& e) {
        return usage_error(collect, e.what());
    }
    if (cl.has("help")) {
        print_help(std::cout);
        return std::cout.flush() ? 0 : 1;
    }
    const std::string format = cl.value("format").value_or("csv");
    if (format != "pascal" && format != "eosfit" && format != "csv")
        return usage_error(collect, "unknown format '" + format + "' (csv, pascal or eosfit)");
    if (cl.operands.empty()) return usage_error(collect, "no file named");
    const std::string output = cl.value("output").value_or("");
    for (const std::string& file : cl.operands) {
        if (file == "-") return usage_error(collect, "files only: \"-\" (standard input) is not read");
        if (!output.empty() && output != "-" && cli::same_file(file, output)) {
            std::cerr << program << ": " << output << ": is an input file; nothing written\n";
            return 1;
        }
    }

    analysis::Series series;
    series.name = cl.operands.size() == 1 ? cl.operands.front()
                                          : cl.operands.front() + " and " + std::to_string(cl.operands.size() - 1) +
                                                (cl.operands.size() == 2 ? " other file" : " other files");
    series.layout = analysis::SeriesLayout::csv;
    series.carried = {true, true, true, true, false};
    for (const std::string& file : cl.operands) {
        analysis::FoundCells found;
        try {
            found = is_shelx(file) ? analysis::read_shelx_cells(file) : analysis::read_cif_cells(file);
        } catch (const analysis::CellFileError& e) {
            std::cerr << program << ": " << e.what() << "\n";
            return 1;
        }
        for (const std::string& note : found.notes) std::cerr << program << ": " << note << "\n";
        if (found.cells.empty()) std::cerr << program << ": " << file << ": no cell with a temperature; no row\n";
        for (const analysis::FoundCell& cell : found.cells) {
            if (series.title.empty()) series.title = cell.title;
            series.rows.push_back(row_of(cell));
        }
    }
    if (series.rows.empty()) {
        std::cerr << program << ": no cell in any file; nothing written\n";
        return 1;
    }
    std::stable_sort(series.rows.begin(), series.rows.end(),
                     [](const analysis::SeriesRow& x, const analysis::SeriesRow& y) { return x.t < y.t; });
    for (std::size_t i = 0; i < series.rows.size(); ++i) series.rows[i].line = int(i) + 2;  // under the CSV header

    const analysis::ExportText out =
        format == "pascal"   ? analysis::export_strain_rows(series, std::numeric_limits<double>::quiet_NaN())
        : format == "eosfit" ? analysis::export_eosfit(series, "")
                             : analysis::export_csv(series);
    for (const std::string& w : out.warnings) std::cerr << program << ": warning: " << w << "\n";
    return write_result(out.text, output, "", program) ? 0 : 1;
}

}  // namespace analyse
