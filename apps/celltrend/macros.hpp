#pragma once
// macros_module: routines for blank-padded texts and console messages.
// Texts follow the program's conventions: blank-padded, the value ends at the
// last non-blank character, only the blank is blank, positions count from 1
// in the descriptions, comparisons are byte for byte and case-sensitive.

#include <cstddef>
#include <span>
#include <string>
#include <string_view>

#include "console.hpp"

namespace celltrend {

// The number of blank-separated columns of a line; a report name in double
// quotes at the head of the line is one column even with blanks inside.
// Only the first column_count_limit characters are considered.
inline constexpr std::size_t column_count_limit = 256000;
int column_count(std::string_view line);

// Copies of the text with A-Z lowered (l_case) or a-z raised (u_case); every
// other byte, the trailing blanks included, is kept.
std::string l_case(std::string_view text);
std::string u_case(std::string_view text);

// Three console lines: an empty one, "  >> Error reading file at line: " with
// the text, and an empty one.
void error_message(Console& console, std::string_view text);

// -1.0 for a value below 0, else 1.0 (0 and NaN give 1.0).
float sign_of_real(float x);
float sign_of_int(long long n);

// Removes every occurrence of car found before the end of the text's value;
// a blank car packs the words together; an empty car removes nothing.
void remove_text(std::span<char> text, std::string_view car);
// Blanks the whole text when it contains pattern.
void remove_line(std::span<char> text, std::string_view pattern);
// Replaces each occurrence of old before the end of the text's value by new
// (cut to the text's length), searching again from the start after every
// replacement, so matches that a replacement creates are replaced too.  Always
// ends: it stops when a replacement leaves the text unchanged (new holding old
// at its front, for instance), and in any case after (length + 1)^2
// replacements, a backstop for calls whose new holds old or whose old is all
// blank, which would otherwise keep finding the matches they create.
void replace_text(std::span<char> text, std::string_view old_text, std::string_view new_text);

// One console line with the text; an all-blank text gives an empty line.
void write_message(Console& console, std::string_view text);

struct CharacterClass {
    bool letter = false;
    bool numeric = false;
};
// Classifies the first character: ASCII letter, or one of ".-0123456789".
CharacterClass check_character(std::string_view character);

}  // namespace celltrend
