#include "macros.hpp"

#include <algorithm>
#include <cstddef>
#include <string>

#include "fixed_text.hpp"

namespace celltrend {

namespace {

std::string_view view_of(std::span<const char> text) { return {text.data(), text.size()}; }

// The position just after the last non-blank character: the length of the
// text's value.
std::size_t value_length(std::string_view text) { return trim_right(text).size(); }

}  // namespace

int column_count(std::string_view line) {
    std::string_view rest = line.substr(0, std::min(line.size(), column_count_limit));
    const std::size_t first = rest.find_first_not_of(' ');
    if (first == std::string_view::npos) return 0;
    rest = trim_right(rest.substr(first));

    // A report name may hold blanks when it is quoted, so everything up to the
    // closing quote belongs to the first column.  Dropping the text up to the
    // opening quote means a word glued to the closing quote stays part of the
    // name, and a lone quote leaves only the words after it to be counted.
    std::size_t scan_start = 0;
    if (const std::size_t open = rest.find('"'); open != std::string_view::npos) {
        rest.remove_prefix(open + 1);
        const std::size_t close = rest.find('"');
        scan_start = close == std::string_view::npos ? 0 : close + 1;
    }

    int count = 1;  // the first column, whatever it holds
    for (std::size_t k = std::max<std::size_t>(scan_start, 1); k < rest.size(); ++k)
        if (rest[k] != ' ' && rest[k - 1] == ' ') ++count;
    return count;
}

// Case is changed by code alone: the program's texts are bytes, and a
// locale-aware conversion would alter bytes above 127 on some systems.
std::string l_case(std::string_view text) {
    std::string result(text);
    for (char& ch : result)
        if (ch >= 'A' && ch <= 'Z') ch = static_cast<char>(ch + ('a' - 'A'));
    return result;
}

std::string u_case(std::string_view text) {
    std::string result(text);
    for (char& ch : result)
        if (ch >= 'a' && ch <= 'z') ch = static_cast<char>(ch - ('a' - 'A'));
    return result;
}

void error_message(Console& console, std::string_view text) {
    // The leading blank of each record is line control, so the first and last
    // records show as empty lines framing the message.
    console.formatted("(A)", {std::string_view{" "}});
    console.formatted(
        "(3A)", {std::string_view{"   >> Error reading file at line: "}, trim_right(text), std::string_view{" !"}});
    console.formatted("(A)", {std::string_view{" "}});
}

float sign_of_real(float x) { return x < 0.0f ? -1.0f : 1.0f; }

float sign_of_int(long long n) { return n < 0 ? -1.0f : 1.0f; }

void remove_text(std::span<char> text, std::string_view car) {
    // An empty car has no occurrence to remove; taken literally it would
    // match at every position and eat the whole text.
    if (car.empty()) return;
    const std::size_t cut = std::max<std::size_t>(value_length(car), 1);

    std::size_t from = 0;
    for (;;) {
        const std::string_view current = view_of(text);
        const std::size_t at = current.find(car, from);
        if (at == std::string_view::npos || at >= value_length(current)) return;
        std::copy(text.begin() + static_cast<std::ptrdiff_t>(at + cut), text.end(),
                  text.begin() + static_cast<std::ptrdiff_t>(at));
        std::fill(text.end() - static_cast<std::ptrdiff_t>(cut), text.end(), ' ');
        // The first occurrence is the one searched for.  Nothing before `at`
        // changed, so an occurrence that starts earlier must reach into the
        // shifted part; the search can resume that far back and still finds
        // the same occurrence a search from the start would.
        from = at >= car.size() ? at - car.size() + 1 : 0;
    }
}

void remove_line(std::span<char> text, std::string_view pattern) {
    if (view_of(text).find(pattern) != std::string_view::npos) std::fill(text.begin(), text.end(), ' ');
}

void replace_text(std::span<char> text, std::string_view old_text, std::string_view new_text) {
    const std::size_t cut = value_length(old_text);
    const std::size_t length = text.size();
    // A call whose replacements keep creating matches (new holding old, old all
    // blank) could otherwise run for ever.  The bound is generous: a sensible
    // call makes about one replacement per match in the text.
    const std::size_t max_replacements = (length + 1) * (length + 1);

    std::string rebuilt;
    rebuilt.reserve(length + new_text.size());
    for (std::size_t done = 0; done < max_replacements; ++done) {
        const std::string_view current = view_of(text);
        const std::size_t at = current.find(old_text);
        if (at == std::string_view::npos || at >= value_length(current)) return;

        rebuilt.assign(current.substr(0, at));
        rebuilt.append(new_text);
        rebuilt.append(current.substr(std::min(at + cut, length)));
        rebuilt.resize(length, ' ');
        // Another search from the start would meet the same match again.
        if (std::string_view(rebuilt) == current) return;
        std::copy(rebuilt.begin(), rebuilt.end(), text.begin());
    }
}

void write_message(Console& console, std::string_view text) {
    const std::string_view value = trim_right(text);
    if (value.empty())
        console.message({std::string_view{" "}});
    else
        console.formatted("(A)", {value});
}

CharacterClass check_character(std::string_view character) {
    CharacterClass result;
    if (character.empty()) return result;
    const char ch = character.front();
    if ((ch >= 'a' && ch <= 'z') || (ch >= 'A' && ch <= 'Z'))
        result.letter = true;
    else if (std::string_view(".-0123456789").find(ch) != std::string_view::npos)
        result.numeric = true;
    return result;
}

}  // namespace celltrend
