// celltrend-analyse alpha run end to end: celltrend's table of the example
// series and hand-written rows in scratch directories; the summary compared
// byte for byte with a golden file.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "support/analyse_output.hpp"
#include "support/analyse_run.hpp"

using namespace celltrend::testing;

namespace {

// Rows "T sigmaT a b c alpha beta gamma" at the given temperatures, an
// orthorhombic cell whose edges grow quadratically (or linearly).
std::string rows_at(const std::vector<double>& temperatures, double quadratic = 1e-9) {
    std::string text = "# test crystal\n";
    for (double t : temperatures) {
        const double d = t - 100;
        std::ostringstream line;
        line.precision(12);
        line << t << " 1  " << 5 * (1 + 2e-5 * d + quadratic * d * d) << " "
             << 7 * (1 + 4e-5 * d + 2 * quadratic * d * d) << " " << 9 * (1 + 1e-5 * d) << "  90 90 90\n";
        text += line.str();
    }
    return text;
}

// The data lines of a celltrend table in another order, its '!' header kept.
std::string reordered(const std::string& table, const std::vector<std::size_t>& order) {
    std::istringstream in(table);
    std::string header;
    std::vector<std::string> data;
    for (std::string line; std::getline(in, line);)
        (line.starts_with('!') ? header : data.emplace_back()) += line + "\n";
    std::string out = header;
    for (std::size_t k : order) out += data[k];
    return out;
}

// A row "T a(s) b(s) c(s) 90 90 90" with ESDs 3e-4 (1e-4 given as "(1)").
std::string analysis_row(double t, double a, double b, double c) {
    char line[200];
    std::snprintf(line, sizeof line, "%g %.4f(3) %.4f(3) %.4f(3) 90 90 90\n", t, a, b, c);
    return line;
}

class AlphaCommand : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(make_example_table(dir, "buffer_plain.txt"), 0); }
    RunDir dir;
};

}  // namespace

TEST_F(AlphaCommand, SummaryOfTheExampleSeries) {
    const AnalyseResult r = run_analyse(dir, "alpha TK_parameters_HTML.xy");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(r.out, golden("alpha_example_summary.txt"));
}

// The default temperatures 100, 240 (the middle row), 298.15 and 400 K, each
// with the rows a, b, c, V, X1, X2, X3, trace and nothing else.
TEST_F(AlphaCommand, TsvHasTheHeaderAndEightRowsPerTemperature) {
    const AnalyseResult r = run_analyse(dir, "alpha --tsv TK_parameters_HTML.xy");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "");
    const auto rows = tsv_rows(r.out);
    ASSERT_EQ(rows.size(), 1u + 4 * 8);
    EXPECT_EQ(rows[0], (std::vector<std::string>{"T", "quantity", "alpha", "sigma", "u", "v", "w"}));
    const char* temperatures[] = {"100", "240", "298.15", "400"};
    const char* quantities[] = {"a", "b", "c", "V", "X1", "X2", "X3", "trace"};
    for (std::size_t i = 1; i < rows.size(); ++i) {
        ASSERT_EQ(rows[i].size(), 7u) << i;
        EXPECT_EQ(rows[i][0], temperatures[(i - 1) / 8]);
        EXPECT_EQ(rows[i][1], quantities[(i - 1) % 8]);
        for (int f : {2, 3}) EXPECT_GE(significant_digits(rows[i][std::size_t(f)]), 7u) << rows[i][std::size_t(f)];
        const bool axis = (i - 1) % 8 >= 4 && (i - 1) % 8 < 7;
        EXPECT_EQ(rows[i][4].empty(), !axis) << i;
    }
    // Along b (unique axis) the largest coefficient: 47 at 100 K, 76 at 400 K,
    // where the straight line of expansion gives 60 everywhere.
    EXPECT_NEAR(std::stod(rows[7][2]), 46.98, 0.01);
    EXPECT_NEAR(std::stod(rows[31][2]), 75.60, 0.01);
    EXPECT_NEAR(std::stod(rows[31][5]), 1.0, 1e-6);
}

