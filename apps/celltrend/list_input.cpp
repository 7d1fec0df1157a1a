#include "list_input.hpp"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <limits>
#include <system_error>

#include "fixed_text.hpp"

namespace celltrend {

namespace {

bool is_blank(char c) { return c == ' ' || c == '\t'; }
bool ends_value(char c) { return is_blank(c) || c == ',' || c == '/'; }

bool all_digits(std::string_view s) {
    if (s.empty()) return false;
    for (char c : s)
        if (c < '0' || c > '9') return false;
    return true;
}

// The decimal exponent of the first nonzero digit of a mantissa of digits and
// at most one point: 2 for "456.7", -3 for "0.00123".  Zero when no digit is
// nonzero.
long long leading_exponent(std::string_view mantissa) {
    const std::size_t point = std::min(mantissa.find('.'), mantissa.size());
    const std::size_t first = mantissa.find_first_of("123456789");
    if (first == std::string_view::npos) return 0;
    return first < point ? static_cast<long long>(point - first) - 1 : -static_cast<long long>(first - point);
}

// An exponent's digits as a number, held at a bound far beyond any real's
// range so that no count of digits can overflow it.
long long bounded_exponent(std::string_view digits) {
    long long e = 0;
    for (char c : digits) e = std::min(e * 10 + (c - '0'), 1'000'000LL);
    return e;
}

// One value as it stands in the record, before it is given to its item.
struct Value {
    bool null = false;
    bool quoted = false;
    std::string text;
};

class ListReader {
public:
    ListReader(std::string_view record, const std::function<bool(std::string&)>* next) : record_(record), next_(next) {}

    ListStatus read(std::span<const ListItem> items, ListStop* stop = nullptr) {
        for (std::size_t i = 0; i < items.size(); ++i) {
            if (repeat_left_ == 0) {
                const auto got = next_value(std::holds_alternative<std::string*>(items[i]));
                if (got == Next::slash) return ListStatus::ok;
                if (got == Next::end) return stopped(ListStatus::end, i, stop);
            }
            --repeat_left_;
            if (!current_.null && !assign(items[i])) return stopped(ListStatus::bad, i, stop);
        }
        return ListStatus::ok;
    }

private:
    enum class Next { value, slash, end };

    ListStatus stopped(ListStatus status, std::size_t item, ListStop* stop) const {
        if (stop != nullptr) *stop = {item, status == ListStatus::bad ? current_.text : std::string()};
        return status;
    }

    // A slash inside a name is a path's, not the end of the read: one
    // followed by anything but a blank, a comma or the end of the record.
    bool slash_in_name(std::size_t at) const {
        return at + 1 < record_.size() && !is_blank(record_[at + 1]) && record_[at + 1] != ',';
    }

    Next next_value(bool name) {
        for (;;) {
            while (pos_ < record_.size() && is_blank(record_[pos_])) ++pos_;
            if (pos_ < record_.size()) break;
            if (next_ == nullptr || !*next_ || !(*next_)(owned_)) return Next::end;
            record_ = owned_;
            pos_ = 0;
        }
        const char c = record_[pos_];
        if (c == '/' && !(name && slash_in_name(pos_))) return Next::slash;
        current_ = Value{};
        repeat_left_ = 1;
        if (c == ',') {
            ++pos_;
            current_.null = true;
            return Next::value;
        }
        // A repeat count: digits and an asterisk at the head of the value.
        std::size_t star = pos_;
        while (star < record_.size() && record_[star] >= '0' && record_[star] <= '9') ++star;
        if (star > pos_ && star < record_.size() && record_[star] == '*') {
            int r = 0;
            std::from_chars(record_.data() + pos_, record_.data() + star, r);
            if (r > 0) {
                repeat_left_ = r;
                pos_ = star + 1;
                if (pos_ >= record_.size() || ends_value(record_[pos_])) {
                    current_.null = true;
                    skip_separator();
                    return Next::value;
                }
            }
        }
        take_value(name);
        skip_separator();
        return Next::value;
    }

