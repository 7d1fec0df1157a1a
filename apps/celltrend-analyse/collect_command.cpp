// celltrend-analyse collect: the temperature series of the files people
// already have, a CIF or a SHELX .ins/.res per temperature, as one table that
// every subcommand reads.

#include <Eigen/Dense>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
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

namespace celltrend_analyse {

namespace {

constexpr std::string_view program = "celltrend-analyse collect";

constexpr std::string_view format_words[] = {"csv", "pascal", "eosfit"};
constexpr OptionSpec options[] = {
    {"format", 'f', true, format_words},
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
           "A FILE ending in .ins or .res (any case) is read as SHELX (CELL, ZERR, TEMP in\n"
           "degrees Celsius, 20 when absent), one ending in .cif or .mmcif as CIF\n"
           "(_cell_length_a or _cell.length_a, the temperature from\n"
           "_cell_measurement_temperature, else _diffrn_ambient_temperature; the\n"
           "pressure from _diffrn_ambient_pressure, in kPa, as P_GPa); any other is\n"
           "passed over with a line.  X.ins and X.res are one refinement: the .res is\n"
           "read.  Two files of the same temperature and cell give one row.  An ESD not\n"
           "given is written as 0, a sigmaT not given as 0 (\"not given\").  V and its\n"
           "ESD are the block's _cell_volume where it gives them, else computed from the\n"
           "cell with the ties the file shows (equal lengths with equal ESDs are one\n"
           "parameter, angles of 90 or 120 without an ESD are fixed), rounded to two\n"
           "significant digits of the ESD.  The title is the common part of the\n"
           "compound's names, else of the SHELX titles, else of the file names.\n";
}

const Subcommand collect{"collect", options, print_help};

enum class FileKind { cif, shelx, other };

// The extension of the file's own name, in lower case: "" where it has none.
std::string extension(const std::string& file) {
    const std::string base = std::filesystem::path(file).filename().string();
    const auto dot = base.rfind('.');
    if (dot == std::string::npos || dot == 0) return "";
    std::string ext = base.substr(dot + 1);
    for (char& c : ext)
        if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
    return ext;
}

FileKind kind_of(const std::string& file) {
    const std::string ext = extension(file);
    if (ext == "cif" || ext == "mmcif") return FileKind::cif;
    if (ext == "ins" || ext == "res") return FileKind::shelx;
    return FileKind::other;
}

// The name without its extension, to pair X.ins with X.res.
std::string stem_of(const std::string& file) { return file.substr(0, file.size() - extension(file).size() - 1); }

// The files to read, in the order named: other kinds passed over, a file
// named twice read once, and of X.ins and X.res (one refinement) the .res.
std::vector<std::string> files_to_read(const std::vector<std::string>& operands) {
    std::vector<std::string> kept;
    for (const std::string& file : operands) {
        if (kind_of(file) == FileKind::other) {
            std::cerr << program << ": " << file << ": neither a CIF (.cif, .mmcif) nor a SHELX file (.ins, .res) "
                      << "by its name; passed over\n";
            continue;
        }
        const auto same = std::find_if(kept.begin(), kept.end(),
                                       [&](const std::string& k) { return k == file || cli::same_file(k, file); });
        if (same != kept.end()) {
            std::cerr << program << ": " << file << ": the same file as " << *same << "; read once\n";
            continue;
        }
        kept.push_back(file);
    }
    std::vector<std::string> out;
    for (const std::string& file : kept) {
        if (extension(file) != "ins") {
            out.push_back(file);
            continue;
        }
        const auto res = std::find_if(kept.begin(), kept.end(), [&](const std::string& k) {
            return extension(k) == "res" && stem_of(k) == stem_of(file);
        });
        if (res == kept.end()) {
            out.push_back(file);
            continue;
        }
        std::error_code e1, e2;
        const auto ins_time = std::filesystem::last_write_time(file, e1);
        const auto res_time = std::filesystem::last_write_time(*res, e2);
        const bool newer = !e1 && !e2 && ins_time > res_time;
        std::cerr << program << ": " << file << " and " << *res << " are one refinement; " << *res << " taken"
                  << (newer ? " (the .ins is newer: a refinement not yet run on it?)" : "") << "\n";
    }
    return out;
}

// The longest start all texts share, ended where a word ends: the common
// part of "ct17_100K" and "ct17_120K" is "ct17".
std::string common_part(const std::vector<std::string>& texts) {
    if (texts.empty()) return "";
    std::string prefix = texts.front();
    bool all_same = true;
    for (const std::string& t : texts) {
        std::size_t n = 0;
        while (n < prefix.size() && n < t.size() && prefix[n] == t[n]) ++n;
        all_same = all_same && n == prefix.size() && n == t.size();
        prefix.resize(n);
    }
    if (all_same) return prefix;
    // A word cut in the middle ("ct17_1") names nothing.
    const auto is_word = [](char c) {
        return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
    };
    bool cut = false;
    for (const std::string& t : texts) cut = cut || (t.size() > prefix.size() && is_word(t[prefix.size()]));
    if (cut)
        while (!prefix.empty() && is_word(prefix.back())) prefix.pop_back();
    while (!prefix.empty() && !is_word(prefix.back()) && prefix.back() != ')' && prefix.back() != ']')
        prefix.pop_back();
    return prefix;
}

// The series' title: the common part of the compound's names, else of the
// SHELX titles, else of the file names.
std::string series_title(const std::vector<cellfiles::FoundCell>& found) {
    std::vector<std::string> names, titles, files;
    for (const cellfiles::FoundCell& f : found) {
        if (!f.name.empty()) names.push_back(f.name);
        if (!f.title.empty()) titles.push_back(f.title);
        const std::string file = f.source.substr(0, f.source.find(" data_"));
        files.push_back(std::filesystem::path(file).stem().string());
    }
    for (const auto* texts : {&names, &titles, &files}) {
        const std::string title = common_part(*texts);
        if (!title.empty()) return title;
    }
    return "";
}

// x rounded to the place of 10^place.
double rounded_to(double x, int place) {
    const double scale = std::pow(10.0, std::abs(place));
    const double r = place < 0 ? std::round(x * scale) / scale : std::round(x / scale) * scale;
    return std::isfinite(r) ? r : x;
}

formats::SeriesRow row_of(const cellfiles::FoundCell& found) {
    formats::SeriesRow row;
    row.t = found.t;
    row.sigma_t = found.sigma_t;
    row.cell = found.cell;
    row.esd = found.esd;
    row.pressure = found.pressure;
    row.pressure_esd = found.pressure_su;
    row.mosaicity = row.mosaicity_esd = std::numeric_limits<double>::quiet_NaN();
    // Computed: V and its ESD rounded to two significant digits of the ESD
    // (to seven of V without one), as a refinement prints them.
    const double v = formats::volume(found.cell);
    const double sigma = formats::volume_esd(found.cell, found.esd, found.ties);
    if (!std::isfinite(sigma)) {
        // An ESD beyond a double's range: left empty, and named, by export.
        row.volume = v;
        row.volume_esd = std::numeric_limits<double>::quiet_NaN();
    } else if (sigma > 0) {
        const int place = int(std::floor(std::log10(sigma))) - 1;
        row.volume = rounded_to(v, place);
        row.volume_esd = rounded_to(sigma, place);
    } else {
        row.volume = rounded_to(v, int(std::floor(std::log10(v))) - 6);
        row.volume_esd = 0;
    }
    // The refinement's own volume and s.u., where the file gives them.
    if (std::isfinite(found.volume)) {
        const double su = std::isfinite(found.volume_su) ? found.volume_su : sigma;
        if (su > 0 && std::abs(found.volume - v) > 3 * su) {
            char computed[64];
            std::snprintf(computed, sizeof computed, "%.*g", 8, row.volume);
            std::cerr << program << ": " << found.source << ": _cell_volume " << found.volume << " and the cell's "
                      << computed << " differ by more than 3 s.u.; the given volume is kept\n";
        }
        row.volume = found.volume;
        if (std::isfinite(found.volume_su)) row.volume_esd = found.volume_su;
    }
    return row;
}

}  // namespace

int run_collect(const Arguments& args) {
    CommandLine cl;
    try {
        cl = parse_command_line(args, options);
    } catch (const UsageError& e) {
        throw UsageError(e.what());
    }
    if (cl.has("help")) {
        print_help(std::cout);
        return std::cout.flush() ? 0 : 1;
    }
    const std::string format = cl.value("format").value_or("csv");
    if (cl.operands.empty()) throw UsageError("no file named");
    const std::string output = cl.value("output").value_or("");
    for (const std::string& file : cl.operands) {
        if (file == "-") throw UsageError("files only: \"-\" (standard input) is not read");
        if (!output.empty() && output != "-" && cli::same_file(file, output)) {
            throw InputError(output + ": is an input file; nothing written");
        }
    }

    formats::Series series;
    series.name = cl.operands.size() == 1 ? cl.operands.front()
                                          : cl.operands.front() + " and " + std::to_string(cl.operands.size() - 1) +
                                                (cl.operands.size() == 2 ? " other file" : " other files");
    series.layout = formats::SeriesLayout::csv;
    series.carried = {true, true, true, true, false, false};
    std::vector<cellfiles::FoundCell> cells;
    for (const std::string& file : files_to_read(cl.operands)) {
        cellfiles::FoundCells found;
        try {
            found =
                kind_of(file) == FileKind::shelx ? cellfiles::read_shelx_cells(file) : cellfiles::read_cif_cells(file);
        } catch (const cellfiles::CellFileError& e) {
            throw InputError(e.what());
        }
        for (const std::string& note : found.notes) std::cerr << program << ": " << note << "\n";
        if (found.cells.empty()) std::cerr << program << ": " << file << ": no cell with a temperature; no row\n";
        for (const cellfiles::FoundCell& cell : found.cells) {
            if (!std::isfinite(formats::volume(cell.cell))) {
                std::cerr << program << ": " << cell.source << ": the volume of the cell leaves the range of a double; "
                          << "left out\n";
                continue;
            }
            cells.push_back(cell);
        }
    }
    if (cells.empty()) throw InputError("no cell in any file; nothing written");
    std::stable_sort(cells.begin(), cells.end(),
                     [](const cellfiles::FoundCell& x, const cellfiles::FoundCell& y) { return x.t < y.t; });
    // Two files of one measurement (a CIF and the .res it came from) are
    // one row.
    std::vector<cellfiles::FoundCell> distinct;
    for (const cellfiles::FoundCell& cell : cells) {
        const auto same = std::find_if(distinct.begin(), distinct.end(), [&](const cellfiles::FoundCell& d) {
            return d.t == cell.t && d.cell.values() == cell.cell.values();
        });
        if (same != distinct.end()) {
            std::cerr << program << ": " << cell.source << ": the temperature and cell of " << same->source
                      << "; one row\n";
            continue;
        }
        distinct.push_back(cell);
    }
    series.title = series_title(distinct);
    for (const cellfiles::FoundCell& cell : distinct) {
        series.rows.push_back(row_of(cell));
        if (std::isfinite(cell.pressure)) series.carried.pressure = true;
    }
    for (std::size_t i = 0; i < series.rows.size(); ++i) series.rows[i].line = int(i) + 2;  // under the CSV header

    const formats::ExportText out = format == "pascal"
                                        ? formats::export_strain_rows(series, std::numeric_limits<double>::quiet_NaN())
                                    : format == "eosfit" ? formats::export_eosfit(series, "")
                                                         : formats::export_csv(series);
    for (const std::string& w : out.warnings) std::cerr << program << ": warning: " << w << "\n";
    write_result(out.text, output, "");
    return 0;
}

}  // namespace celltrend_analyse
