#pragma once
// The options every program that draws a figure takes alike: --title TEXT,
// --no-title, --size WxH (cm, mm or in) and --dpi N, read and checked in one
// place.

#include <optional>
#include <string>

#include "cli/command_line.hpp"

namespace cli {

// The specs to add to a program's own.
inline constexpr OptionSpec figure_option_specs[] = {
    {"size", 0, true},
    {"dpi", 0, true},
    {"title", 0, true},
    {"no-title", 0, false},
};

struct FigureOptions {
    std::optional<std::string> title;           // --title; "" with --no-title
    std::optional<double> width_mm, height_mm;  // --size
    std::optional<int> dpi;
};

// "8.5x6cm", "3.3x2.5in", "85x60mm" -> width and height in mm, from 20 x 15
// mm to 2 x 2 m; false for anything else.
bool parse_size(const std::string& text, double& width_mm, double& height_mm);

// The figure options of a command line.  Throws UsageError for a size or
// dpi that cannot be read, or both --title and --no-title.
FigureOptions figure_options(const CommandLine& cl);

}  // namespace cli
