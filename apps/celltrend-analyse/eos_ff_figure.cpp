#include "eos_ff_figure.hpp"

#include "crystal/ff_plot.hpp"

namespace celltrend_analyse {

figures::XyFigure ff_figure(const std::string& title, const std::vector<FfQuantity>& quantities) {
    figures::XyFigure figure;
    figure.title = title;
    bool edges = false;
    for (const FfQuantity& q : quantities) {
        const crystal::FfPlot plot = crystal::ff_plot(*q.fit, *q.data);
        switch (plot.strain) {
            case crystal::FfStrain::eulerian:
                figure.x_legend = "Eulerian strain f";
                break;
            case crystal::FfStrain::natural:
                figure.x_legend = "Natural strain f = ln(V0/V)/3";
                break;
            case crystal::FfStrain::vinet:
                figure.x_legend = "Vinet strain f = 1 − (V/V0)^(1/3)";
                break;
        }
        const bool logarithmic = plot.strain == crystal::FfStrain::vinet;
        figure.y_legend = logarithmic ? "ln(F/GPa)" : "F (GPa)";
        edges = edges || q.name != "V";
        figures::XySeries s;
        s.name = q.name;
        for (const crystal::FfPoint& p : plot.points) {
            s.x.push_back(p.f);
            s.sigma_x.push_back(p.sigma_f);
            s.y.push_back(p.F);
            s.sigma_y.push_back(p.sigma_F);
        }
        s.curve_x = plot.line_f;
        s.curve_y = plot.line_F;
        figure.series.push_back(std::move(s));
    }
    if (edges) figure.y_legend += "; edges as L³";
    return figure;
}

}  // namespace celltrend_analyse
