// Cells written with their ESDs in parentheses, and celltrend-analyse's own
// CSV, read as tables.

#include <gtest/gtest.h>

#include <cmath>
#include <sstream>
#include <string>

#include "formats/series_export.hpp"
#include "formats/series_table.hpp"
#include "support/example_tables.hpp"

using namespace formats;

namespace {

Series read(const std::string& text, const std::string& name = "t.txt") {
    std::istringstream in(text);
    return read_series(in, name);
}

std::string error_of(const std::string& text) {
    try {
        read(text);
    } catch (const SeriesError& e) {
        return e.what();
    }
    return "(no error)";
}

void expect_same_rows(const Series& x, const Series& y) {
    ASSERT_EQ(x.rows.size(), y.rows.size());
    EXPECT_EQ(x.has_sigma_t(), y.has_sigma_t());
    EXPECT_EQ(x.has_cell_esd(), y.has_cell_esd());
    for (std::size_t i = 0; i < x.rows.size(); ++i) {
        SCOPED_TRACE("row " + std::to_string(i));
        const SeriesRow& a = x.rows[i];
        const SeriesRow& b = y.rows[i];
        EXPECT_EQ(a.complete, b.complete);
        EXPECT_EQ(a.t, b.t);
        if (x.has_sigma_t()) {
            EXPECT_EQ(a.sigma_t, b.sigma_t);
        }
        const double av[] = {a.cell.a, a.cell.b, a.cell.c, a.cell.alpha, a.cell.beta, a.cell.gamma,
                             a.esd.a,  a.esd.b,  a.esd.c,  a.esd.alpha,  a.esd.beta,  a.esd.gamma};
        const double bv[] = {b.cell.a, b.cell.b, b.cell.c, b.cell.alpha, b.cell.beta, b.cell.gamma,
                             b.esd.a,  b.esd.b,  b.esd.c,  b.esd.alpha,  b.esd.beta,  b.esd.gamma};
        for (int k = 0; k < (x.has_cell_esd() ? 12 : 6); ++k) EXPECT_EQ(av[k], bv[k]) << "value " << k;
    }
}

const std::string parenthesised =
    "# CT-17 from the paper's table\n"
    "100(1) 7.50122(18) 10.19875(22) 12.80417(31) 90 101.4821(9) 90\n"
    "120.0(5)\t7.50201(20) 10.2101(3) 12.8061(4) 90 101.4849(10) 90   # second\n"
    "140(2) 7.5032(2) 10.2225(3) 12.8083(4) 90 1.014868E2(11) 90\n";

const std::string separate_columns =
    "T_K,sigma_T_K,a_A,sigma_a_A,b_A,sigma_b_A,c_A,sigma_c_A,alpha_deg,sigma_alpha_deg,beta_deg,sigma_beta_deg,"
    "gamma_deg,sigma_gamma_deg\r\n"
    "100,1,7.50122,0.00018,10.19875,0.00022,12.80417,0.00031,90,0,101.4821,0.0009,90,0\r\n"
    "120.0,0.5,7.50201,0.0002,10.2101,0.0003,12.8061,0.0004,90,0,101.4849,0.001,90,0\r\n"
    "140,2,7.5032,0.0002,10.2225,0.0003,12.8083,0.0004,90,0,101.4868,0.0011,90,0\r\n";

}  // namespace

TEST(MeasuredRows, ParenthesesGiveTheSameSeriesAsSeparateEsdColumns) {
    const Series rows = read(parenthesised);
    const Series csv = read(separate_columns, "t.csv");
    EXPECT_EQ(rows.layout, SeriesLayout::strain_rows);
    EXPECT_EQ(csv.layout, SeriesLayout::csv);
    EXPECT_TRUE(rows.has_sigma_t());
    EXPECT_TRUE(rows.has_cell_esd());
    expect_same_rows(rows, csv);
    EXPECT_EQ(rows.rows[1].line, 3);
}

TEST(MeasuredRows, ASigmaTColumnWithParenthesisedCellValues) {
    const Series s = read(
        "100 0.5 7.50122(18) 10.19875(22) 12.80417(31) 90 101.4821(9) 90\n"
        "120 0.5 7.50201 10.2101 12.8061 90 101.4849 90\n");
    EXPECT_TRUE(s.has_sigma_t());
    EXPECT_TRUE(s.has_cell_esd());
    EXPECT_EQ(s.rows[0].sigma_t, 0.5);
    EXPECT_DOUBLE_EQ(s.rows[0].esd.b, 0.00022);
    EXPECT_EQ(s.rows[1].esd.b, 0);  // no ESD given: 0, as celltrend writes one the report lacks
}

