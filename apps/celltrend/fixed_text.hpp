#pragma once
// Blank-padded texts of fixed length, the program's only kind of text variable.
// Assigning cuts to the leftmost N characters or pads with blanks; the value of
// a text is its characters up to the last non-blank one.  Only the blank (code
// 32) counts as blank: tabs and other control bytes are ordinary characters.

#include <algorithm>
#include <array>
#include <cstddef>
#include <span>
#include <string>
#include <string_view>

namespace celltrend {

inline void assign_padded(std::span<char> dest, std::string_view s) {
    const std::size_t n = std::min(dest.size(), s.size());
    std::copy_n(s.data(), n, dest.data());
    std::fill(dest.begin() + static_cast<std::ptrdiff_t>(n), dest.end(), ' ');
}

inline std::string_view trim_right(std::string_view s) {
    const auto last = s.find_last_not_of(' ');
    return last == std::string_view::npos ? std::string_view{} : s.substr(0, last + 1);
}

template <std::size_t N>
struct Text {
    std::array<char, N> chars;

    Text() { chars.fill(' '); }
    Text(std::string_view s) { assign(s); }  // NOLINT: a text is built from any string

    static constexpr std::size_t size() { return N; }
    void assign(std::string_view s) { assign_padded(chars, s); }
    std::span<char> span() { return chars; }

    // All N characters, trailing blanks included.
    std::string_view view() const { return {chars.data(), N}; }
    // The value: the characters up to the last non-blank one.
    std::string_view trimmed() const { return trim_right(view()); }
    std::string str() const { return std::string(trimmed()); }
    bool blank() const { return trimmed().empty(); }

    // Leading blanks move to the end, as when an answer is left-adjusted.
    void adjustl() {
        const auto first = view().find_first_not_of(' ');
        if (first == std::string_view::npos || first == 0) return;
        *this = Text(view().substr(first));
    }

    char operator[](std::size_t i) const { return chars[i]; }
    bool operator==(const Text&) const = default;
};

}  // namespace celltrend