// A cooling run, a shuffled file and one that cools then warms all give
// the results of the ordered table, with a note; the turn is named.
TEST_F(AlphaCommand, RowOrderChangesNothingButIsSaid) {
    const std::string table = dir.read("TK_parameters_HTML.xy");
    std::vector<std::size_t> reversed(16), shuffled, turning;
    for (std::size_t k = 0; k < 16; ++k) reversed[k] = 15 - k, shuffled.push_back((k * 7) % 16);
    for (std::size_t k : {8, 6, 4, 2, 0, 1, 3, 5, 7, 9, 10, 11, 12, 13, 14, 15}) turning.push_back(k);
    dir.write("reversed.xy", reordered(table, reversed));
    dir.write("shuffled.xy", reordered(table, shuffled));
    dir.write("turning.xy", reordered(table, turning));
    const std::string expected = run_analyse(dir, "alpha --tsv TK_parameters_HTML.xy").out;
    const std::string note = "note: the rows are not in order of temperature; they are taken sorted by T\n";
    for (const char* file : {"reversed.xy", "shuffled.xy", "turning.xy"}) {
        const AnalyseResult r = run_analyse(dir, std::string("alpha --tsv ") + file);
        EXPECT_EQ(r.status, 0);
        EXPECT_EQ(r.out, expected) << file;
        EXPECT_NE(r.err.find(std::string("celltrend-analyse alpha: ") + file + ": " + note), std::string::npos)
            << r.err;
    }
    // The header takes lines 1 to 5: row 0 (100 K) is on line 10.
    EXPECT_NE(run_analyse(dir, "alpha turning.xy").err.find("the temperature turns at line 10 (cooling, then heating)"),
              std::string::npos);
    EXPECT_EQ(std::count(expected.begin(), expected.end(), '\n'), 33);

    // expansion sorts the same way unless told to keep the file's order,
    // where a cooling run names its axes from the other end.
    const AnalyseResult sorted = run_analyse(dir, "expansion --tsv reversed.xy");
    EXPECT_EQ(sorted.out, run_analyse(dir, "expansion --tsv TK_parameters_HTML.xy").out);
    EXPECT_TRUE(sorted.err.starts_with(std::string("celltrend-analyse expansion: reversed.xy: ") + note)) << sorted.err;
    const AnalyseResult kept = run_analyse(dir, "expansion --tsv --file-order reversed.xy");
    EXPECT_EQ(kept.status, 0);
    EXPECT_NE(kept.err.find("taken in the file's order"), std::string::npos) << kept.err;
    EXPECT_NE(tsv_rows(kept.out)[1][1].substr(0, 4), tsv_rows(sorted.out)[1][1].substr(0, 4));
    // export writes the rows for other programs in order too.
    const std::string exported = run_analyse(dir, "export --format pascal reversed.xy").out;
    const std::string in_order = run_analyse(dir, "export --format pascal TK_parameters_HTML.xy").out;
    EXPECT_EQ(exported.substr(exported.find("\n100 ")), in_order.substr(in_order.find("\n100 ")));
}

