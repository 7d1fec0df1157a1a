#pragma once
// Reading a .pgf plot file: a commented header (legends, patterns, their
// titles, point counts, markers, which columns the data carry), data lines of
// fixed-width fields (6, 20 and 20 characters, no separator, so wide values
// may touch) and an end line "# END OF FILE".  Files written by hand with
// blank-separated numbers are read too.  Legends and titles are kept as
// displayable text (see display_text.hpp); a line longer than 4096
// characters is an error, read without being kept.

#include <istream>
#include <stdexcept>
#include <string>
#include <vector>

#include "formats/point.hpp"

namespace formats {

struct Pattern {
    std::string title;
    int announced_points = -1;  // NUMBER OF POINTS, -1 when the header has none
    int marker = 1;
    double size = 2;
    bool declares_sigy = false;  // "DATA: X Y SIGY"
    std::vector<Point> points;
};

struct PlotFile {
    std::string name;  // as given, for messages
    std::string main_legend;
    std::string x_legend;
    std::string y_legend;
    std::vector<Pattern> patterns;  // only patterns with at least one point
    int skipped_fields = 0;         // fields of asterisks, NaN or Inf
    bool has_end_line = false;
    std::vector<std::string> warnings;  // one line each, ready to show

    std::size_t point_count() const;
};

// A file that cannot be plotted; what() names the file (and the line).
struct ReadError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

PlotFile read_plot_file(std::istream& in, const std::string& name);
PlotFile read_plot_file(const std::string& path);

// One data line split into its numbers; a field that holds asterisks, NaN or
// Inf comes back as NaN.  Returns false when the line is neither in the fixed
// layout nor two or three blank-separated numbers.
bool split_data_line(const std::string& line, std::vector<double>& fields);

}  // namespace formats
