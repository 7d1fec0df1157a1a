// celltrend-analyse eos: equations of state of a pressure series, fitted
// with the pressure and volume uncertainties together, and the cell edges
// linearised.

#include <algorithm>
#include <cmath>
#include <iostream>
#include <limits>
#include <optional>
#include <string>
#include <vector>

#include "commands.hpp"
#include "crystal/equation_of_state.hpp"
#include "crystal/pressure_symmetry.hpp"
#include "eos_ff_figure.hpp"
#include "figure_output.hpp"
#include "figures/temperature_figure.hpp"
#include "fit/misfit.hpp"
#include "formats/printed.hpp"
#include "pressure_input.hpp"
#include "subcommand.hpp"
#include "write_result.hpp"

namespace celltrend_analyse {

namespace {

constexpr std::string_view program = "celltrend-analyse eos";

constexpr OptionSpec own_options[] = {
    {"model", 0, true},
    {"axes", 0, false},
    {"at", 0, true},
    {"tsv", 0, false},
    {"figure", 0, true},
    {"ff", 0, true},
    {"system", 0, true, crystal::crystal_system_words},
    {"help", 'h', false},
};
constexpr auto options = with_figure_options(own_options);

void print_help(std::ostream& out) {
    out << "Usage: celltrend-analyse eos [OPTION]... FILE\n"
           "An equation of state P(V) fitted to the pressure series in FILE: rows\n"
           "\"P sigmaP a b c alpha beta gamma\" (GPa, A, degrees; ESDs in parentheses\n"
           "allowed), a CSV with P_GPa (and sigma_P_GPa) in place of T_K, or an\n"
           "equation-of-state program's data file with its Format line.  Each row is\n"
           "weighted by its effective variance sigmaP^2 + (dP/dV)^2 sigmaV^2, iterated\n"
           "with the parameters; sigmaV is the file's, else carried from the cell ESDs.\n"
           "Without either in some row, all rows weigh the same.\n"
           "\n"
           "      --model MODEL      bm3 (default), bm2, bm4 (Birch-Murnaghan orders),\n"
           "                         vinet, natural, murnaghan, or auto (of bm2, bm3, bm4\n"
           "                         the lowest AICc)\n"
           "      --axes             also fit each cell edge, linearised: L^3 for V, giving\n"
           "                         L0 and the linear modulus M0 = 3K0 of its cube, M'\n"
           "      --at P[,P...]      also V and K (L and M of the edges) at these pressures\n"
           "                         in GPa, with their sigma\n"
           "      --figure FILE      also draw V/V0 (and L/L0 of the edges) against P with\n"
           "                         the fitted curves, and K (M/3 of the edges) with its\n"
           "                         band +-sigma, as PNG, SVG or PDF by the extension\n"
           "      --ff FILE          also draw the F-f plot: the normalised pressure F\n"
           "                         against the strain f (Eulerian; natural strain for\n"
           "                         natural, ln F against 1-(V/V0)^(1/3) for vinet)\n"
           "                         with error bars, and the line the fit implies\n"
        << pressure_figure_options_help
        << "      --system SYSTEM    auto (default: the ties the file shows, such as a = b\n"
           "                         with equal ESDs in every row), triclinic,\n"
           "                         monoclinic (unique b), monoclinic-c, orthorhombic,\n"
           "                         tetragonal, trigonal, hexagonal, rhombohedral or\n"
           "                         cubic: sigmaV from the cell ESDs carries the ties,\n"
           "                         and tied edges are one fit\n"
           "      --tsv              print only a table of tab-separated values: quantity,\n"
           "                         model, parameter, value, sigma, unit\n"
           "  -h, --help             show this text\n"
           "V0 in A^3, K0 in GPa, K'' in GPa^-1; sigma is scaled by sqrt(chi2_nu) when that\n"
           "exceeds 1.  FILE \"-\" reads standard input.\n";
}

const Subcommand eos{"eos", options, print_help};

bool read_model(const std::string& name, crystal::EosModel& model, bool& automatic) {
    automatic = name == "auto";
    if (automatic) return true;
    using crystal::EosModel;
    for (const EosModel m :
         {EosModel::bm2, EosModel::bm3, EosModel::bm4, EosModel::vinet, EosModel::natural, EosModel::murnaghan})
        if (crystal::eos_model_name(m) == name) {
            model = m;
            return true;
        }
    return false;
}

// One quantity fitted: V or an edge.
struct Quantity {
    std::string name;  // "V", "a", "b", "c"
    bool edge = false;
    crystal::EosFit fit;
    std::vector<double> q;  // V0, K0, ... or L0, M0, ...
    Eigen::MatrixXd covariance;
    std::vector<crystal::EosValue> at;  // at each --at pressure, as V and K or L and M
    crystal::EosData data;              // what was fitted (an edge cubed), for the misfit's refits
    bool tied = false;                  // an edge tied to an earlier one: its fit, under another name
};

std::string g(double x) { return std::isfinite(x) ? formats::printed("%.10g", x) : ""; }

std::vector<std::string> parameter_names(const Quantity& q) {
    const std::vector<std::string> all =
        q.edge ? std::vector<std::string>{"L0", "M0", "Mp", "Mpp"} : std::vector<std::string>{"V0", "K0", "Kp", "Kpp"};
    return {all.begin(), all.begin() + std::ptrdiff_t(q.q.size())};
}

std::string tsv_text(const std::vector<Quantity>& quantities, const std::vector<double>& at) {
    std::string out = "quantity\tmodel\tparameter\tvalue\tsigma\tunit\n";
    for (const Quantity& q : quantities) {
        const std::string model(crystal::eos_model_name(q.fit.model));
        const auto row = [&](const std::string& parameter, double value, std::string sigma, const char* unit) {
            out += q.name + "\t" + model + "\t" + parameter + "\t" + g(value) + "\t" + sigma + "\t" + unit + "\n";
        };
        const std::vector<std::string> names = parameter_names(q);
        const char* units[] = {q.edge ? "A" : "A^3", "GPa", "1", "GPa^-1"};
        for (std::size_t k = 0; k < q.q.size(); ++k)
            row(names[k], q.q[k], g(std::sqrt(q.covariance(Eigen::Index(k), Eigen::Index(k)))), units[k]);
        if (q.q.size() == 2) row(q.edge ? "Mp" : "Kp", q.edge ? 12.0 : 4.0, "", "1");
        row("chi2_nu", q.fit.chi2_nu, "", q.fit.equal_weights ? "GPa^2" : "1");
        for (std::size_t k = 0; k < q.q.size(); ++k)
            for (std::size_t l = k + 1; l < q.q.size(); ++l) {
                const auto K = Eigen::Index(k), L = Eigen::Index(l);
                row("r(" + names[k] + "," + names[l] + ")",
                    q.covariance(K, L) / std::sqrt(q.covariance(K, K) * q.covariance(L, L)), "", "1");
            }
        for (std::size_t i = 0; i < at.size(); ++i) {
            const std::string p = g(at[i]);
            row((q.edge ? "L@" : "V@") + p, q.at[i].v, g(q.at[i].sigma_v), q.edge ? "A" : "A^3");
            row((q.edge ? "M@" : "K@") + p, q.at[i].k, g(q.at[i].sigma_k), "GPa");
        }
    }
    return out;
}

std::string value_text(double value, double sigma) {
    return formats::printed("%.6g", value) + (std::isfinite(sigma) ? " +- " + formats::printed("%.2g", sigma) : "");
}

std::string summary_text(const std::string& file, const formats::PressureRows& rows, const std::string& symmetry,
                         const std::vector<Quantity>& quantities, const std::vector<double>& at, bool automatic) {
    const crystal::EosFit& v = quantities.front().fit;
    std::string out = "Equation of state of " + series_name(file) + ": " + std::to_string(rows.rows.size()) +
                      " pressures from " + formats::printed("%g", rows.rows.front().p) + " to " +
                      formats::printed("%g", rows.rows.back().p) + " GPa\n";
    out += "Model: " + std::string(crystal::eos_model_name(v.model)) + (automatic ? " (auto: lowest AICc)" : "") +
           "; weights: " +
           (v.equal_weights ? std::string("equal (some row has neither sigmaP nor sigmaV)")
                            : "effective variance of sigmaP and sigmaV (" + std::to_string(v.rounds) +
                                  (v.rounds == 1 ? " round)" : " rounds)")) +
           "\n";
    if (!symmetry.empty()) out += "Symmetry: " + symmetry + "\n";
    for (const Quantity& q : quantities) {
        const std::vector<std::string> names = parameter_names(q);
        const char* units[] = {q.edge ? " A" : " A^3", " GPa", "", " GPa^-1"};
        out += "\n" + q.name + (q.edge ? " (linearised)" : "") + ":\n";
        for (std::size_t k = 0; k < q.q.size(); ++k)
            out += "  " + names[k] + " = " +
                   value_text(q.q[k], std::sqrt(q.covariance(Eigen::Index(k), Eigen::Index(k)))) + units[k] + "\n";
        if (q.q.size() == 2) out += std::string("  ") + (q.edge ? "Mp = 12" : "Kp = 4") + " (fixed)\n";
        if (q.q.size() < 4) {
            const double kpp = crystal::eos_implied_k_double_prime(q.fit.model, q.fit.q) / (q.edge ? 1.0 / 3 : 1.0);
            out += std::string("  ") + (q.edge ? "Mpp" : "Kpp") + " = " + formats::printed("%.4g", kpp) +
                   " GPa^-1 (implied)\n";
        }
        out += "  chi2_nu = " + formats::printed("%.4g", q.fit.chi2_nu) +
               (q.fit.equal_weights ? " GPa^2 (equal weights)"
                : q.fit.chi2_nu > 1 ? " (sigma scaled)"
                                    : "") +
               "\n";
        std::string r;
        for (std::size_t k = 0; k < q.q.size(); ++k)
            for (std::size_t l = k + 1; l < q.q.size(); ++l) {
                const auto K = Eigen::Index(k), L = Eigen::Index(l);
                r += (r.empty() ? "" : ", ") + names[k] + "/" + names[l] + " " +
                     formats::printed("%.3f", q.covariance(K, L) / std::sqrt(q.covariance(K, K) * q.covariance(L, L)));
            }
        out += "  correlations: " + r + "\n";
        for (std::size_t i = 0; i < at.size(); ++i)
            out += "  at " + formats::printed("%g", at[i]) + " GPa: " + (q.edge ? "L = " : "V = ") +
                   value_text(q.at[i].v, q.at[i].sigma_v) + (q.edge ? " A, M = " : " A^3, K = ") +
                   value_text(q.at[i].k, q.at[i].sigma_k) + " GPa\n";
    }
    return out;
}

// One line on standard error for a fit whose residuals run in long
// stretches of one sign, or that two pieces describe far better.  `data`
// is what the quantity was fitted to, for the refits of the break search.
void report_misfit(const std::string& file, const Quantity& q, const formats::PressureRows& rows,
                   const crystal::EosData& data) {
    const fit::RangeChi2 chi2_of = [&](std::size_t begin, std::size_t end) {
        crystal::EosData part;
        for (std::size_t n = begin; n < end; ++n) {
            part.p.push_back(data.p[n]);
            part.sigma_p.push_back(data.sigma_p[n]);
            part.v.push_back(data.v[n]);
            part.sigma_v.push_back(data.sigma_v[n]);
        }
        try {
            return crystal::fit_eos(q.fit.model, part, q.edge).chi2;
        } catch (const std::exception&) {
            return std::numeric_limits<double>::quiet_NaN();
        }
    };
    // Each refit iterates its weights: a few dozen splits are enough to find
    // a step, and keep a long series quick.
    const fit::Misfit m =
        fit::judge_fit(q.fit.residuals, !q.fit.equal_weights, q.fit.chi2_nu, q.fit.q.size(), chi2_of, 40);
    if (!m.misses) return;
    const std::string model(crystal::eos_model_name(q.fit.model));
    std::cerr << program << ": " << series_name(file) << ": note: the " << model << " fit misses " << q.name
              << ": chi2_nu " << formats::printed("%.3g", q.fit.chi2_nu) << ", " << m.runs.runs
              << " runs of signs where " << formats::printed("%.1f", m.runs.expected)
              << " are expected, the largest residuals at " << formats::printed("%g", rows.rows[m.largest[0]].p)
              << " and " << formats::printed("%g", rows.rows[m.largest[1]].p) << " GPa; ";
    if (m.break_found && m.split)
        std::cerr << formats::printed(
            "a break between %g and %g GPa fits far better (AICc lower by %.0f): a "
            "phase transition? fit each side on its own\n",
            rows.rows[m.split->after].p, rows.rows[m.split->after + 1].p, m.split->aicc_drop);
    else
        std::cerr << "try "
                  << (q.fit.model == crystal::EosModel::bm4 ? "another --model"
                                                            : "a higher order (--model bm4 or auto) or another --model")
                  << "\n";
}

// The figure against pressure: each quantity over its value at the first
// row, measured with its sigma and as the model fits it, and the modulus
// K(P) with its band (M/3 for an edge, so that it reads beside K).
figures::TemperatureFigure eos_figure(const std::string& title, const formats::PressureRows& rows,
                                      const std::vector<Quantity>& quantities, const std::vector<double>& marked) {
    constexpr int samples = 100;
    const double p_lo = rows.rows.front().p, p_hi = rows.rows.back().p;
    figures::TemperatureFigure figure;
    figure.title = title;
    figure.variable_legend = "P (GPa)";
    figure.change_legend = "V/V0, L/L0";
    figure.rate_legend = "K, M/3 (GPa)";
    figure.marked_t = marked;
    for (const Quantity& q : quantities) {
        figures::MeasuredSeries s;
        s.name = q.name;
        const double x0 = q.q[0];  // V0 or L0
        const auto measured = [&](const formats::PressureRow& r, double& x, double& sigma) {
            const int e = q.name == "a" ? 0 : q.name == "b" ? 1 : 2;
            x = q.edge ? (e == 0 ? r.cell.a : e == 1 ? r.cell.b : r.cell.c) : r.volume;
            const double s_edge = e == 0 ? r.esd.a : e == 1 ? r.esd.b : r.esd.c;
            sigma = q.edge ? (std::isfinite(s_edge) ? s_edge : 0) : r.sigma_volume;
        };
        double x_lo = 0, x_hi = 0;
        for (std::size_t k = 0; k < rows.rows.size(); ++k) {
            double x = 0, sigma = 0;
            measured(rows.rows[k], x, sigma);
            s.points.push_back(sigma > 0 ? formats::Point{rows.rows[k].p, {x / x0, sigma / x0}}
                                         : formats::point_without_sigma(rows.rows[k].p, x / x0));
            x_lo = k == 0 ? x : std::min(x_lo, x);
            x_hi = k == 0 ? x : std::max(x_hi, x);
        }
        for (int n = samples - 1; n >= 0; --n) {
            const double x = x_lo + (x_hi - x_lo) * n / (samples - 1);
            s.curve_t.push_back(crystal::eos_pressure(q.fit.model, q.fit.q, q.edge ? x * x * x : x));
            s.curve_y.push_back(x / x0);
        }
        figure.changes.push_back(std::move(s));
        figures::RateSeries k;
        k.name = q.name;
        for (int n = 0; n < samples; ++n) {
            const double p = p_lo + (p_hi - p_lo) * n / (samples - 1);
            const crystal::EosValue v = crystal::eos_at(q.fit, p);
            k.t.push_back(p);
            k.value.push_back(v.k);  // of the cube: M/3 for an edge
            k.sigma.push_back(v.sigma_k);
        }
        figure.rates.push_back(std::move(k));
    }
    return figure;
}

}  // namespace

int run_eos(const Arguments& args) {
    const std::optional<CommandLine> started = start(eos, args);
    if (!started) return 0;  // --help
    const CommandLine& cl = *started;
    const std::string& file = cl.operands.front();

    const std::string model_name = cl.value("model").value_or("bm3");
    crystal::EosModel model = crystal::EosModel::bm3;
    bool automatic = false;
    if (!read_model(model_name, model, automatic))
        throw UsageError("--model '" + model_name + "': bm2, bm3, bm4, vinet, natural, murnaghan or auto");
    std::vector<double> at;
    if (const auto text = cl.value("at")) {
        bool every_row = false;
        const std::string why = read_pressures(*text, at, every_row);
        if (!why.empty()) throw UsageError(why);
        if (every_row) throw UsageError("--at rows is compression's; eos takes pressures in GPa");
    }
    const bool axes = cl.has("axes");
    const std::string system_name = cl.value("system").value_or("auto");
    const std::optional<crystal::CrystalSystem> system = crystal::read_crystal_system(system_name);
    if (!system) throw UsageError("--system '" + system_name + "': " + crystal::crystal_system_choices);
    const std::optional<NamedFigure> figure_file = named_figure(cl, "figure");
    const std::optional<NamedFigure> ff_file = named_figure(cl, "ff");
    if (figure_file && ff_file && figure_file->path == ff_file->path)
        throw UsageError("--figure and --ff name the same file '" + ff_file->path + "'");
    const cli::FigureOptions look = figure_look(cl, figure_file || ff_file, "--figure or --ff FILE");
    std::optional<figures::TemperatureFigure> figure;
    std::optional<figures::XyFigure> ff;

    formats::PressureRows rows = read_pressure_rows(eos, file, false);
    if (axes && !rows.every_cell)
        throw InputError(series_name(file) + ": --axes needs the cell edges in every row; the file gives volumes");
    if (*system != crystal::CrystalSystem::automatic && !rows.every_cell)
        throw InputError(series_name(file) + ": --system needs the cell in every row; the file gives volumes");
    // The ties of the cell: sigma V from the cell ESDs carries them, and
    // tied edges are one fit.
    formats::CellTies ties;
    std::string symmetry;
    if (rows.every_cell) try {
            const crystal::SeriesSymmetry s = crystal::apply_symmetry(rows, *system);
            ties = s.ties;
            symmetry = s.description;
        } catch (const crystal::ExpansionError& e) {
            throw InputError(series_name(file) + ": " + e.what());
        }

    std::vector<Quantity> quantities;
    try {
        const auto fit_of = [&](const crystal::EosData& data, bool edge) {
            return automatic ? crystal::fit_eos_auto(data) : crystal::fit_eos(model, data, edge);
        };
        crystal::EosData data;
        for (const formats::PressureRow& r : rows.rows) {
            data.p.push_back(r.p);
            // sigmaP missing in any row says nothing of the others: none used.
            data.sigma_p.push_back(rows.sigma_p_known ? r.sigma_p : 0.0);
            data.v.push_back(r.volume);
            data.sigma_v.push_back(r.sigma_volume);
        }
        Quantity v{"V", false, fit_of(data, false), {}, {}, {}, data};
        v.q = v.fit.q;
        v.covariance = v.fit.covariance;
        quantities.push_back(v);
        if (axes) {
            // With the volume's choice of model, so that the edges and the
            // volume are read alike.
            model = v.fit.model;
            automatic = false;
            for (int e = 0; e < 3; ++e) {
                const std::string name(1, char('a' + e));
                if (const int first = ties.group[std::size_t(e)]; first != e) {
                    // A tied edge is its group's one fit, under its own name.
                    Quantity same = quantities[std::size_t(1 + first)];
                    same.name = name;
                    same.tied = true;
                    quantities.push_back(same);
                    continue;
                }
                for (std::size_t n = 0; n < rows.rows.size(); ++n) {
                    const double l = rows.rows[n].cell.values()[std::size_t(e)];
                    const double sl = rows.rows[n].esd.values()[std::size_t(e)];
                    data.v[n] = l * l * l;
                    data.sigma_v[n] = std::isfinite(sl) ? 3 * l * l * sl : 0;
                }
                Quantity edge{name, true, fit_of(data, true), {}, {}, {}, data};
                const crystal::LinearParameters lin = crystal::linear_modulus(edge.fit);
                edge.q = lin.q;
                edge.covariance = lin.covariance;
                quantities.push_back(edge);
            }
        }
        for (Quantity& q : quantities)
            for (double p : at) {
                crystal::EosValue value = crystal::eos_at(q.fit, p);
                if (q.edge) {
                    // L = (L^3)^(1/3), M = 3K of the cube.
                    const double l = std::cbrt(value.v);
                    value.sigma_v /= 3 * l * l;
                    value.v = l;
                    value.k *= 3;
                    value.sigma_k *= 3;
                }
                q.at.push_back(value);
            }
        if (figure_file) figure = eos_figure(series_name(file), rows, quantities, at);
        if (ff_file) {
            std::vector<FfQuantity> fitted;
            for (const Quantity& q : quantities) fitted.push_back({q.name, &q.fit, &q.data});
            ff = ff_figure(series_name(file), fitted);
        }
    } catch (const crystal::EosError& e) {
        throw InputError(series_name(file) + ": " + e.what());
    }
    for (const Quantity& q : quantities)
        if (!q.tied) report_misfit(file, q, rows, q.data);
    if (figure)
        write_figure(figure_file->path, figure_file->format, file, [&](figures::Format format) {
            if (look.title) figure->title = *look.title;
            return figures::temperature_figure_file(*figure, format, page_of(look, figures::temperature_page));
        });
    if (ff)
        write_figure(ff_file->path, ff_file->format, file, [&](figures::Format format) {
            if (look.title) ff->title = *look.title;
            return figures::xy_figure_file(*ff, format, page_of(look, figures::xy_page));
        });
    write_result(
        cl.has("tsv") ? tsv_text(quantities, at) : summary_text(file, rows, symmetry, quantities, at, automatic), "",
        file);
    return 0;
}

}  // namespace celltrend_analyse