// Models that cannot be fitted give no row and say why and what to try;
// nothing at all to give is a failure.
TEST_F(AlphaCommand, RefusedModelsAreSaid) {
    dir.write("four.txt", rows_at({100, 150, 200, 250}));
    dir.write("five.txt", rows_at({100, 150, 200, 250, 300}));
    dir.write("line.txt", rows_at({100, 125, 150, 175, 200, 225, 250, 275, 300}, 0));
    AnalyseResult r = run_analyse(dir, "alpha --model poly3 four.txt");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_NE(
        r.err.find("four.txt: a: poly3 has 4 parameters and needs more rows than that (4 rows); try --model poly2"),
        std::string::npos)
        << r.err;
    EXPECT_NE(r.err.find("four.txt: nothing could be fitted"), std::string::npos);

    r = run_analyse(dir, "alpha --model poly3 --tsv five.txt");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(tsv_rows(r.out).size(), 1u + 4 * 8);

    // Straight edges: no Einstein temperature; the volume, a product of
    // three lines, curves enough to have one.
    r = run_analyse(dir, "alpha --model einstein --tsv line.txt");
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.err.find("line.txt: a: the data do not determine the Einstein temperature theta"), std::string::npos)
        << r.err;
    EXPECT_NE(r.err.find("try a polynomial (--model poly2)"), std::string::npos);
    EXPECT_NE(r.err.find("line.txt: no principal axes without the fits of the cell (a, b, c)\n"), std::string::npos);
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 4) << r.err;
    for (const auto& row : tsv_rows(r.out)) EXPECT_TRUE(row[1] == "V" || row[1] == "quantity") << row[1];

    // The volume alone refused still leaves the cell and its axes.
    r = run_analyse(dir, "alpha --model poly2 --at 175 --tsv line.txt");
    EXPECT_EQ(r.status, 0);
    const auto rows = tsv_rows(r.out);
    ASSERT_EQ(rows.size(), 9u);
    EXPECT_NEAR(std::stod(rows[1][2]), 1e6 * 2e-5 / (1 + 2e-5 * 75), 1e-6);  // a, a straight line
}

TEST_F(AlphaCommand, TemperaturesOutsideTheRangeAreExtrapolations) {
    const AnalyseResult r = run_analyse(dir, "alpha --at 50,250 TK_parameters_HTML.xy");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err,
              "celltrend-analyse alpha: TK_parameters_HTML.xy: warning: 50 K lies outside the measured range, 100 to "
              "400 K: an extrapolation\n");
    EXPECT_NE(r.out.find("At 50.00 K (an extrapolation):"), std::string::npos);
    EXPECT_NE(r.out.find("At 250.00 K: "), std::string::npos);
}

