#pragma once
// The command line of xyviewer, GNU style.

#include <optional>
#include <string>
#include <vector>

#include "cli/command_line.hpp"

namespace xyviewer {

struct Options {
    std::vector<std::string> inputs;
    std::string output;                         // empty: a window, or a PNG beside the plot file
    std::optional<double> width_mm, height_mm;  // --size
    std::optional<int> dpi;
    std::vector<std::string> columns;  // --column: the inputs are tables
    std::optional<std::string> title;  // --title; "" with --no-title
    bool normalise = false;
    bool fit = true;
    bool help = false, version = false;
};

// A wrong command line; what() says what is wrong.
using cli::UsageError;

// An option given twice keeps its last value.  Throws UsageError.
Options parse_options(const std::vector<std::string>& args);

// "8.5x6cm", "3.3x2.5in", "85x60mm" -> width and height in mm.
bool parse_size(const std::string& text, double& width_mm, double& height_mm);

extern const char* const usage_text;

}  // namespace xyviewer
