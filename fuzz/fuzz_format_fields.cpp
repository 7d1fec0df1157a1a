// The Fw.d and Iw fields.
//
// Input: byte 0 chooses Fw.d (even) or Iw (odd), byte 1 the width (1..40),
// byte 2 the decimals (0..w-1), then the value's bits (4 bytes for a float,
// 8 for an integer).
//
// What must hold: the field is always exactly w characters.  Fw.d of a finite
// value is blanks, an optional "-", digits, a point and exactly d digits, or
// w asterisks; it is asterisks when the value surely does not fit and not when
// it surely fits; read back it is within half a unit of its last decimal when
// it shows at most 9 significant digits; "-" never stands before a zero.  Iw
// reads back as the value exactly, or is w asterisks when the value does not fit.

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "record_format.hpp"

namespace {

void check(bool ok) {
    if (!ok) std::abort();
}

bool all_asterisks(const std::string& s) { return s.find_first_not_of('*') == std::string::npos; }

void check_fixed(float value, int w, int d) {
    const std::string f = celltrend::format_fixed(value, w, d);
    check(static_cast<int>(f.size()) == w);
    if (!std::isfinite(value)) return;

    // Surely too wide: the integer part alone needs w - d digits or more.
    const double magnitude = std::fabs(static_cast<double>(value));
    if (magnitude >= std::pow(10.0, w - d - 1)) check(all_asterisks(f));
    // Surely fits: sign, at most w - d - 2 integer digits (after rounding), point, d decimals.
    if (w - d - 2 >= 1 && magnitude + 0.5 * std::pow(10.0, -d) < std::pow(10.0, w - d - 2) * (1.0 - 1e-12))
        check(!all_asterisks(f));
    if (all_asterisks(f)) return;

    // Shape: blanks, optional "-", digits, ".", exactly d digits.
    std::size_t i = f.find_first_not_of(' ');
    check(i != std::string::npos);
    const bool minus = f[i] == '-';
    if (minus) ++i;
    const std::size_t point = f.find('.', i);
    check(point != std::string::npos && f.size() - point - 1 == static_cast<std::size_t>(d));
    std::string digits;
    for (std::size_t k = i; k < f.size(); ++k) {
        if (k == point) continue;
        check(f[k] >= '0' && f[k] <= '9');
        digits.push_back(f[k]);
    }
    const bool zero = digits.find_first_not_of('0') == std::string::npos;
    if (minus) check(!zero);
    if (minus) check(std::signbit(value));

    // Read back, when at most 9 significant digits are shown.
    const std::size_t first_significant = digits.find_first_not_of('0');
    const std::size_t significant = zero ? 0 : digits.size() - first_significant;
    if (significant > 9) return;
    const double back = zero ? 0.0 : std::strtod(f.c_str(), nullptr);
    const double half_unit = 0.5 * std::pow(10.0, -d);
    const double error = std::fabs(back - static_cast<double>(value));
    // The decimal reading of the field carries its own tiny rounding.
    check(error <= half_unit * (1.0 + 1e-9) + std::fabs(back) * 1e-15);
}

void check_int(long long value, int w) {
    const std::string f = celltrend::format_int(value, w);
    check(static_cast<int>(f.size()) == w);
    const std::string exact = std::to_string(value);
    if (static_cast<int>(exact.size()) > w) {
        check(all_asterisks(f));
        return;
    }
    const std::size_t first = f.find_first_not_of(' ');
    check(first != std::string::npos && f.substr(first) == exact);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    if (size < 3) return 0;
    const int w = 1 + bytes[1] % 40;
    const int d = bytes[2] % w;
    const std::uint8_t* rest = bytes + 3;
    const std::size_t left = size - 3;
    if ((bytes[0] & 1) == 0) {
        if (left < sizeof(float)) return 0;
        float value;
        std::memcpy(&value, rest, sizeof value);
        check_fixed(value, w, d);
    } else {
        if (left < sizeof(long long)) return 0;
        long long value;
        std::memcpy(&value, rest, sizeof value);
        check_int(value, w);
    }
    return 0;
}
