#include "crystal/alpha.hpp"

#include <algorithm>
#include <cmath>
#include <limits>

#include "crystal/cell_transform.hpp"
#include "crystal/nonlinear_fit.hpp"
#include "fit/polynomial_fit.hpp"
#include "formats/cell_ties.hpp"

namespace crystal {

namespace {

// The quantity's place among a cell's six parameters (the volume is none).
std::size_t cell_index(int q) { return q < q_volume ? std::size_t(q) : std::size_t(q - 1); }

// Inverse variances when every row has a positive ESD for the quantity;
// otherwise none (equal weights).
std::vector<double> weights_of(const std::vector<double>& esd) {
    std::vector<double> w;
    for (double e : esd) {
        if (!(e > 0) || !std::isfinite(e)) return {};
        w.push_back(1 / (e * e));
    }
    return w;
}

// ESDs whose 1/ESD^2 leaves the normal range of a double (below about
// 1e-154 or above 1e154): such weights would give a covariance of 0 or Inf.
bool weights_out_of_range(const std::vector<double>& w) {
    for (double x : w)
        if (!std::isnormal(x) || !std::isnormal(1 / x)) return true;
    return false;
}

// Among poly1..3, fei and einstein, the fit of lowest AICc, each model only
// where it converges with at least p + 2 rows; a tie goes to fewer
// parameters, then to the polynomial.
fit::FitOutcome fit_best_model(const std::vector<double>& t, const std::vector<double>& x,
                               const std::vector<double>& w) {
    fit::FitOutcome best = fit::fit_best_polynomial(t, x, w);
    if (!best.fit) return best;
    for (fit::FitOutcome candidate : {fit_einstein(t, x, w), fit_fei(t, x, w)}) {
        if (!candidate.fit || t.size() < candidate.fit->p.size() + 2) continue;
        const fit::ModelFit& c = *candidate.fit;
        const fit::ModelFit& b = *best.fit;
        if (c.aicc < b.aicc || (c.aicc == b.aicc && c.p.size() < b.p.size())) best = candidate;
    }
    return best;
}

fit::FitOutcome fit_length(const std::vector<double>& t, const std::vector<double>& x, const std::vector<double>& w,
                           AlphaModel model) {
    switch (model) {
        case AlphaModel::automatic:
            return fit_best_model(t, x, w);
        case AlphaModel::poly1:
            return fit::fit_polynomial(t, x, w, 1);
        case AlphaModel::poly2:
            return fit::fit_polynomial(t, x, w, 2);
        case AlphaModel::poly3:
            return fit::fit_polynomial(t, x, w, 3);
        case AlphaModel::fei:
            return fit_fei(t, x, w);
        case AlphaModel::einstein:
            return fit_einstein(t, x, w);
    }
    return {};
}

fit::FitOutcome fit_angle(const std::vector<double>& t, const std::vector<double>& x, const std::vector<double>& w,
                          AlphaModel model) {
    if (model == AlphaModel::fei || model == AlphaModel::einstein) {
        const int degree = std::clamp(int(t.size()) - 2, 1, 2);
        return fit::fit_polynomial(t, x, w, degree);
    }
    return fit_length(t, x, w, model);
}

// The same model as `f` (kind and degree) fitted to other rows; the
// non-linear ones polished from f's parameters.
fit::FitOutcome refit(const fit::ModelFit& f, const std::vector<double>& t, const std::vector<double>& x,
                      const std::vector<double>& w) {
    switch (f.kind) {
        case fit::ModelKind::polynomial:
            return fit::fit_polynomial(t, x, w, int(f.p.size()) - 1);
        case fit::ModelKind::fei:
        case fit::ModelKind::einstein:
            return refit_from(f, t, x, w);
    }
    return {};
}

// The residuals of the fit in order of T, judged; the refits of a break
// search take the same model.
void judge(QuantityFit& out, const std::vector<double>& t, const std::vector<double>& x, const std::vector<double>& w) {
    const fit::ModelFit& f = *out.fit;
    const std::size_t n = t.size();
    std::vector<std::size_t> order(n);
    for (std::size_t k = 0; k < n; ++k) order[k] = k;
    std::stable_sort(order.begin(), order.end(), [&](std::size_t i, std::size_t j) { return t[i] < t[j]; });
    std::vector<double> ts(n), xs(n), ws, r(n);
    for (std::size_t i = 0; i < n; ++i) {
        const std::size_t k = order[i];
        ts[i] = t[k];
        xs[i] = x[k];
        if (!w.empty()) ws.push_back(w[k]);
        const double e = x[k] - fit::model_value(f.kind, f.t_ref, f.p, t[k]);
        r[i] = w.empty() ? e : e * std::sqrt(w[k]);
    }
    const auto chi2_of = [&](std::size_t begin, std::size_t end) {
        const auto part = [&](const std::vector<double>& v) {
            return v.empty() ? v : std::vector<double>(v.begin() + long(begin), v.begin() + long(end));
        };
        const fit::FitOutcome o = refit(f, part(ts), part(xs), part(ws));
        return o.fit ? o.fit->chi2 : std::numeric_limits<double>::quiet_NaN();
    };
    // A Levenberg-Marquardt refit costs a hundred linear ones: fewer splits.
    const std::size_t splits = f.kind == fit::ModelKind::polynomial ? 200 : 40;
    out.misfit = fit::judge_fit(r, f.weighted, f.reduced_chi2, f.p.size(), chi2_of, splits);
    out.largest_t = {ts[out.misfit->largest[0]], ts[out.misfit->largest[1]]};
    if (out.misfit->split) out.break_t = {ts[out.misfit->split->after], ts[out.misfit->split->after + 1]};
}

}  // namespace

formats::Estimate measured_quantity(const SeriesPoint& point, CellQuantity q, const formats::CellTies& ties) {
    if (q == q_volume) {
        if (point.volume_su > 0) return {formats::volume(point.cell), point.volume_su};
        return {formats::volume(point.cell), formats::volume_esd(point.cell, point.esd, ties)};
    }
    return {point.cell.values()[cell_index(q)], point.esd.values()[cell_index(q)]};
}

AlphaFits fit_cell_series(const std::vector<SeriesPoint>& points, AlphaModel model, const formats::CellTies& ties) {
    const std::size_t n = points.size();
    if (n < 2) throw ExpansionError("fewer than two usable rows: no expansion to fit");
    std::vector<double> t;
    for (const SeriesPoint& p : points) t.push_back(p.t);
    const auto [t_min, t_max] = std::minmax_element(t.begin(), t.end());
    if (*t_min == *t_max) throw ExpansionError("every row is at the same temperature: no expansion to fit");

    AlphaFits fits;
    fits.model = model;
    fits.rows = n;
    fits.ties = ties;
    fits.t_min = *t_min;
    fits.t_max = *t_max;
    std::vector<double> sorted = t;
    std::stable_sort(sorted.begin(), sorted.end());
    fits.middle_t = sorted[(n + 1) / 2 - 1];

    for (int q = 0; q < 7; ++q) {
        if (q != q_volume) {
            const int leader = ties.group[cell_index(q)];
            if (leader != int(cell_index(q))) {
                const int lead = leader < 3 ? leader : leader + 1;
                fits.quantities[std::size_t(q)] = fits.quantities[std::size_t(lead)];
                fits.quantities[std::size_t(q)].tied_to = lead;
                continue;
            }
        }
        std::vector<double> x(n), esd(n);
        for (std::size_t k = 0; k < n; ++k) {
            const formats::Estimate m = measured_quantity(points[k], CellQuantity(q), ties);
            x[k] = m.value;
            esd[k] = m.sigma;
        }
        QuantityFit& out = fits.quantities[std::size_t(q)];
        const std::vector<double> w = weights_of(esd);
        if (weights_out_of_range(w)) {
            out.refusal = "its ESDs leave the range of the weights 1/ESD^2 (a cell scaled far from Angstrom?)";
            continue;
        }
        if (q >= q_alpha) {
            const auto [low, high] = std::minmax_element(x.begin(), x.end());
            if (*high - *low <= 1e-6 || ties.fixed[cell_index(q)]) {
                fit::ModelFit constant;
                constant.t_ref = 0;
                constant.p = {x.front()};
                constant.covariance = {0.0};
                constant.n = n;
                constant.weighted = !w.empty();
                out.fit = constant;
                out.fixed = true;
                continue;
            }
            fit::FitOutcome f = fit_angle(t, x, w, model);
            out.fit = f.fit;
            out.refusal = f.refusal;
        } else {
            fit::FitOutcome f = fit_length(t, x, w, model);
            out.fit = f.fit;
            out.refusal = f.refusal;
        }
        if (out.fit) judge(out, t, x, w);
    }
    return fits;
}

}  // namespace crystal
