#include "record_format.hpp"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <stdexcept>
#include <vector>

namespace celltrend {

std::string format_int(long long value, int w) {
    const std::string digits = std::to_string(value);
    if (static_cast<int>(digits.size()) > w) return std::string(static_cast<std::size_t>(w), '*');
    return std::string(static_cast<std::size_t>(w) - digits.size(), ' ') + digits;
}

namespace {

constexpr int max_significant = 9;

// The exact decimal expansion of a finite, nonzero float: its digits (no
// leading zero) and the exponent of the first one.  A float is a dyadic
// rational, so 150 digits always hold the whole expansion and no rounding
// happens here.
struct ExactDecimal {
    std::string digits;
    int exponent = 0;
};

ExactDecimal exact_decimal(float magnitude) {
    char buf[200];
    const auto res =
        std::to_chars(buf, buf + sizeof buf, static_cast<double>(magnitude), std::chars_format::scientific, 150);
    const std::string_view text(buf, static_cast<std::size_t>(res.ptr - buf));
    const auto e = text.find('e');
    ExactDecimal out;
    out.digits.reserve(e);
    for (char c : text.substr(0, e))
        if (c != '.') out.digits.push_back(c);
    std::from_chars(text.data() + e + 1 + (text[e + 1] == '+' ? 1 : 0), text.data() + text.size(), out.exponent);
    return out;
}

std::string fill_field(std::string body, int w) {
    const auto width = static_cast<std::size_t>(w);
    if (body.size() > width) return std::string(width, '*');
    return std::string(width - body.size(), ' ') + body;
}

}  // namespace

std::string format_fixed(float value, int w, int d) {
    const bool negative = std::signbit(value);
    if (std::isnan(value) || std::isinf(value)) {
        std::string body = negative ? "-" : "";
        body += std::isnan(value) ? "NaN" : "Inf";
        if (static_cast<int>(body.size()) > w) return std::string(static_cast<std::size_t>(w), '*');
        return body + std::string(static_cast<std::size_t>(w) - body.size(), ' ');
    }

    // Digits of the rounded magnitude for the places 10^top down to 10^-d.
    int top = 0;               // highest place printed (the units at least)
    std::vector<char> places;  // places[i] is the digit of place 10^(top - i)
    if (value != 0.0f) {
        ExactDecimal ex = exact_decimal(std::fabs(value));
        const int before_point = ex.exponent + 1;
        const int n = std::min(before_point + d, max_significant);
        std::string kept;
        int first_place = ex.exponent;  // place of kept[0]
        if (n >= 0) {
            kept = ex.digits.substr(0, static_cast<std::size_t>(n));
            const bool round_up =
                static_cast<std::size_t>(n) < ex.digits.size() && ex.digits[static_cast<std::size_t>(n)] >= '5';
            if (round_up) {
                int i = n - 1;
                while (i >= 0 && kept[static_cast<std::size_t>(i)] == '9') kept[static_cast<std::size_t>(i--)] = '0';
                if (i >= 0) {
                    ++kept[static_cast<std::size_t>(i)];
                } else {
                    kept.insert(kept.begin(), '1');
                    ++first_place;
                }
            }
        }
        top = std::max(first_place, 0);
        for (int place = top; place >= -d; --place) {
            const int i = first_place - place;
            places.push_back(i >= 0 && i < static_cast<int>(kept.size()) ? kept[static_cast<std::size_t>(i)] : '0');
        }
    } else {
        places.assign(static_cast<std::size_t>(d + 1), '0');
    }

    const bool nonzero = std::any_of(places.begin(), places.end(), [](char c) { return c != '0'; });
    std::string integer(places.begin(), places.begin() + top + 1);
    std::string fraction(places.begin() + top + 1, places.end());
    std::string sign = (negative && nonzero) ? "-" : "";
    std::string body = sign + integer + "." + fraction;
    // The leading 0 of a value below 1 is dropped only when it does not fit.
    if (static_cast<int>(body.size()) > w && integer == "0") body = sign + "." + fraction;
    return fill_field(body, w);
}

namespace {

struct Field {
    char kind;  // 'A', 'I', 'F', 'X'
    int w = -1;
    int d = 0;
};

// Expands repeats and groups into a flat list of fields.
class FieldListParser {
public:
    explicit FieldListParser(std::string_view s) : s_(s) {}

