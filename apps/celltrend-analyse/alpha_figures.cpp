#include "alpha_figures.hpp"

#include <cmath>
#include <string>

#include "crystal/follow_axes.hpp"

namespace celltrend_analyse {

namespace {

std::vector<double> curve_temperatures(const crystal::AlphaFits& fits) {
    std::vector<double> t;
    for (int k = 0; k < alpha_curve_samples; ++k)
        t.push_back(k + 1 == alpha_curve_samples
                        ? fits.t_max
                        : fits.t_min + (fits.t_max - fits.t_min) * k / (alpha_curve_samples - 1));
    return t;
}

}  // namespace

figures::TemperatureFigure alpha_curves(const AlphaReport& report, const std::vector<crystal::SeriesPoint>& points,
                                        const std::vector<double>& marked) {
    const crystal::AlphaFits& fits = report.fits;
    const std::vector<double> grid = curve_temperatures(fits);

    figures::TemperatureFigure figure;
    figure.title = report.title;
    figure.change_legend = "x/x(T_min)";
    figure.rate_legend = "α (10⁻⁶ K⁻¹)";
    figure.marked_t = marked;

    for (const crystal::CellQuantity q : {crystal::q_a, crystal::q_b, crystal::q_c, crystal::q_volume}) {
        const std::optional<fit::ModelFit>& fit = fits.quantities[std::size_t(q)].fit;
        // The fitted value at T_min, rather than the first row's, so that
        // that row's own error shows as the others' do.
        double reference = NAN;
        if (fit) reference = fit::value_at(*fit, fits.t_min).value;
        if (!(std::isfinite(reference) && reference != 0))
            for (const crystal::SeriesPoint& p : points)
                if (p.t == fits.t_min) {
                    reference = crystal::measured_quantity(p, q).value;
                    break;
                }
        figures::MeasuredSeries s;
        s.name = std::string(crystal::cell_quantity_names[std::size_t(q)]);
        for (const crystal::SeriesPoint& p : points) {
            const formats::Estimate m = crystal::measured_quantity(p, q);
            const bool has_esd = std::isfinite(m.sigma) && m.sigma > 0;
            s.points.push_back(has_esd ? formats::Point{p.t, {m.value / reference, m.sigma / std::fabs(reference)}}
                                       : formats::point_without_sigma(p.t, m.value / reference));
        }
        if (fit)
            for (double t : grid) {
                s.curve_t.push_back(t);
                s.curve_y.push_back(fit::value_at(*fit, t).value / reference);
            }
        figure.changes.push_back(std::move(s));
    }

    const std::vector<crystal::AlphaAt> on_grid = crystal::alpha_followed(fits, grid);
    std::array<figures::RateSeries, 4> rates;
    for (std::size_t i = 0; i < 3; ++i) rates[i].name = "X" + std::to_string(i + 1);
    rates[3].name = "V";
    for (const crystal::AlphaAt& at : on_grid) {
        const auto add = [&](figures::RateSeries& r, const formats::Estimate& e) {
            r.t.push_back(at.t);
            r.value.push_back(e.value);
            r.sigma.push_back(e.sigma);
        };
        if (at.tensor)
            for (std::size_t i = 0; i < 3; ++i) add(rates[i], at.tensor->principal[i].alpha);
        if (const auto& v = at.lengths[crystal::q_volume]) add(rates[3], *v);
    }
    // A refused fit has no curve and no entry in the legend.
    for (figures::RateSeries& r : rates)
        if (!r.t.empty()) figure.rates.push_back(std::move(r));
    return figure;
}

figures::ExpansionTensor alpha_tensor_figure(const crystal::AlphaTensor& tensor, double temperature_range) {
    figures::ExpansionTensor t;
    t.alpha = tensor.alpha;
    t.cell = tensor.cell;
    Eigen::Vector3d sigma;
    for (std::size_t i = 0; i < 3; ++i) {
        t.principal[Eigen::Index(i)] = tensor.principal[i].alpha.value;
        t.principal_directions[i] = tensor.principal[i].direction;
        sigma[Eigen::Index(i)] = tensor.principal[i].alpha.sigma;
    }
    t.zero_below = figures::zero_level(t.principal, sigma, temperature_range);
    return t;
}

}  // namespace celltrend_analyse
