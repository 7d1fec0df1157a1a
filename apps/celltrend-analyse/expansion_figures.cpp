#include "expansion_figures.hpp"

#include <algorithm>
#include <cmath>

#include "fit/hc0_fit.hpp"

namespace celltrend_analyse {

figures::ExpansionTensor expansion_tensor(const crystal::Expansion& expansion, double temperature_range) {
    Eigen::Vector3d values, sigma;
    std::array<Eigen::Vector3d, 3> directions;
    for (std::size_t i = 0; i < 3; ++i) {
        values[Eigen::Index(i)] = expansion.principal[i].alpha.value;
        sigma[Eigen::Index(i)] = expansion.principal[i].alpha.sigma;
        directions[i] = expansion.principal[i].direction;
    }
    figures::ExpansionTensor t = figures::tensor_from_principal(values, directions, expansion.middle_cell);
    t.zero_below = figures::zero_level(values, sigma, temperature_range);
    return t;
}

figures::TemperatureFigure expansion_lines(const ExpansionReport& report,
                                           const std::vector<crystal::SeriesPoint>& points) {
    const crystal::Expansion& e = report.expansion;
    std::vector<double> weights;
    if (e.weighted)
        for (const crystal::SeriesPoint& p : points) weights.push_back(1 / p.sigma_t);
    const fit::LineDesign design = fit::line_design(report.t, weights);
    // Not a structured binding: clang 14, which builds the fuzz targets,
    // cannot capture one in the lambda below.
    const auto t_range = std::minmax_element(report.t.begin(), report.t.end());
    const auto t_low = t_range.first, t_high = t_range.second;

    figures::TemperatureFigure figure;
    figure.title = report.title;
    figure.change_legend = "strain, V/V₀ − 1 (%)";
    figure.rate_legend = "α (10⁻⁶ K⁻¹)";
    const auto add = [&](const std::string& name, const std::vector<double>& percent, const crystal::Coefficient& c) {
        figures::MeasuredSeries s;
        s.name = name;
        for (std::size_t k = 0; k < percent.size(); ++k)
            s.points.push_back(formats::point_without_sigma(report.t[k], percent[k]));
        if (design.ok) {
            const fit::Hc0Line line = fit::weighted_line(design, percent);
            for (double t : {*t_low, *t_high}) {
                s.curve_t.push_back(t);
                s.curve_y.push_back(line.intercept + line.slope * t);
            }
        }
        figure.changes.push_back(std::move(s));
        figure.rates.push_back({name, {*t_low, *t_high}, {c.value, c.value}, {c.sigma, c.sigma}});
    };
    for (std::size_t i = 0; i < 3; ++i) {
        std::vector<double> percent;
        for (const Eigen::Vector3d& strain : e.strains) percent.push_back(100 * strain(Eigen::Index(i)));
        add("X" + std::to_string(i + 1), percent, e.principal[i].alpha);
    }
    std::vector<double> volume;
    for (const crystal::SeriesPoint& p : points)
        volume.push_back(100 * (formats::volume(p.cell) / e.reference_volume - 1));
    add("V", volume, e.volume);
    return figure;
}

}  // namespace celltrend_analyse
