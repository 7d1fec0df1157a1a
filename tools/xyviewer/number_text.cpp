#include "number_text.hpp"

#include <cstdio>

namespace xyviewer {

namespace {

template <typename... Args>
std::string print(const char* format, Args... args) {
    char small[64];
    const int n = std::snprintf(small, sizeof small, format, args...);
    if (n < 0) return {};
    if (std::size_t(n) < sizeof small) return std::string(small, std::size_t(n));
    std::string out(std::size_t(n) + 1, '\0');
    std::snprintf(out.data(), out.size(), format, args...);
    out.resize(std::size_t(n));
    return out;
}

}  // namespace

std::string formatted(const char* format, double value) { return print(format, value); }
std::string formatted(const char* format, int precision, double value) { return print(format, precision, value); }

std::string superscript(int n) {
    static const char* const digits[] = {"⁰", "¹", "²", "³", "⁴", "⁵", "⁶", "⁷", "⁸", "⁹"};
    std::string out = n < 0 ? "⁻" : "";
    for (char c : std::to_string(n < 0 ? -(long long)n : n)) out += digits[c - '0'];
    return out;
}

}  // namespace xyviewer
