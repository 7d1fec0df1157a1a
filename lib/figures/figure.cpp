#include "figures/figure.hpp"

#include <charconv>
#include <cmath>

#include "fit/relative_expansion.hpp"
#include "formats/display_text.hpp"
#include "formats/number_text.hpp"
#include "formats/printed.hpp"
#include "formats/uncertainty.hpp"

namespace figures {

using namespace fit;
using namespace formats;

namespace {

// "a(A)=f(T)" -> "a"; "X1" -> "X1": the name before units and "=f(...)".
std::string series_name(const std::string& title) {
    const auto end = title.find_first_of("(=");
    std::string name = title.substr(0, end);
    while (!name.empty() && name.back() == ' ') name.pop_back();
    return name;
}

}  // namespace

std::string legend_name(const std::string& title) {
    std::string name = title;
    const auto f = name.rfind("=f(");
    if (f != std::string::npos && name.back() == ')') name.resize(f);
    name = formats::with_unit_symbols(name);
    const auto open = name.rfind('(');
    if (open != std::string::npos && open > 0 && name[open - 1] != ' ' && name.back() == ')') name.insert(open, " ");
    return name;
}

namespace {

Curve curve_of(const formats::Pattern& pattern, const formats::PlotFile& file) {
    Curve s;
    s.name = legend_name(pattern.title);
    s.points = pattern.points;
    s.marker = pattern.marker;
    s.size = pattern.size;
    s.fit = fit::fit_line(pattern.points);
    s.kind = formats::kind_of(file.y_legend);
    s.y_unit = formats::unit_symbol(formats::unit_of(file.y_legend));
    return s;
}

}  // namespace

std::string with_power_of_ten(const std::string& text, int extra_exponent) {
    // The number ends at a blank; a note such as "(uncertainty
    // undetermined)" may follow it, and is kept after the power of ten.
    const auto blank = text.find(' ');
    std::string number = text.substr(0, blank);
    const std::string note = blank == std::string::npos ? "" : text.substr(blank);
    int exponent = extra_exponent;
    const auto e = number.find('e');
    if (e != std::string::npos) {
        const char* first = number.data() + e + 1;
        const char* last = number.data() + number.size();
        if (first != last && *first == '+') ++first;
        int n = 0;
        const auto [end, ec] = std::from_chars(first, last, n);
        if (ec == std::errc() && end == last) {
            exponent += n;
            number.resize(e);
        }
    }
    if (exponent == 0) return number + note;
    return number + "×10" + formats::superscript(exponent) + note;
}

std::vector<Panel> panels_for(const std::vector<formats::PlotFile>& files, bool normalise,
                              std::vector<std::string>* left_out) {
    std::vector<Panel> panels;
    if (normalise && !files.empty()) {
        Panel panel;
        panel.title = files.front().main_legend;
        panel.x_legend = formats::with_unit_symbols(files.front().x_legend);
        panel.x_unit = formats::unit_symbol(formats::unit_of(files.front().x_legend));
        panel.y_legend = "relative change x/x₀";
        panel.normalised = true;
        for (const formats::PlotFile& file : files)
            for (const formats::Pattern& pattern : file.patterns) {
                Curve s = curve_of(pattern, file);
                s.name = series_name(pattern.title);
                s.marker = int(panel.curves.size()) + 1;  // told apart in grey print too
                if (s.name.empty()) s.name = formats::displayable(file.name);
                // The first value in the file, the series' first temperature
                // as celltrend writes it.
                const double first = s.points.front().y.value;
                if (first == 0) {  // nothing to divide by; the summary still shows it
                    if (left_out != nullptr)
                        left_out->push_back(file.name + ": " + s.name +
                                            " starts at 0 and is left out of the normalised figure");
                    continue;
                }
                const formats::Point* overflow = nullptr;
                for (formats::Point& p : s.points) {
                    p.y.value /= first;
                    p.y.sigma /= std::fabs(first);
                    if (overflow == nullptr &&
                        (!std::isfinite(p.y.value) || (p.y.has_sigma() && !std::isfinite(p.y.sigma))))
                        overflow = &p;
                }
                // A first value near the bottom of the doubles (subnormal)
                // sends the quotients past the top.
                if (overflow != nullptr) {
                    if (left_out != nullptr)
                        left_out->push_back(
                            file.name + ": " + s.name + " divided by its first value " + formats::printed("%g", first) +
                            " leaves the range of a double at x = " + formats::printed("%g", overflow->x) +
                            "; left out of the normalised figure");
                    continue;
                }
                panel.curves.push_back(std::move(s));
            }
        if (!panel.curves.empty()) panels.push_back(std::move(panel));
        return panels;
    }
    for (const formats::PlotFile& file : files) {
        Panel panel;
        panel.title = file.main_legend;
        panel.x_legend = formats::with_unit_symbols(file.x_legend);
        panel.y_legend = formats::with_unit_symbols(file.y_legend);
        panel.x_unit = formats::unit_symbol(formats::unit_of(file.x_legend));
        for (const formats::Pattern& pattern : file.patterns) panel.curves.push_back(curve_of(pattern, file));
        panels.push_back(std::move(panel));
    }
    return panels;
}

std::string out_of_range(const Panel& panel) {
    for (const Curve& s : panel.curves) {
        const formats::Point *low = nullptr, *high = nullptr;
        for (const formats::Point& p : s.points) {
            if (low == nullptr || p.y.value < low->y.value) low = &p;
            if (high == nullptr || p.y.value > high->y.value) high = &p;
        }
        if (low != nullptr && !std::isfinite(high->y.value - low->y.value))
            return s.name + ": the values span more than the range of a double (" +
                   formats::printed("%g", low->y.value) + " at x = " + formats::printed("%g", low->x) + ", " +
                   formats::printed("%g", high->y.value) + " at x = " + formats::printed("%g", high->x) + ")";
    }
    return {};
}

std::vector<std::string> fit_legend(const Curve& series, const Panel& panel) {
    std::vector<std::string> lines;
    if (!series.fit.ok) return lines;
    const std::string per_x = panel.x_unit == "K" ? "K⁻¹" : panel.x_unit.empty() ? "per unit of x" : "/" + panel.x_unit;
    const fit::RelativeExpansion e = fit::relative_expansion(series.fit, series.kind);
    const std::string name = series.kind == formats::QuantityKind::volume ? volume_coefficient : "α";
    std::string coefficient;
    if (e.given)
        coefficient = name + " = " + with_power_of_ten(formats::with_uncertainty(e.coefficient), -6) + " " + per_x;
    if (panel.normalised) {
        if (!coefficient.empty()) lines.push_back(series.name + ": " + coefficient);
        return lines;
    }
    if (series.y_unit == "%" && panel.x_unit == "K")  // a strain: 1 %/K is 10⁴ × 10⁻⁶ K⁻¹
        lines.push_back(
            "fit: slope " +
            with_power_of_ten(formats::with_uncertainty(1e4 * series.fit.slope, 1e4 * series.fit.su_slope), -6) +
            " K⁻¹");
    else
        lines.push_back("fit: slope " +
                        with_power_of_ten(formats::with_uncertainty(series.fit.slope, series.fit.su_slope)) + " " +
                        formats::slope_unit(series.y_unit, panel.x_unit));
    // What the coefficient is relative to (slope / mean) is the summary's
    // to say: at a journal column's width every line of the legend costs the
    // plot its room.
    if (!coefficient.empty()) lines.push_back(coefficient);
    return lines;
}

}  // namespace figures
