// celltrend-analyse expansion run end to end: celltrend's tables of the
// example series and hand-written rows in scratch directories, the summary
// and the strain plot compared byte for byte with golden files.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "support/analyse_output.hpp"
#include "support/analyse_run.hpp"

using namespace celltrend::testing;

namespace {

// Rows "T sigmaT a b c alpha beta gamma" of an orthorhombic cell growing by
// 2e-5, 0.5e-5 and 1e-5 per K along a, b and c.
std::string strain_rows(int rows, const std::string& sigma_t = "1") {
    std::string text = "# orthorhombic test crystal\n";
    for (int k = 0; k < rows; ++k) {
        const double dt = 20.0 * k;
        std::ostringstream line;
        line.precision(12);
        line << 100 + dt << " " << sigma_t << "  " << 5 * (1 + 2e-5 * dt) << " " << 7 * (1 + 0.5e-5 * dt) << " "
             << 9 * (1 + 1e-5 * dt) << "  90 90 90   # row " << k << "\n";
        text += line.str();
    }
    return text;
}

class ExpansionCommand : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(make_example_table(dir, "buffer_plain.txt"), 0); }
    RunDir dir;
};

}  // namespace

TEST_F(ExpansionCommand, SummaryOfTheExampleSeries) {
    const AnalyseResult r = run_analyse(dir, "expansion TK_parameters_HTML.xy");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, golden("expansion_example_summary.txt"));
    // The series curves (alpha_V from 137 to 199): every straight line
    // misses it, and says so.
    for (const char* what : {"strain of X1", "strain of X2", "strain of X3", "volume"})
        EXPECT_NE(r.err.find(std::string("TK_parameters_HTML.xy: the straight line misses the ") + what),
                  std::string::npos)
            << r.err;
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 4) << r.err;
}

TEST_F(ExpansionCommand, TsvHasTheHeaderAndFourRowsOnly) {
    const AnalyseResult r = run_analyse(dir, "expansion --tsv TK_parameters_HTML.xy");
    EXPECT_EQ(r.status, 0);
    const auto rows = tsv_rows(r.out);
    ASSERT_EQ(rows.size(), 5u);
    EXPECT_EQ(rows[0], (std::vector<std::string>{"axis", "alpha", "sigma", "sigma_esd", "u", "v", "w"}));
    const char* names[] = {"X1", "X2", "X3", "V"};
    for (int i = 1; i <= 4; ++i) {
        ASSERT_EQ(rows[i].size(), 7u);
        EXPECT_EQ(rows[i][0], names[i - 1]);
        for (int f = 1; f <= 3; ++f) {
            EXPECT_GE(significant_digits(rows[i][f]), 7u) << rows[i][f];
            EXPECT_GT(std::stod(rows[i][f]), 0);
        }
    }
    // The summary's X3, with more digits; V has no direction.
    EXPECT_NEAR(std::stod(rows[3][1]), 61.4332, 5e-5);
    EXPECT_NEAR(std::stod(rows[3][5]), 1.0, 1e-5);
    EXPECT_EQ(rows[4][4] + rows[4][5] + rows[4][6], "");
}

// A table without cell ESDs leaves sigma_esd empty; its directions, in the
// new axes of celltrend's matrix, are those --matrix gives from the plain
// table (within the single-precision rounding of celltrend's transformed
// cells).
TEST_F(ExpansionCommand, TransformedTableAndMatrixGiveTheSameDirections) {
    ASSERT_EQ(dir.run("buffer_matrix.txt\ny\n").status, 0);
    const AnalyseResult transformed = run_analyse(dir, "expansion --tsv TK_parameters_transf_HTML.xy");
    const AnalyseResult plain =
        run_analyse(dir, "expansion --tsv --matrix '1 0 1  0 1 0  -1 0 0' TK_parameters_HTML.xy");
    ASSERT_EQ(transformed.status, 0);
    ASSERT_EQ(plain.status, 0);
    const auto t = tsv_rows(transformed.out), p = tsv_rows(plain.out);
    ASSERT_EQ(t.size(), 5u);
    ASSERT_EQ(p.size(), 5u);
    for (int i = 1; i <= 4; ++i) EXPECT_EQ(t[i][3], "") << i;
    for (int i = 1; i <= 3; ++i)
        for (int f = 4; f <= 6; ++f) EXPECT_NEAR(std::stod(t[i][f]), std::stod(p[i][f]), 2e-3) << i << " " << f;
}

