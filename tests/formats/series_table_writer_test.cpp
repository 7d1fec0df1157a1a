#include "formats/series_table_writer.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <iterator>
#include <limits>
#include <sstream>
#include <string>

#include "support/example_tables.hpp"

using namespace formats;

namespace {

constexpr double not_a_number = std::numeric_limits<double>::quiet_NaN();
constexpr double inf = std::numeric_limits<double>::infinity();

struct FieldCase {
    double value;
    int width;
    int decimals;
    const char* text;
};

}  // namespace

TEST(SeriesTableWriter, FixedFieldsAsCelltrendWritesThem) {
    const FieldCase cases[] = {
        {7.5, 12, 5, "     7.50000"},
        {293, 6, 2, "293.00"},
        {-1.5, 6, 2, " -1.50"},
        {-0.000001, 12, 5, "     0.00000"},  // no sign on a printed zero
        {-0.0, 6, 2, "  0.00"},
        {0.329, 12, 3, "       0.329"},
        {0.5, 4, 3, ".500"},  // the 0 goes only when it does not fit
        {-0.5, 5, 3, "-.500"},
        {1000, 6, 2, "******"},  // 1000 K overflows TK
        {123456.789, 12, 5, "123456.78900"},
        {1234567.1, 12, 5, "************"},
        {959.953975, 12, 5, "   959.95398"},    // rounded from the binary value, which lies above the tie
        {not_a_number, 12, 5, "         NaN"},  // right-aligned: never glued to TK
        {-not_a_number, 12, 5, "        -NaN"},
        {inf, 6, 2, "   Inf"},
        {-inf, 3, 1, "***"},
    };
    for (const FieldCase& c : cases) EXPECT_EQ(fixed_field(c.value, c.width, c.decimals), c.text) << c.value;
}

TEST(SeriesTableWriter, LineHasTheFieldsInTheirColumns) {
    SeriesRow row;
    row.t = 100;
    row.cell = {7.5, 10.25, 12.75, 90, 101.5, 90};
    row.esd = {0.0002, 0.0003, 0.0004, 0.001, 0.002, 0.003};
    row.volume = 960.5;
    row.volume_esd = 0.05;
    row.mosaicity = 0.45;
    row.mosaicity_esd = 0.01;
    EXPECT_EQ(table_line(row),
              "100.00     7.50000     0.00020    10.25000     0.00030    12.75000     0.00040    90.00000     0.00100"
              "   101.50000     0.00200    90.00000     0.00300   960.50000     0.05000       0.450       0.010");
}

// celltrend's own table of the example series, read and written again, comes
// back byte for byte: same header, same columns, same rounding.
TEST(SeriesTableWriter, RewritesCelltrendsTableByteForByte) {
    std::ifstream file(celltrend::testing::example_table(), std::ios::binary);
    const std::string original{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    std::istringstream in(original);
    const Series series = read_series(in, "TK_parameters_HTML.xy");
    ASSERT_EQ(series.rows.size(), 16u);

    std::string again;
    for (const std::string& line : table_header(series.title, "Cell parameters and ESD extracted from nreport_TK.HTML"))
        again += line + "\n";
    for (const SeriesRow& row : series.rows) again += table_line(row) + "\n";
    EXPECT_EQ(again, original);
}

TEST(SeriesTableWriter, WrittenTableReadsBackWithAsterisksAndNaNInPlace) {
    SeriesRow row;
    row.t = 1250;  // too wide for F6.2
    row.cell = {7.5, 10.25, not_a_number, 90, 101.5, 90};
    row.esd = {0.0002, 0.0003, 0.0004, 0.001, 0.002, 0.003};
    row.volume = 1234567.5;  // too wide for F12.5
    row.volume_esd = 0.05;
    row.mosaicity = 0.45;
    row.mosaicity_esd = 0.01;
    std::string text;
    for (const std::string& line : table_header("t", "d")) text += line + "\n";
    text += table_line(row) + "\n";
    std::istringstream in(text);
    const Series back = read_series(in, "x");
    ASSERT_EQ(back.layout, SeriesLayout::celltrend_table);
    ASSERT_EQ(back.rows.size(), 1u);
    const SeriesRow& r = back.rows[0];
    EXPECT_FALSE(r.complete);
    EXPECT_TRUE(std::isnan(r.t));
    EXPECT_TRUE(std::isnan(r.cell.c));
    EXPECT_TRUE(std::isnan(r.volume));
    EXPECT_DOUBLE_EQ(r.cell.b, 10.25);
    EXPECT_DOUBLE_EQ(r.esd.c, 0.0004);
    EXPECT_DOUBLE_EQ(r.mosaicity_esd, 0.01);
}
