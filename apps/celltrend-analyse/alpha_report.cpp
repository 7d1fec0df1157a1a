#include "alpha_report.hpp"

#include <cmath>

#include "formats/display_text.hpp"
#include "formats/printed.hpp"
#include "formats/uncertainty.hpp"

namespace celltrend_analyse {

namespace {

using formats::printed;

std::string axis_name(std::size_t i) { return "X" + std::to_string(i + 1); }

// Four decimals, without the "-" of a component that rounds to zero.
std::string component(double x) { return printed("%9.4f", std::abs(x) < 5e-5 ? 0.0 : x); }

// A component of a unit direction: rounding residue below 1e-12 is 0.
std::string tsv_component(double x) { return tsv_number(std::abs(x) < 1e-12 ? 0.0 : x); }

std::string number_column(double x, int width);

std::string statistic(double x) { return std::isfinite(x) ? number_column(x, 12) : printed("%12s", "-"); }

// chi2_nu of equal weights is the variance of the residuals, in the
// quantity's unit squared: often 1e-8 and below.
std::string variance_statistic(double x) { return std::isfinite(x) ? printed("%12.4g", x) : printed("%12s", "-"); }

// A value and its sigma in columns of 12 and 11 after a name of 12, four
// decimals; a number too wide for its column takes %g and keeps a blank
// before it, so that columns never run together.
std::string number_column(double x, int width) {
    std::string s = printed("%*.4f", width, x);
    if (int(s.size()) == width && s.front() == ' ') return s;
    s = printed("%*.6g", width - 1, x);
    return " " + s;
}

std::string value_row(const std::string& name, const formats::Estimate& e) {
    return printed("%-12s", name.c_str()) + number_column(e.value, 12) + number_column(e.sigma, 11);
}

// The temperature of a heading: two decimals, %g where they would run long.
std::string heading_t(double t) { return std::abs(t) < 1e6 ? printed("%.2f", t) : printed("%g", t); }

std::string fit_line(const crystal::QuantityFit& q, std::string_view name) {
    std::string s = printed("%-7s", std::string(name).c_str());
    if (q.tied_to >= 0)
        return s + "one parameter with " + std::string(crystal::cell_quantity_names[std::size_t(q.tied_to)]) +
               ": its fit\n";
    if (q.fixed) return s + "fixed: the same in every row, rate 0\n";
    if (!q.fit) return s + "no fit: " + q.refusal + "\n";
    const fit::ModelFit& f = *q.fit;
    return s + printed("%-10s%-9s", fit::model_name(f).c_str(), f.weighted ? "1/ESD^2" : "equal") +
           (f.weighted ? statistic(f.reduced_chi2) : variance_statistic(f.reduced_chi2)) + statistic(f.aicc) + "\n";
}

// The names of the axes whose directions are not determined: "X1 and X2",
// "X1, X2 and X3".
std::string undetermined(const crystal::AlphaTensor& tensor) {
    std::vector<std::string> names;
    for (std::size_t i = 0; i < 3; ++i)
        if (!tensor.principal[i].determined) names.push_back(axis_name(i));
    std::string s;
    for (std::size_t i = 0; i < names.size(); ++i)
        s += (i == 0 ? "" : i + 1 == names.size() ? " and " : ", ") + names[i];
    return s;
}

std::string block(const AlphaReport& r, const crystal::AlphaAt& at) {
    std::string s = "\nAt " + heading_t(at.t) + " K" + (at.extrapolated ? " (an extrapolation)" : "") +
                    ": alpha in 10^-6 K^-1, angle rates in 10^-6 degree/K\n";
    s += printed("%-12s%12s%11s\n", "", "alpha", "sigma");
    for (std::size_t q = 0; q < 4; ++q)
        if (at.lengths[q]) s += value_row(std::string(crystal::cell_quantity_names[q]), *at.lengths[q]) + "\n";
    for (std::size_t i = 0; i < 3; ++i) {
        const crystal::QuantityFit& q = r.fits.quantities[crystal::q_alpha + i];
        if (q.fixed || !at.angle_rates[i]) continue;
        s += value_row("d" + std::string(crystal::cell_quantity_names[crystal::q_alpha + i]) + "/dT",
                       *at.angle_rates[i]) +
             "\n";
    }
    if (!at.tensor) return s;
    const crystal::AlphaTensor& t = *at.tensor;
    s += printed("%-12s%12s%11s", "principal", "alpha", "sigma") +
         "         u        v        w      to a    to b    to c\n";
    for (std::size_t i = 0; i < 3; ++i) {
        const crystal::PrincipalAxis& axis = t.principal[i];
        s += value_row(axis_name(i), axis.alpha);
        if (axis.determined)
            s += "   " + component(axis.uvw(0)) + component(axis.uvw(1)) + component(axis.uvw(2)) +
                 printed("   %7.2f %7.2f %7.2f", axis.angles(0), axis.angles(1), axis.angles(2));
        else
            s += "           -        -        -         -       -       -";
        s += "\n";
    }
    s += value_row("trace", t.trace) + "   (X1 + X2 + X3: d ln V/dT of the cell fits";
    s += at.lengths[crystal::q_volume] ? printed("; V %.4f from its own fit)\n", at.lengths[crystal::q_volume]->value)
                                       : ")\n";
    const std::string equal = undetermined(t);
    if (!equal.empty()) s += equal + " expand equally within 3 sigma: their directions are not determined.\n";
    return s;
}

// "A K^-1", "K", "A^3": the quantity's unit to the power x times K^kelvin.
std::string unit_text(std::size_t q, fit::ParameterUnit u) {
    std::string s;
    if (u.x != 0) s = quantity_unit(q);
    if (u.kelvin != 0) s += (s.empty() ? "K" : " K") + (u.kelvin == 1 ? std::string() : "^" + std::to_string(u.kelvin));
    return s;
}

std::string parameter_line(const AlphaReport& r, std::size_t q) {
    const crystal::QuantityFit& qf = r.fits.quantities[q];
    std::string s = printed("%-7s", std::string(crystal::cell_quantity_names[q]).c_str());
    if (qf.tied_to >= 0) return s + "as " + std::string(crystal::cell_quantity_names[std::size_t(qf.tied_to)]) + "\n";
    if (!qf.fit) return s + "no fit\n";
    const fit::ModelFit& f = *qf.fit;
    if (qf.fixed) return s + printed("%-10s%.10g %s\n", "fixed", f.p[0], quantity_unit(q).c_str());
    s += printed("%-10sT_r = %.2f K", fit::model_name(f).c_str(), f.t_ref);
    const std::vector<std::string> names = fit::parameter_names(f);
    const std::vector<fit::ParameterUnit> units = fit::parameter_units(f);
    const std::size_t np = f.p.size();
    for (std::size_t k = 0; k < np; ++k)
        s += ";  " + names[k] + " = " + formats::with_uncertainty(f.p[k], std::sqrt(f.covariance[k * np + k])) + " " +
             unit_text(q, units[k]);
    return s + "\n";
}

}  // namespace

std::string tsv_number(double x) { return std::isnan(x) ? "" : printed("%.10g", x == 0 ? 0.0 : x); }

std::string quantity_unit(std::size_t q) {
    return q < crystal::q_volume ? "A" : q == crystal::q_volume ? "A^3" : "deg";
}

std::string fits_text(const crystal::AlphaFits& f) {
    std::string s = "Fits   model     weights       chi2_nu        AICc\n";
    for (std::size_t q = 0; q < 7; ++q) s += fit_line(f.quantities[q], crystal::cell_quantity_names[q]);
    return s;
}

std::string misfit_text(const crystal::AlphaFits& fits, std::size_t q) {
    const crystal::QuantityFit& f = fits.quantities[q];
    if (!f.fit || f.tied_to >= 0 || f.fixed || !f.misfit || !f.misfit->misses) return "";
    const fit::Misfit& m = *f.misfit;
    std::string s = std::string(crystal::cell_quantity_names[q]) + ": " + fit::model_name(*f.fit) +
                    printed(
                        " misses the rows (chi2_nu %.4g; %zu runs of the residuals' signs where %.1f were "
                        "expected; the largest residuals at %g and %g K)",
                        f.fit->reduced_chi2, m.runs.runs, m.runs.expected, f.largest_t[0], f.largest_t[1]);
    if (m.break_found)
        return s + printed(
                       ": a break between %g and %g K fits far better (AICc lower by %.0f): a phase transition? "
                       "fit each side with --range",
                       f.break_t[0], f.break_t[1], m.split->aicc_drop);
    return s + ": try another --model (einstein or fei bend differently) or fit part of the series with --range";
}

std::string alpha_parameters_text(const AlphaReport& r) {
    std::string s = "quantity\tmodel\tparameter\tvalue\tsigma\tunit\n";
    for (std::size_t q = 0; q < 7; ++q) {
        const crystal::QuantityFit& qf = r.fits.quantities[q];
        if (!qf.fit) continue;
        const fit::ModelFit& f = *qf.fit;
        const std::string name(crystal::cell_quantity_names[q]);
        const std::string model = qf.fixed ? "fixed" : fit::model_name(f);
        const std::vector<std::string> names = fit::parameter_names(f);
        const std::vector<fit::ParameterUnit> units = fit::parameter_units(f);
        const std::size_t np = f.p.size();
        if (!qf.fixed) s += name + "\t" + model + "\tT_r\t" + tsv_number(f.t_ref) + "\t0\tK\n";
        for (std::size_t k = 0; k < np; ++k)
            s += name + "\t" + model + "\t" + names[k] + "\t" + tsv_number(f.p[k]) + "\t" +
                 tsv_number(std::sqrt(f.covariance[k * np + k])) + "\t" + unit_text(q, units[k]) + "\n";
        for (std::size_t k = 0; k < np; ++k)
            for (std::size_t l = k + 1; l < np; ++l)
                s += name + "\tcorr\t" + names[k] + "\t" + names[l] + "\t" + tsv_number(fit::correlation(f, k, l)) +
                     "\n";
    }
    return s;
}

std::string alpha_summary_text(const AlphaReport& r) {
    const crystal::AlphaFits& f = r.fits;
    std::string s = formats::displayable(r.file) + (r.title.empty() ? "" : ": " + formats::displayable(r.title)) + "\n";
    s += printed("%zu temperatures from %.2f K to %.2f K\n", f.rows, f.t_min, f.t_max);
    if (!r.symmetry.empty()) s += "Symmetry: " + r.symmetry + "\n";
    s += "Model: " + r.model +
         (f.model == crystal::AlphaModel::automatic ? " (per quantity, the model of lowest AICc)\n" : "\n");
    s += "\n" + fits_text(f);
    s += "\nParameters (tau = T - T_r; sigma in parentheses, in the last digits)\n";
    for (std::size_t q = 0; q < 7; ++q) s += parameter_line(r, q);
    for (const crystal::AlphaAt& at : r.results) s += block(r, at);
    return s;
}

std::string alpha_tsv_text(const AlphaReport& r) {
    std::string s = "T\tquantity\talpha\tsigma\tu\tv\tw\n";
    for (const crystal::AlphaAt& at : r.results) {
        const std::string t = tsv_number(at.t);
        for (std::size_t q = 0; q < 4; ++q)
            if (at.lengths[q])
                s += t + "\t" + std::string(crystal::cell_quantity_names[q]) + "\t" + tsv_number(at.lengths[q]->value) +
                     "\t" + tsv_number(at.lengths[q]->sigma) + "\t\t\t\n";
        if (!at.tensor) continue;
        for (std::size_t i = 0; i < 3; ++i) {
            const crystal::PrincipalAxis& axis = at.tensor->principal[i];
            s += t + "\t" + axis_name(i) + "\t" + tsv_number(axis.alpha.value) + "\t" + tsv_number(axis.alpha.sigma);
            s += axis.determined ? "\t" + tsv_component(axis.uvw(0)) + "\t" + tsv_component(axis.uvw(1)) + "\t" +
                                       tsv_component(axis.uvw(2)) + "\n"
                                 : "\t\t\t\n";
        }
        s += t + "\ttrace\t" + tsv_number(at.tensor->trace.value) + "\t" + tsv_number(at.tensor->trace.sigma) +
             "\t\t\t\n";
    }
    return s;
}

}  // namespace celltrend_analyse
