// celltrend-analyse eos and compression run end to end on pressure series
// written in scratch directories: the tables for scripts, and the inputs
// they refuse with one line and status 1, or status 2 for a wrong option.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

#include "support/analyse_output.hpp"
#include "support/analyse_run.hpp"
#include "xyviewer/svg_text.hpp"

using namespace celltrend::testing;

namespace {

// Rows "P sigmaP a b c 90 90 90" of an orthorhombic cell whose volume
// follows a third-order Birch-Murnaghan equation (V0 = 100 A^3, K0 = 50 GPa,
// K' = 5), a and c as V^0.3, b as V^0.4; the pressures listed from the
// highest down when `descending`.
std::string bm3_rows(int rows, bool descending = false) {
    std::string text = "# P sigmaP a b c alpha beta gamma\n";
    for (int i = 0; i < rows; ++i) {
        const int k = descending ? rows - 1 - i : i;
        const double p = 0.8 * k;
        double lo = 50, hi = 100;  // bisection of P(V) = p
        for (int n = 0; n < 200; ++n) {
            const double v = 0.5 * (lo + hi);
            const double f = 0.5 * (std::pow(100 / v, 2.0 / 3) - 1);
            const double pv = 150 * f * std::pow(1 + 2 * f, 2.5) * (1 + 1.5 * f);
            (pv > p ? lo : hi) = v;
        }
        const double v = 0.5 * (lo + hi);
        const double a = 4 * std::pow(v / 100, 0.3), b = 5 * std::pow(v / 100, 0.4), c = v / (a * b);
        std::ostringstream line;
        line.precision(12);
        line << p << " 0.02 " << a << " " << b << " " << c << " 90 90 90\n";
        text += line.str();
    }
    return text;
}

// The value of parameter `p` of quantity `q` (of `model` when named).
std::string field(const std::vector<std::vector<std::string>>& rows, const std::string& q, const std::string& p,
                  const std::string& model = "") {
    for (const auto& r : rows)
        if (r.size() == 6 && r[0] == q && r[2] == p && (model.empty() || r[1] == model)) return r[3];
    return "missing";
}

}  // namespace

TEST(PressureCommands, EosTsvGivesTheParametersOfTheSeries) {
    RunDir dir;
    dir.write("p.txt", bm3_rows(12, true));
    const AnalyseResult r = run_analyse(dir, "eos --tsv --axes --at 0,5 p.txt");
    EXPECT_EQ(r.status, 0) << r.err;
    // Listed from high to low pressure: sorted, with a note.
    EXPECT_NE(r.err.find("not in order of pressure; they are taken sorted by P"), std::string::npos) << r.err;
    const auto rows = tsv_rows(r.out);
    ASSERT_FALSE(rows.empty());
    EXPECT_EQ(rows[0], (std::vector<std::string>{"quantity", "model", "parameter", "value", "sigma", "unit"}));
    EXPECT_NEAR(std::stod(field(rows, "V", "V0")), 100, 1e-5);
    EXPECT_NEAR(std::stod(field(rows, "V", "K0")), 50, 1e-4);
    EXPECT_NEAR(std::stod(field(rows, "V", "Kp")), 5, 1e-5);
    EXPECT_NEAR(std::stod(field(rows, "V", "K@0")), 50, 1e-4);
    EXPECT_NEAR(std::stod(field(rows, "b", "L0")), 5, 1e-5);
    const double sum = 1 / std::stod(field(rows, "a", "M0")) + 1 / std::stod(field(rows, "b", "M0")) +
                       1 / std::stod(field(rows, "c", "M0"));
    EXPECT_NEAR(sum, 1 / 50.0, 1e-3 / 50);
}

TEST(PressureCommands, CompressionTsvHasTwoTables) {
    RunDir dir;
    dir.write("p.txt", bm3_rows(12));
    const AnalyseResult r = run_analyse(dir, "compression --tsv --at 0,4 p.txt");
    EXPECT_EQ(r.status, 0) << r.err;
    const std::size_t gap = r.out.find("\n\n");
    ASSERT_NE(gap, std::string::npos);
    const auto first = tsv_rows(r.out.substr(0, gap + 1));
    const auto second = tsv_rows(r.out.substr(gap + 2));
    EXPECT_EQ(first[0], (std::vector<std::string>{"P", "quantity", "K", "sigma", "u", "v", "w"}));
    ASSERT_EQ(first.size(), 9u);
    // X1, the axis that shortens most, is b: [0 1 0].
    EXPECT_EQ(first[1][1], "X1");
    EXPECT_NEAR(std::stod(first[1][5]), 1, 1e-9);
    EXPECT_GT(std::stod(first[1][2]), std::stod(first[2][2]));
    EXPECT_EQ(second[0], (std::vector<std::string>{"quantity", "model", "parameter", "value", "sigma", "unit"}));
    EXPECT_NEAR(std::stod(field(second, "V", "K0", "bm3")), 50, 1e-3);
    EXPECT_EQ(field(second, "X3", "nu", "strain-law") == "missing", false);
}

