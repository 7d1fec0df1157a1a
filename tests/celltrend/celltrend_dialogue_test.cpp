// The start of a run as the user meets it: banner, buffer-file prompt and the
// y/n questions, driven through pipes.

#include <gtest/gtest.h>

#include "support/run_dir.hpp"

namespace celltrend::testing {
namespace {

const std::string created_plain = "\n \n   >>> The TK_parameters_HTML.xy file has been created \n";

std::string questions_up_to(std::size_t n) {
    static const char* const q[] = {
        "  >> Extract a (A) parameter (y/n) ?   ",       "  >> Extract b (A) parameter (y/n) ?   ",
        "  >> Extract c (A) parameter (y/n) ?   ",       "  >> Extract alpha (deg) parameter (y/n) ?   ",
        "  >> Extract beta (deg) parameter (y/n) ?    ", "  >> Extract gamma (deg) parameter (y/n) ?   ",
        "  >> Extract unit cell volume (A3) (y/n) ?   ", "  >> Extract crystal mosaicity (deg) (y/n) ? "};
    std::string s;
    for (std::size_t i = 0; i < n; ++i) s += std::string("\n \n") + q[i];
    return s;
}

TEST(Dialogue, MissingBufferFileIsAskedAgainThenTheRunEnds) {
    RunDir d;
    d.write("series.txt", "Title of the series\nsecond line\n");
    const RunResult r = d.run("nothere.txt\n\n\nseries.txt\ny\n");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, banner() + buffer_prompt +
                         "\n  !! nothere.txt does not exist !!\n   press Enter key to continue " + buffer_prompt +
                         all_question + created_plain);
}

TEST(Dialogue, ADirectoryIsNoBufferFile) {
    RunDir d;
    d.write("sub/series.txt", "T\nS\n");
    const RunResult r = d.run("sub\nsub/series.txt\ny\n");
    // "sub" is a directory and asked for again; the slash inside the next
    // name is the path's, so the file in it is read.
    EXPECT_EQ(r.status, 0);
    const std::string refused = "\n  !! sub does not exist !!\n   press Enter key to continue " + buffer_prompt;
    EXPECT_EQ(r.out, banner() + buffer_prompt + refused + all_question + created_plain);
}

TEST(Dialogue, QuotedNameWithSlashAndBlank) {
    RunDir d;
    d.write("my dir/series.txt", "T\nS\n");
    const RunResult r = d.run("'my dir/series.txt'\ny\n");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, banner() + buffer_prompt + all_question + created_plain);
    EXPECT_TRUE(d.exists("TK_parameters_HTML.xy"));
}

struct AnswerCase {
    std::string typed;
    bool yes;
};

class AllParametersAnswer : public ::testing::TestWithParam<AnswerCase> {};

TEST_P(AllParametersAnswer, FirstCharacterOfTheLeftAdjustedAnswerDecides) {
    RunDir d;
    d.write("series.txt", "T\nS\n");
    const RunResult r = d.run("series.txt\n" + GetParam().typed + "\nn\nn\nn\nn\nn\nn\nn\nn\n");
    EXPECT_EQ(r.status, 0);
    if (GetParam().yes) {
        EXPECT_EQ(r.out, banner() + buffer_prompt + all_question + created_plain);
    } else {
        EXPECT_EQ(r.out, banner() + buffer_prompt + all_question + questions_up_to(8) + "\n \n");
        EXPECT_FALSE(d.exists("TK_parameters_HTML.xy"));
    }
}

std::string case_name(const ::testing::TestParamInfo<AnswerCase>& info) {
    return "case" + std::to_string(info.index) + (info.param.yes ? "_yes" : "_no");
}

INSTANTIATE_TEST_SUITE_P(Answers, AllParametersAnswer,
                         ::testing::Values(AnswerCase{"y", true}, AnswerCase{"Y", true}, AnswerCase{"yes", true},
                                           AnswerCase{"Yes", true}, AnswerCase{"  'y'", true},
                                           AnswerCase{"'  y'", true}, AnswerCase{"\"  Y\"", true},
                                           AnswerCase{"yes please", true}, AnswerCase{"\n\n  y", true},
                                           AnswerCase{"n", false}, AnswerCase{"no", false}, AnswerCase{"N", false},
                                           AnswerCase{"x", false}, AnswerCase{"''", false}, AnswerCase{"'   y'", false},
                                           AnswerCase{"/", false}, AnswerCase{"n,y", false}, AnswerCase{",y", false}),
                         case_name);

TEST(Dialogue, SlashKeepsThePreviousAnswer) {
    RunDir d;
    d.write("series.txt", "T\nS\n");
    // a: y; b: "/" keeps y; c to mosaicity: n; then the two plot offers.
    const RunResult r = d.run("series.txt\nn\ny\n/\nn\nn\nn\nn\nn\nn\nn\nn\n");
    EXPECT_EQ(r.status, 0);
    EXPECT_TRUE(d.exists("TK_cell_a.pgf"));
    EXPECT_TRUE(d.exists("TK_cell_b.pgf"));
    EXPECT_FALSE(d.exists("TK_cell_c.pgf"));
}

TEST(Dialogue, ConsoleInputEndingAtAQuestionStopsTheRunWithStatus1) {
    RunDir d;
    d.write("series.txt", "T\nS\n");
    for (const std::string input : {"", "series.txt\n", "series.txt\nn\ny\n", "nothere\n\n"}) {
        const RunResult r = d.run(input);
        EXPECT_EQ(r.status, 1) << input;
        ASSERT_FALSE(r.out.empty());
        EXPECT_NE(r.out.find("\n !! The console input has ended while an answer was awaited !!\n"), std::string::npos)
            << r.out;
        EXPECT_FALSE(d.exists("TK_parameters_HTML.xy"));
    }
}

TEST(CommandLine, HelpVersionAndWrongArguments) {
    RunDir d;
    RunResult r = d.run("", "", "--help");
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.out.find("Usage: celltrend"), std::string::npos);
    r = d.run("", "", "--version");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out.rfind("celltrend ", 0), 0U);
    EXPECT_EQ(d.run("", "", "--frobnicate").status, 2);
    EXPECT_EQ(d.run("", "", "series.txt").status, 2);
    EXPECT_TRUE(d.run("", "", "--frobnicate").out.empty());
}

}  // namespace
}  // namespace celltrend::testing
