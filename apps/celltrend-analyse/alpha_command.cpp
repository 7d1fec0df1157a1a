// celltrend-analyse alpha: the coefficients of expansion as functions of
// temperature, read at chosen temperatures, with uncertainties that carry
// every fitted parameter.

#include <algorithm>
#include <cmath>
#include <iostream>
#include <string>
#include <vector>

#include "alpha_figures.hpp"
#include "alpha_legs.hpp"
#include "alpha_report.hpp"
#include "commands.hpp"
#include "crystal/alpha.hpp"
#include "crystal/follow_axes.hpp"
#include "crystal/symmetry_ties.hpp"
#include "figure_output.hpp"
#include "formats/number_field.hpp"
#include "formats/printed.hpp"
#include "formats/series_table.hpp"
#include "subcommand.hpp"
#include "temperature_list.hpp"
#include "usable_points.hpp"
#include "write_result.hpp"

namespace celltrend_analyse {

namespace {

constexpr std::string_view program = "celltrend-analyse alpha";

constexpr std::string_view model_words[] = {"auto", "poly1", "poly2", "poly3", "fei", "einstein"};
constexpr OptionSpec own_options[] = {
    {"model", 0, true, model_words},
    {"at", 0, true},
    {"tsv", 0, false},
    {"figure", 0, true},
    {"surface", 0, true},
    {"section", 0, true},
    {"plane", 0, true},
    {"view", 0, true},
    {"help", 'h', false},
    {"system", 0, true, crystal::crystal_system_words},
    {"range", 0, true},
    {"leg", 0, true},
    {"parameters", 0, false},
    {"legs", 0, false},
};

constexpr auto options = with_figure_options(own_options);

void print_help(std::ostream& out) {
    out << "Usage: celltrend-analyse alpha [OPTION]... FILE\n"
           "Coefficients of thermal expansion as functions of temperature, from the series\n"
           "in FILE (what expansion reads).  Each of a, b, c, V and the angles gets its own\n"
           "fit against T, weighted 1/ESD^2 where the file has ESDs; at each temperature\n"
           "asked, the coefficients of a, b, c and V, the rates of the angles that change,\n"
           "and the principal coefficients X1, X2, X3 of the expansion tensor with their\n"
           "directions (X1 < X2 < X3 at the lowest temperature, each then followed by its\n"
           "direction).  Every sigma carries every fitted parameter.\n"
           "\n"
           "      --model MODEL      auto (default: per quantity, the model of lowest AICc\n"
           "                         among the others that can be fitted), poly1, poly2,\n"
           "                         poly3, fei or einstein\n"
           "      --system SYSTEM    auto (default: the ties the file shows, such as a = b\n"
           "                         with equal ESDs in every row), triclinic,\n"
           "                         monoclinic (unique b), monoclinic-c, orthorhombic,\n"
           "                         tetragonal, trigonal, hexagonal, rhombohedral or\n"
           "                         cubic: tied parameters are one fit, fixed angles exact\n"
           "      --range TMIN:TMAX  fit only the rows with TMIN <= T <= TMAX (either side\n"
           "                         may be empty)\n"
           "      --leg N            fit only leg N (from 1) of a run whose temperature\n"
           "                         turns: the rows, in the file's order, in which T only\n"
           "                         rises or only falls\n"
           "      --legs             fit every leg on its own and compare them: at each\n"
           "                         --at T inside every leg, alpha and x(T) of each\n"
           "                         leg and their differences from leg 1 with sigma\n"
           "                         (the hysteresis); with --tsv: T, quantity, leg,\n"
           "                         alpha, sigma, x, sigma_x, leg k-1 the differences\n"
           "      --at T[,T...]      the temperatures in K (default: the lowest, middle and\n"
           "                         highest of the series, and 298.15 when inside); a\n"
           "                         grid START:STOP:STEP, or rows for every measured T\n"
           "      --tsv              print only a table of tab-separated values: T,\n"
           "                         quantity, alpha, sigma, u, v, w (rows a, b, c, V, X1,\n"
           "                         X2, X3 and trace for each T)\n"
           "      --parameters       print only the fitted parameters as tab-separated\n"
           "                         values: quantity, model, parameter, value, sigma,\n"
           "                         unit, then their correlations\n"
           "      --figure FILE      also draw a, b, c and V as x/x(T_min) against T with\n"
           "                         their fitted curves, and alpha(T) of X1, X2, X3 and V\n"
           "                         with their bands +-sigma, the --at temperatures\n"
           "                         marked, as PNG, SVG or PDF by the extension\n"
           "      --surface FILE     also draw the representation surface of the tensor at\n"
           "                         the first --at temperature (without --at, 298.15 K\n"
           "                         when measured across, else the middle row's): alpha\n"
           "                         along every direction, blue where positive, red\n"
           "                         where negative, with the axes a, b, c\n"
           "      --section FILE     also draw its section by the plane of --plane, dashed\n"
           "                         where the expansion changes sign\n"
           "      --plane PLANE      X1X2, X1X3 (default) or X2X3, or two crystal directions\n"
           "                         such as a,c or \"[1 0 1],[0 1 0]\"\n"
        << figure_options_help
        << "  -h, --help             show this text\n"
           "Coefficients are in 10^-6 K^-1, angle rates in 10^-6 degree/K.  The rows are\n"
           "taken in order of temperature.  FILE \"-\" reads standard input.\n";
}

const Subcommand alpha{"alpha", options, print_help};

bool read_model(const std::string& name, crystal::AlphaModel& model) {
    using M = crystal::AlphaModel;
    const std::pair<const char*, M> models[] = {{"auto", M::automatic}, {"poly1", M::poly1}, {"poly2", M::poly2},
                                                {"poly3", M::poly3},    {"fei", M::fei},     {"einstein", M::einstein}};
    for (const auto& [n, m] : models)
        if (name == n) {
            model = m;
            return true;
        }
    return false;
}

std::vector<double> default_temperatures(const crystal::AlphaFits& fits) {
    std::vector<double> t{fits.t_min, fits.middle_t, fits.t_max};
    if (298.15 > fits.t_min && 298.15 < fits.t_max) t.push_back(298.15);
    std::sort(t.begin(), t.end());
    t.erase(std::unique(t.begin(), t.end()), t.end());
    return t;
}

// What to try when a model cannot be fitted to a quantity.
std::string suggestion(const crystal::QuantityFit& q, std::size_t rows) {
    if (q.refusal.find("; try") != std::string::npos) return "";
    const int degree = std::min(3, int(rows) - 2);
    if (degree >= 1 && q.refusal.find("poly" + std::to_string(degree)) == std::string::npos)
        return "; try --model poly" + std::to_string(degree);
    return "; measure more temperatures";
}

}  // namespace

int run_alpha(const Arguments& args) {
    const std::optional<CommandLine> started = start(alpha, args);
    if (!started) return 0;  // --help
    const CommandLine& cl = *started;
    const std::string& file = cl.operands.front();

    const std::string model_name = cl.value("model").value_or("auto");
    crystal::AlphaModel model = crystal::AlphaModel::automatic;
    if (!read_model(model_name, model))
        throw UsageError("--model '" + model_name + "': auto, poly1, poly2, poly3, fei or einstein");
    const std::string system_name = cl.value("system").value_or("auto");
    const std::optional<crystal::CrystalSystem> system = crystal::read_crystal_system(system_name);
    if (!system) throw UsageError("--system '" + system_name + "': " + crystal::crystal_system_choices);
    TemperatureList asked;
    if (const auto at = cl.value("at")) {
        std::string why;
        asked = read_temperature_list(*at, why);
        if (!why.empty()) throw UsageError(why);
    }
    std::optional<TemperatureRange> range;
    if (const auto text = cl.value("range")) {
        std::string why;
        range = read_temperature_range(*text, why);
        if (!range) throw UsageError(why);
    }
    std::size_t leg = 0;
    if (const auto text = cl.value("leg")) {
        double n = 0;
        if (formats::read_field(*text, n) != formats::Field::number || !(n >= 1) || n != std::floor(n) || n > 1e9)
            throw UsageError("--leg '" + *text + "': a leg's number, from 1");
        leg = std::size_t(n);
    }
    if (cl.has("legs")) {
        for (const char* other : {"leg", "parameters", "figure", "surface", "section"})
            if (cl.has(other)) throw UsageError(std::string("--legs and --") + other + ": one or the other");
    }
    // The figures' names and the plane are checked before any work.
    std::string figure_why;
    const std::optional<FigureRequests> figures_asked = figure_requests(cl, figure_why);
    if (!figures_asked) throw UsageError(figure_why);

    formats::Series series = read_table(alpha, file);
    order_rows(alpha, series, false);
    std::vector<crystal::SeriesPoint> points;
    // alpha's fits weigh the cells by their ESDs: sigmaT is not read.
    usable_points(program, series, points, "equal weights", {.read = false});
    if (cl.has("legs"))
        return run_alpha_legs({.file = file,
                               .name = series.name,
                               .title = series.title,
                               .model_name = model_name,
                               .model = model,
                               .system = *system,
                               .asked = asked,
                               .range = range,
                               .tsv = cl.has("tsv")},
                              points);
    if (leg > 0) {
        const auto legs = split_legs(points);
        if (leg > legs.size())
            throw UsageError("--leg " + std::to_string(leg) + ": " + series.name + " has " +
                             std::to_string(legs.size()) + (legs.size() == 1 ? " leg" : " legs"));
        points = legs[leg - 1];
    }
    if (range) {
        std::erase_if(points, [&](const crystal::SeriesPoint& p) { return !range->contains(p.t); });
        if (points.size() < 2)
            throw InputError(series.name + ": " + std::to_string(points.size()) +
                             (points.size() == 1 ? " row" : " rows") +
                             " in --range; an expansion needs at least two temperatures");
    }

    AlphaReport report;
    report.file = file;
    report.title = series.title;
    report.model = model_name;
    try {
        const crystal::SeriesSymmetry symmetry = crystal::apply_symmetry(points, *system);
        report.symmetry = symmetry.description;
        report.fits = crystal::fit_cell_series(points, model, symmetry.ties);
    } catch (const crystal::ExpansionError& e) {
        throw InputError(series.name + ": " + e.what());
    }
    const crystal::AlphaFits& fits = report.fits;

    bool anything = false, cell_fitted = true;
    std::vector<std::string> refused;
    for (std::size_t q = 0; q < 7; ++q) {
        const crystal::QuantityFit& f = fits.quantities[q];
        if (f.fit) {
            anything = anything || q <= crystal::q_volume;
            continue;
        }
        if (q != crystal::q_volume) cell_fitted = false;
        refused.emplace_back(crystal::cell_quantity_names[q]);
        std::cerr << program << ": " << series.name << ": " << crystal::cell_quantity_names[q] << ": " << f.refusal
                  << suggestion(f, fits.rows) << "\n";
    }
    anything = anything || cell_fitted;
    for (std::size_t q = 0; q < 7; ++q) {
        const std::string misfit = misfit_text(fits, q);
        if (!misfit.empty()) std::cerr << program << ": " << series.name << ": " << misfit << "\n";
    }
    if (!anything) throw InputError(series.name + ": nothing could be fitted");
    if (!cell_fitted) {
        std::string names;
        for (std::size_t i = 0; i < refused.size(); ++i)
            if (refused[i] != "V") names += (names.empty() ? "" : ", ") + refused[i];
        std::cerr << program << ": " << series.name << ": no principal axes without the fits of the cell (" << names
                  << ")\n";
    }

    std::vector<double> temperatures = asked.values;
    if (asked.rows) {
        std::vector<double> measured;
        for (const crystal::SeriesPoint& p : points) measured.push_back(p.t);
        std::sort(measured.begin(), measured.end());
        measured.erase(std::unique(measured.begin(), measured.end()), measured.end());
        temperatures.insert(temperatures.end(), measured.begin(), measured.end());
    }
    if (temperatures.empty()) temperatures = default_temperatures(fits);
    const bool at_given = !asked.values.empty() || asked.rows;
    for (double t : temperatures) {
        if (t < fits.t_min || t > fits.t_max)
            std::cerr << program << ": " << series.name << ": warning: "
                      << formats::printed("%g K lies outside the measured range, %g to %g K: an extrapolation", t,
                                          fits.t_min, fits.t_max)
                      << "\n";
    }
    std::vector<crystal::AxisCrossing> crossings;
    report.results = crystal::alpha_followed(fits, temperatures, &crossings);
    for (const crystal::AxisCrossing& c : crossings)
        std::cerr << program << ": " << series.name << ": "
                  << formats::printed(
                         "X%d and X%d cross between %g and %g K: their order changes there (each "
                         "keeps its name, followed by its direction from the lowest temperature)",
                         c.first + 1, c.second + 1, c.t_before, c.t_after)
                  << "\n";
    for (const crystal::AlphaAt& at : report.results)
        if (!at.no_tensor.empty())
            std::cerr << program << ": " << series.name << ": "
                      << formats::printed("at %g K %s: no principal axes", at.t, at.no_tensor.c_str()) << "\n";

    // The tensor's figures at the first --at temperature; without --at at
    // room temperature when measured across it, else at the middle row's.
    const double tensor_t = at_given                                     ? temperatures.front()
                            : 298.15 > fits.t_min && 298.15 < fits.t_max ? 298.15
                                                                         : fits.middle_t;
    const crystal::AlphaAt& first = *std::find_if(report.results.begin(), report.results.end(),
                                                  [&](const crystal::AlphaAt& a) { return a.t == tensor_t; });
    const std::string tensor_title =
        (series.title.empty() ? "" : series.title + ", ") + formats::printed("%g K", first.t);
    write_figures(
        *figures_asked, file, program, tensor_title, [&] { return alpha_curves(report, points, temperatures); },
        [&] {
            if (!first.tensor) throw figures::PlotError("no tensor without the fits of the cell");
            return alpha_tensor_figure(*first.tensor, fits.t_max - fits.t_min);
        });
    const std::string text = cl.has("parameters") ? alpha_parameters_text(report)
                             : cl.has("tsv")      ? alpha_tsv_text(report)
                                                  : alpha_summary_text(report);
    write_result(text, "", file);
    return 0;
}

}  // namespace celltrend_analyse