// An axis that lengthens under pressure keeps its negative K, at every
// measured pressure of --at rows, with the direction of c; the two that
// shorten are positive.
TEST(PressureCommands, NegativeLinearCompressibilityKeepsItsSign) {
    std::string text;
    for (int k = 0; k < 10; ++k) {
        const double p = 0.5 * k;
        std::ostringstream line;
        line.precision(12);
        line << p << " 0.01 " << 5 * (1 - 0.004 * std::pow(p + 1, 0.8) + 0.004) << " "
             << 6 * (1 - 0.002 * std::pow(p + 1, 0.8) + 0.002) << " " << 7 * (1 + 0.001 * std::pow(p + 1, 0.8) - 0.001)
             << " 90 90 90\n";
        text += line.str();
    }
    RunDir dir;
    dir.write("p.txt", text);
    const AnalyseResult r = run_analyse(dir, "compression --tsv --at rows p.txt");
    EXPECT_EQ(r.status, 0) << r.err;
    const auto rows = tsv_rows(r.out.substr(0, r.out.find("\n\n") + 1));
    ASSERT_EQ(rows.size(), 1u + 4 * 10);
    for (std::size_t i = 1; i < rows.size(); i += 4) {
        EXPECT_EQ(rows[i][1], "X1");
        EXPECT_EQ(rows[i + 2][1], "X3");
        EXPECT_GT(std::stod(rows[i][2]), 0) << rows[i][0];
        EXPECT_GT(std::stod(rows[i + 1][2]), 0) << rows[i][0];
        EXPECT_LT(std::stod(rows[i + 2][2]), 0) << rows[i][0];
        EXPECT_NEAR(std::abs(std::stod(rows[i + 2][6])), 1, 1e-9);  // [0 0 1]
    }
    // The summary's X3 lies along c: at 90, 90 and 0 degrees to a, b, c.
    const AnalyseResult summary = run_analyse(dir, "compression p.txt");
    const std::size_t x3 = summary.out.find("  X3  K =");
    ASSERT_NE(x3, std::string::npos) << summary.out;
    const std::string line = summary.out.substr(x3, summary.out.find('\n', x3) - x3);
    EXPECT_NE(line.find("[ 0.0000  0.0000  1.0000]     90.00   90.00    0.00"), std::string::npos) << line;
    EXPECT_NE(line.find("K =   -"), std::string::npos) << line;
    // eos linearises c with a negative modulus, a and b with positive ones.
    const AnalyseResult eos = run_analyse(dir, "eos --axes --tsv p.txt");
    EXPECT_EQ(eos.status, 0) << eos.err;
    const auto fitted = tsv_rows(eos.out);
    EXPECT_GT(std::stod(field(fitted, "a", "M0")), 0);
    EXPECT_LT(std::stod(field(fitted, "c", "M0")), 0);
}

// Each bad input: status 1, one line on standard error naming the file,
// nothing on standard output.
TEST(PressureCommands, BadInputsAreRefusedInOneLine) {
    struct Case {
        std::string command, text, message;
    };
    const std::string good = "0 0.01 5 6 7 90 90 90\n";
    const Case cases[] = {
        {"eos", good + "abc 0.01 5 6 7 90 90 90\n", "p.txt:2: not a row"},
        {"eos", good + "nan 0.01 5 6 7 90 90 90\n", "p.txt:2: the pressure is not a number"},
        {"eos", good + "-2 0.01 5 6 7 90 90 90\n", "p.txt:2: the pressure -2 GPa is below -1 GPa"},
        {"eos", good + "1 0.01 4.9 5.9 6.9 90 90 90\n2 0.01 4.8 5.8 6.8 90 90 90\n", "3 rows for the 3 parameters"},
        {"eos --model bm2", good + "1 0.01 5 6 7 90 90 90\n2 0.01 5 6 7 90 90 90\n", "the data do not determine"},
        {"compression", good + "1 0.01 4.9 5.9 6.9 90 90 90\n", "2 rows; compression needs at least 5"},
        {"eos --axes", "Format P V\n0 100\n1 98\n2 96.2\n3 94.5\n", "--axes needs the cell edges"},
    };
    for (const Case& c : cases) {
        RunDir dir;
        dir.write("p.txt", c.text);
        const AnalyseResult r = run_analyse(dir, c.command + " p.txt");
        EXPECT_EQ(r.status, 1) << c.command << "\n" << c.text;
        EXPECT_EQ(r.out, "") << c.command;
        EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
        EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
        EXPECT_NE(r.err.find("p.txt"), std::string::npos) << r.err;
    }
}

