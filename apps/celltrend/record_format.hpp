#pragma once
// Formatted writes: a line built from a field list such as "(A,F6.2,3A)" and
// the items it consumes, left to right.  Supported fields: A, Aw, Iw, Fw.d,
// nX, a repeat count before a field, and r(...) groups.  When the items run
// out the line ends at the next field that would need one, so "(A,I6)" given a
// single text writes that text alone.

#include <initializer_list>
#include <string>
#include <string_view>
#include <variant>

namespace celltrend {

// Iw: right-justified digits, "-" for a negative value, w asterisks when too wide.
std::string format_int(long long value, int w);

// Fw.d of a single-precision value.  Digits come from the exact binary value:
// at most 9 significant digits (further positions print 0), ties rounded away
// from zero, no "-" on a value that prints as zero, a 0 before the point below
// 1 when it fits, w asterisks when too wide; NaN and Inf are written from the
// left of the field with "-" when the sign bit is set.
std::string format_fixed(float value, int w, int d);

using FormatItem = std::variant<std::string_view, float, long long>;

// One line under the field list (parentheses optional).  A field that meets an
// item of the wrong kind, or an unknown field, is a programming error and
// throws std::invalid_argument.
std::string format_record(std::string_view field_list, std::initializer_list<FormatItem> items);

}  // namespace celltrend
