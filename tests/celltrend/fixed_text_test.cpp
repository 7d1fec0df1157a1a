// Blank-padded texts of fixed length.

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "fixed_text.hpp"

namespace celltrend {
namespace {

TEST(FixedText, AssignCutsOrPads) {
    struct Case {
        const char* value;
        const char* chars;    // all five characters
        const char* trimmed;  // the value
    };
    const std::vector<Case> cases = {
        {"", "     ", ""},           {"ab", "ab   ", "ab"},
        {"abcde", "abcde", "abcde"}, {"abcdefgh", "abcde", "abcde"},
        {"  a", "  a  ", "  a"},                                // leading blanks are part of the value
        {"a b  ", "a b  ", "a b"},   {"a\t", "a\t   ", "a\t"},  // only the blank counts as blank
        {"\t", "\t    ", "\t"},      {"     ", "     ", ""},
        {"abcd ", "abcd ", "abcd"},
    };
    for (const Case& c : cases) {
        const Text<5> t(c.value);
        EXPECT_EQ(t.view(), c.chars) << '"' << c.value << '"';
        EXPECT_EQ(t.trimmed(), c.trimmed) << '"' << c.value << '"';
        EXPECT_EQ(t.str(), c.trimmed);
        EXPECT_EQ(t.blank(), std::string(c.trimmed).empty());
    }
}

TEST(FixedText, DefaultIsBlankAndReassignmentClearsTheRest) {
    Text<4> t;
    EXPECT_EQ(t.view(), "    ");
    EXPECT_TRUE(t.blank());
    t.assign("wxyz");
    t.assign("a");
    EXPECT_EQ(t.view(), "a   ");
    EXPECT_EQ(Text<4>::size(), 4u);
    EXPECT_EQ(t[0], 'a');
    EXPECT_EQ(t[3], ' ');
}

TEST(FixedText, BytesAboveAsciiAndNulAreCharacters) {
    const std::string value("\0\xe9", 2);
    const Text<4> t(value);
    EXPECT_EQ(t.trimmed(), value);
    EXPECT_FALSE(t.blank());
}

TEST(FixedText, AdjustlMovesLeadingBlanksToTheEnd) {
    struct Case {
        const char* value;
        const char* after;
    };
    const std::vector<Case> cases = {
        {"  y", "y     "},  {"y", "y     "},      {"", "      "},
        {" a b", "a b   "}, {"     z", "z     "}, {"\ty", "\ty    "},
    };
    for (const Case& c : cases) {
        Text<6> t(c.value);
        t.adjustl();
        EXPECT_EQ(t.view(), c.after) << '"' << c.value << '"';
    }
}

TEST(FixedText, EqualityComparesAllCharacters) {
    EXPECT_EQ(Text<3>("y"), Text<3>("y  "));
    EXPECT_NE(Text<3>("y"), Text<3>(" y"));
    EXPECT_NE(Text<3>("Y"), Text<3>("y"));
}

TEST(FixedText, TrimRightAndAssignPadded) {
    EXPECT_EQ(trim_right("ab  "), "ab");
    EXPECT_EQ(trim_right("   "), "");
    EXPECT_EQ(trim_right(""), "");
    EXPECT_EQ(trim_right(" a\t "), " a\t");
    char buf[4];
    assign_padded(buf, "toolong");
    EXPECT_EQ(std::string(buf, 4), "tool");
    assign_padded(buf, "x");
    EXPECT_EQ(std::string(buf, 4), "x   ");
}

}  // namespace
}  // namespace celltrend
