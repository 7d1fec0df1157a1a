// List-style input: separators, quotes, repeats, null values, the slash, the
// number notations and the status of an internal read.

#include <cmath>
#include <deque>
#include <functional>
#include <limits>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "fixed_text.hpp"
#include "list_input.hpp"

namespace celltrend {
namespace {

constexpr float untouched = -777.0f;

// Reads `count` reals (each starting as `untouched`) from one record.
ListStatus read_reals(std::string_view record, std::vector<float>& values, std::size_t count) {
    values.assign(count, untouched);
    std::vector<ListItem> items;
    for (float& v : values) items.emplace_back(&v);
    return list_read(record, items);
}

TEST(ListSeparators, BlanksTabsAndCommas) {
    struct Case {
        const char* record;
        std::vector<float> expected;
    };
    const std::vector<Case> cases =
        {
            {"1 2 3", {1, 2, 3}},       {"   1    2\t3   ", {1, 2, 3}},
            {"\t1\t\t2\t3", {1, 2, 3}}, {"1,2,3", {1, 2, 3}},
            {"1 , 2 ,3", {1, 2, 3}},  // blanks around a comma: one separator
            {"1\t,\t2,\t3", {1, 2, 3}}, {"1, 2 3", {1, 2, 3}},
            {"1 2 3 4 5", {1, 2, 3}},  // what follows the last item is ignored
        };
    for (const Case& c : cases) {
        std::vector<float> v;
        EXPECT_EQ(read_reals(c.record, v, 3), ListStatus::ok) << c.record;
        EXPECT_EQ(v, c.expected) << c.record;
    }
}

// A comma right after another separator is a null value: its item keeps what
// it held.  So does every item after a slash.
TEST(ListSeparators, NullValuesAndSlash) {
    const float u = untouched;
    struct Case {
        const char* record;
        std::vector<float> expected;
        ListStatus status;
    };
    const std::vector<Case> cases = {
        {"1,,3", {1, u, 3}, ListStatus::ok},    {",2,3", {u, 2, 3}, ListStatus::ok},
        {",,3", {u, u, 3}, ListStatus::ok},     {"1, ,3", {1, u, 3}, ListStatus::ok},
        {"1 , , 3", {1, u, 3}, ListStatus::ok}, {"1,,,", {1, u, u}, ListStatus::ok},
        {"1 / 2 3", {1, u, u}, ListStatus::ok}, {"1,2/3", {1, 2, u}, ListStatus::ok},
        {"/", {u, u, u}, ListStatus::ok},       {"  /1 2 3", {u, u, u}, ListStatus::ok},
        {",/", {u, u, u}, ListStatus::ok},      {"1 2 3/", {1, 2, 3}, ListStatus::ok},
        {"1,2,", {1, 2, u}, ListStatus::end},  // the record ends before the third value
    };
    for (const Case& c : cases) {
        std::vector<float> v;
        EXPECT_EQ(read_reals(c.record, v, 3), c.status) << c.record;
        EXPECT_EQ(v, c.expected) << c.record;
    }
}

// r*value stands for r copies, r* for r null values.
TEST(ListRepeats, CountsAndNulls) {
    const float u = untouched;
    struct Case {
        const char* record;
        std::vector<float> expected;
        ListStatus status;
    };
    const std::vector<Case> cases = {
        {"3*1.5", {1.5f, 1.5f, 1.5f}, ListStatus::ok}, {"2*1.5 7", {1.5f, 1.5f, 7}, ListStatus::ok},
        {"1 2*7", {1, 7, 7}, ListStatus::ok},          {"5*2", {2, 2, 2}, ListStatus::ok},
        {"2* 7", {u, u, 7}, ListStatus::ok},           {"2*,7", {u, u, 7}, ListStatus::ok},
        {"1 2*", {1, u, u}, ListStatus::ok},           {"3*", {u, u, u}, ListStatus::ok},
        {"2*/ 5", {u, u, u}, ListStatus::ok},          {"2*4", {4, 4, u}, ListStatus::end},
        {"2*x", {u, u, u}, ListStatus::bad},
    };
    for (const Case& c : cases) {
        std::vector<float> v;
        EXPECT_EQ(read_reals(c.record, v, 3), c.status) << c.record;
        EXPECT_EQ(v, c.expected) << c.record;
    }
}

TEST(ListRepeats, RepeatedText) {
    Text<4> a("????"), b("????");
    const std::vector<ListItem> items = {a.span(), b.span()};
    EXPECT_EQ(list_read("2*'ab'", items), ListStatus::ok);
    EXPECT_EQ(a.view(), "ab  ");
    EXPECT_EQ(b.view(), "ab  ");
}

TEST(ListNumbers, EveryNotationAccepted) {
    struct Case {
        const char* text;
        float expected;
    };
    const std::vector<Case> cases = {
        {"295", 295.0f},      {"295.", 295.0f},    {"295.5", 295.5f},         {".5", 0.5f},
        {"2.955E2", 295.5f},  {"2.955e2", 295.5f}, {"2.955D2", 295.5f},       {"2.955d2", 295.5f},
        {"2.955E+2", 295.5f}, {"2955E-1", 295.5f}, {"1.0+2", 100.0f},         {"1.0-2", 0.01f},
        {"+3", 3.0f},         {"-4", -4.0f},       {"-.25", -0.25f},          {"0", 0.0f},
        {"007", 7.0f},        {"1e0", 1.0f},       {"12345.678", 12345.678f},
    };
    for (const Case& c : cases) {
        std::vector<float> v;
        EXPECT_EQ(read_reals(c.text, v, 1), ListStatus::ok) << c.text;
        EXPECT_EQ(v[0], c.expected) << c.text;
        float direct = untouched;
        EXPECT_TRUE(parse_real(c.text, direct)) << c.text;
        EXPECT_EQ(direct, c.expected) << c.text;
    }
}

TEST(ListNumbers, NegativeZero) {
    float x = 1.0f;
    ASSERT_TRUE(parse_real("-0", x));
    EXPECT_TRUE(x == 0.0f && std::signbit(x));
}

// Spelt-out special values are words, not numbers: they would put a NaN or an
// infinity into a table that no arithmetic produced.
TEST(ListNumbers, NaNAndInfinityAreNoNumbers) {
    for (const char* text : {"NaN", "nan", "-nan", "+NaN", "Inf", "inf", "-Inf", "Infinity", "-infinity", "INFINITY",
                             "nan(0x1)", "infinit"}) {
        std::vector<float> v;
        EXPECT_EQ(read_reals(text, v, 1), ListStatus::bad) << text;
        EXPECT_EQ(v[0], untouched) << text;
        float x = untouched;
        EXPECT_FALSE(parse_real(text, x)) << text;
        EXPECT_EQ(x, untouched) << text;
    }
}

// A number beyond the range of a real is still a number: too large, it is an
// infinity of its sign; too small, a zero of its sign, as the arithmetic of
// the program would give.
TEST(ListNumbers, BeyondTheRangeOfAReal) {
    const float inf = std::numeric_limits<float>::infinity();
    struct Case {
        const char* text;
        float expected;
    };
    const std::vector<Case> cases = {
        {"1e39", inf},
        {"-1e39", -inf},
        {"1E99999", inf},
        {"0.0001e43", inf},
        {"123456789012345678901234567890123456789012", inf},
        {"3.5e38", inf},
        {"1e-50", 0.0f},
        {"-1e-50", -0.0f},
        {"1d-99999", 0.0f},
        {"123456789e-60", 0.0f},
        {"1e-46", 0.0f},
        {"1e+99999999999999999999", inf},
        {"1-99999999999999999999", 0.0f},
        {"0.00000000000000000000000000000000000000000000000001", 0.0f},
        // Still within range: a subnormal, and the largest real.
        {"1e-45", std::numeric_limits<float>::denorm_min()},
        {"3.4028234e38", std::numeric_limits<float>::max()},
    };
    for (const Case& c : cases) {
        std::vector<float> v;
        EXPECT_EQ(read_reals(c.text, v, 1), ListStatus::ok) << c.text;
        EXPECT_EQ(v[0], c.expected) << c.text;
        EXPECT_EQ(std::signbit(v[0]), std::signbit(c.expected)) << c.text;
    }
}

TEST(ListNumbers, AnythingElseIsBad) {
    const std::vector<const char*> bad = {
        "abc", "10.123(4)", "1.5e", "1.5e+", "'12'", "\"12\"", "1.2.3",    ".",   "+",
        "-",   "e5",        "1e5x", "--1",   "1..",  "0x10",   "<b>1</b>", "12a",
    };
    for (const char* text : bad) {
        std::vector<float> v;
        EXPECT_EQ(read_reals(text, v, 1), ListStatus::bad) << text;
        EXPECT_EQ(v[0], untouched) << text;
    }
    // The value read before a bad one keeps it.
    std::vector<float> v;
    EXPECT_EQ(read_reals("1,5e", v, 2), ListStatus::bad);
    EXPECT_EQ(v, (std::vector<float>{1, untouched}));
    float x = untouched;
    EXPECT_FALSE(parse_real("", x));
    EXPECT_FALSE(parse_real(" 1", x));
    EXPECT_FALSE(parse_real("1 ", x));
    EXPECT_EQ(x, untouched);
}

// A string item takes the whole value, however long; a null value or a
// slash leaves it as it was.
TEST(ListStrings, WholeValues) {
    std::string long_name(300, 'n');
    long_name += ".html";
    struct Case {
        std::string record;
        std::string expected;
    };
    const std::vector<Case> cases = {
        {long_name + " 5", long_name},
        {"'" + long_name + " with blanks' 5", long_name + " with blanks"},
        {", 5", "kept"},
        {"/", "kept"},
    };
    for (const Case& c : cases) {
        std::string name = "kept";
        float tk = untouched;
        const std::vector<ListItem> items = {&name, &tk};
        EXPECT_EQ(list_read(c.record, items), ListStatus::ok) << c.record;
        EXPECT_EQ(name, c.expected) << c.record;
    }
}

// Where a read stops: the item left without a value, and the text that could not be read.
TEST(ListRecord, WhereTheReadStopped) {
    struct Case {
        std::string record;
        ListStatus status;
        std::size_t item;
        std::string text;
    };
    const std::vector<Case> cases = {
        {"a 1 2 x", ListStatus::bad, 3, "x"}, {"a 1e", ListStatus::bad, 1, "1e"},
        {"a 1 '2'", ListStatus::bad, 2, "2"}, {"a 1", ListStatus::end, 2, ""},
        {"'a 1 2 3", ListStatus::end, 1, ""}, {"a 2*x", ListStatus::bad, 1, "x"},
    };
    for (const Case& c : cases) {
        std::string name;
        float v[3] = {untouched, untouched, untouched};
        const std::vector<ListItem> items = {&name, &v[0], &v[1], &v[2]};
        ListStop stop;
        EXPECT_EQ(list_read(c.record, items, stop), c.status) << c.record;
        EXPECT_EQ(stop.item, c.item) << c.record;
        EXPECT_EQ(stop.text, c.text) << c.record;
    }
}

TEST(ListRecord, RunningOutOfTheRecordIsEnd) {
    std::vector<float> v;
    EXPECT_EQ(read_reals("", v, 1), ListStatus::end);
    EXPECT_EQ(read_reals("   \t  ", v, 1), ListStatus::end);
    EXPECT_EQ(read_reals("1 2", v, 3), ListStatus::end);
    // The values already read keep them.
    EXPECT_EQ(v, (std::vector<float>{1, 2, untouched}));
}

TEST(ListText, QuotesAndCutting) {
    struct Case {
        const char* record;
        const char* expected;  // the variable's whole 8 characters
    };
    const std::vector<Case> cases = {
        {"abc", "abc     "},
        {"   abc  ", "abc     "},
        {"'a b,c/d'", "a b,c/d "},
        {"\"a b,c/d\"", "a b,c/d "},
        {"'it''s'", "it's    "},
        {"\"it's\"", "it's    "},
        {"\"say \"\"hi\"\"\"", "say \"hi\""},
        {"'  y'", "  y     "},
        {"''", "        "},
        {"\"\"", "        "},
        {"abcdefghijk", "abcdefgh"},
        {"'abcdefghij'", "abcdefgh"},
        {"data/buffer.txt", "data    "},
        {"'d/b.txt'", "d/b.txt "},
        {"n,y", "n       "},
        {"a\tb", "a       "},
        {"295", "295     "},
    };
    for (const Case& c : cases) {
        Text<8> t("????????");
        const std::vector<ListItem> items = {t.span()};
        EXPECT_EQ(list_read(c.record, items), ListStatus::ok) << c.record;
        EXPECT_EQ(t.view(), c.expected) << c.record;
    }
}

TEST(ListText, ShortVariableKeepsLeftmostCharacters) {
    struct Case {
        const char* record;
        const char* expected;
    };
    const std::vector<Case> cases = {
        {"yesss", "yes"}, {"yes please", "yes"}, {"  y", "y  "}, {"n,y", "n  "}, {"Yes", "Yes"}, {"'y es'", "y e"},
    };
    for (const Case& c : cases) {
        Text<3> t;
        const std::vector<ListItem> items = {t.span()};
        EXPECT_EQ(list_read(c.record, items), ListStatus::ok) << c.record;
        EXPECT_EQ(t.view(), c.expected) << c.record;
    }
}

// A buffer line: a report name, a temperature and, on a matrix line, nine more.
TEST(ListText, TextThenReals) {
    Text<64> name;
    float tk = untouched, second = untouched;
    const std::vector<ListItem> items = {name.span(), &tk, &second};

    EXPECT_NE(list_read("report.html 295 abc", items), ListStatus::ok);
    EXPECT_EQ(list_read("report.html 295 abc", items), ListStatus::bad);
    EXPECT_EQ(name.str(), "report.html");
    EXPECT_EQ(tk, 295.0f);  // read before the failure, kept
    EXPECT_EQ(second, untouched);

    EXPECT_EQ(list_read("\"my report.html\", 293.5, 1e-1", items), ListStatus::ok);
    EXPECT_EQ(name.str(), "my report.html");
    EXPECT_EQ(tk, 293.5f);
    EXPECT_EQ(second, 0.1f);

    EXPECT_EQ(list_read("other.html 10", items), ListStatus::end);
    EXPECT_EQ(name.str(), "other.html");
    EXPECT_EQ(tk, 10.0f);

    EXPECT_EQ(list_read("x.html '12' 1", items), ListStatus::bad);  // a quoted number is no number
    EXPECT_EQ(list_read("x.html 10.123(4) 1", items), ListStatus::bad);
}

TEST(ListText, MatrixLine) {
    Text<64> name;
    float m[10];
    std::vector<ListItem> items = {name.span()};
    for (float& x : m) items.emplace_back(&x);
    ASSERT_EQ(list_read("r.html 293 1 0 0 0 1. 0 0 0 1.0", items), ListStatus::ok);
    EXPECT_EQ(name.str(), "r.html");
    const float expected[10] = {293, 1, 0, 0, 0, 1, 0, 0, 0, 1};
    for (int i = 0; i < 10; ++i) EXPECT_EQ(m[i], expected[i]) << i;
}

// A read with more records behind it goes on to the next record when one runs
// out; empty and blank records count for nothing.
TEST(ListRecord, ContinuesOnFurtherRecords) {
    std::deque<std::string> more = {"", "   ", "\t", "2 3", "4"};
    const std::function<bool(std::string&)> next = [&more](std::string& line) {
        if (more.empty()) return false;
        line = more.front();
        more.pop_front();
        return true;
    };
    std::vector<float> v(3, untouched);
    const std::vector<ListItem> items = {&v[0], &v[1], &v[2]};
    EXPECT_EQ(list_read("1", items, next), ListStatus::ok);
    EXPECT_EQ(v, (std::vector<float>{1, 2, 3}));
    ASSERT_EQ(more.size(), 1u);  // the record with 4 was not needed

    Text<4> t("old");
    const std::vector<ListItem> one = {t.span()};
    more = {"", "  'a b'  c"};
    EXPECT_EQ(list_read("", one, next), ListStatus::ok);
    EXPECT_EQ(t.view(), "a b ");

    more = {"", ""};
    EXPECT_EQ(list_read("  ", one, next), ListStatus::end);
    EXPECT_EQ(t.view(), "a b ");
}

}  // namespace
}  // namespace celltrend
