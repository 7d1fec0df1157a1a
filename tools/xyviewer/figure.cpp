#include "figure.hpp"

#include <cmath>

#include "display_text.hpp"
#include "summary.hpp"

namespace xyviewer {

namespace {

std::string superscript_digits(std::string_view digits) {
    static const char* const glyphs[] = {"⁰", "¹", "²", "³", "⁴", "⁵", "⁶", "⁷", "⁸", "⁹"};
    std::string out;
    for (char c : digits) {
        if (c == '-')
            out += "⁻";
        else if (c >= '0' && c <= '9')
            out += glyphs[c - '0'];
    }
    return out;
}

// "a(A)=f(T)" -> "a"; "X1" -> "X1": the name before units and "=f(...)".
std::string series_name(const std::string& title) {
    const auto end = title.find_first_of("(=");
    std::string name = title.substr(0, end);
    while (!name.empty() && name.back() == ' ') name.pop_back();
    return name;
}

Series series_of(const Pattern& pattern, const PlotFile& file) {
    Series s;
    s.name = with_unit_symbols(pattern.title);
    s.points = pattern.points;
    s.marker = pattern.marker;
    s.size = pattern.size;
    s.fit = analysis::fit_line(pattern.points);
    s.kind = kind_of(file.y_legend);
    s.y_unit = unit_symbol(unit_of(file.y_legend));
    return s;
}

}  // namespace

std::string with_power_of_ten(const std::string& number) {
    // The exponent of a number, not the e of a word after it.
    const auto e = number.find_first_of('e');
    if (e == std::string::npos || e + 1 >= number.size() ||
        !(number[e + 1] == '-' || (number[e + 1] >= '0' && number[e + 1] <= '9')))
        return number;
    return number.substr(0, e) + "×10" + superscript_digits(number.substr(e + 1));
}

std::vector<Panel> panels_for(const std::vector<PlotFile>& files, bool normalise,
                              std::vector<std::string>* left_out) {
    std::vector<Panel> panels;
    if (normalise && !files.empty()) {
        Panel panel;
        panel.title = files.front().main_legend;
        panel.x_legend = with_unit_symbols(files.front().x_legend);
        panel.x_unit = unit_symbol(unit_of(files.front().x_legend));
        panel.y_legend = "relative change x/x₀";
        panel.normalised = true;
        for (const PlotFile& file : files)
            for (const Pattern& pattern : file.patterns) {
                Series s = series_of(pattern, file);
                s.name = series_name(pattern.title);
                s.marker = int(panel.series.size()) + 1;  // told apart in grey print too
                if (s.name.empty()) s.name = displayable(file.name);
                // The first value in the file, the series' first temperature
                // as celltrend writes it.
                const double first = s.points.front().y;
                if (first == 0) {  // nothing to divide by; the summary still shows it
                    if (left_out != nullptr)
                        left_out->push_back(file.name + ": " + s.name +
                                            " starts at 0 and is left out of the normalised figure");
                    continue;
                }
                for (Point& p : s.points) {
                    p.y /= first;
                    p.sigy /= std::fabs(first);
                }
                panel.series.push_back(std::move(s));
            }
        if (!panel.series.empty()) panels.push_back(std::move(panel));
        return panels;
    }
    for (const PlotFile& file : files) {
        Panel panel;
        panel.title = file.main_legend;
        panel.x_legend = with_unit_symbols(file.x_legend);
        panel.y_legend = with_unit_symbols(file.y_legend);
        panel.x_unit = unit_symbol(unit_of(file.x_legend));
        for (const Pattern& pattern : file.patterns) panel.series.push_back(series_of(pattern, file));
        panels.push_back(std::move(panel));
    }
    return panels;
}

std::vector<std::string> fit_legend(const Series& series, const Panel& panel) {
    std::vector<std::string> lines;
    if (!series.fit.ok) return lines;
    const std::string per_x = panel.x_unit == "K" ? "K⁻¹" : panel.x_unit.empty() ? "per unit of x" : "/" + panel.x_unit;
    const Expansion e = relative_expansion(series.fit, series.kind);
    std::string coefficient;
    if (e.given)
        coefficient = std::string(series.kind == QuantityKind::volume ? "β" : "α") + " = " +
                      with_power_of_ten(with_uncertainty(e.coefficient, e.su)) + "×10⁻⁶ " + per_x;
    if (panel.normalised) {
        if (!coefficient.empty()) lines.push_back(series.name + ": " + coefficient);
        return lines;
    }
    lines.push_back("fit: slope " + with_power_of_ten(with_uncertainty(series.fit.slope, series.fit.su_slope)) +
                    " " + slope_unit(series.y_unit, panel.x_unit));
    if (!coefficient.empty()) lines.push_back(coefficient);
    return lines;
}

}  // namespace xyviewer
