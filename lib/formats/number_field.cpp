#include "formats/number_field.hpp"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <string>
#include <system_error>

namespace formats {

namespace {

bool equals_ignoring_case(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        const auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; };
        if (lower(a[i]) != lower(b[i])) return false;
    }
    return true;
}

bool is_unreadable_marker(std::string_view s) {
    if (s.find_first_not_of('*') == std::string_view::npos) return true;
    if (s.front() == '-' || s.front() == '+') s.remove_prefix(1);
    return equals_ignoring_case(s, "nan") || equals_ignoring_case(s, "inf") || equals_ignoring_case(s, "infinity");
}

}  // namespace

std::string_view trim(std::string_view s) {
    const auto first = s.find_first_not_of(" \t");
    if (first == std::string_view::npos) return {};
    const auto last = s.find_last_not_of(" \t");
    return s.substr(first, last - first + 1);
}

Field read_field(std::string_view text, double& value) {
    const std::string_view s = trim(text);
    if (s.empty()) return Field::invalid;
    if (is_unreadable_marker(s)) {
        value = std::numeric_limits<double>::quiet_NaN();
        return Field::unreadable;
    }
    std::string_view digits = s;
    if (digits.front() == '+') digits.remove_prefix(1);  // from_chars takes no plus sign
    if (digits.empty() || digits.front() == '+') return Field::invalid;
    const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (end != digits.data() + digits.size()) return Field::invalid;
    if (ec == std::errc::result_out_of_range) {
        // Beyond the range of a double: 1e400 is unreadable like asterisks,
        // 1e-400 is as near 0 as a double gets.
        value = std::strtod(std::string(digits).c_str(), nullptr);
    } else if (ec != std::errc()) {
        return Field::invalid;
    }
    if (!std::isfinite(value)) {  // overflow spelled out in digits
        value = std::numeric_limits<double>::quiet_NaN();
        return Field::unreadable;
    }
    return Field::number;
}

std::vector<std::string_view> split_blanks(std::string_view line) {
    std::vector<std::string_view> words;
    std::size_t pos = 0;
    while ((pos = line.find_first_not_of(" \t", pos)) != std::string_view::npos) {
        std::size_t end = line.find_first_of(" \t", pos);
        if (end == std::string_view::npos) end = line.size();
        words.push_back(line.substr(pos, end - pos));
        pos = end;
    }
    return words;
}

}  // namespace formats