// What expansion refuses, alpha refuses with the same message; a wrong --at
// or --model is a wrong argument.
TEST_F(AlphaCommand, BadInputsAndArguments) {
    dir.write("words.txt", "temperature and cell\n");
    dir.write("one.txt", rows_at({100}));
    dir.write("same.txt", "295 1 5 5 5 90 90 90\n295 1 5.01 5 5 90 90 90\n");
    dir.write("flat.txt", "100 1 5 5 5 90 90 90\n200 1 5.01 5 5 90 90 180\n");
    dir.write("hexagonal.txt", "100 1 5 5 8 90 90 120\n200 1 5.01 5.01 8.01 90 90 120\n");
    struct Case {
        std::string args;
        int status;
        std::string message;
    };
    const Case cases[] = {
        {"missing.xy", 1, "missing.xy: cannot open"},
        {".", 1, ".: is a directory"},
        {"words.txt", 1, "words.txt:1: neither a celltrend table nor rows"},
        {"one.txt", 1, "one.txt: 1 usable row; an expansion needs at least two temperatures"},
        {"same.txt", 1, "same.txt: every row is at the same temperature"},
        {"flat.txt", 1, "flat.txt:2: not a unit cell"},
        {"", 2, "no table named"},
        {"--at abc one.txt", 2, "--at 'abc': 'abc' is not a temperature"},
        {"--at '' one.txt", 2, "--at"},
        {"--at 100,,200 one.txt", 2, "'' is not a temperature"},
        {"--at nan one.txt", 2, "'nan' is not a temperature"},
        {"--at 100,-5 one.txt", 2, "temperatures are in kelvin, above 0"},
        {"--at 0 one.txt", 2, "--at '0': temperatures are in kelvin, above 0"},
        {"--at 0:100:50 one.txt", 2, "--at '0:100:50': temperatures are in kelvin, above 0"},
        {"--model cubic one.txt", 2, "--model 'cubic': auto, poly1, poly2, poly3, fei or einstein"},
        {"--range 300:200 one.txt", 2, "--range '300:200': TMIN must be below TMAX"},
        {"--range 200:200 one.txt", 2, "TMIN must be below TMAX"},
        {"--range abc:300 one.txt", 2, "--range 'abc:300': 'abc' is not a temperature"},
        {"--range 300 one.txt", 2, "--range '300': TMIN:TMAX"},
        {"--leg 0 one.txt", 2, "--leg '0': a leg's number, from 1"},
        {"--leg 2 TK_parameters_HTML.xy", 2, "--leg 2: TK_parameters_HTML.xy has 1 leg"},
        {"--at 100:200:0 one.txt", 2, "'100:200:0' needs STEP above 0 and STOP not below START"},
        {"--at 100:200:-5 one.txt", 2, "needs STEP above 0"},
        {"--at 1:100001:0.5 one.txt", 2, "more than 100000 temperatures"},
        {"--at 100:x:5 one.txt", 2, "'100:x:5' is not a grid START:STOP:STEP"},
        {"--system cubical one.txt", 2, "--system 'cubical': auto, triclinic, monoclinic, monoclinic-c,"},
        {"--system cubic hexagonal.txt", 1, "hexagonal.txt: line 1 is not cubic: a 5 and c 8 differ"},
        {"--system orthorhombic hexagonal.txt", 1, "hexagonal.txt: line 1 is not orthorhombic: gamma is 120, not 90"},
    };
    for (const Case& c : cases) {
        const AnalyseResult r = run_analyse(dir, "alpha " + c.args);
        EXPECT_EQ(r.status, c.status) << c.args;
        EXPECT_EQ(r.out, "") << c.args;
        EXPECT_NE(r.err.find(c.message), std::string::npos) << c.args << "\n" << r.err;
        if (c.status == 1) {
            EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
            const AnalyseResult e = run_analyse(dir, "expansion " + c.args);
            EXPECT_EQ(e.status, 1);
            EXPECT_EQ(e.err.substr(e.err.find(": ")), r.err.substr(r.err.find(": "))) << c.args;
        }
    }
    const AnalyseResult full = run_analyse(dir, "alpha TK_parameters_HTML.xy", "", "", "> /dev/full");
    EXPECT_EQ(full.status, 1);
    EXPECT_NE(full.err.find("standard output"), std::string::npos) << full.err;
}

TEST_F(AlphaCommand, HelpAndSubcommandList) {
    AnalyseResult r = run_analyse(dir, "alpha --help");
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.out.find("--model MODEL"), std::string::npos);
    EXPECT_NE(r.out.find("--at T[,T...]"), std::string::npos);
    r = run_analyse(dir, "--help");
    EXPECT_NE(r.out.find("alpha       coefficients of expansion as functions of temperature"), std::string::npos);
}

