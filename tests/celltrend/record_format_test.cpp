// Fixed-point, integer and field-list rendering of the record layer.  Every
// expected text below is worked out by hand from the exact binary value of the
// single-precision number and the rendering rules of Fw.d and Iw.

#include <cmath>
#include <limits>
#include <stdexcept>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "record_format.hpp"

namespace celltrend {
namespace {

struct FixedCase {
    float value;
    int w;
    int d;
    const char* expected;
};

void expect_fixed(const std::vector<FixedCase>& cases) {
    for (const FixedCase& c : cases) {
        const std::string got = format_fixed(c.value, c.w, c.d);
        EXPECT_EQ(got, c.expected) << "value " << c.value << " under F" << c.w << '.' << c.d;
        EXPECT_EQ(got.size(), static_cast<std::size_t>(c.w)) << "value " << c.value;
    }
}

TEST(FormatFixed, PlainValuesRightJustified) {
    expect_fixed({
        {295.0f, 6, 2, "295.00"},
        {-12.5f, 6, 2, "-12.50"},
        {293.0f, 8, 2, "  293.00"},
        {0.5f, 12, 5, "     0.50000"},
        {1.5f, 20, 5, "             1.50000"},
        {-0.25f, 20, 5, "            -0.25000"},
        {3.0f, 12, 3, "       3.000"},
        {100.0f, 6, 2, "100.00"},
    });
}

// A tie is judged on the exact binary value: 0.125, 2.5 and 0.5 are exact, so
// they go away from zero; 0.35f, 2.675f, 1.005f and 0.45f lie just below their
// decimal ties and go down; 0.15f lies just above (0.15000000596...) and goes up.
TEST(FormatFixed, TiesJudgedOnTheExactBinaryValue) {
    expect_fixed({
        {0.125f, 6, 2, "  0.13"},
        {-0.125f, 6, 2, " -0.13"},
        {0.375f, 5, 2, " 0.38"},
        {2.5f, 3, 0, " 3."},
        {-2.5f, 3, 0, "-3."},
        {0.5f, 3, 0, " 1."},
        {-0.5f, 3, 0, "-1."},
        {1.5f, 3, 0, " 2."},
        {0.15f, 6, 2, "  0.15"},
        {0.15f, 4, 1, " 0.2"},
        {0.35f, 4, 1, " 0.3"},               // 0.3499999940395...
        {0.45f, 4, 1, " 0.4"},               // 0.4499999880790...
        {2.675f, 5, 2, " 2.67"},             // 2.6749999523162...
        {1.005f, 5, 2, " 1.00"},             // 1.0049999952316...
        {1.015f, 5, 2, " 1.01"},             // 1.0149999856948...
        {0.005f, 6, 2, "  0.00"},            // 0.0049999998882...
        {0.000005f, 12, 5, "     0.00000"},  // 0.0000049999998...
        {2.5e-5f, 12, 4, "      0.0000"},    // 0.0000249999993...
    });
}

// n = min(e + d, 9) significant digits come from the value, the positions
// after them print as 0.
TEST(FormatFixed, AtMostNineSignificantDigits) {
    expect_fixed({
        // 12345.678f is 12345.677734375: nine digits 123456777, then a 0.
        {12345.678f, 20, 5, "         12345.67770"},
        // 123456.789f is 123456.7890625: full precision would end in 06.
        {123456.789f, 20, 5, "        123456.78900"},
        // 3e10f is 30000001024: the tenth digit and on print as 0.
        {3e10f, 20, 5, "   30000001000.00000"},
        // 2^43 = 8796093022208, tenth digit 2: cut, not rounded up.
        {8796093022208.0f, 20, 5, " 8796093020000.00000"},
        // 2^46 = 70368744177664, tenth digit 7: the ninth goes up; 20 wide exactly.
        {70368744177664.0f, 20, 5, "70368744200000.00000"},
        // 0.1f is 0.100000001490116...: nine digits after the point, then zeros.
        {0.1f, 20, 15, "   0.100000001000000"},
        // 0.3f is 0.300000011920928...: the tenth digit 9 rounds the ninth up.
        {0.3f, 20, 15, "   0.300000012000000"},
        // Fewer than nine digits asked for: no zero filling.
        {12345.678f, 12, 2, "    12345.68"},
    });
}

TEST(FormatFixed, TooWideGivesAsterisks) {
    expect_fixed({
        {1000.0f, 6, 2, "******"},
        {999.996f, 6, 2, "******"},  // 999.99597... rounds to 1000.00
        {999.994f, 6, 2, "999.99"},
        {-99.995f, 6, 2, "******"},  // -99.9950027... rounds to -100.00
        {-99.99f, 6, 2, "-99.99"},
        {9.996f, 4, 2, "****"},
        {1e30f, 20, 5, "********************"},
        {-1e30f, 20, 5, "********************"},
        // 2^47 = 140737488355328 needs 15 + 1 + 5 = 21 columns.
        {140737488355328.0f, 20, 5, "********************"},
        {std::numeric_limits<float>::max(), 12, 5, "************"},
        {1234567.0f, 12, 5, "************"},
    });
}

TEST(FormatFixed, NoMinusOnAValueThatPrintsAsZero) {
    expect_fixed({
        {0.0f, 12, 5, "     0.00000"},
        {-0.0f, 12, 5, "     0.00000"},
        {-0.000001f, 12, 5, "     0.00000"},
        {-0.001f, 6, 2, "  0.00"},
        {-0.004f, 6, 2, "  0.00"},
        {-0.006f, 6, 2, " -0.01"},
        {-0.0f, 3, 0, " 0."},
        {-0.4f, 3, 0, " 0."},
        {-1e-30f, 8, 2, "    0.00"},
        {-std::numeric_limits<float>::denorm_min(), 12, 5, "     0.00000"},
    });
}

TEST(FormatFixed, NoDecimalsField) {
    expect_fixed({
        {0.0f, 3, 0, " 0."},
        {1.0f, 3, 0, " 1."},
        {-1.0f, 3, 0, "-1."},
        {10.0f, 3, 0, "10."},
        {-10.0f, 3, 0, "***"},
        {99.4f, 3, 0, "99."},
        {99.5f, 3, 0, "***"},
        {0.4f, 3, 0, " 0."},
    });
}

// The 0 before the point of a value below 1 goes only when it does not fit.
TEST(FormatFixed, LeadingZeroDroppedOnlyWhenItDoesNotFit) {
    expect_fixed({
        {0.5f, 3, 2, ".50"},
        {0.5f, 4, 2, "0.50"},
        {-0.5f, 4, 2, "-.50"},
        {-0.5f, 5, 2, "-0.50"},
        {0.5f, 2, 2, "**"},
        {0.996f, 3, 2, "***"},  // rounds to 1.00, which has no 0 to drop
        {0.0f, 3, 2, ".00"},
        {0.25f, 2, 1, ".3"},
    });
}

TEST(FormatFixed, NotANumberAndInfinityLeftInTheField) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    const float minus_nan = std::copysign(nan, -1.0f);
    const float plus_nan = std::copysign(nan, 1.0f);
    expect_fixed({
        {minus_nan, 6, 2, "-NaN  "},
        {plus_nan, 6, 2, "NaN   "},
        {minus_nan, 12, 5, "-NaN        "},
        {inf, 12, 5, "Inf         "},
        {-inf, 12, 5, "-Inf        "},
        {-inf, 20, 5, "-Inf                "},
        {plus_nan, 3, 0, "NaN"},
        {inf, 3, 0, "Inf"},
        {minus_nan, 4, 1, "-NaN"},
        {minus_nan, 3, 0, "***"},
        {-inf, 3, 0, "***"},
        {plus_nan, 2, 0, "**"},
    });
}

TEST(FormatFixed, NotANumberOfAnInvalidOperationKeepsItsSignBit) {
    volatile float zero = 0.0f;
    const float q = zero / zero;
    const std::string expected = std::signbit(q) ? "-NaN  " : "NaN   ";
    EXPECT_EQ(format_fixed(q, 6, 2), expected);
}

TEST(FormatInt, RightJustifiedOrAsterisks) {
    struct Case {
        long long value;
        int w;
        const char* expected;
    };
    const std::vector<Case> cases = {
        {12, 8, "      12"},   {0, 6, "     0"},      {1, 6, "     1"},       {-5, 3, " -5"},
        {-12, 3, "-12"},       {-123, 3, "***"},      {1234, 3, "***"},       {999, 3, "999"},
        {123456, 6, "123456"}, {-99999, 6, "-99999"}, {-100000, 6, "******"},
    };
    for (const Case& c : cases) EXPECT_EQ(format_int(c.value, c.w), c.expected) << c.value << " under I" << c.w;
}

TEST(FormatRecord, TextFields) {
    EXPECT_EQ(format_record("(A)", {"abc"}), "abc");
    EXPECT_EQ(format_record("(A)", {"ab  "}), "ab  ");  // trailing blanks are part of the item
    EXPECT_EQ(format_record("(A)", {" "}), " ");
    EXPECT_EQ(format_record("(2A)", {"x", " y "}), "x y ");
    EXPECT_EQ(format_record("(3A)", {"   >> Error reading file at line: ", "buf.txt", " !"}),
              "   >> Error reading file at line: buf.txt !");
    EXPECT_EQ(format_record("(A,A)", {"TK_cell_a", ".pgf"}), "TK_cell_a.pgf");
}

// A1 takes the leftmost character of a longer item and right-justifies a
// shorter one.
TEST(FormatRecord, OneCharacterFields) {
    EXPECT_EQ(format_record("(A1,50A1)", {"#", "a", "b", "c"}), "#abc");
    EXPECT_EQ(format_record("(A1,200A1)", {"xyz", "", "q"}), "x q");
    EXPECT_EQ(format_record("(A1,50A1)", {"#"}), "#");
    EXPECT_EQ(format_record("(A3)", {"a"}), "  a");
    // The repeat count bounds the fields: items beyond them are not written.
    EXPECT_EQ(format_record("(A1,2A1)", {"a", "b", "c", "d"}), "abc");
}

TEST(FormatRecord, IntegerAfterText) {
    EXPECT_EQ(format_record("(A,I6)", {"# NUMBER OF PATTERNS: ", 1LL}), "# NUMBER OF PATTERNS:      1");
    EXPECT_EQ(format_record("(A,I8)", {"#  NUMBER OF POINTS : ", 12LL}), "#  NUMBER OF POINTS :       12");
    EXPECT_EQ(format_record("(A,I6)", {"n", 1234567LL}), "n******");
}

// When the items run out the line ends at the next field that needs one.
TEST(FormatRecord, ItemsRunningOutEndTheLine) {
    EXPECT_EQ(format_record("(A,I6)", {"# NUMBER OF PATTERNS: 1"}), "# NUMBER OF PATTERNS: 1");
    EXPECT_EQ(format_record("(A,F6.2,3A)", {"  T = ", 295.0f}), "  T = 295.00");
    EXPECT_EQ(format_record("(F6.2,2F20.5)", {}), "");
}

TEST(FormatRecord, TemperatureMessage) {
    EXPECT_EQ(format_record("(A,F6.2,3A)", {"  T = ", 295.0f, "  ", "cell_a", " not found"}),
              "  T = 295.00  cell_a not found");
    EXPECT_EQ(format_record("(A,F6.2,3A)", {"  T = ", 1000.0f, "a", "b", "c"}), "  T = ******abc");
}

TEST(FormatRecord, MatrixEchoLine) {
    const std::string line =
        format_record("(2X,A,F8.2,5X,A,3(1X,3F3.0),A)",
                      {" TK = ", 293.0f, "M = [", 1.0f, 0.0f, 0.0f, 0.0f, 1.0f, 0.0f, 0.0f, 0.0f, 1.0f, "]"});
    EXPECT_EQ(line, "   TK =   293.00     M = [  1. 0. 0.  0. 1. 0.  0. 0. 1.]");
    EXPECT_EQ(line.size(), 57u);

    const std::string odd =
        format_record("(2X,A,F8.2,5X,A,3(1X,3F3.0),A)",
                      {" TK = ", 12.345f, "M = [", -1.0f, 0.5f, -0.4f, 10.0f, -10.0f, 2.5f, 0.0f, -0.0f, 100.0f, "]"});
    EXPECT_EQ(odd, "   TK =    12.35     M = [ -1. 1. 0. 10.*** 3.  0. 0.***]");
}

TEST(FormatRecord, ResultTableLines) {
    // (F6.2,2F20.5): a temperature and one value with its ESD.
    EXPECT_EQ(format_record("(F6.2,2F20.5)", {295.0f, 10.5f, 0.25f}), "295.00            10.50000             0.25000");

    // (F6.2,14F12.5,2F12.3): the all-parameters line, 6 + 168 + 24 columns.
    const std::string all =
        format_record("(F6.2,14F12.5,2F12.3)", {100.0f, 1.0f, 2.0f, 3.0f, 4.0f, 5.0f, 6.0f, 7.0f, 8.0f, 9.0f, 10.0f,
                                                11.0f, 12.0f, 13.0f, 14.0f, 1234.5f, 0.0625f});
    ASSERT_EQ(all.size(), 198u);
    EXPECT_EQ(all.substr(0, 6), "100.00");
    EXPECT_EQ(all.substr(6, 12), "     1.00000");
    EXPECT_EQ(all.substr(6 + 13 * 12, 12), "    14.00000");
    EXPECT_EQ(all.substr(174, 12), "    1234.500");
    EXPECT_EQ(all.substr(186, 12), "       0.063");  // 0.0625 is exact: a tie, away from zero

    // (F6.2,7F12.5,2F12.3): a line of 6 + 84 + 24 columns.
    const std::string seven =
        format_record("(F6.2,7F12.5,2F12.3)", {-5.0f, 1.0f, 2.0f, 3.0f, 4.0f, 5.0f, 6.0f, 7.0f, 8.0f, 9.0f});
    ASSERT_EQ(seven.size(), 114u);
    EXPECT_EQ(seven.substr(0, 18), " -5.00     1.00000");
    EXPECT_EQ(seven.substr(90), "       8.000       9.000");
}

TEST(FormatRecord, FieldListSpelling) {
    // Lower case, no parentheses, blanks between fields.
    EXPECT_EQ(format_record("a, i4", {"n", 7LL}), "n   7");
    EXPECT_EQ(format_record("(2x, a)", {"x"}), "  x");
    EXPECT_EQ(format_record("(2(A,1X))", {"a", "b"}), "a b ");
}

TEST(FormatRecord, WrongItemOrUnknownFieldIsAProgrammingError) {
    EXPECT_THROW((void)format_record("(F6.2)", {"text"}), std::invalid_argument);
    EXPECT_THROW((void)format_record("(A)", {1.0f}), std::invalid_argument);
    EXPECT_THROW((void)format_record("(I6)", {1.0f}), std::invalid_argument);
    EXPECT_THROW((void)format_record("(Z6)", {1LL}), std::invalid_argument);
    EXPECT_THROW((void)format_record("(A", {"x"}), std::invalid_argument);
    EXPECT_THROW((void)format_record("(F6)", {1.0f}), std::invalid_argument);
    // A repeat count with no field after it, at the very end of the list: what
    // lies beyond the list (here an X) must not be taken for its field.
    EXPECT_THROW((void)format_record(std::string_view("A,3X", 3), {"x"}), std::invalid_argument);
    EXPECT_THROW((void)format_record(std::string_view("A,12X", 4), {"x"}), std::invalid_argument);
    EXPECT_THROW((void)format_record("(A,3", {"x"}), std::invalid_argument);
    EXPECT_THROW((void)format_record("(A,F6.", {"x"}), std::invalid_argument);
    EXPECT_THROW((void)format_record("(A,2)", {"x"}), std::invalid_argument);
}

}  // namespace
}  // namespace celltrend
