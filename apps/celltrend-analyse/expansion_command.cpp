// celltrend-analyse expansion: principal axes and coefficients of thermal
// expansion, as the principal-axis strain calculators give them, with an
// uncertainty carried from the cell ESDs as well.

#include <algorithm>
#include <cmath>
#include <iostream>
#include <string>
#include <vector>

#include "commands.hpp"
#include "crystal/expansion.hpp"
#include "crystal/strain_plot.hpp"
#include "expansion_report.hpp"
#include "formats/series_table.hpp"
#include "setting_matrix.hpp"
#include "subcommand.hpp"
#include "write_result.hpp"

namespace analyse {

namespace {

constexpr std::string_view program = "celltrend-analyse expansion";

constexpr OptionSpec options[] = {
    {"strain", 0, true},  {"infinitesimal", 0, false}, {"tsv", 0, false},
    {"strains", 0, true}, {"matrix", 'm', true},       {"help", 'h', false},
};

void print_help(std::ostream& out) {
    out << "Usage: celltrend-analyse expansion [OPTION]... FILE\n"
           "Principal axes and coefficients of thermal expansion of the series in FILE:\n"
           "celltrend's all-parameters or transformed table, or rows\n"
           "\"T sigmaT a b c alpha beta gamma\" ('#' starts a comment).  The strain of every\n"
           "row relative to the first is split into principal strains X1 < X2 < X3 (as\n"
           "at the first strained row, then followed through the series); a straight\n"
           "line against T, weighted 1/sigmaT (equally without sigmaT), gives each\n"
           "coefficient alpha and its uncertainty sigma (White's HC0).  When the file has\n"
           "cell ESDs, sigma_esd carries them to every coefficient.  Rows whose T or cell\n"
           "is asterisks or NaN are skipped, with a warning.\n"
           "\n"
           "      --strain KIND      eulerian (default) or lagrangian\n"
           "      --infinitesimal    the infinitesimal strain instead of the finite one\n"
           "      --tsv              print only a table of tab-separated values: axis, alpha,\n"
           "                         sigma, sigma_esd, u, v, w (rows X1, X2, X3, V)\n"
           "      --strains PLOT     also write the principal strains (%) against T as a\n"
           "                         plot file with patterns X1, X2, X3, for xyviewer\n"
           "  -m, --matrix \"...\"     also give the directions in new axes: nine numbers,\n"
           "                         row i giving new axis i in the old a, b, c, as in\n"
           "                         celltrend's buffer files (--tsv then gives those)\n"
           "  -h, --help             show this text\n"
           "Coefficients are in 10^-6 K^-1; directions [u v w] are those of the middle row,\n"
           "or of the row nearest it whose principal strains are not degenerate.\n"
           "FILE \"-\" reads standard input.\n";
}

const Subcommand expansion{"expansion", options, print_help};

// One line on standard error; false, for the caller to stop on.
bool report_error(const std::string& why) {
    std::cerr << program << ": " << why << "\n";
    return false;
}

int input_error(const std::string& why) {
    report_error(why);
    return 1;
}

std::string line_of(const analysis::Series& series, const analysis::SeriesRow& row) {
    return series.name + ":" + std::to_string(row.line);
}

// The rows that hold a cell, in file order, with their sigmaT and ESDs
// where the layout has them; rows with asterisks or NaN skipped with a
// warning.  False after the message for a file that cannot be analysed.
bool usable_points(const analysis::Series& series, std::vector<analysis::SeriesPoint>& points) {
    std::vector<const analysis::SeriesRow*> used;
    for (const analysis::SeriesRow& row : series.rows) {
        // The volume and mosaicity are not used: the volume comes from the
        // cell, so a protein's volume of asterisks keeps its row.
        if (!row.cell_read() || (series.has_sigma_t() && std::isnan(row.sigma_t))) {
            std::cerr << program << ": " << line_of(series, row) << ": warning: asterisks or NaN in the row; skipped\n";
            continue;
        }
        if (!analysis::is_cell(row.cell))
            return report_error(line_of(series, row) + ": not a unit cell (lengths or angles)");
        if (!std::isfinite(analysis::volume(row.cell)))
            return report_error(line_of(series, row) + ": the volume of the cell leaves the range of a double");
        analysis::SeriesPoint p;
        p.t = row.t;
        p.cell = row.cell;
        if (series.has_cell_esd()) p.esd = row.esd;
        if (series.has_sigma_t()) p.sigma_t = row.sigma_t;
        points.push_back(p);
        used.push_back(&row);
    }
    if (points.size() < 2)
        return report_error(series.name + ": " + std::to_string(points.size()) +
                            (points.size() == 1 ? " usable row" : " usable rows") +
                            "; an expansion needs at least two temperatures");
    if (series.has_sigma_t()) {
        // A file of zeros says sigmaT is not known; a zero among others is a
        // slip that would give that row an infinite weight.
        const bool all_zero =
            std::all_of(points.begin(), points.end(), [](const analysis::SeriesPoint& p) { return p.sigma_t == 0; });
        if (all_zero) {
            std::cerr << program << ": " << series.name << ": warning: sigmaT is 0 on every row; equal weights\n";
            for (analysis::SeriesPoint& p : points) p.sigma_t = std::nan("");
        } else {
            for (std::size_t k = 0; k < points.size(); ++k)
                if (!(points[k].sigma_t > 0))
                    return report_error(line_of(series, *used[k]) + ": sigmaT must be positive");
        }
    }
    if (series.has_cell_esd()) {
        // celltrend writes 0 for an ESD the report does not give: a table of
        // zeros has no ESDs to carry.
        bool all_zero = true;
        for (const analysis::SeriesPoint& p : points)
            for (double e : {p.esd.a, p.esd.b, p.esd.c, p.esd.alpha, p.esd.beta, p.esd.gamma})
                all_zero = all_zero && e == 0;
        if (all_zero) {
            std::cerr << program << ": " << series.name << ": warning: every cell ESD is 0; no sigma_esd\n";
            for (analysis::SeriesPoint& p : points) p.esd = analysis::SeriesPoint().esd;
        }
    }
    return true;
}

}  // namespace

int run_expansion(const Arguments& args) {
    const auto started = start(expansion, args);
    if (const int* status = std::get_if<int>(&started)) return *status;
    const CommandLine& cl = std::get<CommandLine>(started);
    const std::string& file = cl.operands.front();

    analysis::StrainMeasure measure;
    const std::string kind = cl.value("strain").value_or("eulerian");
    if (kind == "lagrangian")
        measure.kind = analysis::StrainKind::lagrangian;
    else if (kind != "eulerian")
        return usage_error(expansion, "--strain '" + kind + "': eulerian or lagrangian");
    measure.finite = !cl.has("infinitesimal");
    const std::string strains_file = cl.value("strains").value_or("");
    // "-" would mix the plot file with the summary on standard output.
    if (strains_file == "-")
        return usage_error(expansion, "--strains needs a file name, not standard output (the summary goes there)");

    ExpansionReport report;
    if (const auto text = cl.value("matrix")) {
        SettingMatrix matrix;
        try {
            matrix = read_setting_matrix(*text);
        } catch (const UsageError& e) {
            return usage_error(expansion, e.what());
        }
        if (is_singular(matrix))
            return input_error("the matrix " + matrix.text + " is singular: the new axes do not span space");
        report.new_axes = matrix.m;
        report.new_axes_text = axes_text(matrix);
    }

    const std::optional<analysis::Series> table = read_table(expansion, file);
    if (!table) return 1;
    const analysis::Series& series = *table;

    std::vector<analysis::SeriesPoint> points;
    if (!usable_points(series, points)) return 1;

    report.file = file;
    report.title = series.title;
    report.measure = measure;
    for (const analysis::SeriesPoint& p : points) report.t.push_back(p.t);
    try {
        report.expansion = analysis::analyse_expansion(points, measure);
    } catch (const analysis::ExpansionError& e) {
        return input_error(series.name + ": " + e.what());
    }
    // Cells near the range of a double can make a strain or a fit overflow:
    // no coefficient is printed as NaN or Inf.
    bool finite = std::isfinite(report.expansion.volume.alpha) && std::isfinite(report.expansion.volume.sigma);
    for (const analysis::PrincipalAxis& axis : report.expansion.principal)
        finite = finite && std::isfinite(axis.coefficient.alpha) && std::isfinite(axis.coefficient.sigma);
    if (!finite) return input_error(series.name + ": the expansion leaves the range of a double; nothing printed");

    if (!strains_file.empty()) {
        const std::string title = series.title.empty() ? file : series.title;
        if (!write_result(analysis::strain_plot_text(title, report.t, report.expansion, measure), strains_file, file,
                          program))
            return 1;
    }
    if (cl.has("tsv")) {
        for (const std::string& note : expansion_notes(report)) std::cerr << program << ": note: " << note << "\n";
        return write_result(tsv_text(report), "", file, program) ? 0 : 1;
    }
    return write_result(summary_text(report), "", file, program) ? 0 : 1;
}

}  // namespace analyse
