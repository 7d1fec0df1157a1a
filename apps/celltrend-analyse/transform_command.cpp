// celltrend-analyse transform: the series in new axes, with the ESDs that
// celltrend's own transformed tables leave out.

#include <cmath>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "commands.hpp"
#include "crystal/cell_transform.hpp"
#include "formats/series_table.hpp"
#include "formats/series_table_writer.hpp"
#include "setting_matrix.hpp"
#include "subcommand.hpp"
#include "write_result.hpp"

namespace celltrend_analyse {

namespace {

constexpr std::string_view program = "celltrend-analyse transform";

constexpr OptionSpec options[] = {
    {"matrix", 'm', true},
    {"output", 'o', true},
    {"help", 'h', false},
};

void print_help(std::ostream& out) {
    out << "Usage: celltrend-analyse transform --matrix \"M11 M12 M13 M21 M22 M23 M31 M32 M33\" FILE [-o OUT]\n"
           "Re-expresses every cell of a celltrend all-parameters table in new axes, with\n"
           "the ESDs of a, b, c, alpha, beta, gamma and the volume propagated to first\n"
           "order from the six cell ESDs (taken as independent).  Mosaicity is carried\n"
           "over.  The result is a table in the same layout, its header naming the matrix.\n"
           "\n"
           "  -m, --matrix \"...\"  nine numbers, row by row: row i gives new axis i in the\n"
           "                      old a, b, c, as in celltrend's buffer files; fractions\n"
           "                      such as 1/2 or -1/3 are allowed\n"
           "  -o, --output OUT    write to OUT (complete or not at all) instead of\n"
           "                      standard output; \"-\" is standard output\n"
           "  -h, --help          show this text\n"
           "FILE \"-\" reads standard input.\n";
}

const Subcommand transform{"transform", options, print_help};

}  // namespace

int run_transform(const Arguments& args) {
    const std::optional<CommandLine> started = start(transform, args);
    if (!started) return 0;  // --help
    const CommandLine& cl = *started;
    if (!cl.has("matrix")) throw UsageError("no --matrix given");
    const std::string& file = cl.operands.front();

    SettingMatrix matrix;
    try {
        matrix = read_setting_matrix(*cl.value("matrix"));
    } catch (const UsageError& e) {
        throw UsageError(e.what());
    }
    const double det = matrix.m.determinant();
    if (is_singular(matrix)) {
        std::ostringstream why;
        why << "the matrix " << matrix.text << " is singular (determinant " << det
            << "): the new axes do not span space; nothing written";
        throw InputError(why.str());
    }
    if (det < 0)
        std::cerr << program << ": warning: the matrix " << matrix.text << " has a negative determinant (" << det
                  << "): the new axes are left-handed\n";

    const formats::Series series = read_table(transform, file);
    if (!series.has_cell_esd())
        throw InputError(series.name +
                         ": carries no cell ESDs; transform takes celltrend's all-parameters table of a run without "
                         "matrices");

    std::string text;
    for (const std::string& line :
         formats::table_header(series.title, "Cell parameters and ESD in new axes " + axes_text(matrix) + " (matrix " +
                                                 matrix.text + "), from " + series.name))
        text += line + "\n";
    std::size_t cells = 0;
    for (const formats::SeriesRow& row : series.rows) {
        const std::string where_in_file = series.name + ":" + std::to_string(row.line);
        const std::string where = std::string(program) + ": " + where_in_file;
        // The volume and its ESD are computed afresh; any other unreadable
        // field stays unreadable.
        // A column the file does not have (a CSV from CIFs has no mosaicity)
        // is no damage.
        bool unreadable = !row.cell_read() ||
                          (series.carried.mosaicity && (std::isnan(row.mosaicity) || std::isnan(row.mosaicity_esd)));
        if (series.carried.cell_esd)
            for (double e : row.esd.values()) unreadable = unreadable || std::isnan(e);
        if (unreadable) std::cerr << where << ": warning: asterisks or NaN in the row; written with NaN\n";
        crystal::TransformedCell t = crystal::transform_cell(matrix.m, row.cell, row.esd);
        // As expansion judges a row: a cell of a zero or negative length, or
        // of angles that close no cell, gives no cell in new axes either.
        if (row.cell_read() && !formats::is_cell(row.cell)) {
            std::cerr << where << ": warning: not a unit cell (lengths or angles); written with NaN\n";
            const double nan = std::nan("");
            t.cell = {nan, nan, nan, nan, nan, nan};
            t.esd = formats::CellSu::not_given();
            t.volume = t.volume_esd = nan;
        }
        // Entries or cells near the range of a double can give a cell whose
        // volume or metric overflows: refused, never written as Inf.
        bool finite = std::isfinite(t.volume) && std::isfinite(t.volume_esd);
        for (double x : t.cell.values()) finite = finite && !std::isinf(x);
        for (double x : t.esd.values()) finite = finite && !std::isinf(x);
        if (!unreadable && formats::is_cell(row.cell) && !finite)
            throw InputError(where_in_file + ": the cell in new axes leaves the range of a double; nothing written");
        formats::SeriesRow out = row;
        out.cell = t.cell;
        out.esd = t.esd;
        out.volume = t.volume;
        out.volume_esd = t.volume_esd;
        // A series from CIFs has no mosaicity: 0, as celltrend writes a
        // value its report lacks, so that the rows stay complete.
        if (!series.carried.mosaicity) out.mosaicity = out.mosaicity_esd = 0;
        const std::string line = formats::table_line(out);
        // The table's fixed columns hold a volume below a million cubic
        // Angstrom; a protein's cell is wider than its field.
        if (line.find('*') != std::string::npos && !unreadable)
            std::cerr << where << ": warning: a value too wide for its column (volume " << t.volume
                      << "); written as asterisks\n";
        if (out.cell_read()) ++cells;  // NaN for a row that is no cell
        text += line + "\n";
    }
    if (cells == 0) throw InputError(series.name + ": no row with a temperature and a cell; nothing written");
    write_result(text, cl.value("output").value_or(""), file);
    return 0;
}

}  // namespace celltrend_analyse