TEST(MeasuredRows, WithoutParenthesesNothingMoreIsCarried) {
    const Series s = read("100 7.5 10.2 12.8 90 101.5 90\n120 7.51 10.21 12.81 90 101.5 90\n");
    EXPECT_EQ(s.layout, SeriesLayout::strain_rows);
    EXPECT_FALSE(s.has_sigma_t());
    EXPECT_FALSE(s.has_cell_esd());
    EXPECT_TRUE(std::isnan(s.rows[0].sigma_t));
    EXPECT_TRUE(std::isnan(s.rows[1].esd.a));
    EXPECT_TRUE(s.rows[1].complete);
}

TEST(MeasuredRows, RowsKeepTheFormOfTheFirst) {
    struct Case {
        std::string text;
        std::string message;
    };
    const Case cases[] = {
        // a value left out of an 8-column file is no row without sigmaT
        {"100 1 7.5 10.2 12.8 90 101.5 90\n120 1 7.5 10.2 12.8 90 101.5\n",
         "t.txt:2: not a row \"T sigmaT a b c alpha beta gamma\": \"120 1 7.5 10.2 12.8 90 101.5\""},
        {"100(1) 7.5 10.2 12.8 90 101.5 90\n120(1) 1 7.5 10.2 12.8 90 101.5 90\n",
         "t.txt:2: not a row \"T sigmaT a b c alpha beta gamma\": \"120(1) 1 7.5 10.2 12.8 90 101.5 90\""},
        // sigmaT twice
        {"100(1) 1 7.5 10.2 12.8 90 101.5 90\n",
         "t.txt:1: neither a celltrend table nor rows of \"T sigmaT a b c alpha beta gamma\": "
         "\"100(1) 1 7.5 10.2 12.8 90 101.5 90\""},
        {"100(1) 7.5(2 10.2 12.8 90 101.5 90\n",
         "t.txt:1: neither a celltrend table nor rows of \"T sigmaT a b c alpha beta gamma\": "
         "\"100(1) 7.5(2 10.2 12.8 90 101.5 90\""},
    };
    for (const Case& c : cases) EXPECT_EQ(error_of(c.text), c.message);
}

TEST(SeriesCsv, ColumnsAreFoundByNameInAnyOrder) {
    // A data frame's index first, the columns shuffled, quotes, no sigmaT.
    const Series s = read(
        ",gamma_deg,\"T_K\",a_A,b_A,c_A,alpha_deg,beta_deg,V_A3,note\n"
        "0,90,100,7.5,10.2,12.8,90,101.5,959.9,\"first, cold\"\n"
        "1,90,120,7.51,10.21,12.81,90,101.5,,\n",
        "frame.csv");
    EXPECT_EQ(s.layout, SeriesLayout::csv);
    EXPECT_FALSE(s.has_sigma_t());
    EXPECT_FALSE(s.has_cell_esd());
    EXPECT_TRUE(s.carried.volume);
    ASSERT_EQ(s.rows.size(), 2u);
    EXPECT_EQ(s.rows[0].t, 100);
    EXPECT_EQ(s.rows[0].cell.beta, 101.5);
    EXPECT_EQ(s.rows[0].volume, 959.9);
    EXPECT_TRUE(s.rows[0].complete);
    EXPECT_FALSE(s.rows[1].complete);  // V left empty
    EXPECT_EQ(s.rows[1].line, 3);
}

TEST(SeriesCsv, BadRowsNameTheLine) {
    const std::string header = "T_K,a_A,b_A,c_A,alpha_deg,beta_deg,gamma_deg\n";
    EXPECT_EQ(error_of(header + "100,7.5,10.2,12.8,90,101.5\n"), "t.txt:2: 6 fields where the header names 7");
    EXPECT_EQ(error_of(header + "100,7.5,10.2,12.8,90,x,90\n"), "t.txt:2: beta_deg is not a number: \"x\"");
    EXPECT_EQ(error_of("T_K,a_A,b_A,c_A,alpha_deg,beta_deg,gamma_deg,a_A\n"), "t.txt:1: the column a_A is named twice");
    // Not our header: a CSV without gamma is no series.
    EXPECT_NE(error_of("T_K,a_A,b_A,c_A,alpha_deg,beta_deg\n1,2,3,4,5,6\n").find("neither a celltrend table"),
              std::string::npos);
}

// export --format csv, read back, gives the table's numbers exactly and
// exports to the same bytes.
TEST(SeriesCsv, RoundTripOfTheExport) {
    const Series table = read_series(celltrend::testing::example_table());
    const std::string csv = export_csv(table).text;
    const Series back = read(csv, "t.csv");
    expect_same_rows(table, back);
    for (std::size_t i = 0; i < table.rows.size(); ++i) {
        EXPECT_EQ(back.rows[i].volume_esd, table.rows[i].volume_esd);
        EXPECT_EQ(back.rows[i].mosaicity, table.rows[i].mosaicity);
    }
    EXPECT_EQ(export_csv(back).text, csv);
    // The rows with ESDs in parentheses export the same CSV as separate columns.
    EXPECT_EQ(export_csv(read(parenthesised)).text, export_csv(read(separate_columns)).text);
}
