// Text utilities: column counting of buffer-file lines, and the small text
// and message routines.  Expected values are worked out by hand from the
// routines' rules.

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <limits>
#include <sstream>
#include <string>

#include "console.hpp"
#include "macros.hpp"

using namespace celltrend;

namespace {

// Runs fn against a console whose output is captured, ends the pending line,
// and returns every byte written.
template <typename Fn>
std::string console_output(Fn fn) {
    std::istringstream in;
    std::ostringstream out;
    Console console(in, out, false);
    fn(console);
    console.finish();
    return out.str();
}

}  // namespace

// ---- column count ----------------------------------------------------------

TEST(ColonnesTest, BlankLinesHaveNoColumns) {
    EXPECT_EQ(column_count(""), 0);
    EXPECT_EQ(column_count(" "), 0);
    EXPECT_EQ(column_count(std::string(256, ' ')), 0);
}

TEST(ColonnesTest, SingleWordIsOneColumn) {
    EXPECT_EQ(column_count("report.html"), 1);
    EXPECT_EQ(column_count("x"), 1);
}

TEST(ColonnesTest, NameAndTemperature) { EXPECT_EQ(column_count("nreport_100K.html 100"), 2); }

TEST(ColonnesTest, NameTemperatureAndMatrix) {
    EXPECT_EQ(column_count("nreport_100K.html 100 1 0 0 0 1 0 0 0 1"), 11);
    EXPECT_EQ(column_count("r.html 295.5 0 1 0 1 0 0 0 0 -1"), 11);
}

TEST(ColonnesTest, SurroundingAndRepeatedBlanksDoNotCount) {
    EXPECT_EQ(column_count("   nreport.html 100"), 2);
    EXPECT_EQ(column_count("nreport.html 100      "), 2);
    EXPECT_EQ(column_count("nreport.html      100"), 2);
    EXPECT_EQ(column_count("     a    b  c         "), 3);
    // A buffer-file line as the program holds it: 256 characters, padded.
    std::string padded = "  run1.html   150  ";
    padded.resize(256, ' ');
    EXPECT_EQ(column_count(padded), 2);
}

TEST(ColonnesTest, QuotedNameWithBlanksIsOneColumn) {
    EXPECT_EQ(column_count("\"my report.html\" 100"), 2);
    EXPECT_EQ(column_count("\"a b c d\" 100 1 0 0 0 1 0 0 0 1"), 11);
    EXPECT_EQ(column_count("\"a b c d\""), 1);
    EXPECT_EQ(column_count("   \"a   b\"    100   "), 2);
    // The closing quote after a blank starts no column of its own.
    EXPECT_EQ(column_count("\"my report \" 100"), 2);
}

TEST(ColonnesTest, WordGluedToClosingQuoteJoinsFirstColumn) {
    EXPECT_EQ(column_count("\"my report.html\"100"), 1);
    EXPECT_EQ(column_count("\"my report.html\"100 200"), 2);
}

TEST(ColonnesTest, LoneQuoteCountsWordsAfterIt) {
    // Dropped up to the quote: "abc def ghi" is left; the first column is the
    // initial 1, then def and ghi each follow a blank.
    EXPECT_EQ(column_count("\"abc def ghi"), 3);
    // Words before the quote are dropped with it.
    EXPECT_EQ(column_count("first second \"third fourth"), 2);
    EXPECT_EQ(column_count("\""), 1);
}

TEST(ColonnesTest, QuoteInsideLineStartsTheScanAfterTheClosingOne) {
    // "name " and the opening quote go, "x y" is closed, then " 3" adds one.
    EXPECT_EQ(column_count("name \"x y\" 3"), 2);
}

TEST(ColonnesTest, CommasAndTabsDoNotSeparate) {
    EXPECT_EQ(column_count("nreport.html,100"), 1);
    EXPECT_EQ(column_count("nreport.html\t100"), 1);
    EXPECT_EQ(column_count("a,b c\td"), 2);
    EXPECT_EQ(column_count("\t"), 1);
}

