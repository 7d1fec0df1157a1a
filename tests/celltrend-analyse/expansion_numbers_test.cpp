// The numbers of celltrend-analyse expansion, run end to end: the --tsv
// table against the summary of the same run, each strain option against a
// hand-worked coefficient, and the note on equal coefficients driven by the
// cell ESDs.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "support/analyse_run.hpp"

using namespace celltrend::testing;

namespace {

// Fields between separators, empty ones kept, except for blanks, which
// may run.
std::vector<std::string> words(const std::string& line, char separator = ' ') {
    std::vector<std::string> out;
    std::size_t start = 0;
    for (std::size_t end; start <= line.size(); start = end + 1) {
        end = std::min(line.find(separator, start), line.size());
        if (separator != ' ' || end > start) out.push_back(line.substr(start, end - start));
    }
    return out;
}

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> out;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) out.push_back(line);
    return out;
}

// The summary's table, by axis name: alpha, sigma, sigma_esd, then u, v, w
// for X1, X2, X3 ("-" where there is none).
std::map<std::string, std::vector<std::string>> summary_rows(const std::string& summary) {
    std::map<std::string, std::vector<std::string>> rows;
    for (const std::string& line : lines(summary)) {
        const std::vector<std::string> w = words(line);
        if (w.empty() || (w[0] != "X1" && w[0] != "X2" && w[0] != "X3" && w[0] != "V")) continue;
        if (w.size() < 4 || w[1] == "and") continue;  // a note, not the table
        rows[w[0]] = std::vector<std::string>(w.begin() + 1, w.begin() + (w[0] == "V" ? 4 : 7));
    }
    return rows;
}

// Every field of --tsv, against the same field of the summary, which has
// four decimals: the V row too, and no "-0.0000" nor "-0" anywhere.
void expect_tsv_matches_summary(const RunDir& dir, const std::string& table) {
    SCOPED_TRACE(table);
    const AnalyseResult summary = run_analyse(dir, "expansion " + table);
    const AnalyseResult tsv = run_analyse(dir, "expansion --tsv " + table);
    ASSERT_EQ(summary.status, 0) << summary.err;
    ASSERT_EQ(tsv.status, 0) << tsv.err;
    EXPECT_EQ(summary.out.find("-0.0000"), std::string::npos) << summary.out;
    const auto shown = summary_rows(summary.out);
    ASSERT_EQ(shown.size(), 4u) << summary.out;
    const std::vector<std::string> rows = lines(tsv.out);
    ASSERT_EQ(rows.size(), 5u) << tsv.out;
    for (std::size_t r = 1; r < rows.size(); ++r) {
        const std::vector<std::string> fields = words(rows[r], '\t');
        ASSERT_EQ(fields.size(), 7u) << rows[r];
        const std::vector<std::string>& s = shown.at(fields[0]);
        const std::size_t numbers = fields[0] == "V" ? 3 : 6;
        for (std::size_t f = 1; f <= 6; ++f) {
            const std::string& field = fields[f];
            EXPECT_NE(field, "-0") << rows[r];
            if (f > numbers || s[f - 1] == "-") {
                EXPECT_EQ(field, "") << fields[0] << " field " << f;
                continue;
            }
            ASSERT_FALSE(field.empty()) << fields[0] << " field " << f;
            EXPECT_NEAR(std::stod(field), std::stod(s[f - 1]), 5.0001e-5) << fields[0] << " field " << f;
        }
    }
}

std::string row_text(double t, const std::string& sigma_t, double a, double b, double c, double alpha, double beta,
                     double gamma) {
    char line[160];
    std::snprintf(line, sizeof line, "%.2f %s %.9f %.9f %.9f %.6f %.6f %.6f\n", t, sigma_t.c_str(), a, b, c, alpha,
                  beta, gamma);
    return line;
}

class ExpansionNumbers : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(make_example_table(dir, "buffer_plain.txt"), 0); }
    RunDir dir;
};

}  // namespace

TEST_F(ExpansionNumbers, TsvGivesTheSummarysNumbersWithMoreDigits) {
    expect_tsv_matches_summary(dir, "TK_parameters_HTML.xy");

    // Axis-aligned cells: every direction has two zero components, which
    // must read 0.0000 and 0, never with a sign.  Hexagonal axes put
    // rounding into the Cartesian matrix.
    std::string orthorhombic, hexagonal;
    for (int k = 0; k < 5; ++k) {
        const double dt = 25.0 * k;
        orthorhombic += row_text(100 + dt, "1", 5 * (1 + 2e-5 * dt), 7 * (1 + 0.5e-5 * dt),
                                 9 * (1 + 1e-5 * dt + 1e-8 * dt * dt), 90, 90, 90);
        hexagonal +=
            row_text(100 + dt, "1", 4 * (1 + 3e-5 * dt), 4 * (1 + 3e-5 * dt), 6 * (1 - 1e-5 * dt), 90, 90, 120);
    }
    dir.write("orthorhombic.txt", orthorhombic);
    dir.write("hexagonal.txt", hexagonal);
    expect_tsv_matches_summary(dir, "orthorhombic.txt");
    expect_tsv_matches_summary(dir, "hexagonal.txt");
}

