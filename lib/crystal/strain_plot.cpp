#include "crystal/strain_plot.hpp"

#include <cstdio>

#include "formats/series_table_writer.hpp"

namespace analysis {

namespace {

std::string count_field(std::size_t n) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%8zu", n);
    return buf;
}

std::string temperature_field(double t) {
    std::string field = fixed_field(t, 6, 2);
    if (field.front() == '*') field = fixed_field(t, 12, 2);
    return field;
}

}  // namespace

std::string strain_plot_text(std::string_view title, const std::vector<double>& t, const Expansion& expansion,
                             StrainMeasure measure) {
    std::string text = "# MAIN LEGEND TEXT: " + std::string(title) + "\n" + "# X LEGEND TEXT   : Temperature (K)\n" +
                       "# Y LEGEND TEXT   : Principal strain, " + strain_name(measure) + " (%)\n" + "#   TK" +
                       std::string(9, ' ') + "strain(%)\n" + "# NUMBER OF PATTERNS: 3\n";
    for (int i = 0; i < 3; ++i) {
        const std::string name = "X" + std::to_string(i + 1);
        text += "#" + std::string(50, '-') + "\n" + "# >>>>>>>> PATTERN #: " + std::to_string(i + 1) + "\n" +
                "#             TITLE : " + name + "\n" + "#  NUMBER OF POINTS : " + count_field(t.size()) + "\n" +
                "#            MARKER : " + std::to_string(i + 1) + "\n" +
                "#              SIZE : 2\n"
                "#   DATA: X Y\n";
        for (std::size_t k = 0; k < t.size(); ++k)
            text += temperature_field(t[k]) + fixed_field(100 * expansion.strains[k](i), 20, 5) + "\n";
    }
    return text + "# END OF FILE\n";
}

}  // namespace analysis