TEST(ColonnesTest, OnlyTheFirst256000CharactersCount) {
    std::string line(256000, ' ');
    line.front() = 'a';
    line.back() = 'b';  // the 256,000th character
    EXPECT_EQ(column_count(line), 2);

    line.back() = ' ';
    line.push_back('b');  // the 256,001st
    EXPECT_EQ(column_count(line), 1);

    // Blanks filling the whole considered part make a blank line.
    std::string late(256000, ' ');
    late += "x y";
    EXPECT_EQ(column_count(late), 0);
}

// ---- case conversion ---------------------------------------------------------

TEST(MacrosTest, LowerCaseTouchesOnlyAsciiCapitals) {
    // Neighbours of the letter ranges (@ [ ` {), digits, punctuation, a
    // Latin-1 capital E acute and a UTF-8 sequence must all stay as they are.
    const std::string text = "ABC xyz 09!? @[`{ Z\xC9\xC3\x89   ";
    const std::string lowered = l_case(text);
    EXPECT_EQ(lowered, "abc xyz 09!? @[`{ z\xC9\xC3\x89   ");
    EXPECT_EQ(lowered.size(), text.size());
}

TEST(MacrosTest, UpperCaseTouchesOnlyAsciiSmallLetters) {
    const std::string text = "abc XYZ 09!? @[`{ z\xE9\xC3\xA9\xFF  ";
    const std::string raised = u_case(text);
    EXPECT_EQ(raised, "ABC XYZ 09!? @[`{ Z\xE9\xC3\xA9\xFF  ");
    EXPECT_EQ(raised.size(), text.size());
}

TEST(MacrosTest, CaseConversionOfEmptyAndBlankTexts) {
    EXPECT_EQ(l_case(""), "");
    EXPECT_EQ(u_case("    "), "    ");
}

// ---- signs ---------------------------------------------------------------------

TEST(MacrosTest, SignOfReal) {
    EXPECT_EQ(sign_of_real(0.0f), 1.0f);
    EXPECT_EQ(sign_of_real(-0.0f), 1.0f);  // -0 is not below 0
    EXPECT_EQ(sign_of_real(-0.5f), -1.0f);
    EXPECT_EQ(sign_of_real(2.5f), 1.0f);
    EXPECT_EQ(sign_of_real(-std::numeric_limits<float>::denorm_min()), -1.0f);
    EXPECT_EQ(sign_of_real(-std::numeric_limits<float>::infinity()), -1.0f);
    EXPECT_EQ(sign_of_real(std::numeric_limits<float>::quiet_NaN()), 1.0f);
    EXPECT_EQ(sign_of_real(-std::numeric_limits<float>::quiet_NaN()), 1.0f);
}

TEST(MacrosTest, SignOfInteger) {
    EXPECT_EQ(sign_of_int(0), 1.0f);
    EXPECT_EQ(sign_of_int(-3), -1.0f);
    EXPECT_EQ(sign_of_int(7), 1.0f);
    EXPECT_EQ(sign_of_int(LLONG_MIN), -1.0f);
    EXPECT_EQ(sign_of_int(LLONG_MAX), 1.0f);
}

// ---- remove_text ------------------------------------------------------------------

TEST(MacrosTest, RemoveBlankPacksWords) {
    std::string text = "  a b  c   ";
    remove_text(text, " ");
    EXPECT_EQ(text, "abc        ");
}

TEST(MacrosTest, RemoveCharacterEverywhereInTheValue) {
    std::string text = "1,234,567  ";
    remove_text(text, ",");
    EXPECT_EQ(text, "1234567    ");
}

TEST(MacrosTest, RemoveAbsentCharacterLeavesText) {
    std::string text = "abc  ";
    remove_text(text, "x");
    EXPECT_EQ(text, "abc  ");
}

TEST(MacrosTest, RemoveBlankAfterValueLeavesText) {
    // The only blanks lie after the last non-blank character.
    std::string text = "abc   ";
    remove_text(text, " ");
    EXPECT_EQ(text, "abc   ");
}

TEST(MacrosTest, RemoveFindsOccurrencesMadeByEarlierRemovals) {
    // "aabbc": removing "ab" at the second position joins the first a to the
    // second b, which must go as well.
    std::string text = "aabbc ";
    remove_text(text, "ab");
    EXPECT_EQ(text, "c     ");
}

