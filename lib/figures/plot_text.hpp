#pragma once
// User text (legends, titles) must reach PLplot as text: PLplot reads its
// escape character ('#' unless changed) as the start of a command (#u, #d,
// #(nnn) ...), and a doubled escape character as the character itself.

#include <string>
#include <string_view>

namespace figures {

inline std::string plplot_literal(std::string_view text, char escape = '#') {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        out += c;
        if (c == escape) out += c;
    }
    return out;
}

}  // namespace figures