// The summary names the symmetry the cells show, and a named system imposes
// its ties: a cubic series printed with a = b = c is one fit, so the trace
// carries three times the sigma of a; perturbed in the last digit of b and
// c no tie is seen (triclinic sigma, sqrt 3 times less) until --system cubic.
TEST_F(AlphaCommand, SymmetryTiesReachTheSigmas) {
    std::string tied = "# cubic\n", perturbed = "# cubic, perturbed\n";
    for (int k = 0; k < 12; ++k) {
        const double t = 100 + 25 * k, a = 10 * (1 + 2e-5 * (t - 250)) + 3e-4 * std::sin(2.3 * k);
        tied += analysis_row(t, a, a, a);
        perturbed += analysis_row(t, a, a + 1e-4, a - 1e-4);
    }
    dir.write("tied.txt", tied);
    dir.write("perturbed.txt", perturbed);
    struct Case {
        std::string args;
        std::string symmetry;
        double trace_over_a;
    };
    const Case cases[] = {
        {"tied.txt", "Symmetry: cubic (detected: a = b = c in every row; alpha, beta, gamma 90 fixed)", 3},
        {"perturbed.txt", "Symmetry: orthorhombic (detected: alpha, beta, gamma 90 fixed)", std::sqrt(3.0)},
        {"--system cubic perturbed.txt", "Symmetry: cubic (imposed: a = b = c; alpha, beta, gamma 90 fixed)", 3},
    };
    for (const Case& c : cases) {
        const AnalyseResult r = run_analyse(dir, "alpha --model poly1 --at 250 " + c.args);
        ASSERT_EQ(r.status, 0) << r.err;
        EXPECT_NE(r.out.find(c.symmetry + "\n"), std::string::npos) << r.out;
        const auto rows = tsv_rows(run_analyse(dir, "alpha --model poly1 --at 250 --tsv " + c.args).out);
        ASSERT_EQ(rows.size(), 9u);
        EXPECT_EQ(rows[8][1], "trace");
        EXPECT_NEAR(std::stod(rows[8][3]) / std::stod(rows[1][3]), c.trace_over_a, 1e-4) << c.args;
    }
}

// --parameters prints only the parameters and their correlations, named as
// a paper quotes them.
TEST_F(AlphaCommand, ParametersTable) {
    const AnalyseResult r = run_analyse(dir, "alpha --parameters --model einstein --at 300 TK_parameters_HTML.xy");
    ASSERT_EQ(r.status, 0) << r.err;
    const auto rows = tsv_rows(r.out);
    EXPECT_EQ(rows[0], (std::vector<std::string>{"quantity", "model", "parameter", "value", "sigma", "unit"}));
    const std::vector<std::vector<std::string>> a_rows(rows.begin() + 1, rows.begin() + 8);
    const char* names[][3] = {{"T_r", "K", ""},    {"x0", "A", ""},         {"A", "A K^-1", ""},   {"theta", "K", ""},
                              {"x0", "A", "corr"}, {"x0", "theta", "corr"}, {"A", "theta", "corr"}};
    for (std::size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(a_rows[i][0], "a");
        EXPECT_EQ(a_rows[i][1], "einstein");
        EXPECT_EQ(a_rows[i][2], names[i][0]);
        EXPECT_EQ(a_rows[i][5], names[i][1]);
    }
    EXPECT_EQ(a_rows[1][3].substr(0, 3), "7.4");  // x0, a at 0 K
    EXPECT_EQ(a_rows[4][1], "corr");
    EXPECT_EQ(a_rows[4][2], "x0");
    EXPECT_EQ(a_rows[4][3], "A");
    EXPECT_LE(std::abs(std::stod(a_rows[4][4])), 1.0);
    // The angles take a polynomial of degree 2 under einstein: T_r, c0, c1,
    // c2 and three correlations each.
    std::size_t beta = 0;
    for (const auto& row : rows) beta += row[0] == "beta" && row[1] == "poly2";
    EXPECT_EQ(beta, 4u);
}

// A fit that misses says so in one line: a straight line through a step of
// 20 ESDs at 200 K names the step's interval; the example series' own fits
// (auto) say nothing.
TEST_F(AlphaCommand, AFitThatMissesIsNamed) {
    std::string step = "# step\n";
    for (int k = 0; k < 20; ++k) {
        const double t = 100 + 10 * k;
        const double b = 10 + 3e-4 * (t - 200) + 1e-4 * (std::sin(3.7 * k) + (t >= 200 ? 20 : 0));
        step += analysis_row(t, 7.5, b, 12);
    }
    dir.write("step.txt", step);
    const AnalyseResult r = run_analyse(dir, "alpha --model poly1 step.txt");
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.err.find("step.txt: b: poly1 misses the rows (chi2_nu "), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("a break between 190 and 200 K fits far better"), std::string::npos) << r.err;
    EXPECT_EQ(r.out, run_analyse(dir, "alpha --model poly1 step.txt 2>/dev/null").out);
    const AnalyseResult e = run_analyse(dir, "expansion step.txt");
    EXPECT_EQ(e.status, 0);
    EXPECT_NE(e.err.find("the straight line misses the volume"), std::string::npos) << e.err;
    EXPECT_NE(e.err.find("celltrend-analyse alpha fits curves"), std::string::npos) << e.err;
}