TEST(MacrosTest, RemoveComparesTrailingBlanksButCutsOnlyTheValue) {
    // car "a " matches an a followed by a blank, and only the a is removed.
    std::string text = "a a ab";
    remove_text(text, "a ");
    EXPECT_EQ(text, "  ab  ");
}

TEST(MacrosTest, RemoveMatchMustStartWithinTheValue) {
    // The second x is the last non-blank character, so a match starting
    // there is removed; a match starting in the padding is not.
    std::string text = "x x   ";
    remove_text(text, "x ");
    EXPECT_EQ(text, "      ");
    std::string tail = "ab    ";
    remove_text(tail, "  ");
    EXPECT_EQ(tail, "ab    ");
}

TEST(MacrosTest, RemoveEmptyCarLeavesText) {
    std::string text = "abc";
    remove_text(text, "");
    EXPECT_EQ(text, "abc");
}

// ---- remove_line ---------------------------------------------------------------

TEST(MacrosTest, RemoveLineBlanksTextHoldingPattern) {
    std::string text = "the pattern here  ";
    remove_line(text, "pattern");
    EXPECT_EQ(text, std::string(18, ' '));
}

TEST(MacrosTest, RemoveLineIsCaseSensitive) {
    std::string text = "the pattern here";
    remove_line(text, "Pattern");
    EXPECT_EQ(text, "the pattern here");
}

TEST(MacrosTest, RemoveLineWithLongerPatternNeverMatches) {
    std::string text = "short";
    remove_line(text, "short and longer");
    EXPECT_EQ(text, "short");
}

TEST(MacrosTest, RemoveLineComparesTrailingBlanks) {
    std::string exact = "abc";
    remove_line(exact, "c ");
    EXPECT_EQ(exact, "abc");
    std::string padded = "abc ";
    remove_line(padded, "c ");
    EXPECT_EQ(padded, "    ");
}

// ---- replace_text ---------------------------------------------------------------

TEST(MacrosTest, ReplaceCommasByBlanks) {
    std::string text = "1,2,3,  ";
    replace_text(text, ",", " ");
    EXPECT_EQ(text, "1 2 3   ");
}

TEST(MacrosTest, ReplaceByLongerText) {
    std::string text = "a-b-c     ";
    replace_text(text, "-", "+=");
    EXPECT_EQ(text, "a+=b+=c   ");
}

TEST(MacrosTest, ReplaceByShorterTextFindsJoinedOccurrences) {
    std::string text = "abcabc    ";
    replace_text(text, "abc", "x");
    EXPECT_EQ(text, "xx        ");
}

TEST(MacrosTest, ReplaceInsertsNewWithItsTrailingBlanks) {
    std::string text = "xay    ";
    replace_text(text, "a", "b  ");
    EXPECT_EQ(text, "xb  y  ");
}

TEST(MacrosTest, ReplaceComparesOldWithItsTrailingBlanks) {
    // old "b " is found only where b is followed by a blank; its value "b"
    // is what gets replaced.
    std::string text = "ab cb";
    replace_text(text, "b ", "X");
    EXPECT_EQ(text, "aX cb");
}

TEST(MacrosTest, ReplaceCutsResultToTextLength) {
    std::string text = "a.b";
    replace_text(text, ".", "12345");
    EXPECT_EQ(text, "a12");
}

TEST(MacrosTest, ReplaceEndsWhenNewHoldsOldAtItsFront) {
    // "xa  " -> "xab " -> "xabb", after which the replacement changes nothing.
    std::string text = "xa  ";
    replace_text(text, "a", "ab");
    EXPECT_EQ(text, "xabb");
}

TEST(MacrosTest, ReplaceEndsWhenNewHoldsOldAtItsBack) {
    // Each replacement pushes the a one place right until it falls off.
    std::string text = "a   ";
    replace_text(text, "a", "ba");
    EXPECT_EQ(text, "bbbb");
}

TEST(MacrosTest, ReplaceEndsWhenOldIsAllBlank) {
    // Nothing is removed, so x goes in front of the same blank again and
    // again, pushing the rest of the text off its end.
    std::string text = "a b c   ";
    replace_text(text, " ", "x");
    EXPECT_EQ(text, "axxxxxx ");
}

