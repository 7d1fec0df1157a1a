#include "formats/measured_number.hpp"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <optional>
#include <string>

#include "formats/number_field.hpp"

namespace formats {

namespace {

bool is_digit(char c) { return c >= '0' && c <= '9'; }

// The digits from `pos` on; how many.
std::size_t digits_at(std::string_view s, std::size_t pos) {
    std::size_t n = 0;
    while (pos + n < s.size() && is_digit(s[pos + n])) ++n;
    return n;
}

}  // namespace

Measured read_measured(std::string_view text, Estimate& out) {
    const std::string_view s = trim(text);
    if (s == "?" || s == ".") return Measured::missing;
    std::size_t pos = 0;
    if (pos < s.size() && (s[pos] == '+' || s[pos] == '-')) ++pos;
    const std::size_t whole = digits_at(s, pos);
    pos += whole;
    std::size_t decimals = 0;
    if (pos < s.size() && s[pos] == '.') {
        decimals = digits_at(s, pos + 1);
        pos += 1 + decimals;
    }
    if (whole + decimals == 0) return Measured::invalid;
    long exponent = 0;
    if (pos < s.size() && (s[pos] == 'e' || s[pos] == 'E')) {
        std::size_t e = pos + 1;
        if (e < s.size() && (s[e] == '+' || s[e] == '-')) ++e;
        const std::size_t n = digits_at(s, e);
        if (n == 0) return Measured::invalid;
        // An exponent beyond a few hundred makes no double anyway.
        if (std::from_chars(s.data() + e, s.data() + e + n, exponent).ec != std::errc()) exponent = 100000;
        if (s[pos + 1] == '-') exponent = -exponent;
        pos = e + n;
    }
    const std::string_view number = s.substr(0, pos);
    std::optional<double> su;
    if (pos < s.size()) {
        if (s[pos] != '(') return Measured::invalid;
        const std::size_t n = digits_at(s, pos + 1);
        if (n == 0 || pos + 1 + n + 1 != s.size() || s.back() != ')') return Measured::invalid;
        // "6e-4" read by from_chars: the nearest double to 0.0006, as if it
        // had been written out in full.
        const std::string su_text(s.substr(pos + 1, n));
        const std::string scaled = su_text + "e" + std::to_string(exponent - long(decimals));
        double value = 0;
        const auto r = std::from_chars(scaled.data(), scaled.data() + scaled.size(), value);
        if (r.ec == std::errc::result_out_of_range)
            value = std::strtod(scaled.c_str(), nullptr);
        else if (r.ec != std::errc())
            return Measured::invalid;
        su = value;
    }
    // The value itself as the table reader reads a field: a leading '+'
    // allowed, beyond a double's range not a number.
    double value = 0;
    if (read_field(number, value) != Field::number) return Measured::invalid;
    if (su && !std::isfinite(*su)) return Measured::invalid;
    out.value = value;
    out.sigma = su ? *su : std::nan("");
    return Measured::number;
}

}  // namespace formats
