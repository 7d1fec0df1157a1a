// List-style reads of a text item and a few reals, and parse_real.
//
// Input: byte 0 the text length (1..80), byte 1 the number of reals (0..4)
// and whether further records may be asked for; the rest is the record, and
// with further records allowed, each "\n" starts the next one.
//
// What must hold: a text item is written only inside its own characters
// (guard bytes around it stay intact), and it is cut or padded to exactly its
// length: the same read into a text longer than the whole input gives the
// same status and reals, and a text whose leading characters are the short one.

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "list_input.hpp"

namespace {

using celltrend::ListItem;
using celltrend::ListStatus;

constexpr std::size_t guard = 16;
constexpr char guard_byte = '\x5a';
constexpr char fill_byte = '\x01';
constexpr float fill_real = -12345.5f;

void check(bool ok) {
    if (!ok) std::abort();
}

struct Read {
    ListStatus status;
    std::vector<char> text;  // the text item with its guards
    std::vector<float> reals;
};

// One read of the record into a text of `length` characters and `n_reals` reals.
Read read_once(std::string_view data, std::size_t length, std::size_t n_reals, bool more_records) {
    Read r;
    r.text.assign(guard + length + guard, guard_byte);
    std::fill_n(r.text.begin() + guard, length, fill_byte);
    r.reals.assign(n_reals, fill_real);

    std::vector<ListItem> items;
    items.emplace_back(std::span<char>(r.text.data() + guard, length));
    for (float& x : r.reals) items.emplace_back(&x);

    if (!more_records) {
        r.status = celltrend::list_read(data, items);
        return r;
    }
    std::size_t pos = data.find('\n');
    const std::string_view first = data.substr(0, pos);
    const std::function<bool(std::string&)> next = [&](std::string& line) {
        if (pos == std::string_view::npos) return false;
        const std::size_t start = pos + 1;
        pos = data.find('\n', start);
        line.assign(data.substr(start, pos == std::string_view::npos ? std::string_view::npos : pos - start));
        return true;
    };
    r.status = celltrend::list_read(first, items, next);
    return r;
}

bool guards_intact(const std::vector<char>& text, std::size_t length) {
    for (std::size_t i = 0; i < guard; ++i)
        if (text[i] != guard_byte || text[guard + length + i] != guard_byte) return false;
    return true;
}

bool simple_decimal(std::string_view s) {
    // [+-]digits[.digits], at least one digit, at most 30 characters.
    if (s.empty() || s.size() > 30) return false;
    std::size_t i = (s[0] == '+' || s[0] == '-') ? 1 : 0;
    bool digit = false, point = false;
    for (; i < s.size(); ++i) {
        if (s[i] >= '0' && s[i] <= '9')
            digit = true;
        else if (s[i] == '.' && !point)
            point = true;
        else
            return false;
    }
    return digit;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    if (size < 2) return 0;
    const std::size_t length = 1 + bytes[0] % 80;
    const std::size_t n_reals = bytes[1] % 5;
    const bool more_records = (bytes[1] & 0x80) != 0;
    const std::string_view data(reinterpret_cast<const char*>(bytes) + 2, size - 2);

    const Read short_read = read_once(data, length, n_reals, more_records);
    check(guards_intact(short_read.text, length));

    const std::size_t long_length = std::max(length, data.size()) + 8;
    const Read long_read = read_once(data, long_length, n_reals, more_records);
    check(guards_intact(long_read.text, long_length));

    // Cut or padded: the short text is the head of the long one.
    check(short_read.status == long_read.status);
    check(std::memcmp(short_read.text.data() + guard, long_read.text.data() + guard, length) == 0);
    for (std::size_t k = 0; k < n_reals; ++k)
        check(std::memcmp(&short_read.reals[k], &long_read.reals[k], sizeof(float)) == 0);
    // A text that received a value ends in blanks, never in what was there before.
    const char* long_text = long_read.text.data() + guard;
    if (long_text[long_length - 1] != fill_byte) check(long_text[long_length - 1] == ' ');

    // parse_real on the whole record: no crash, and on a plain decimal the
    // nearest float, as the C library reads it.
    float x = 0.0f;
    const bool parsed = celltrend::parse_real(data, x);
    if (simple_decimal(data)) {
        const std::string s(data);
        const float expected = std::strtof(s.c_str(), nullptr);
        check(parsed);
        check(std::memcmp(&x, &expected, sizeof x) == 0 || (std::isnan(x) && std::isnan(expected)));
    }
    return 0;
}
