#pragma once
// The two text layouts that bind the three programs, in one place: celltrend
// writes them, celltrend-analyse and xyviewer read them, and the analysis
// writes them again (transformed tables, strain plots).  Header only, with
// the standard library alone, so that celltrend can use it without linking
// anything of the analysis.
//
// Tables (.xy): five '!' header lines (the title, a description, "!", the
// column titles, a rule), then one row per temperature in fixed columns:
// TK (F6.2), then fields of 12 characters.
//
// Plot files (.pgf): '#' header lines "# KEY : value" (legends, the column
// titles, the number of patterns), then per pattern a rule, its own header
// block and rows TK (F6.2), value and, where the pattern has one, ESD
// (F20.5 each), and after the last pattern the end line.

#include <array>
#include <cstddef>
#include <string_view>

namespace layout {

// Both layouts start a row with the temperature in F6.2.
inline constexpr std::size_t tk_width = 6;
inline constexpr int tk_decimals = 2;

// ---- Tables -------------------------------------------------------------

inline constexpr std::string_view plain_table_name = "TK_parameters_HTML.xy";
inline constexpr std::string_view transformed_table_name = "TK_parameters_transf_HTML.xy";

inline constexpr std::size_t table_field_width = 12;
inline constexpr int cell_decimals = 5;       // lengths, angles, volume and their ESDs
inline constexpr int mosaicity_decimals = 3;  // mosaicity and its ESD

// TK, the value and ESD of a, b, c, alpha, beta, gamma, volume, mosaicity.
inline constexpr std::size_t plain_field_count = 17;
// TK, a, b, c, alpha, beta, gamma, volume, mosaicity and its ESD.
inline constexpr std::size_t transformed_field_count = 10;
// The row formats of celltrend's record layer, for the same columns.
inline constexpr std::string_view plain_row_format = "(F6.2,14F12.5,2F12.3)";
inline constexpr std::string_view transformed_row_format = "(F6.2,7F12.5,2F12.3)";

// Where field i (0 = TK) of a table row starts, and how wide it is.
constexpr std::size_t table_field_start(std::size_t i) { return i == 0 ? 0 : tk_width + table_field_width * (i - 1); }
constexpr std::size_t table_field_size(std::size_t i) { return i == 0 ? tk_width : table_field_width; }
// The length of a whole row of `fields` fields.
constexpr std::size_t table_row_length(std::size_t fields) { return table_field_start(fields); }

inline constexpr std::string_view table_comment = "!";
inline constexpr std::string_view table_description = "Cell parameters and ESD extracted from nreport_TK.HTML";
// The column titles one by one, and as the line that holds them, each
// right-aligned in its field, with a trailing blank.
inline constexpr std::array<std::string_view, plain_field_count> plain_column_titles{
    "TK",        "a(A)",     "ESD(A)",     "b(A)",     "ESD(A)",     "c(A)",    "ESD(A)",     "alpha(deg)", "ESD(deg)",
    "beta(deg)", "ESD(deg)", "gamma(deg)", "ESD(deg)", "volume(A3)", "ESD(A3)", "mosa.(deg)", "ESD(deg)"};
inline constexpr std::array<std::string_view, transformed_field_count> transformed_column_titles{
    "TK", "a(A)", "b(A)", "c(A)", "alpha(deg)", "beta(deg)", "gamma(deg)", "volume(A3)", "mosa.(deg)", "ESD(deg)"};
inline constexpr std::string_view plain_titles =
    "!   TK        a(A)      ESD(A)        b(A)      ESD(A)        c(A)      ESD(A)"
    "  alpha(deg)    ESD(deg)   beta(deg)    ESD(deg)  gamma(deg)    ESD(deg)"
    "  volume(A3)     ESD(A3)  mosa.(deg)    ESD(deg) ";
inline constexpr std::string_view transformed_titles =
    "!   TK        a(A)        b(A)        c(A)"
    "  alpha(deg)   beta(deg)  gamma(deg)"
    "  volume(A3)  mosa.(deg)    ESD(deg) ";
// The rule under the titles: '!' and this many '-'.
inline constexpr std::size_t table_rule_length = 200;

// ---- Plot files -----------------------------------------------------------

inline constexpr std::size_t plot_field_width = 20;
inline constexpr int plot_decimals = 5;
inline constexpr std::string_view plot_row_format = "(F6.2,2F20.5)";
// Where field i (0 = TK, 1 = value, 2 = ESD) of a plot-file row starts.
constexpr std::size_t plot_field_start(std::size_t i) { return i == 0 ? 0 : tk_width + plot_field_width * (i - 1); }
constexpr std::size_t plot_field_size(std::size_t i) { return i == 0 ? tk_width : plot_field_width; }

// Header lines, each up to the start of its value.
inline constexpr std::string_view main_legend_line = "# MAIN LEGEND TEXT: ";
inline constexpr std::string_view x_legend_line = "# X LEGEND TEXT   : ";
inline constexpr std::string_view y_legend_line = "# Y LEGEND TEXT   : ";
inline constexpr std::string_view pattern_count_line = "# NUMBER OF PATTERNS: ";
inline constexpr std::string_view pattern_line = "# >>>>>>>> PATTERN #: ";
inline constexpr std::string_view pattern_title_line = "#             TITLE : ";
inline constexpr std::string_view point_count_line = "#  NUMBER OF POINTS : ";
inline constexpr std::string_view marker_line = "#            MARKER : ";
inline constexpr std::string_view size_line = "#              SIZE : ";
inline constexpr std::string_view data_line_xy = "#   DATA: X Y";
inline constexpr std::string_view data_line_xy_sigy = "#   DATA: X Y SIGY";
inline constexpr std::string_view end_line = "# END OF FILE";
// The rule before each pattern: '#' and this many '-'.
inline constexpr std::size_t pattern_rule_length = 50;
// The column titles line starts with "#   TK", the temperature's title.
inline constexpr std::string_view plot_titles_start = "#   TK";

inline constexpr std::string_view temperature_legend = "Temperature (K)";

// The legends of each quantity's plot file, in the tables' order: its Y
// legend and its pattern's title.
struct PlotLegends {
    std::string_view y_legend;
    std::string_view pattern_title;
};
inline constexpr std::array<PlotLegends, 8> quantity_legends{{
    {"a unit cell parameter (A)", "a(A)=f(T)"},
    {"b unit cell parameter (A)", "b(A)=f(T)"},
    {"c unit cell parameter (A)", "c(A)=f(T)"},
    {"alpha angle (deg.)", "alpha(deg)=f(T)"},
    {"beta angle (deg.)", "beta(deg)=f(T)"},
    {"gamma angle (deg.)", "gamma(deg)=f(T)"},
    {"Unit cell volume (A3)", "volume(A3)=f(T)"},
    {"Crystal mosaicity (deg.)", "mosaicity(deg)=f(T)"},
}};

// The key of a header line as a reader finds it: the text between the
// leading '#' and the ':' without the blanks around it ("X LEGEND TEXT").
constexpr std::string_view header_key(std::string_view line) {
    line.remove_prefix(1);
    line = line.substr(0, line.rfind(':'));
    while (!line.empty() && line.front() == ' ') line.remove_prefix(1);
    while (!line.empty() && line.back() == ' ') line.remove_suffix(1);
    return line;
}

}  // namespace layout
