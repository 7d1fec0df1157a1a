// A pressure series in each of the layouts it may come in: rows
// "P sigmaP a b c ...", the CSV with P_GPa, and the equation-of-state
// programs' data file; then the checks every pressure analysis makes.

#include <gtest/gtest.h>

#include <cmath>
#include <sstream>
#include <string>

#include "formats/pressure_rows.hpp"
#include "formats/series_table.hpp"

using namespace formats;

namespace {

Series pressure_series(const std::string& text) {
    std::istringstream in(text);
    return read_series(in, "p.txt", SeriesVariable::pressure);
}

}  // namespace

// The same two rows in every layout give the same P, sigmaP, cell and ESDs.
TEST(PressureSeries, EveryLayoutGivesTheSameRows) {
    const std::string layouts[] = {
        "# P sigmaP a b c alpha beta gamma\n"
        "0.0001 0.001 4.9134(2) 4.9134(2) 5.4052(3) 90 90 120\n"
        "1.5 0.02 4.8601(2) 4.8601(2) 5.3662(3) 90 90 120\n",
        "0.0001(1) 4.9134(2) 4.9134(2) 5.4052(3) 90 90 120\n"
        "1.50(2) 4.8601(2) 4.8601(2) 5.3662(3) 90 90 120\n",
        "T_K,P_GPa,sigma_P_GPa,a_A,b_A,c_A,alpha_deg,beta_deg,gamma_deg,sigma_a_A,sigma_b_A,sigma_c_A,"
        "sigma_alpha_deg,sigma_beta_deg,sigma_gamma_deg\n"
        "298,0.0001,0.001,4.9134,4.9134,5.4052,90,90,120,0.0002,0.0002,0.0003,0,0,0\n"
        "298,1.5,0.02,4.8601,4.8601,5.3662,90,90,120,0.0002,0.0002,0.0003,0,0,0\n",
        "Title alpha-quartz\n"
        "System hexagonal\n"
        "format 2 p sigmap a b, c gamma sigga\n"
        "0.0001 0.001 4.9134(2) 4.9134(2)\n"
        "  5.4052(3) 120 0\n"
        "\n"
        "# a comment between data\n"
        "1.5, 0.02, 4.8601(2), 4.8601(2)\n"
        "5.3662(3)\t120\t0\n",
    };
    for (const std::string& text : layouts) {
        const PressureRows rows = pressure_rows(pressure_series(text));
        ASSERT_EQ(rows.rows.size(), 2u) << text;
        EXPECT_TRUE(rows.sigma_p_known) << text;
        const PressureRow& r = rows.rows[1];
        EXPECT_DOUBLE_EQ(r.p, 1.5) << text;
        EXPECT_NEAR(r.sigma_p, 0.02, 1e-15) << text;
        EXPECT_TRUE(r.has_cell) << text;
        EXPECT_DOUBLE_EQ(r.cell.c, 5.3662) << text;
        EXPECT_DOUBLE_EQ(r.cell.gamma, 120) << text;
        EXPECT_DOUBLE_EQ(r.cell.alpha, 90) << text;
        EXPECT_NEAR(r.esd.c, 0.0003, 1e-15) << text;
        EXPECT_DOUBLE_EQ(r.volume, volume(r.cell)) << text;
        EXPECT_NEAR(r.sigma_volume, volume_esd(r.cell, r.esd), 1e-12) << text;
        EXPECT_GT(r.sigma_volume, 0) << text;
    }
}

// A data file of volumes: V and its ESD as given (SIGMAV spelt out, the
// pressure column named PRESSURE), no cell; other columns passed over.
TEST(PressureSeries, VolumeOnlyDataFile) {
    const Series s = pressure_series(
        "TITLE volumes\n"
        "FORMAT PRESSURE SIGMAP VOLUME SIGMAV WAVELENGTH\n"
        "0.0 0.0 100.0 0.02 0.71\n"
        "2.0 0.03 96.5 0.02 0.71\n");
    EXPECT_EQ(s.layout, SeriesLayout::eos_data);
    const PressureRows r = pressure_rows(s);
    ASSERT_EQ(r.rows.size(), 2u);
    EXPECT_FALSE(r.every_cell);
    EXPECT_FALSE(r.sigma_p_known);  // the first row gives sigmaP = 0
    EXPECT_DOUBLE_EQ(r.rows[1].volume, 96.5);
    EXPECT_DOUBLE_EQ(r.rows[1].sigma_volume, 0.02);
}

// What no pressure analysis takes, each refused naming its line.
TEST(PressureSeries, RefusedRowsNameTheirLine) {
    struct Case {
        std::string text;
        std::string message;
    };
    const Case cases[] = {
        {"0 0.01 5 6 7 90 90 90\nnan 0.01 5 6 7 90 90 90\n", "p.txt:2: the pressure is not a number"},
        {"0 0.01 5 6 7 90 90 90\n-1.5 0.01 5 6 7 90 90 90\n", "p.txt:2: the pressure -1.5 GPa is below -1 GPa"},
        {"0 0.01 5 6 7 90 90 90\n1 -0.01 5 6 7 90 90 90\n", "p.txt:2: a negative ESD"},
        {"Format P V\n1 100\n2\n", "p.txt:3: 1 value where the Format line names 2"},
        {"Format V SIGV\n100 1\n", "p.txt:1: the Format line names no P column"},
        {"Format P V\n1 100\n2 abc\n", "p.txt:3: not a number: \"abc\""},
    };
    for (const Case& c : cases) {
        try {
            pressure_rows(pressure_series(c.text));
            ADD_FAILURE() << "accepted: " << c.text;
        } catch (const SeriesError& e) {
            EXPECT_EQ(std::string(e.what()), c.message);
        }
    }
}

// A temperature CSV is no pressure series, and a pressure CSV read for
// temperature finds no T_K.
TEST(PressureSeries, CsvColumnsFollowTheVariable) {
    const std::string csv = "P_GPa,a_A,b_A,c_A,alpha_deg,beta_deg,gamma_deg\n1,5,6,7,90,90,90\n";
    EXPECT_EQ(pressure_series(csv).layout, SeriesLayout::csv);
    std::istringstream in(csv);
    EXPECT_THROW(read_series(in, "t.csv"), SeriesError);
}