// A cooling-then-heating run: --leg keeps one leg (the turning row in both),
// --range the rows inside it; each gives the fit of those rows alone, as a
// file of just those rows does.  A grid and "rows" give the temperatures.
TEST_F(AlphaCommand, RangesLegsAndGrids) {
    const std::string table = dir.read("TK_parameters_HTML.xy");
    // Rows at 260, 220, 180, 140, 100 K, then 120, 160, ... 400 K.
    std::vector<std::size_t> order{8, 6, 4, 2, 0, 1, 3, 5, 7, 9, 10, 11, 12, 13, 14, 15};
    dir.write("turning.xy", reordered(table, order));
    dir.write("cooling.xy", reordered(table, {8, 6, 4, 2, 0}));
    dir.write("heating.xy", reordered(table, {0, 1, 3, 5, 7, 9, 10, 11, 12, 13, 14, 15}));
    dir.write("inside.xy", reordered(table, {3, 4, 5, 6, 7, 8}));
    struct Case {
        std::string args, same_as;
    };
    const Case cases[] = {
        {"--leg 1 turning.xy", "cooling.xy"},
        {"--leg 2 turning.xy", "heating.xy"},
        {"--range 160:260 turning.xy", "inside.xy"},
        {"--range 150:265 TK_parameters_HTML.xy", "inside.xy"},
    };
    for (const Case& c : cases) {
        const AnalyseResult r = run_analyse(dir, "alpha --model poly2 --at 200 --tsv " + c.args);
        EXPECT_EQ(r.status, 0) << c.args << r.err;
        EXPECT_EQ(r.out, run_analyse(dir, "alpha --model poly2 --at 200 --tsv " + c.same_as).out) << c.args;
    }
    EXPECT_NE(run_analyse(dir, "alpha --leg 3 turning.xy").err.find("turning.xy has 2 legs"), std::string::npos);
    const AnalyseResult empty = run_analyse(dir, "alpha --range 500: TK_parameters_HTML.xy");
    EXPECT_EQ(empty.status, 1);
    EXPECT_NE(empty.err.find("TK_parameters_HTML.xy: 0 rows in --range"), std::string::npos) << empty.err;

    // 100, 150, ..., 400 (a step lands on STOP) and 110 beside it; "rows"
    // the 16 measured temperatures.
    const auto grid = tsv_rows(run_analyse(dir, "alpha --tsv --at 100:400:50,110 TK_parameters_HTML.xy").out);
    ASSERT_EQ(grid.size(), 1u + 8 * 8);
    EXPECT_EQ(grid[1 + 6 * 8][0], "400");
    EXPECT_EQ(grid[1 + 7 * 8][0], "110");
    EXPECT_EQ(tsv_rows(run_analyse(dir, "alpha --tsv --at 100:390:50 TK_parameters_HTML.xy").out).size(), 1u + 6 * 8);
    // A temperature far beyond the range heads its block in %g, not in 300
    // digits, and its numbers keep their columns apart.
    const std::string far = run_analyse(dir, "alpha --at 1e300 TK_parameters_HTML.xy").out;
    EXPECT_NE(far.find("\nAt 1e+300 K (an extrapolation)"), std::string::npos) << far;
    const auto rows = tsv_rows(run_analyse(dir, "alpha --tsv --at rows TK_parameters_HTML.xy").out);
    ASSERT_EQ(rows.size(), 1u + 16 * 8);
    EXPECT_EQ(rows[1 + 15 * 8][0], "400");
}
