#include "cli/figure_options.hpp"

#include <charconv>
#include <cmath>
#include <string_view>

namespace cli {

namespace {

bool parse_number(std::string_view s, double& value) {
    const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), value);
    return ec == std::errc() && end == s.data() + s.size() && std::isfinite(value) && value > 0;
}

}  // namespace

bool parse_size(const std::string& text, double& width_mm, double& height_mm) {
    std::string_view s = text;
    double factor = 0;
    if (s.ends_with("cm"))
        factor = 10;
    else if (s.ends_with("mm"))
        factor = 1;
    else if (s.ends_with("in"))
        factor = 25.4;
    else
        return false;
    s.remove_suffix(2);
    const auto x = s.find('x');
    if (x == std::string_view::npos) return false;
    double w = 0, h = 0;
    if (!parse_number(s.substr(0, x), w) || !parse_number(s.substr(x + 1), h)) return false;
    width_mm = w * factor;
    height_mm = h * factor;
    // From a stamp to a poster: beyond these the text cannot be placed.
    return width_mm >= 20 && height_mm >= 15 && width_mm <= 2000 && height_mm <= 2000;
}

FigureOptions figure_options(const CommandLine& cl) {
    FigureOptions o;
    if (const auto title = cl.value("title")) o.title = *title;
    if (cl.has("no-title")) {
        if (o.title) throw UsageError("--title and --no-title: give one of them");
        o.title = "";
    }
    if (const auto size = cl.value("size")) {
        double w = 0, h = 0;
        if (!parse_size(*size, w, h))
            throw UsageError("--size " + *size +
                             ": give WxH with cm, mm or in, e.g. 8.5x6cm, from 2x1.5cm to 200x200cm");
        o.width_mm = w;
        o.height_mm = h;
    }
    if (const auto dpi_text = cl.value("dpi")) {
        const std::string& v = *dpi_text;
        int dpi = 0;
        const auto [end, ec] = std::from_chars(v.data(), v.data() + v.size(), dpi);
        if (ec != std::errc() || end != v.data() + v.size() || dpi < 10 || dpi > 2400)
            throw UsageError("--dpi " + v + ": give a whole number from 10 to 2400");
        o.dpi = dpi;
    }
    return o;
}

}  // namespace cli
