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
#include "crystal/expansion_misfit.hpp"
#include "crystal/strain_plot.hpp"
#include "crystal/symmetry_ties.hpp"
#include "expansion_figures.hpp"
#include "expansion_report.hpp"
#include "figure_output.hpp"
#include "figures/temperature_figure.hpp"
#include "figures/tensor_figures.hpp"
#include "formats/number_field.hpp"
#include "formats/printed.hpp"
#include "formats/series_table.hpp"
#include "setting_matrix.hpp"
#include "strain_options.hpp"
#include "subcommand.hpp"
#include "usable_points.hpp"
#include "write_result.hpp"

namespace celltrend_analyse {

namespace {

constexpr std::string_view program = "celltrend-analyse expansion";

constexpr OptionSpec own_options[] = {
    {"strain", 0, true, strain_words},
    {"infinitesimal", 0, false},
    {"tsv", 0, false},
    {"strains", 0, true},
    {"matrix", 'm', true},
    {"file-order", 0, false},
    {"help", 'h', false},
    {"figure", 0, true},
    {"surface", 0, true},
    {"section", 0, true},
    {"plane", 0, true},
    {"view", 0, true},
    {"sigma-t", 0, true},
    {"system", 0, true, crystal::crystal_system_words},
};

constexpr auto options = with_figure_options(own_options);

void print_help(std::ostream& out) {
    out << "Usage: celltrend-analyse expansion [OPTION]... FILE\n"
           "Principal axes and coefficients of thermal expansion of the series in FILE:\n"
           "celltrend's all-parameters or transformed table, or rows\n"
           "\"T sigmaT a b c alpha beta gamma\" ('#' starts a comment).  The rows are taken\n"
           "in order of temperature.  The strain of every row relative to the first is\n"
           "split into principal strains X1 < X2 < X3 (as at the first strained row, then\n"
           "followed through the series); a straight line against\n"
           "T, weighted 1/sigmaT (equally without sigmaT), gives each coefficient alpha\n"
           "and its uncertainty sigma (White's HC0).  When the file has cell ESDs,\n"
           "sigma_esd carries them to every coefficient.  Rows whose T or cell is\n"
           "asterisks or NaN are skipped, with a warning.\n"
           "\n"
           "      --strain KIND      eulerian (default) or lagrangian\n"
           "      --system SYSTEM    the ties sigma_esd carries: auto (default: those the\n"
           "                         file shows), triclinic, monoclinic (unique b),\n"
           "                         monoclinic-c, orthorhombic, tetragonal, trigonal,\n"
           "                         hexagonal, rhombohedral or cubic\n"
           "      --infinitesimal    the infinitesimal strain instead of the finite one\n"
           "      --tsv              print only a table of tab-separated values: axis, alpha,\n"
           "                         sigma, sigma_esd, u, v, w (rows X1, X2, X3, V)\n"
           "      --strains PLOT     also write the principal strains (%) against T as a\n"
           "                         plot file with patterns X1, X2, X3, for xyviewer\n"
           "  -m, --matrix \"...\"     also give the directions in new axes: nine numbers,\n"
           "                         row i giving new axis i in the old a, b, c, as in\n"
           "                         celltrend's buffer files (--tsv then gives those)\n"
           "      --sigma-t K        sigmaT of the rows that give none (0), when others\n"
           "                         do (default: every row weighted equally)\n"
           "      --file-order       keep the rows in the file's order, as the strain\n"
           "                         calculators read them, instead of sorting them by T\n"
           "      --figure FILE      also draw the principal strains and V/V0 - 1 (%)\n"
           "                         against T with their straight lines, and the\n"
           "                         coefficients with their bands +-sigma, as PNG, SVG or\n"
           "                         PDF by the extension\n"
           "      --surface FILE     also draw the representation surface of the\n"
           "                         coefficients: alpha along every direction, blue where\n"
           "                         positive, red where negative, with the axes a, b, c\n"
           "      --section FILE     also draw its section by the plane of --plane, dashed\n"
           "                         where the expansion changes sign\n"
           "      --plane PLANE      X1X2, X1X3 (default) or X2X3, or two crystal directions\n"
           "                         such as a,c or \"[1 0 1],[0 1 0]\"\n"
        << figure_options_help
        << "  -h, --help             show this text\n"
           "Coefficients are in 10^-6 K^-1; directions [u v w] are those of the middle row,\n"
           "or of the row nearest it whose principal strains are not degenerate.\n"
           "FILE \"-\" reads standard input.\n";
}

const Subcommand expansion{"expansion", options, print_help};

// What the line of X1, X2, X3 (q < 3) or V that misses tells.
std::string misfit_text(const crystal::LineMisfit& m, std::size_t q) {
    const std::string what = q < 3 ? "the strain of X" + std::to_string(q + 1) : "the volume";
    std::string s = "the straight line misses " + what +
                    formats::printed(
                        " (%zu runs of the residuals' signs where %.1f were expected; the largest "
                        "residuals at %g and %g K)",
                        m.verdict.runs.runs, m.verdict.runs.expected, m.largest_t[0], m.largest_t[1]);
    if (m.verdict.break_found)
        s += formats::printed(", and a break between %g and %g K fits far better (AICc lower by %.0f)", m.break_t[0],
                              m.break_t[1], m.verdict.split->aicc_drop);
    return s + ": the coefficient changes with T; celltrend-analyse alpha fits curves";
}

}  // namespace

int run_expansion(const Arguments& args) {
    const std::optional<CommandLine> started = start(expansion, args);
    if (!started) return 0;  // --help
    const CommandLine& cl = *started;
    const std::string& file = cl.operands.front();

    const crystal::StrainMeasure measure = strain_measure(cl);
    SigmaTUse sigma_t;
    if (const auto s = cl.value("sigma-t")) {
        if (formats::read_field(*s, sigma_t.fill) != formats::Field::number || !(sigma_t.fill > 0) ||
            !std::isfinite(sigma_t.fill))
            throw UsageError("--sigma-t '" + *s + "' is not a positive number of kelvin");
    }
    const std::string system_name = cl.value("system").value_or("auto");
    const std::optional<crystal::CrystalSystem> system = crystal::read_crystal_system(system_name);
    if (!system) throw UsageError("--system '" + system_name + "': " + crystal::crystal_system_choices);
    const std::string strains_file = cl.value("strains").value_or("");
    // "-" would mix the plot file with the summary on standard output.
    if (strains_file == "-")
        throw UsageError("--strains needs a file name, not standard output (the summary goes there)");

    // The figures' names and the plane are checked before any work.
    std::string why;
    const std::optional<FigureRequests> figures_asked = figure_requests(cl, why);
    if (!figures_asked) throw UsageError(why);

    ExpansionReport report;
    if (const auto text = cl.value("matrix")) {
        SettingMatrix matrix;
        try {
            matrix = read_setting_matrix(*text);
        } catch (const UsageError& e) {
            throw UsageError(e.what());
        }
        if (is_singular(matrix))
            throw InputError("the matrix " + matrix.text + " is singular: the new axes do not span space");
        report.new_axes = matrix.m;
        report.new_axes_text = axes_text(matrix);
    }

    formats::Series series = read_table(expansion, file);
    order_rows(expansion, series, cl.has("file-order"));

    std::vector<crystal::SeriesPoint> points;
    usable_points(program, series, points, "no sigma_esd", sigma_t);

    report.file = file;
    report.title = series.title;
    report.measure = measure;
    for (const crystal::SeriesPoint& p : points) report.t.push_back(p.t);
    try {
        // The coefficients are the strain calculators' own, from the cells
        // as given: the system ties only the ESDs that sigma_esd carries.
        std::vector<crystal::SeriesPoint> tied = points;
        const crystal::SeriesSymmetry symmetry = crystal::apply_symmetry(tied, *system);
        report.symmetry = symmetry.description;
        std::vector<crystal::SeriesPoint> with_tied_esds = points;
        for (std::size_t k = 0; k < points.size(); ++k) with_tied_esds[k].esd = tied[k].esd;
        report.expansion = crystal::analyse_expansion(with_tied_esds, measure, symmetry.ties);
    } catch (const crystal::ExpansionError& e) {
        throw InputError(series.name + ": " + e.what());
    }
    // Cells near the range of a double can make a strain or a fit overflow:
    // no coefficient is printed as NaN or Inf.
    bool finite = std::isfinite(report.expansion.volume.value) && std::isfinite(report.expansion.volume.sigma);
    for (const crystal::PrincipalAxis& axis : report.expansion.principal)
        finite = finite && std::isfinite(axis.alpha.value) && std::isfinite(axis.alpha.sigma);
    if (!finite) throw InputError(series.name + ": the expansion leaves the range of a double; nothing printed");

    const std::string title = series.title.empty() ? file : series.title;
    if (!strains_file.empty()) {
        write_result(crystal::strain_plot_text(title, report.t, report.expansion, measure), strains_file, file);
    }
    write_figures(
        *figures_asked, file, program, series.title, [&] { return expansion_lines(report, points); },
        [&] {
            const auto [low, high] = std::minmax_element(report.t.begin(), report.t.end());
            return expansion_tensor(report.expansion, *high - *low);
        });
    // After the files, which stop the run when they cannot be written.
    const std::array<crystal::LineMisfit, 4> misfits = crystal::expansion_misfits(points, report.expansion);
    for (std::size_t q = 0; q < 4; ++q)
        if (misfits[q].verdict.misses)
            std::cerr << program << ": " << series.name << ": " << misfit_text(misfits[q], q) << "\n";
    if (cl.has("tsv")) {
        for (const std::string& note : expansion_notes(report)) std::cerr << program << ": note: " << note << "\n";
        write_result(tsv_text(report), "", file);
        return 0;
    }
    write_result(summary_text(report), "", file);
    return 0;
}

}  // namespace celltrend_analyse
