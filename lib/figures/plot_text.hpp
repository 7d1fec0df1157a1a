#pragma once
// User text (legends, titles) must reach PLplot as text: PLplot reads its
// escape character ('#' unless changed) as the start of a command (#u, #d,
// #(nnn) ...), and a doubled escape character as the character itself; and
// bytes that are not UTF-8 (a Latin-1 title) or control characters make
// its text drivers give up the drawing, so they become U+FFFD as the plot
// files' reader makes them (display_text.hpp).

#include <cctype>
#include <cstddef>
#include <string>
#include <string_view>

#include "formats/display_text.hpp"

namespace figures {

inline std::string plplot_literal(std::string_view raw, char escape = '#') {
    const std::string text = formats::displayable(raw);
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        out += c;
        if (c == escape) out += c;
    }
    return out;
}

// As plplot_literal, and "α_V" (any one letter after "α_") set as α with
// the letter as a subscript, and "T_min" as T with "min" as one: the
// typesetting the figures' own texts need.
inline std::string plplot_text(std::string_view text) {
    std::string out = plplot_literal(text);
    for (std::size_t at = 0; (at = out.find("T_min", at)) != std::string::npos; at += 9) out.replace(at, 5, "T#dmin#u");
    const std::string alpha = "α_";
    for (std::size_t at = 0; (at = out.find(alpha, at)) != std::string::npos;) {
        const std::size_t letter = at + alpha.size();
        if (letter < out.size() && std::isalpha(static_cast<unsigned char>(out[letter]))) {
            out.replace(letter - 1, 2, std::string("#d") + out[letter] + "#u");
            at = letter + 3;
        } else {
            at = letter;
        }
    }
    return out;
}

// Characters, not bytes, of UTF-8 text: what its width on the page goes by.
inline std::size_t text_characters(std::string_view text) {
    std::size_t n = 0;
    for (unsigned char c : text) n += (c & 0xC0) != 0x80;
    return n;
}

}  // namespace figures
