#include "crystal/expansion_misfit.hpp"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numeric>

#include "fit/hc0_fit.hpp"
#include "formats/cell.hpp"

namespace crystal {

namespace {

// sum w e^2 of the weighted line through rows [begin, end) of t, y, w.
double line_chi2(const std::vector<double>& t, const std::vector<double>& y, const std::vector<double>& w,
                 std::size_t begin, std::size_t end) {
    const auto part = [&](const std::vector<double>& v) {
        return v.empty() ? v : std::vector<double>(v.begin() + long(begin), v.begin() + long(end));
    };
    const std::vector<double> ts = part(t), ys = part(y), ws = part(w);
    const fit::LineDesign design = fit::line_design(ts, ws);
    if (!design.ok) return std::numeric_limits<double>::quiet_NaN();
    const fit::Hc0Line line = fit::weighted_line(design, ys);
    double chi2 = 0;
    for (std::size_t k = 0; k < ts.size(); ++k) {
        const double e = ys[k] - line.intercept - line.slope * ts[k];
        chi2 += (ws.empty() ? 1 : ws[k]) * e * e;
    }
    return chi2;
}

}  // namespace

std::array<LineMisfit, 4> expansion_misfits(const std::vector<SeriesPoint>& points, const Expansion& expansion) {
    const std::size_t n = points.size();
    std::vector<std::size_t> order(n);
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(),
                     [&](std::size_t i, std::size_t j) { return points[i].t < points[j].t; });
    std::vector<double> t(n), w;
    for (std::size_t i = 0; i < n; ++i) {
        t[i] = points[order[i]].t;
        if (expansion.weighted) w.push_back(1 / points[order[i]].sigma_t);
    }
    std::array<LineMisfit, 4> out;
    std::vector<double> y(n);
    for (int q = 0; q < 4; ++q) {
        for (std::size_t i = 0; i < n; ++i)
            y[i] = q < 3 ? expansion.strains[order[i]](q) : formats::volume(points[order[i]].cell);
        const fit::LineDesign design = fit::line_design(t, w);
        if (!design.ok) continue;
        const fit::Hc0Line line = fit::weighted_line(design, y);
        std::vector<double> r(n);
        for (std::size_t i = 0; i < n; ++i)
            r[i] = (y[i] - line.intercept - line.slope * t[i]) * (w.empty() ? 1 : std::sqrt(w[i]));
        const auto chi2_of = [&](std::size_t b, std::size_t e) { return line_chi2(t, y, w, b, e); };
        LineMisfit& m = out[std::size_t(q)];
        m.verdict = fit::judge_fit(r, false, std::numeric_limits<double>::quiet_NaN(), 2, chi2_of);
        m.largest_t = {t[m.verdict.largest[0]], t[m.verdict.largest[1]]};
        if (m.verdict.split) m.break_t = {t[m.verdict.split->after], t[m.verdict.split->after + 1]};
    }
    return out;
}

}  // namespace crystal