    std::vector<Field> parse() {
        skip_blanks();
        std::vector<Field> out;
        if (pos_ < s_.size() && s_[pos_] == '(') {
            ++pos_;
            out = parse_list(')');
        } else {
            out = parse_list('\0');
        }
        return out;
    }

private:
    std::vector<Field> parse_list(char close) {
        std::vector<Field> out;
        for (;;) {
            skip_blanks();
            if (pos_ >= s_.size()) {
                if (close != '\0') throw std::invalid_argument("unclosed field list");
                return out;
            }
            if (s_[pos_] == close) {
                ++pos_;
                return out;
            }
            if (s_[pos_] == ',') {
                ++pos_;
                continue;
            }
            int repeat = number(1);
            // A list may be a view into a longer text: nothing past its end is a field.
            if (pos_ >= s_.size()) throw std::invalid_argument("repeat count without a field");
            std::vector<Field> unit;
            const char c = static_cast<char>(std::toupper(static_cast<unsigned char>(s_[pos_++])));
            if (c == '(') {
                unit = parse_list(')');
            } else if (c == 'X') {
                unit.push_back({'X', repeat});
                repeat = 1;
            } else if (c == 'A') {
                unit.push_back({'A', number(-1)});
            } else if (c == 'I') {
                unit.push_back({'I', number(-1)});
            } else if (c == 'F') {
                Field f{'F', number(-1)};
                if (pos_ >= s_.size() || s_[pos_] != '.') throw std::invalid_argument("F field without decimals");
                ++pos_;
                f.d = number(-1);
                if (f.w < 1 || f.d < 0) throw std::invalid_argument("bad F field");
                unit.push_back(f);
            } else {
                throw std::invalid_argument("unknown field in field list");
            }
            if (unit.size() == 1 && unit[0].kind == 'I' && unit[0].w < 1) throw std::invalid_argument("bad I field");
            for (int r = 0; r < repeat; ++r) out.insert(out.end(), unit.begin(), unit.end());
        }
    }

    int number(int absent) {
        skip_blanks();
        int v = 0;
        const auto start = pos_;
        while (pos_ < s_.size() && s_[pos_] >= '0' && s_[pos_] <= '9') v = v * 10 + (s_[pos_++] - '0');
        return pos_ == start ? absent : v;
    }

    void skip_blanks() {
        while (pos_ < s_.size() && s_[pos_] == ' ') ++pos_;
    }

    std::string_view s_;
    std::size_t pos_ = 0;
};

}  // namespace

std::string format_record(std::string_view field_list, std::initializer_list<FormatItem> items) {
    const std::vector<Field> fields = FieldListParser(field_list).parse();
    std::string line;
    auto item = items.begin();
    for (const Field& f : fields) {
        if (f.kind == 'X') {
            line.append(static_cast<std::size_t>(f.w), ' ');
            continue;
        }
        if (item == items.end()) break;
        const FormatItem& it = *item++;
        switch (f.kind) {
            case 'A': {
                const auto* text = std::get_if<std::string_view>(&it);
                if (text == nullptr) throw std::invalid_argument("A field needs a text");
                if (f.w < 0) {
                    line += *text;
                } else {
                    const auto w = static_cast<std::size_t>(f.w);
                    if (text->size() >= w)
                        line += text->substr(0, w);
                    else
                        line += std::string(w - text->size(), ' ') + std::string(*text);
                }
                break;
            }
            case 'I': {
                const auto* n = std::get_if<long long>(&it);
                if (n == nullptr) throw std::invalid_argument("I field needs an integer");
                line += format_int(*n, f.w);
                break;
            }
            case 'F': {
                const auto* x = std::get_if<float>(&it);
                if (x == nullptr) throw std::invalid_argument("F field needs a real");
                line += format_fixed(*x, f.w, f.d);
                break;
            }
            default:
                break;
        }
    }
    return line;
}

}  // namespace celltrend