TEST(MacrosTest, ReplaceBlankByBlankEnds) {
    // An all-blank old has an empty value, so each blank found gets another
    // blank in front of it: the words after the first are pushed off the end.
    std::string text = "a b c   ";
    replace_text(text, " ", " ");
    EXPECT_EQ(text, "a       ");
}

TEST(MacrosTest, ReplaceEndsWithEmptyOld) {
    // An empty old matches at the front every time: x is inserted until the
    // text is all x and nothing changes any more.
    std::string text = "ab  ";
    replace_text(text, "", "x");
    EXPECT_EQ(text, "xxxx");
}

TEST(MacrosTest, ReplaceEndsOnLongTextWhoseNewHoldsOld) {
    std::string text(256, ' ');
    text.replace(0, 5, "a,b,c");
    replace_text(text, ",", ",,");
    // The first comma doubles until it fills the text after the a.
    EXPECT_EQ(text, "a" + std::string(255, ','));
}

// ---- console messages ----------------------------------------------------------

TEST(MacrosTest, ErrorMessageWritesThreeLines) {
    const std::string out = console_output([](Console& c) { error_message(c, "12  "); });
    EXPECT_EQ(out, "\n  >> Error reading file at line: 12 !\n\n");
}

TEST(MacrosTest, ErrorMessageWithBlankText) {
    const std::string out = console_output([](Console& c) { error_message(c, "   "); });
    EXPECT_EQ(out, "\n  >> Error reading file at line:  !\n\n");
}

TEST(MacrosTest, WriteMessageShowsTextAfterLineControl) {
    const std::string out = console_output([](Console& c) {
        write_message(c, " First   ");
        write_message(c, "    ");
        write_message(c, " Last");
        write_message(c, "xyz");  // its first character is taken as line control
    });
    EXPECT_EQ(out, "First\n \nLast\nyz\n");
}

// ---- check_character -------------------------------------------------------------

TEST(MacrosTest, CheckCharacterClassesOverAllBytes) {
    const std::string_view letters = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ";
    const std::string_view numerics = ".-0123456789";
    int letter_count = 0;
    int numeric_count = 0;
    for (int code = 0; code < 256; ++code) {
        const char ch = static_cast<char>(code);
        const CharacterClass cls = check_character(std::string_view(&ch, 1));
        const bool is_letter = letters.find(ch) != std::string_view::npos;
        const bool is_numeric = numerics.find(ch) != std::string_view::npos;
        EXPECT_EQ(cls.letter, is_letter) << "byte " << code;
        EXPECT_EQ(cls.numeric, is_numeric) << "byte " << code;
        letter_count += cls.letter;
        numeric_count += cls.numeric;
    }
    EXPECT_EQ(letter_count, 52);
    EXPECT_EQ(numeric_count, 12);
}

TEST(MacrosTest, CheckCharacterNamedCases) {
    EXPECT_TRUE(check_character("e").letter);  // an exponent letter is a letter
    EXPECT_FALSE(check_character("E").numeric);
    EXPECT_TRUE(check_character(".").numeric);
    EXPECT_TRUE(check_character("-").numeric);
    const CharacterClass plus = check_character("+");
    EXPECT_FALSE(plus.letter || plus.numeric);
    const CharacterClass blank = check_character(" ");
    EXPECT_FALSE(blank.letter || blank.numeric);
    const CharacterClass comma = check_character(",");
    EXPECT_FALSE(comma.letter || comma.numeric);
    const CharacterClass high = check_character("\xE9");
    EXPECT_FALSE(high.letter || high.numeric);
}

TEST(MacrosTest, CheckCharacterLooksAtFirstCharacterOnly) {
    const CharacterClass digit_first = check_character("9abc");
    EXPECT_TRUE(digit_first.numeric);
    EXPECT_FALSE(digit_first.letter);
    const CharacterClass letter_first = check_character("a123");
    EXPECT_TRUE(letter_first.letter);
    EXPECT_FALSE(letter_first.numeric);
    const CharacterClass empty = check_character("");
    EXPECT_FALSE(empty.letter || empty.numeric);
}
