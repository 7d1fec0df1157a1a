// celltrend-analyse compression: principal compressibilities of a pressure
// series, as the principal-axis strain calculator's pressure mode gives
// them, with the volume's straight line and the Birch-Murnaghan fits of
// pressure against volume.

#include <algorithm>
#include <cmath>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "commands.hpp"
#include "crystal/cell_matrix.hpp"
#include "crystal/compression.hpp"
#include "crystal/crystal_direction.hpp"
#include "crystal/equation_of_state.hpp"
#include "crystal/expansion.hpp"
#include "figure_output.hpp"
#include "figures/temperature_figure.hpp"
#include "fit/hc0_fit.hpp"
#include "formats/number_field.hpp"
#include "formats/printed.hpp"
#include "pressure_input.hpp"
#include "strain_options.hpp"
#include "subcommand.hpp"
#include "write_result.hpp"

namespace celltrend_analyse {

namespace {

constexpr std::string_view program = "celltrend-analyse compression";

constexpr OptionSpec own_options[] = {
    {"strain", 0, true, strain_words},
    {"infinitesimal", 0, false},
    {"tsv", 0, false},
    {"at", 0, true},
    {"pc", 0, true},
    {"file-order", 0, false},
    {"figure", 0, true},
    {"help", 'h', false},
};
constexpr auto options = with_figure_options(own_options);

void print_help(std::ostream& out) {
    out << "Usage: celltrend-analyse compression [OPTION]... FILE\n"
           "Principal compressibilities of the pressure series in FILE (what eos reads, with\n"
           "the cell in every row), as the principal-axis strain calculators give them.\n"
           "The rows are taken in order of pressure, the lowest the strain reference.\n"
           "The principal strains X1 < X2 < X3 are each fitted by the empirical law\n"
           "eps0 + lambda (P - pc)^nu, weighted 1/sigmaP^2 (equally when some row has no\n"
           "sigmaP), giving the compressibility K = -(d eps/dP) with its sigma; the volume\n"
           "gets a straight line against P (White's HC0) and the Birch-Murnaghan fits of\n"
           "2nd and 3rd order of P against V.  At least 5 rows.\n"
           "\n"
           "      --strain KIND      eulerian (default) or lagrangian\n"
           "      --infinitesimal    the infinitesimal strain instead of the finite one\n"
           "      --at P[,P...]      the pressures in GPa (default: the middle row's), or\n"
           "                         'rows' for every measured pressure\n"
           "      --pc P             also the third-order fit with the critical pressure P\n"
           "                         (GPa) held fixed; V0 and K0 are then those at P\n"
           "      --file-order       keep the rows in the file's order instead of sorting\n"
           "                         them by P (the first row is then the reference)\n"
           "      --figure FILE      also draw the principal strains and V/V0 - 1 (%)\n"
           "                         against P with their fits, and K of X1, X2, X3 and V\n"
           "                         with their bands +-sigma, as PNG, SVG or PDF by the\n"
           "                         extension\n"
        << pressure_figure_options_help
        << "      --tsv              print only two tables of tab-separated values: P,\n"
           "                         quantity, K, sigma, u, v, w; then quantity, model,\n"
           "                         parameter, value, sigma, unit\n"
           "  -h, --help             show this text\n"
           "K in TPa^-1 (negative: the axis lengthens under pressure); directions [u v w]\n"
           "are those of the measured row nearest each pressure.  FILE \"-\" reads standard\n"
           "input.\n";
}

const Subcommand compression{"compression", options, print_help};

std::string g(double x) { return std::isfinite(x) ? formats::printed("%.10g", x) : ""; }

struct AtPressure {
    double p = 0;
    std::size_t row = 0;  // the row whose directions are given
    std::array<crystal::AxisCompressibility, 3> k;
    std::array<Eigen::Vector3d, 3> uvw;
    std::array<Eigen::Vector3d, 3> angles;  // to a, b, c in degrees
};

struct Bm {
    std::string name;            // "bm2", "bm3", "bm3-pc"
    std::vector<double> q;       // V0, K0 (K')
    Eigen::MatrixXd covariance;  // always scaled by s^2
    double chi2_nu = 0;          // s^2
    double pc = std::nan("");    // bm3-pc's critical pressure
};

struct Result {
    std::vector<double> p;
    crystal::Expansion strain;
    std::array<crystal::StrainLaw, 3> laws;
    fit::Hc0Line volume_line;
    double v0 = 0, k_v = 0, sigma_k_v = 0;
    std::vector<Bm> bm;
    std::vector<AtPressure> at;
};

std::string tsv_text(const Result& r) {
    std::string out = "P\tquantity\tK\tsigma\tu\tv\tw\n";
    for (const AtPressure& a : r.at) {
        for (int i = 0; i < 3; ++i) {
            const auto& k = a.k[std::size_t(i)];
            const Eigen::Vector3d& d = a.uvw[std::size_t(i)];
            out += g(a.p) + "\tX" + std::to_string(i + 1) + "\t" + (k.defined ? g(k.k) : "") + "\t" +
                   (k.defined ? g(k.sigma) : "") + "\t" + g(d(0)) + "\t" + g(d(1)) + "\t" + g(d(2)) + "\n";
        }
        out += g(a.p) + "\tV\t" + g(r.k_v) + "\t" + g(r.sigma_k_v) + "\t\t\t\n";
    }
    out += "\nquantity\tmodel\tparameter\tvalue\tsigma\tunit\n";
    const auto row = [&](const std::string& q, const std::string& model, const std::string& parameter, double value,
                         const std::string& sigma, const char* unit) {
        out += q + "\t" + model + "\t" + parameter + "\t" + g(value) + "\t" + sigma + "\t" + unit + "\n";
    };
    const char* names[] = {"eps0", "lambda", "pc", "nu"};
    const char* units[] = {"1", "GPa^-nu", "GPa", "1"};
    for (int i = 0; i < 3; ++i) {
        const crystal::StrainLaw& law = r.laws[std::size_t(i)];
        const std::string q = "X" + std::to_string(i + 1);
        for (int k = 0; k < 4; ++k)
            row(q, "strain-law", names[k], law.q[std::size_t(k)], g(std::sqrt(law.covariance(k, k))), units[k]);
        row(q, "strain-law", "chi2_nu", law.chi2_nu, "", "1");
    }
    row("V", "line", "intercept", r.volume_line.intercept, g(r.volume_line.su_intercept), "A^3");
    row("V", "line", "slope", r.volume_line.slope, g(r.volume_line.su_slope), "A^3/GPa");
    for (const Bm& b : r.bm) {
        row("V", b.name, "V0", b.q[0], g(std::sqrt(b.covariance(0, 0))), "A^3");
        row("V", b.name, "K0", b.q[1], g(std::sqrt(b.covariance(1, 1))), "GPa");
        if (b.q.size() > 2)
            row("V", b.name, "Kp", b.q[2], g(std::sqrt(b.covariance(2, 2))), "1");
        else
            row("V", b.name, "Kp", 4, "", "1");
        if (std::isfinite(b.pc)) row("V", b.name, "pc", b.pc, "", "GPa");
        row("V", b.name, "chi2_nu", b.chi2_nu, "", "1");
    }
    return out;
}

std::string pm(double value, double sigma, const char* format) {
    return formats::printed(format, value) + " +- " + formats::printed("%.2g", sigma);
}

std::string summary_text(const std::string& file, const Result& r, const crystal::StrainMeasure& measure,
                         bool weighted) {
    std::string out = "Compression of " + series_name(file) + ": " + std::to_string(r.p.size()) + " pressures from " +
                      formats::printed("%g", r.p.front()) + " to " + formats::printed("%g", r.p.back()) + " GPa\n";
    out += std::string("Strain: ") + (measure.finite ? "finite " : "infinitesimal ") +
           (measure.kind == crystal::StrainKind::eulerian ? "Eulerian" : "Lagrangian") +
           "; weights: " + (weighted ? "1/sigmaP^2" : "equal (sigmaP not known in every row)") + "\n";
    for (const AtPressure& a : r.at) {
        out += "\nAt " + formats::printed("%g", a.p) + " GPa (directions of the row at " +
               formats::printed("%g", r.p[a.row]) + " GPa): K in TPa^-1, [u v w], angles to a, b, c in degrees\n";
        for (int i = 0; i < 3; ++i) {
            const auto& k = a.k[std::size_t(i)];
            const Eigen::Vector3d& d = a.uvw[std::size_t(i)];
            out += "  X" + std::to_string(i + 1) +
                   "  K = " + (k.defined ? pm(k.k, k.sigma, "%9.4f") : "undefined (P <= pc)") +
                   formats::printed("   [%7.4f %7.4f %7.4f]", d(0), d(1), d(2)) +
                   formats::printed("   %7.2f %7.2f %7.2f\n", a.angles[std::size_t(i)](0), a.angles[std::size_t(i)](1),
                                    a.angles[std::size_t(i)](2));
        }
        out += "  V   K = " + pm(r.k_v, r.sigma_k_v, "%9.4f") + "   (straight line; eos gives K(P))\n";
    }
    out += "\nStrain law eps0 + lambda (P - pc)^nu:\n";
    for (int i = 0; i < 3; ++i) {
        const crystal::StrainLaw& law = r.laws[std::size_t(i)];
        out += "  X" + std::to_string(i + 1) +
               formats::printed("  eps0 = %.6g, lambda = %.6g, pc = %.6g GPa, nu = %.6g, chi2_nu = %.3g\n", law.q[0],
                                law.q[1], law.q[2], law.q[3], law.chi2_nu);
    }
    out += "\nV = c0 + c1 P: c0 = " + formats::printed("%.6g", r.volume_line.intercept) +
           " A^3, c1 = " + pm(r.volume_line.slope, r.volume_line.su_slope, "%.6g") + " A^3/GPa\n";
    for (const Bm& b : r.bm) {
        out += "Birch-Murnaghan " + std::string(b.name == "bm2" ? "2nd" : "3rd") + " order" +
               (std::isfinite(b.pc) ? " with pc = " + formats::printed("%g", b.pc) + " GPa" : "") +
               ": V0 = " + pm(b.q[0], std::sqrt(b.covariance(0, 0)), "%.6g") +
               " A^3, K0 = " + pm(b.q[1], std::sqrt(b.covariance(1, 1)), "%.6g") +
               " GPa, K' = " + (b.q.size() > 2 ? pm(b.q[2], std::sqrt(b.covariance(2, 2)), "%.4g") : std::string("4")) +
               formats::printed(", s^2 = %.3g\n", b.chi2_nu);
    }
    return out;
}

// The figure against pressure: the principal strains and V/V0 - 1 in %
// with the strain laws and the third-order Birch-Murnaghan curve, and K(P)
// of each axis with its band (the volume's line: one K).
figures::TemperatureFigure compression_figure(const std::string& title, const Result& r,
                                              const std::vector<double>& volumes, const std::vector<double>& marked) {
    constexpr int samples = 200;
    const double p_lo = *std::min_element(r.p.begin(), r.p.end()), p_hi = *std::max_element(r.p.begin(), r.p.end());
    figures::TemperatureFigure figure;
    figure.title = title;
    figure.variable_legend = "P (GPa)";
    figure.change_legend = "strain, V/V0 - 1 (%)";
    figure.rate_legend = "K (TPa⁻¹)";
    figure.marked_t = marked;
    for (std::size_t i = 0; i < 3; ++i) {
        figures::MeasuredSeries s;
        s.name = "X" + std::to_string(i + 1);
        for (std::size_t k = 0; k < r.p.size(); ++k)
            s.points.push_back(formats::point_without_sigma(r.p[k], 100 * r.strain.strains[k](Eigen::Index(i))));
        figures::RateSeries k;
        k.name = s.name;
        const crystal::StrainLaw& law = r.laws[i];
        for (int n = 0; n < samples; ++n) {
            const double p = p_lo + (p_hi - p_lo) * n / (samples - 1);
            s.curve_t.push_back(p);
            s.curve_y.push_back(100 * (law.q[0] + law.q[1] * std::pow(p - law.q[2], law.q[3])));
            const crystal::AxisCompressibility c = crystal::strain_law_compressibility(law, p);
            if (!c.defined || !std::isfinite(c.k)) continue;
            k.t.push_back(p);
            k.value.push_back(c.k);
            k.sigma.push_back(c.sigma);
        }
        figure.changes.push_back(std::move(s));
        figure.rates.push_back(std::move(k));
    }
    figures::MeasuredSeries v;
    v.name = "V";
    const double v0 = volumes.front();
    for (std::size_t k = 0; k < r.p.size(); ++k)
        v.points.push_back(formats::point_without_sigma(r.p[k], 100 * (volumes[k] / v0 - 1)));
    // The third-order curve, P(V) along the measured volumes.
    const std::vector<double>& q = r.bm[1].q;
    const double v_lo = *std::min_element(volumes.begin(), volumes.end());
    const double v_hi = *std::max_element(volumes.begin(), volumes.end());
    for (int n = samples - 1; n >= 0; --n) {
        const double vol = v_lo + (v_hi - v_lo) * n / (samples - 1);
        v.curve_t.push_back(crystal::eos_pressure(crystal::EosModel::bm3, q, vol));
        v.curve_y.push_back(100 * (vol / v0 - 1));
    }
    figure.changes.push_back(std::move(v));
    figures::RateSeries kv;
    kv.name = "V";
    for (double p : {p_lo, p_hi}) {
        kv.t.push_back(p);
        kv.value.push_back(r.k_v);
        kv.sigma.push_back(r.sigma_k_v);
    }
    figure.rates.push_back(std::move(kv));
    return figure;
}

}  // namespace

int run_compression(const Arguments& args) {
    const std::optional<CommandLine> started = start(compression, args);
    if (!started) return 0;  // --help
    const CommandLine& cl = *started;
    const std::string& file = cl.operands.front();

    const crystal::StrainMeasure measure = strain_measure(cl);
    std::optional<double> pc;
    if (const auto text = cl.value("pc")) {
        double value = 0;
        if (formats::read_field(*text, value) != formats::Field::number || !std::isfinite(value))
            throw UsageError("--pc '" + *text + "' is not a pressure");
        pc = value;
    }
    std::vector<double> asked;
    bool every_row = false;
    if (const auto text = cl.value("at")) {
        const std::string why = read_pressures(*text, asked, every_row);
        if (!why.empty()) throw UsageError(why);
    }
    const std::optional<NamedFigure> figure_file = named_figure(cl, "figure");
    const cli::FigureOptions look = figure_look(cl, figure_file.has_value(), "--figure FILE");
    const std::vector<double> marked = asked;

    const formats::PressureRows rows = read_pressure_rows(compression, file, cl.has("file-order"));
    const std::string name = series_name(file);
    if (!rows.every_cell) throw InputError(name + ": compression needs the cell in every row; the file gives volumes");
    const std::size_t n = rows.rows.size();
    if (n < 5)
        throw InputError(name + ": " + std::to_string(n) + (n == 1 ? " row" : " rows") +
                         "; compression needs at least 5");

    Result r;
    std::vector<crystal::SeriesPoint> points;
    std::vector<double> sigma_p, volumes;
    for (const formats::PressureRow& row : rows.rows) {
        crystal::SeriesPoint point;
        point.t = row.p;
        point.sigma_t = rows.sigma_p_known ? row.sigma_p : std::nan("");
        point.cell = row.cell;
        points.push_back(point);
        r.p.push_back(row.p);
        sigma_p.push_back(rows.sigma_p_known ? row.sigma_p : 1.0);
        volumes.push_back(formats::volume(row.cell));
    }
    try {
        r.strain = crystal::analyse_expansion(points, measure);
        for (std::size_t i = 0; i < 3; ++i) {
            std::vector<double> strain(n);
            for (std::size_t k = 0; k < n; ++k) strain[k] = r.strain.strains[k](Eigen::Index(i));
            r.laws[i] = crystal::fit_strain_law(r.p, strain, sigma_p);
        }
    } catch (const std::runtime_error& e) {
        throw InputError(name + ": " + e.what());
    }
    std::vector<double> weights;
    for (double s : sigma_p) weights.push_back(1 / s);
    r.volume_line = fit::fit_hc0(fit::line_design(r.p, weights), r.p, volumes);
    r.v0 = volumes.front();
    r.k_v = -r.volume_line.slope / r.v0 * 1000;
    r.sigma_k_v = r.volume_line.su_slope / r.v0 * 1000;

    crystal::EosData data{r.p, sigma_p, volumes, std::vector<double>(n, 0.0)};
    try {
        for (const crystal::EosModel model : {crystal::EosModel::bm2, crystal::EosModel::bm3}) {
            const crystal::EosFit fit = crystal::fit_eos(model, data);
            // The calculator scales by s^2 always, also below 1.
            r.bm.push_back({std::string(crystal::eos_model_name(model)), fit.q,
                            fit.covariance / std::max(1.0, fit.chi2_nu) * fit.chi2_nu, fit.chi2_nu});
        }
        if (pc) {
            const double p_min = *std::min_element(r.p.begin(), r.p.end());
            if (*pc > p_min) {
                std::cerr << program << ": " << name << ": note: --pc " << formats::printed("%g", *pc)
                          << " lies above the lowest pressure; lowered to " << formats::printed("%g", p_min) << "\n";
                pc = p_min;
            }
            const std::vector<double>& q3 = r.bm.back().q;
            const crystal::CriticalBm3 fit =
                crystal::fit_critical_bm3(r.p, volumes, sigma_p, *pc, {q3[0], q3[1], q3[2]});
            r.bm.push_back({"bm3-pc", {fit.q.begin(), fit.q.end()}, fit.covariance, fit.chi2_nu, *pc});
        }
    } catch (const crystal::EosError& e) {
        throw InputError(name + ": " + e.what());
    } catch (const std::runtime_error& e) {
        throw InputError(name + ": " + e.what());
    }

    if (every_row)
        asked = r.p;
    else if (asked.empty())
        asked.push_back(r.p[(n + 1) / 2 - 1]);
    const double p_lo = *std::min_element(r.p.begin(), r.p.end()), p_hi = *std::max_element(r.p.begin(), r.p.end());
    bool extrapolated = false, undefined = false;
    for (double p : asked) {
        AtPressure a;
        a.p = p;
        extrapolated = extrapolated || p < p_lo || p > p_hi;
        for (std::size_t k = 1; k < n; ++k)
            if (std::abs(r.p[k] - p) < std::abs(r.p[a.row] - p)) a.row = k;
        // The reference row is unstrained: its axes are those of the first strained row.
        const std::size_t axes_row = std::max(a.row, r.strain.naming_row);
        const Eigen::Matrix3d cell = crystal::cartesian_matrix(rows.rows[axes_row].cell);
        for (std::size_t i = 0; i < 3; ++i) {
            a.k[i] = crystal::strain_law_compressibility(r.laws[i], p);
            undefined = undefined || !a.k[i].defined;
            // Rounding left in a zero component would print as -0.
            a.uvw[i] =
                crystal::crystal_direction(cell, r.strain.axes[axes_row].col(Eigen::Index(i))).unaryExpr([](double x) {
                    return std::abs(x) < 1e-12 ? 0.0 : x;
                });
            a.angles[i] = crystal::angles_to_axes(cell, crystal::cartesian_direction(cell, a.uvw[i]));
        }
        r.at.push_back(a);
    }
    const std::string note = std::string(program) + ": " + name + ": note: ";
    if (extrapolated) std::cerr << note << "a pressure asked lies outside the measured range: extrapolated\n";
    if (undefined) std::cerr << note << "K is undefined at a pressure at or below an axis's pc; left empty\n";
    for (int i = 0; i < 3; ++i) {
        const crystal::StrainLaw& law = r.laws[std::size_t(i)];
        if (law.pc_on_bound || law.nu_on_bound)
            std::cerr << note << "the strain law of X" << i + 1 << " ends on a bound ("
                      << (law.pc_on_bound ? "pc = the lowest pressure" : "nu at its limit")
                      << "): its K at the lowest pressure is infinite or 0\n";
    }
    if (figure_file) {
        figures::TemperatureFigure figure = compression_figure(name, r, volumes, marked);
        if (look.title) figure.title = *look.title;
        write_figure(figure_file->path, figure_file->format, file, [&](figures::Format format) {
            return figures::temperature_figure_file(figure, format, page_of(look, figures::temperature_page));
        });
    }
    write_result(cl.has("tsv") ? tsv_text(r) : summary_text(file, r, measure, rows.sigma_p_known), "", file);
    return 0;
}

}  // namespace celltrend_analyse