// a stretched by s = 1, 1.01, 1.02 at 100, 200, 300 K, b by half as much, c
// unchanged: X3 lies along a.  With three equally spaced rows the slope is
// e(1.02) / 200 K, and for u = 1.02 - 1 (Lagrangian) or 1 - 1/1.02
// (Eulerian), e = u (infinitesimal) or u + u^2/2 (finite):
//   Lagrangian  0.02 / 200 K                      = 100.0000e-6 / K
//               (0.02 + 0.0002) / 200 K           = 101.0000e-6 / K
//   Eulerian    0.0196078431 / 200 K              =  98.0392e-6 / K
//               (0.0196078431 + 0.0001922338) / 200 K = 99.0004e-6 / K
TEST_F(ExpansionNumbers, EachStrainOptionGivesItsHandWorkedCoefficient) {
    std::string rows;
    for (int k = 0; k < 3; ++k)
        rows += row_text(100 + 100 * k, "1", 5 * (1 + 0.01 * k), 7 * (1 + 0.005 * k), 9, 90, 90, 90);
    dir.write("stretched.txt", rows);
    struct Case {
        std::string options, strain_line, x3_line;
    };
    const Case cases[] = {
        {"", "Strain: Eulerian finite,", "X3      99.0004"},
        {"--infinitesimal", "Strain: Eulerian infinitesimal,", "X3      98.0392"},
        {"--strain lagrangian", "Strain: Lagrangian finite,", "X3     101.0000"},
        {"--strain=lagrangian --infinitesimal", "Strain: Lagrangian infinitesimal,", "X3     100.0000"},
        {"--strain eulerian", "Strain: Eulerian finite,", "X3      99.0004"},
    };
    for (const Case& c : cases) {
        const AnalyseResult r = run_analyse(dir, "expansion " + c.options + " stretched.txt");
        ASSERT_EQ(r.status, 0) << c.options << "\n" << r.err;
        EXPECT_NE(r.out.find("\n" + c.strain_line + " relative to the first row (100.00 K)\n"), std::string::npos)
            << c.options << "\n"
            << r.out;
        EXPECT_NE(r.out.find("\n" + c.x3_line + " "), std::string::npos) << c.options << "\n" << r.out;
    }
}

// The example's coefficients differ by far more than their scatter, but
// with every cell ESD a thousand times larger the ESDs alone make them
// equal within their uncertainties: the note must say so, and must not
// when the same rows have no ESDs.
TEST_F(ExpansionNumbers, LargeCellEsdsMakeCoefficientsEqual) {
    std::istringstream in(dir.read("TK_parameters_HTML.xy"));
    std::string blurred, bare;
    for (std::string line; std::getline(in, line);) {
        std::string zeroed = line;
        if (!line.starts_with('!'))
            for (int i = 0; i < 6; ++i) {
                const std::size_t at = 6 + 12 * (2 * i + 1);
                char field[32];
                std::snprintf(field, sizeof field, "%12.5f", 1000 * std::stod(line.substr(at, 12)));
                line.replace(at, 12, field);
                zeroed.replace(at, 12, "     0.00000");
            }
        blurred += line + "\n";
        bare += zeroed + "\n";
    }
    dir.write("blurred.xy", blurred);
    dir.write("bare.xy", bare);

    const AnalyseResult r = run_analyse(dir, "expansion blurred.xy");
    ASSERT_EQ(r.status, 0) << r.err;
    const auto shown = summary_rows(r.out);
    ASSERT_EQ(shown.size(), 4u) << r.out;
    // The scatter alone keeps X1 and X2 apart; the ESDs do not.
    const double gap = std::stod(shown.at("X2")[0]) - std::stod(shown.at("X1")[0]);
    EXPECT_GT(gap, std::hypot(std::stod(shown.at("X1")[1]), std::stod(shown.at("X2")[1])));
    EXPECT_LT(gap, std::hypot(std::stod(shown.at("X1")[2]), std::stod(shown.at("X2")[2])));
    EXPECT_NE(r.out.find("\nX1 and X2 expand equally within their uncertainties"), std::string::npos) << r.out;
    const AnalyseResult tsv = run_analyse(dir, "expansion --tsv blurred.xy");
    EXPECT_NE(tsv.err.find("note: X1 and X2 expand equally"), std::string::npos) << tsv.err;

    const AnalyseResult without = run_analyse(dir, "expansion bare.xy");
    ASSERT_EQ(without.status, 0) << without.err;
    EXPECT_EQ(without.out.find("expand equally"), std::string::npos) << without.out;
}
