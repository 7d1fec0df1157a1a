#pragma once
// Counting what an SVG figure holds: a string's occurrences, and its filled
// shapes by the tint of their colour.

#include <algorithm>
#include <string>

namespace celltrend::testing {

inline int occurrences(const std::string& text, const std::string& what) {
    int n = 0;
    for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
    return n;
}

struct FillTints {
    int red = 0;    // mostly red
    int blue = 0;   // mostly blue
    int light = 0;  // a pale tint, not white (the bands under coefficients)
};

inline FillTints fill_tints(const std::string& svg) {
    FillTints f;
    for (std::size_t at = svg.find("fill=\"#"); at != std::string::npos; at = svg.find("fill=\"#", at + 1)) {
        const int r = std::stoi(svg.substr(at + 7, 2), nullptr, 16), g = std::stoi(svg.substr(at + 9, 2), nullptr, 16),
                  b = std::stoi(svg.substr(at + 11, 2), nullptr, 16);
        f.red += r > b + 40;
        f.blue += b > r + 40;
        f.light += std::min({r, g, b}) >= 0xB0 && std::min({r, g, b}) < 0xFF;
    }
    return f;
}

}  // namespace celltrend::testing
