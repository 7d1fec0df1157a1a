#include "crystal/strain_plot.hpp"

#include <cstdio>

#include "formats/layouts.hpp"
#include "formats/series_table_writer.hpp"

namespace crystal {

namespace {

std::string count_field(std::size_t n) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%8zu", n);
    return buf;
}

std::string temperature_field(double t) {
    constexpr int width = static_cast<int>(layout::tk_width);
    std::string field = formats::fixed_field(t, width, layout::tk_decimals);
    if (field.front() == '*') field = formats::fixed_field(t, 2 * width, layout::tk_decimals);
    return field;
}

std::string line(std::string_view head, std::string_view value) {
    return std::string(head) + std::string(value) + "\n";
}

}  // namespace

std::string strain_plot_text(std::string_view title, const std::vector<double>& t, const Expansion& expansion,
                             StrainMeasure measure) {
    std::string text = line(layout::main_legend_line, title) + line(layout::x_legend_line, layout::temperature_legend) +
                       line(layout::y_legend_line, "Principal strain, " + strain_name(measure) + " (%)") +
                       line(layout::plot_titles_start, std::string(9, ' ') + "strain(%)") +
                       line(layout::pattern_count_line, "3");
    for (int i = 0; i < 3; ++i) {
        text += "#" + std::string(layout::pattern_rule_length, '-') + "\n";
        text += line(layout::pattern_line, std::to_string(i + 1));
        text += line(layout::pattern_title_line, "X" + std::to_string(i + 1));
        text += line(layout::point_count_line, count_field(t.size()));
        text += line(layout::marker_line, std::to_string(i + 1));
        text += line(layout::size_line, "2");
        text += line(layout::data_line_xy, "");
        for (std::size_t k = 0; k < t.size(); ++k)
            text += temperature_field(t[k]) +
                    formats::fixed_field(100 * expansion.strains[k](i), static_cast<int>(layout::plot_field_width),
                                         layout::plot_decimals) +
                    "\n";
    }
    return text + std::string(layout::end_line) + "\n";
}

}  // namespace crystal