TEST_F(ExpansionCommand, StrainsPlotFileOfTheExampleSeries) {
    const AnalyseResult r = run_analyse(dir, "expansion --tsv --strains strains.pgf TK_parameters_HTML.xy");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(dir.read("strains.pgf"), golden("expansion_example_strains.pgf"));
}

// The plot is written complete or not at all, never through a link planted
// at its name, never over the input, never cut short by a full disk.
TEST_F(ExpansionCommand, StrainsFileIsWrittenSafelyOrNotAtAll) {
    std::filesystem::create_symlink("elsewhere.pgf", dir.path() / "link.pgf");
    AnalyseResult r = run_analyse(dir, "expansion --strains link.pgf TK_parameters_HTML.xy");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_FALSE(dir.exists("elsewhere.pgf"));

    const std::string table = dir.read("TK_parameters_HTML.xy");
    r = run_analyse(dir, "expansion --strains ./TK_parameters_HTML.xy TK_parameters_HTML.xy");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(dir.read("TK_parameters_HTML.xy"), table);

    r = run_analyse(dir, "expansion --strains big.pgf TK_parameters_HTML.xy", "", "trap '' XFSZ; ulimit -f 1;");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_NE(r.err.find("big.pgf"), std::string::npos) << r.err;
    for (const auto& entry : std::filesystem::directory_iterator(dir.path()))
        EXPECT_EQ(entry.path().filename().string().find("big.pgf"), std::string::npos) << entry.path();

    r = run_analyse(dir, "expansion TK_parameters_HTML.xy", "", "", "> /dev/full");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("standard output"), std::string::npos) << r.err;
}

