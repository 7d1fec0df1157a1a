// The column count of buffer-file lines.  Expected values are worked out by
// hand from the rules of the header.

#include "column_count.hpp"

#include <gtest/gtest.h>

#include <string>

using namespace celltrend;

TEST(ColumnCount, BlankLinesHaveNoColumns) {
    EXPECT_EQ(column_count(""), 0);
    EXPECT_EQ(column_count(" "), 0);
    EXPECT_EQ(column_count(std::string(256, ' ')), 0);
}

TEST(ColumnCount, SingleWordIsOneColumn) {
    EXPECT_EQ(column_count("report.html"), 1);
    EXPECT_EQ(column_count("x"), 1);
}

TEST(ColumnCount, NameAndTemperature) { EXPECT_EQ(column_count("nreport_100K.html 100"), 2); }

TEST(ColumnCount, NameTemperatureAndMatrix) {
    EXPECT_EQ(column_count("nreport_100K.html 100 1 0 0 0 1 0 0 0 1"), 11);
    EXPECT_EQ(column_count("r.html 295.5 0 1 0 1 0 0 0 0 -1"), 11);
}

TEST(ColumnCount, SurroundingAndRepeatedBlanksDoNotCount) {
    EXPECT_EQ(column_count("   nreport.html 100"), 2);
    EXPECT_EQ(column_count("nreport.html 100      "), 2);
    EXPECT_EQ(column_count("nreport.html      100"), 2);
    EXPECT_EQ(column_count("     a    b  c         "), 3);
    // A buffer-file line as the program holds it: 256 characters, padded.
    std::string padded = "  run1.html   150  ";
    padded.resize(256, ' ');
    EXPECT_EQ(column_count(padded), 2);
}

TEST(ColumnCount, QuotedNameWithBlanksIsOneColumn) {
    EXPECT_EQ(column_count("\"my report.html\" 100"), 2);
    EXPECT_EQ(column_count("\"a b c d\" 100 1 0 0 0 1 0 0 0 1"), 11);
    EXPECT_EQ(column_count("\"a b c d\""), 1);
    EXPECT_EQ(column_count("   \"a   b\"    100   "), 2);
    // The closing quote after a blank starts no column of its own.
    EXPECT_EQ(column_count("\"my report \" 100"), 2);
}

TEST(ColumnCount, WordGluedToClosingQuoteJoinsFirstColumn) {
    EXPECT_EQ(column_count("\"my report.html\"100"), 1);
    EXPECT_EQ(column_count("\"my report.html\"100 200"), 2);
}

TEST(ColumnCount, LoneQuoteCountsWordsAfterIt) {
    // Dropped up to the quote: "abc def ghi" is left; the first column is the
    // initial 1, then def and ghi each follow a blank.
    EXPECT_EQ(column_count("\"abc def ghi"), 3);
    // Words before the quote are dropped with it.
    EXPECT_EQ(column_count("first second \"third fourth"), 2);
    EXPECT_EQ(column_count("\""), 1);
}

TEST(ColumnCount, QuoteInsideLineStartsTheScanAfterTheClosingOne) {
    // "name " and the opening quote go, "x y" is closed, then " 3" adds one.
    EXPECT_EQ(column_count("name \"x y\" 3"), 2);
}

TEST(ColumnCount, CommasAndTabsDoNotSeparate) {
    EXPECT_EQ(column_count("nreport.html,100"), 1);
    EXPECT_EQ(column_count("nreport.html\t100"), 1);
    EXPECT_EQ(column_count("a,b c\td"), 2);
    EXPECT_EQ(column_count("\t"), 1);
}

TEST(ColumnCount, OnlyTheFirst256000CharactersCount) {
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
