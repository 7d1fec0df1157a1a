#pragma once
// Numbers in the text files of the series: fixed-width fields that a writer
// may have filled with asterisks (a value too wide for its field) or NaN/Inf,
// and blank-separated numbers written by hand.

#include <string_view>
#include <vector>

namespace formats {

// `s` without the blanks and tabs around it.
std::string_view trim(std::string_view s);

enum class Field {
    number,      // `value` holds it
    unreadable,  // asterisks, NaN or Inf (with or without a sign): `value` is NaN
    invalid,     // empty, or text that is no number
};

// One field, blanks around it allowed, nothing inside it; a leading '+' is
// accepted.  Digits beyond the range of a double are unreadable (too large)
// or the nearest double (too small).
Field read_field(std::string_view text, double& value);

// The words of a line written by hand, separated by blanks or tabs.
std::vector<std::string_view> split_blanks(std::string_view line);

}  // namespace formats