TEST_F(ExpansionCommand, StrainRowsWeightedBySigmaT) {
    dir.write("rows.txt", strain_rows(6));
    const AnalyseResult r = run_analyse(dir, "expansion rows.txt");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("weights 1/sigmaT"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("sigma_esd: none"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("X3      19.98"), std::string::npos) << r.out;
    // Directions along the cell axes: components of zero, never "-0".
    dir.write("axes.txt", "100 1 5.0 6.0 7.0 90 90 90\n200 1 5.01 6.01 7.01 90 90 90\n300 1 5.02 6.02 7.02 90 90 90\n");
    const AnalyseResult tsv = run_analyse(dir, "expansion --tsv axes.txt");
    ASSERT_EQ(tsv.status, 0) << tsv.err;
    for (const auto& row : tsv_rows(tsv.out))
        for (const std::string& field : row) EXPECT_NE(field, "-0") << tsv.out;

    dir.write("zeros.txt", strain_rows(6, "0"));  // sigmaT not known
    const AnalyseResult zeros = run_analyse(dir, "expansion zeros.txt");
    EXPECT_EQ(zeros.status, 0);
    EXPECT_EQ(zeros.err, "celltrend-analyse expansion: zeros.txt: warning: sigmaT is 0 on every row; equal weights\n");
    EXPECT_NE(zeros.out.find("equal weights (no sigmaT"), std::string::npos) << zeros.out;
}

// Rows of a curved series with the sigmaT column given as `sigma_t`, one
// per row: a weight changes the fitted slope.
std::string curved_rows(const std::vector<std::string>& sigma_t) {
    std::string text;
    for (std::size_t k = 0; k < sigma_t.size(); ++k) {
        const double dt = 50.0 * double(k);
        std::ostringstream line;
        line.precision(12);
        line << 100 + dt << " " << sigma_t[k] << " " << 5 * (1 + 2e-5 * dt + 1e-7 * dt * dt) << " 7 "
             << 9 * (1 + 1e-5 * dt) << " 90 90 90\n";
        text += line.str();
    }
    return text;
}

// A sigmaT of 0 is one not given: some rows without it weigh every row
// equally (one warning), or take --sigma-t; alpha never reads the column.
TEST_F(ExpansionCommand, SigmaTZeroOnSomeRowsIsNotGiven) {
    dir.write("mixed.txt", curved_rows({"1", "0", "3", "0", "0.5"}));
    dir.write("equal.txt", curved_rows({"2", "2", "2", "2", "2"}));
    dir.write("filled.txt", curved_rows({"1", "4", "3", "4", "0.5"}));
    struct Case {
        std::string args;
        std::string same_as;  // the run whose results these are
        std::string err;
    };
    const Case cases[] = {
        {"expansion --tsv mixed.txt", "expansion --tsv equal.txt",
         "celltrend-analyse expansion: mixed.txt: warning: 2 of 5 rows give no sigmaT (0); equal weights for all "
         "(--sigma-t K gives those rows K)\n"},
        {"expansion --tsv --sigma-t 4 mixed.txt", "expansion --tsv filled.txt", ""},
        {"alpha --model poly1 mixed.txt", "alpha --model poly1 equal.txt", ""},
    };
    for (const Case& c : cases) {
        const AnalyseResult r = run_analyse(dir, c.args);
        EXPECT_EQ(r.status, 0) << c.args << "\n" << r.err;
        EXPECT_EQ(r.err, c.err) << c.args;
        std::string expected = run_analyse(dir, c.same_as).out;
        const std::string name = c.same_as.substr(c.same_as.rfind(' ') + 1);
        for (std::size_t at; (at = expected.find(name)) != std::string::npos;)
            expected.replace(at, name.size(), "mixed.txt");
        EXPECT_EQ(r.out, expected) << c.args;
    }
    EXPECT_NE(run_analyse(dir, "expansion --tsv filled.txt").out, run_analyse(dir, "expansion --tsv equal.txt").out);
    EXPECT_EQ(run_analyse(dir, "expansion --sigma-t 0 mixed.txt").status, 2);
}

TEST_F(ExpansionCommand, TwoRowsAndEqualCoefficientsAreSaidPlainly) {
    dir.write("two.txt", strain_rows(2));
    AnalyseResult r = run_analyse(dir, "expansion two.txt");
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.out.find("Only two temperatures"), std::string::npos) << r.out;
    r = run_analyse(dir, "expansion --tsv two.txt");
    EXPECT_EQ(r.status, 0);
    const auto rows = tsv_rows(r.out);
    ASSERT_EQ(rows.size(), 5u);
    EXPECT_EQ(rows[1][2], "0");
    EXPECT_EQ(rows[1][4] + rows[1][5] + rows[1][6], "");  // no direction at the reference row
    EXPECT_NE(r.err.find("note: Only two temperatures"), std::string::npos);

    dir.write("cubic.txt",
              "100 1 5 5 5 90 90 90\n150 1 5.0025 5.0025 5.0025 90 90 90\n"
              "200 1 5.005 5.005 5.005 90 90 90\n");
    r = run_analyse(dir, "expansion cubic.txt");
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.out.find("X1 and X2 expand equally within their uncertainties"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("X2 and X3 expand equally"), std::string::npos) << r.out;
}