// The figure is written beside the summary; a name without a figure's
// extension is a wrong argument, checked before any work.
TEST(PressureCommands, FiguresAreWrittenBesideTheSummary) {
    RunDir dir;
    dir.write("p.txt", bm3_rows(12));
    const AnalyseResult r = run_analyse(dir, "compression --figure out.svg --at 2,6 p.txt");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("Compression of p.txt"), std::string::npos);
    const std::string svg = dir.read("out.svg");
    EXPECT_NE(svg.find("<svg"), std::string::npos);
    EXPECT_NE(svg.find("</svg>"), std::string::npos);
    EXPECT_EQ(run_analyse(dir, "compression --figure out.txt p.txt").status, 2);
    const AnalyseResult e = run_analyse(dir, "eos --axes --figure eos.svg p.txt");
    EXPECT_EQ(e.status, 0) << e.err;
    EXPECT_NE(dir.read("eos.svg").find("</svg>"), std::string::npos);
    EXPECT_EQ(run_analyse(dir, "eos --figure eos.txt p.txt").status, 2);
}

// The F-f plot is drawn against the strain each model is linear in, and
// for Vinet as ln F; the summary is the same as without it.
TEST(PressureCommands, FfPlotTakesTheStrainOfItsModel) {
    struct Case {
        const char* model;
        const char* x_legend;
        const char* y_legend;
    };
    const Case cases[] = {
        {"bm3", "Eulerian strain f", "F (GPa)"},       {"bm2", "Eulerian strain f", "F (GPa)"},
        {"murnaghan", "Eulerian strain f", "F (GPa)"}, {"natural", "Natural strain f", "F (GPa)"},
        {"vinet", "Vinet strain f", "ln(F/GPa)"},
    };
    RunDir dir;
    dir.write("p.txt", bm3_rows(12));
    for (const Case& c : cases) {
        const std::string model = std::string(" --model ") + c.model;
        const AnalyseResult plain = run_analyse(dir, "eos --axes" + model + " p.txt");
        const AnalyseResult r = run_analyse(dir, "eos --axes --ff ff.svg" + model + " p.txt");
        EXPECT_EQ(r.status, 0) << c.model << r.err;
        EXPECT_EQ(r.out, plain.out) << c.model;
        std::string svg;
        for (const auto& t : xyviewer_test::svg_texts(dir.read("ff.svg"))) svg += t.text + "\n";
        EXPECT_NE(svg.find(c.x_legend), std::string::npos) << c.model;
        EXPECT_NE(svg.find(c.y_legend), std::string::npos) << c.model;
        EXPECT_NE(svg.find("edges as L"), std::string::npos) << c.model;
    }
}

