#pragma once
// The command line of xyviewer, GNU style.

#include <optional>
#include <string>
#include <vector>

#include "cli/command_line.hpp"
#include "cli/figure_options.hpp"

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

using cli::parse_size;

extern const char* const usage_text;

}  // namespace xyviewer