    void take_value(bool name) {
        const char c = record_[pos_];
        if (c == '\'' || c == '"') {
            current_.quoted = true;
            ++pos_;
            while (pos_ < record_.size()) {
                if (record_[pos_] == c) {
                    if (pos_ + 1 < record_.size() && record_[pos_ + 1] == c) {
                        current_.text.push_back(c);
                        pos_ += 2;
                        continue;
                    }
                    ++pos_;
                    break;
                }
                current_.text.push_back(record_[pos_++]);
            }
            return;
        }
        const std::size_t start = pos_;
        while (pos_ < record_.size() &&
               !(ends_value(record_[pos_]) && !(name && record_[pos_] == '/' && slash_in_name(pos_))))
            ++pos_;
        current_.text.assign(record_.substr(start, pos_ - start));
    }

    // Blanks after a value, and at most one comma, belong to its separator.
    void skip_separator() {
        while (pos_ < record_.size() && is_blank(record_[pos_])) ++pos_;
        if (pos_ < record_.size() && record_[pos_] == ',') ++pos_;
    }

    bool assign(const ListItem& item) {
        if (const auto* text = std::get_if<std::span<char>>(&item)) {
            assign_padded(*text, current_.text);
            return true;
        }
        if (std::string* const* whole = std::get_if<std::string*>(&item)) {
            **whole = current_.text;
            return true;
        }
        float value = 0.0f;
        if (current_.quoted || !parse_real(current_.text, value)) return false;
        *std::get<float*>(item) = value;
        return true;
    }

    std::string_view record_;
    const std::function<bool(std::string&)>* next_;
    std::string owned_;
    std::size_t pos_ = 0;
    Value current_;
    int repeat_left_ = 0;
};

}  // namespace

ListStatus list_read(std::string_view record, std::span<const ListItem> items) {
    return ListReader(record, nullptr).read(items);
}

ListStatus list_read(std::string_view record, std::span<const ListItem> items, ListStop& stop) {
    return ListReader(record, nullptr).read(items, &stop);
}

ListStatus list_read(std::string_view record, std::span<const ListItem> items,
                     const std::function<bool(std::string&)>& next_record) {
    return ListReader(record, &next_record).read(items);
}

bool parse_real(std::string_view text, float& out) {
    bool negative = false;
    std::string_view s = text;
    if (!s.empty() && (s[0] == '+' || s[0] == '-')) {
        negative = s[0] == '-';
        s.remove_prefix(1);
    }
    // Mantissa: digits with at most one point, at least one digit.
    std::size_t i = 0;
    std::size_t digits = 0;
    while (i < s.size() && s[i] >= '0' && s[i] <= '9') ++i, ++digits;
    if (i < s.size() && s[i] == '.') {
        ++i;
        while (i < s.size() && s[i] >= '0' && s[i] <= '9') ++i, ++digits;
    }
    if (digits == 0) return false;
    const std::string_view mantissa = s.substr(0, i);
    std::string normal(negative ? "-" : "");
    normal.append(mantissa);
    long long exponent_value = 0;
    // Exponent: a letter E, D or Q with an optional sign, or a sign alone.
    if (i < s.size()) {
        std::size_t j = i;
        const char c = static_cast<char>(std::toupper(static_cast<unsigned char>(s[j])));
        if (c == 'E' || c == 'D' || c == 'Q')
            ++j;
        else if (c != '+' && c != '-')
            return false;
        std::string exponent;
        if (j < s.size() && (s[j] == '+' || s[j] == '-')) exponent.push_back(s[j++]);
        if (!all_digits(s.substr(j))) return false;
        exponent_value = bounded_exponent(s.substr(j));
        if (!exponent.empty() && exponent[0] == '-') exponent_value = -exponent_value;
        if (!exponent.empty() && exponent[0] == '+') exponent.clear();
        normal += 'e';
        normal += exponent;
        normal.append(s.substr(j));
    }
    float value = 0.0f;
    const auto res = std::from_chars(normal.data(), normal.data() + normal.size(), value);
    if (res.ptr != normal.data() + normal.size()) return false;
    if (res.ec == std::errc::result_out_of_range) {
        // Well written but beyond the range of a real: it is still a number,
        // and becomes what the arithmetic gives on overflow or underflow, an
        // infinity or a zero of its sign, rather than an unreadable value.
        const bool large = mantissa.find_first_of("123456789") != std::string_view::npos &&
                           leading_exponent(mantissa) + exponent_value > 0;
        value = large ? std::numeric_limits<float>::infinity() : 0.0f;
        out = negative ? -value : value;
        return true;
    }
    if (res.ec != std::errc{}) return false;
    out = value;
    return true;
}

}  // namespace celltrend