// A cubic series (the volumes of bm3_rows, sigma_a 2e-4 A, sigmaP 0.001
// GPa): a = b = c is one refined length, so sigma V = 3a^2
// sigma_a, the edges are one fit, and that fit is the volume's: M0 = 3K0
// and sigma(M0) = 3 sigma(K0), L0^3 = V0, whether the ties are seen in the
// rows or named.
TEST(PressureCommands, ACubicEdgeIsItsCube) {
    std::string text = "# P sigmaP a b c alpha beta gamma\n";
    std::istringstream in(bm3_rows(12));
    std::string line;
    while (std::getline(in, line)) {
        if (line[0] == '#') continue;
        std::istringstream fields(line);
        double p = 0, sp = 0, a = 0, b = 0, c = 0;
        fields >> p >> sp >> a >> b >> c;
        // sigmaP small beside (dP/dV) 3a^2 sigma_a, so that sigma V weighs.
        char cube[160];
        std::snprintf(cube, sizeof cube, "%.6g 0.001 %.4f(2) %.4f(2) %.4f(2) 90 90 90\n", p, std::cbrt(a * b * c),
                      std::cbrt(a * b * c), std::cbrt(a * b * c));
        text += cube;
    }
    RunDir dir;
    dir.write("cubic.txt", text);
    for (const char* system : {"", " --system cubic"}) {
        const AnalyseResult r = run_analyse(dir, std::string("eos --tsv --axes") + system + " cubic.txt");
        ASSERT_EQ(r.status, 0) << system << r.err;
        const auto rows = tsv_rows(r.out);
        const auto sigma = [&](const std::string& q, const std::string& p) {
            for (const auto& row : rows)
                if (row.size() == 6 && row[0] == q && row[2] == p) return std::stod(row[4]);
            return -1.0;
        };
        const double k0 = std::stod(field(rows, "V", "K0")), sigma_k0 = sigma("V", "K0");
        for (const char* edge : {"a", "b", "c"}) {
            EXPECT_NEAR(std::stod(field(rows, edge, "M0")), 3 * k0, 1e-6 * k0) << edge << system;
            EXPECT_NEAR(sigma(edge, "M0"), 3 * sigma_k0, 1e-4 * sigma_k0) << edge << system;
            EXPECT_NEAR(std::pow(std::stod(field(rows, edge, "L0")), 3), std::stod(field(rows, "V", "V0")), 1e-6)
                << edge << system;
        }
        EXPECT_EQ(field(rows, "b", "M0"), field(rows, "a", "M0"));
        EXPECT_EQ(field(rows, "c", "Mp"), field(rows, "a", "Mp"));
    }
    // The summary names the ties; a system the cells contradict stops the run.
    const AnalyseResult r = run_analyse(dir, "eos cubic.txt");
    EXPECT_NE(r.out.find("Symmetry: cubic (detected"), std::string::npos) << r.out;
    dir.write("p.txt", bm3_rows(12));
    const AnalyseResult wrong = run_analyse(dir, "eos --system tetragonal p.txt");
    EXPECT_EQ(wrong.status, 1);
    EXPECT_EQ(wrong.out, "");
    EXPECT_NE(wrong.err.find("is not tetragonal"), std::string::npos) << wrong.err;
}

TEST(PressureCommands, WrongOptionsGiveStatusTwo) {
    RunDir dir;
    dir.write("p.txt", bm3_rows(8));
    for (const std::string args :
         {"eos --model bm5 p.txt", "eos --at x p.txt", "eos --at rows p.txt", "compression --strain plastic p.txt",
          "compression --at -3 p.txt", "compression --bogus p.txt", "eos", "eos --ff ff.txt p.txt",
          "eos --figure same.svg --ff same.svg p.txt", "eos --system cubical p.txt"}) {
        const AnalyseResult r = run_analyse(dir, args);
        EXPECT_EQ(r.status, 2) << args;
        EXPECT_EQ(r.out, "") << args;
    }
}

// The figures against pressure take the figure options of alpha's: the
// title asked for (none with --no-title, the file's name by default), the
// page's size; without a figure the options are a wrong argument.
TEST(PressureCommands, FigureOptionsOnEveryPressureFigure) {
    RunDir dir;
    dir.write("p.txt", bm3_rows(12));
    for (const std::string figure : {"compression --figure f.svg", "eos --figure f.svg", "eos --ff f.svg"}) {
        SCOPED_TRACE(figure);
        const auto texts = [&](const std::string& options) {
            const AnalyseResult r = run_analyse(dir, figure + " " + options + " p.txt");
            EXPECT_EQ(r.status, 0) << r.err;
            std::string all;
            for (const auto& t : xyviewer_test::svg_texts(dir.read("f.svg"))) all += t.text + "\n";
            return all;
        };
        EXPECT_NE(texts("").find("p.txt"), std::string::npos);
        EXPECT_NE(texts("--title 'Quartz at P' --size 10x8cm").find("Quartz at P\n"), std::string::npos);
        EXPECT_NE(dir.read("f.svg").find("width=\"283pt\""), std::string::npos);
        EXPECT_EQ(texts("--no-title").find("p.txt"), std::string::npos);
    }
    EXPECT_EQ(run_analyse(dir, "compression --title X p.txt").status, 2);
    EXPECT_EQ(run_analyse(dir, "eos --dpi 600 p.txt").status, 2);
}
