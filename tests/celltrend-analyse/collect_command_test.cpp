// celltrend-analyse collect run end to end on CIFs and SHELX files written
// in scratch directories: its table goes on into the other subcommands.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>

#include "formats/series_table.hpp"
#include "support/analyse_output.hpp"
#include "support/analyse_run.hpp"

using namespace celltrend::testing;

namespace {

// A value of celltrend's table in the CIF notation with its ESD: the table's
// five decimals and the ESD in units of the last ("7.50122(18)"), so that
// the CIF holds exactly the table's numbers.
std::string with_su(double value, double esd) {
    char text[64];
    std::snprintf(text, sizeof text, "%.5f(%.0f)", value, std::round(esd * 1e5));
    return text;
}

// One CIF per temperature of celltrend's table, as a refinement program
// writes them, with a publication block in the first; the rows in reverse
// so that collect has to sort them.
void write_cifs(const RunDir& dir, const formats::Series& table) {
    for (std::size_t i = 0; i < table.rows.size(); ++i) {
        const formats::SeriesRow& r = table.rows[table.rows.size() - 1 - i];
        std::string cif = i == 0 ? "data_global\n_publ_section_title 'CT-17'\n" : "";
        char t[32];
        std::snprintf(t, sizeof t, "%.2f", r.t);
        cif += "data_ct17_" + std::to_string(i) + "\n_cell_length_a " + with_su(r.cell.a, r.esd.a) +
               "\n_cell_length_b " + with_su(r.cell.b, r.esd.b) + "\n_cell_length_c " + with_su(r.cell.c, r.esd.c) +
               "\n_cell_angle_alpha " + with_su(r.cell.alpha, r.esd.alpha) + "\n_cell_angle_beta " +
               with_su(r.cell.beta, r.esd.beta) + "\n_cell_angle_gamma " + with_su(r.cell.gamma, r.esd.gamma) +
               "\n_cell_measurement_temperature " + t + "\n";
        dir.write("cif/ct17_" + std::to_string(i) + ".cif", cif);
    }
}

class CollectCommand : public ::testing::Test {
protected:
    RunDir dir;
};

}  // namespace

// The CIFs of the series give the expansion of celltrend's table: the same
// cells, the same ESDs, the same coefficients to the last digit.
TEST_F(CollectCommand, CifsGiveTheExpansionOfTheTable) {
    ASSERT_EQ(make_example_table(dir, "buffer_plain.txt"), 0);
    const formats::Series table = formats::read_series((dir.path() / "TK_parameters_HTML.xy").string());
    write_cifs(dir, table);
    const AnalyseResult c = run_analyse(dir, "collect -o series.csv cif/*.cif");
    ASSERT_EQ(c.status, 0) << c.err;
    EXPECT_EQ(c.err, "");
    const AnalyseResult from_cif = run_analyse(dir, "expansion --tsv series.csv");
    const AnalyseResult from_table = run_analyse(dir, "expansion --tsv TK_parameters_HTML.xy");
    ASSERT_EQ(from_cif.status, 0) << from_cif.err;
    EXPECT_EQ(from_cif.out, from_table.out);
    EXPECT_EQ(without_misfit_lines(from_cif.err),
              "celltrend-analyse expansion: series.csv: warning: sigmaT is 0 on every row; equal weights\n");

    // The CSV round trip: export reads collect's table and writes it back
    // byte for byte; its volumes are those of the reports within their ESDs.
    EXPECT_EQ(run_analyse(dir, "export --format csv series.csv").out, dir.read("series.csv"));
    const formats::Series collected = formats::read_series((dir.path() / "series.csv").string());
    ASSERT_EQ(collected.rows.size(), table.rows.size());
    for (std::size_t i = 0; i < table.rows.size(); ++i) {
        EXPECT_EQ(collected.rows[i].t, table.rows[i].t);
        EXPECT_NEAR(collected.rows[i].volume, table.rows[i].volume, 2 * table.rows[i].volume_esd);
        EXPECT_NEAR(collected.rows[i].volume_esd, table.rows[i].volume_esd, 0.3 * table.rows[i].volume_esd);
    }
}

