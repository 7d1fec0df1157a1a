// celltrend-analyse export run end to end on celltrend's tables of the
// example series, in scratch directories.

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <string>

#include "formats/series_table.hpp"
#include "support/analyse_run.hpp"

using namespace celltrend::testing;

namespace {

class ExportCommand : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(make_example_table(dir, "buffer_plain.txt"), 0); }
    RunDir dir;
};

}  // namespace

TEST_F(ExportCommand, PascalRowsWithTheGivenSigmaT) {
    const AnalyseResult r = run_analyse(dir, "export --format pascal --sigma-t 0.5 TK_parameters_HTML.xy -o cells.txt");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "");
    const formats::Series back = formats::read_series((dir.path() / "cells.txt").string());
    const formats::Series source = formats::read_series((dir.path() / "TK_parameters_HTML.xy").string());
    ASSERT_EQ(back.layout, formats::SeriesLayout::strain_rows);
    ASSERT_EQ(back.rows.size(), source.rows.size());
    EXPECT_EQ(back.rows[5].sigma_t, 0.5);
    EXPECT_EQ(back.rows[5].cell.beta, source.rows[5].cell.beta);
    EXPECT_NE(dir.read("cells.txt").find("sigmaT = 0.5 K"), std::string::npos);
}

// transform's table goes into export as it is: the EosFit7 file of the
// series in new axes carries the propagated ESDs.
TEST_F(ExportCommand, TransformedSeriesIntoEosfitThroughAPipe) {
    const AnalyseResult t = run_analyse(dir, "transform -m '1 0 1 0 1 0 -1 0 0' TK_parameters_HTML.xy -o new.xy");
    ASSERT_EQ(t.status, 0) << t.err;
    const AnalyseResult r = run_analyse(dir, "export -f eosfit --system monoclinic -", dir.read("new.xy"));
    ASSERT_EQ(r.status, 0) << r.err;
    std::istringstream lines(r.out);
    std::string line;
    std::getline(lines, line);
    EXPECT_EQ(line, "# From (standard input): CT-17 monoclinic P21/c, cell from 100 K to 400 K");
    std::getline(lines, line);
    EXPECT_EQ(line, "Title CT-17 monoclinic P21/c, cell from 100 K to 400 K");
    std::getline(lines, line);
    EXPECT_EQ(line, "TScale K");
    std::getline(lines, line);
    EXPECT_EQ(line, "System monoclinic");
    std::getline(lines, line);
    EXPECT_EQ(line, "Format T A SIGA B SIGB C SIGC ALPHA SIGAL BETA SIGBE GAMMA SIGGA V SIGV");
    std::getline(lines, line);
    EXPECT_TRUE(line.starts_with("100 13.48987 0.00029 10.19875 0.00022 7.50122 0.00018 ")) << line;
    int data = 1;
    while (std::getline(lines, line)) ++data;
    EXPECT_EQ(data, 16);
}

TEST_F(ExportCommand, CsvOfACelltrendTransformedTable) {
    ASSERT_EQ(dir.run("buffer_matrix.txt\ny\n").status, 0);
    const AnalyseResult r = run_analyse(dir, "export --format=csv TK_parameters_transf_HTML.xy");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(
        r.out.starts_with("T_K,a_A,b_A,c_A,alpha_deg,beta_deg,gamma_deg,V_A3,mosaicity_deg,sigma_mosaicity_deg\r\n"
                          "100,13.48987,10.19875,7.50122,89.99979,111.5381,89.99954,959.95428,0.329,0.004\r\n"))
        << r.out.substr(0, 300);
}

TEST_F(ExportCommand, DamagedRowsAreNamedOnStandardError) {
    write_damaged_table(dir);
    const AnalyseResult r = run_analyse(dir, "export -f pascal damaged.xy");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "celltrend-analyse export: warning: damaged.xy:8: asterisks or NaN in T; row left out\n");
    EXPECT_EQ(r.out.find("\n140 "), std::string::npos);
    EXPECT_NE(r.out.find("\n160 "), std::string::npos);
}

TEST_F(ExportCommand, WrongArgumentsAreStatusTwo) {
    const char* cases[] = {
        "export TK_parameters_HTML.xy",                           // no format
        "export -f xlsx TK_parameters_HTML.xy",                   // unknown format
        "export -f pascal --sigma-t -1 TK_parameters_HTML.xy",    // not positive
        "export -f pascal --sigma-t one TK_parameters_HTML.xy",   // not a number
        "export -f csv --sigma-t 1 TK_parameters_HTML.xy",        // not for csv
        "export -f pascal --system cubic TK_parameters_HTML.xy",  // not for pascal
        "export -f eosfit --system '' TK_parameters_HTML.xy",     // empty name
        "export -f csv",                                          // no table
        "export -f csv --help=x TK_parameters_HTML.xy",           // a flag with a value
    };
    for (const char* args : cases) {
        const AnalyseResult r = run_analyse(dir, args);
        EXPECT_EQ(r.status, 2) << args;
        EXPECT_EQ(r.out, "") << args;
    }
}

TEST_F(ExportCommand, FailedReadsAndWritesAreStatusOne) {
    const AnalyseResult missing = run_analyse(dir, "export -f csv missing.xy -o out.csv");
    EXPECT_EQ(missing.status, 1);
    EXPECT_NE(missing.err.find("missing.xy"), std::string::npos);
    EXPECT_FALSE(dir.exists("out.csv"));

    const AnalyseResult over = run_analyse(dir, "export -f csv TK_parameters_HTML.xy -o TK_parameters_HTML.xy");
    EXPECT_EQ(over.status, 1);
    EXPECT_NE(dir.read("TK_parameters_HTML.xy").find("! CT-17"), std::string::npos);

    const AnalyseResult full =
        run_analyse(dir, "export -f csv TK_parameters_HTML.xy -o out.csv", "", "trap '' XFSZ; ulimit -f 2;");
    EXPECT_EQ(full.status, 1);
    EXPECT_NE(full.err.find("out.csv: cannot write"), std::string::npos) << full.err;
    EXPECT_FALSE(dir.exists("out.csv"));

    const AnalyseResult stdout_full = run_analyse(dir, "export -f eosfit TK_parameters_HTML.xy", "", "", "> /dev/full");
    EXPECT_EQ(stdout_full.status, 1);
}

TEST_F(ExportCommand, HelpNamesTheFormats) {
    const AnalyseResult r = run_analyse(dir, "export --help");
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.out.find("pascal"), std::string::npos);
    EXPECT_NE(r.out.find("eosfit"), std::string::npos);
    EXPECT_NE(r.out.find("csv"), std::string::npos);
    EXPECT_EQ(r.err, "");
}
