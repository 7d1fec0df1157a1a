#pragma once
// The page a figure is drawn on and the formats it is written in, shared by
// every kind of figure (panels of series, surfaces, sections).

#include <optional>
#include <stdexcept>
#include <string_view>

namespace figures {

enum class Format { png, svg, pdf };

struct Page {
    double width_mm = 203.2;  // 800 x 600 pixels at 100 dpi
    double height_mm = 152.4;
    int dpi = 100;  // pixels per inch of a PNG or a window
    int width_px() const;
    int height_px() const;
};

struct PlotError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// The format a file name asks for by its extension (.png, .svg, .pdf, any
// case); nullopt for any other.
std::optional<Format> format_of(std::string_view path);

// True when this PLplot installation has the device of that name.
bool plplot_has_device(const char* name);

// The smallest text height, in mm of the page, that any figure draws: its
// font is 7 pt, the least a journal prints.
constexpr double least_text_height_mm = 1.86;

}  // namespace figures