TEST_F(CollectCommand, ShelxResAtMinus173Point15IsAt100K) {
    dir.write("ct17_100K.res",
              "TITL ct17_100K in P2(1)/c\nCELL 0.71073 7.50122 10.19875 12.80417 90 101.4821 90\n"
              "ZERR 4 0.00018 0.00022 0.00031 0 0.0009 0\nTEMP -173.15\nEND\n");
    dir.write("ct17_120K.ins", "TITL ct17_120K\nCELL 0.71073 7.5021 10.2021 12.8061 90 101.4849 90\nTEMP -153.15\n");
    const AnalyseResult r = run_analyse(dir, "collect --format pascal ct17_120K.ins ct17_100K.res");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "celltrend-analyse collect: ct17_120K.ins: no ZERR; the cell is taken without ESDs\n");
    EXPECT_EQ(r.out,
              "# From ct17_120K.ins and 1 other file: ct17\n"
              "# sigmaT as the source gives it\n"
              "# T(K) sigmaT(K) a(A) b(A) c(A) alpha(deg) beta(deg) gamma(deg)\n"
              "100 0 7.50122 10.19875 12.80417 90 101.4821 90\n"
              "120 0 7.5021 10.2021 12.8061 90 101.4849 90\n");
}

TEST_F(CollectCommand, FilesWithoutRowsAndFailures) {
    dir.write("cell.cif",
              "data_a\n_cell_length_a 5(1)\n_cell_length_b 6\n_cell_length_c 7\n_cell_angle_alpha 90\n"
              "_cell_angle_beta 90\n_cell_angle_gamma 90\n_cell_measurement_temperature 100\n");
    dir.write("nocell.cif", "data_b\n_diffrn_ambient_temperature 100\n");
    dir.write("broken.cif", "data_c\n_cell_length_a\n");
    AnalyseResult r = run_analyse(dir, "collect nocell.cif cell.cif");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "celltrend-analyse collect: nocell.cif: no cell with a temperature; no row\n");
    EXPECT_NE(r.out.find("\r\n100,0,5,1,6,0,7,0,90,0,90,0,90,0,210,42\r\n"), std::string::npos) << r.out;

    r = run_analyse(dir, "collect nocell.cif");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err,
              "celltrend-analyse collect: nocell.cif: no cell with a temperature; no row\n"
              "celltrend-analyse collect: no cell in any file; nothing written\n");

    r = run_analyse(dir, "collect cell.cif broken.cif -o out.csv");
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.err.starts_with("celltrend-analyse collect: broken.cif: not a CIF: ")) << r.err;
    EXPECT_FALSE(dir.exists("out.csv"));

    const std::string cif = dir.read("cell.cif");
    r = run_analyse(dir, "collect cell.cif -o ./cell.cif");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(dir.read("cell.cif"), cif);

    EXPECT_EQ(run_analyse(dir, "collect").status, 2);
    EXPECT_EQ(run_analyse(dir, "collect --format xml cell.cif").status, 2);
    EXPECT_EQ(run_analyse(dir, "collect missing.cif").status, 1);
}

// collect's table goes through transform (no mosaicity to carry) into
// expansion like celltrend's own.
TEST_F(CollectCommand, CollectedSeriesThroughTransform) {
    std::string rows = "# T a b c alpha beta gamma, ESDs in parentheses\n";
    for (int k = 0; k < 4; ++k) {
        const double dt = 50.0 * k;
        char line[200];
        std::snprintf(line, sizeof line, "%.0f(1) %.5f(20) %.5f(30) %.5f(40) 90 %.4f(10) 90\n", 100 + dt,
                      7.5 * (1 + 2e-5 * dt), 10.2 * (1 + 5e-5 * dt), 12.8 * (1 + 1e-5 * dt), 101.5 + 1e-3 * dt);
        rows += line;
    }
    dir.write("rows.txt", rows);
    ASSERT_EQ(run_analyse(dir, "export --format csv rows.txt -o rows.csv").status, 0);
    const AnalyseResult t = run_analyse(dir, "transform -m '1 0 1 0 1 0 -1 0 0' rows.csv -o new.xy");
    ASSERT_EQ(t.status, 0) << t.err;
    EXPECT_EQ(t.err, "");
    const AnalyseResult e = run_analyse(dir, "expansion --tsv new.xy");
    EXPECT_EQ(e.status, 0);
    EXPECT_EQ(e.err, "");
    const formats::Series table = formats::read_series((dir.path() / "new.xy").string());
    ASSERT_EQ(table.rows.size(), 4u);
    EXPECT_TRUE(table.rows[3].complete);
    EXPECT_EQ(table.rows[3].mosaicity, 0);
}