TEST_F(ExpansionCommand, BadInputsAndArguments) {
    dir.write("words.txt", "temperature and cell\n");
    dir.write("one.txt", strain_rows(1));
    dir.write("same.txt", "295 1 5 5 5 90 90 90\n295 1 5.01 5 5 90 90 90\n");
    dir.write("negative.txt", "100 1 5 5 5 90 90 90\n200 -1 5.01 5 5 90 90 90\n");
    dir.write("flat.txt", "100 1 5 5 5 90 90 90\n200 1 5.01 5 5 90 90 180\n");
    std::string damaged = strain_rows(4);
    damaged.replace(damaged.find("90 90 90   # row 2"), 2, "**");
    dir.write("damaged.txt", damaged);
    struct Case {
        std::string args;
        int status;
        std::string message;  // on standard error
    };
    const Case cases[] = {
        {"expansion missing.xy", 1, "missing.xy: cannot open"},
        {"expansion .", 1, ".: is a directory"},
        {"expansion words.txt", 1, "words.txt:1: neither a celltrend table nor rows"},
        {"expansion one.txt", 1, "one.txt: 1 usable row; an expansion needs at least two temperatures"},
        {"expansion same.txt", 1, "same.txt: every row is at the same temperature"},
        {"expansion negative.txt", 1, "negative.txt:2: sigmaT is negative"},
        {"expansion flat.txt", 1, "flat.txt:2: not a unit cell"},
        {"expansion", 2, "no table named"},
        {"expansion --strain almansi one.txt", 2, "--strain 'almansi': eulerian or lagrangian"},
        {"expansion --colour one.txt", 2, "unknown option '--colour'"},
        {"expansion --strains - one.txt", 2, "--strains needs a file name"},  // not into the summary
        {"expansion --matrix '1 0 0 0 1 0' one.txt", 2, "--matrix takes nine numbers"},
        {"expansion --matrix '1 0 0 0 1 0 1 0 0' TK_parameters_HTML.xy", 1, "is singular"},
    };
    for (const Case& c : cases) {
        const AnalyseResult r = run_analyse(dir, c.args);
        EXPECT_EQ(r.status, c.status) << c.args;
        EXPECT_EQ(r.out, "") << c.args;
        EXPECT_NE(r.err.find(c.message), std::string::npos) << c.args << "\n" << r.err;
        if (c.status == 1) {
            EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
        }
    }

    // A damaged row is named and skipped; the rest is analysed.
    const AnalyseResult r = run_analyse(dir, "expansion --tsv damaged.txt");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "celltrend-analyse expansion: damaged.txt:4: warning: asterisks or NaN in the row; skipped\n");
    EXPECT_EQ(tsv_rows(r.out).size(), 5u);
}

// A disk failing under "- < FILE" (run_analyse feeds standard input from
// .in): the table must not end quietly where the read failed.
TEST_F(ExpansionCommand, ReadErrorOnStandardInputIsAFailure) {
    const std::string fault = std::string("LD_PRELOAD='") + CELLTREND_READ_FAULT +
                              "' ASAN_OPTIONS=\"$ASAN_OPTIONS:verify_asan_link_order=0\" "
                              "CELLTREND_FAULT_FILE=.in CELLTREND_FAULT_OFFSET=2000";
    const AnalyseResult r = run_analyse(dir, "expansion --tsv -", dir.read("TK_parameters_HTML.xy"), fault);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_NE(r.err.find("(standard input): read error"), std::string::npos) << r.err;
}

TEST_F(ExpansionCommand, HelpAndSubcommandList) {
    AnalyseResult r = run_analyse(dir, "expansion --help");
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.out.find("--strains PLOT"), std::string::npos);
    r = run_analyse(dir, "--help");
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.out.find("expansion   principal axes"), std::string::npos);
}

// celltrend writes 0 for an ESD that a report lacks: zeros are no ESDs.
TEST_F(ExpansionCommand, CellEsdsAllZeroGiveNoSigmaEsd) {
    std::istringstream in(dir.read("TK_parameters_HTML.xy"));
    std::string zeroed;
    for (std::string line; std::getline(in, line);) {
        if (!line.starts_with('!'))
            for (int i = 0; i < 6; ++i) line.replace(6 + 12 * (2 * i + 1), 12, "     0.00000");
        zeroed += line + "\n";
    }
    dir.write("zero.xy", zeroed);
    const AnalyseResult r = run_analyse(dir, "expansion --tsv zero.xy");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(without_misfit_lines(r.err),
              "celltrend-analyse expansion: zero.xy: warning: every cell ESD is 0; no sigma_esd\n");
    const auto rows = tsv_rows(r.out);
    ASSERT_EQ(rows.size(), 5u);
    for (int i = 1; i <= 4; ++i) EXPECT_EQ(rows[i][3], "") << i;
    EXPECT_EQ(rows[3][1], tsv_rows(run_analyse(dir, "expansion --tsv TK_parameters_HTML.xy").out)[3][1]);
}
