#include "formats/number_text.hpp"

namespace formats {

std::string superscript(int n) {
    static const char* const digits[] = {"⁰", "¹", "²", "³", "⁴", "⁵", "⁶", "⁷", "⁸", "⁹"};
    std::string out = n < 0 ? "⁻" : "";
    for (char c : std::to_string(n < 0 ? -(long long)n : n)) out += digits[c - '0'];
    return out;
}

}  // namespace formats
