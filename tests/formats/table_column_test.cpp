#include "formats/table_column.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <sstream>
#include <string>

using namespace formats;

namespace {

Series read(const std::string& text) {
    std::istringstream in(text);
    return read_series(in, "t.xy");
}

// Two rows of celltrend's plain table; the second has asterisks for b.
const std::string plain =
    "! CT-17 monoclinic\n! Cell parameters and ESD extracted from nreport_TK.HTML\n!\n"
    "!   TK        a(A)      ESD(A)        b(A)      ESD(A)        c(A)      ESD(A)  alpha(deg)    ESD(deg)"
    "   beta(deg)    ESD(deg)  gamma(deg)    ESD(deg)  volume(A3)     ESD(A3)  mosa.(deg)    ESD(deg) \n"
    "!" +
    std::string(200, '-') +
    "\n"
    "100.00     7.50122     0.00018    10.19875     0.00022    12.80417     0.00031    89.99940     0.00090"
    "   101.48210     0.00090    90.00020     0.00110   959.95398     0.03900       0.329       0.004\n"
    "120.00     7.50536     0.00018 ***********     0.00027    12.80755     0.00028    90.00010     0.00110"
    "   101.49380     0.00090    90.00000     0.00110   961.07465     0.04000       0.330       0.004\n";

const std::string transformed =
    "! CT-17, P21/n setting\n! Cell parameters and ESD extracted from nreport_TK.HTML\n!\n"
    "!   TK        a(A)        b(A)        c(A)  alpha(deg)   beta(deg)  gamma(deg)  volume(A3)  mosa.(deg)    "
    "ESD(deg) \n"
    "!" +
    std::string(200, '-') +
    "\n"
    "100.00    13.48987    10.19875     7.50122    89.99979   111.53810    89.99954   959.95428       0.329       "
    "0.004\n";

}  // namespace

TEST(TableColumn, LegendsAndPointsAsCelltrendsPlotFile) {
    const Series s = read(plain);
    const PlotFile a = table_column(s, "a");
    EXPECT_EQ(a.main_legend, "CT-17 monoclinic");
    EXPECT_EQ(a.x_legend, "Temperature (K)");
    EXPECT_EQ(a.y_legend, "a unit cell parameter (A)");
    ASSERT_EQ(a.patterns.size(), 1u);
    EXPECT_EQ(a.patterns[0].title, "a(A)=f(T)");
    ASSERT_EQ(a.patterns[0].points.size(), 2u);
    EXPECT_DOUBLE_EQ(a.patterns[0].points[1].x, 120);
    EXPECT_DOUBLE_EQ(a.patterns[0].points[1].y.value, 7.50536);
    EXPECT_DOUBLE_EQ(a.patterns[0].points[1].y.sigma, 0.00018);
    EXPECT_TRUE(a.warnings.empty());

    const PlotFile v = table_column(s, "V");
    EXPECT_EQ(v.y_legend, "Unit cell volume (A3)");
    EXPECT_DOUBLE_EQ(v.patterns[0].points[0].y.sigma, 0.039);
    EXPECT_EQ(table_column(s, "Mosaicity").patterns[0].title, "mosaicity(deg)=f(T)");
}

TEST(TableColumn, UnreadableValuesAreLeftOutWithAWarning) {
    const PlotFile b = table_column(read(plain), "b");
    ASSERT_EQ(b.patterns[0].points.size(), 1u);
    ASSERT_EQ(b.warnings.size(), 1u);
    EXPECT_EQ(b.warnings[0], "t.xy: b: 1 row of asterisks or NaN left out");
}

TEST(TableColumn, TransformedTableHasNoCellEsdButKeepsTheMosaicitys) {
    const Series s = read(transformed);
    const Point beta = table_column(s, "beta").patterns[0].points.at(0);
    EXPECT_DOUBLE_EQ(beta.y.value, 111.5381);
    EXPECT_FALSE(beta.y.has_sigma());
    EXPECT_FALSE(table_column(s, "volume").patterns[0].declares_sigy);
    const Point m = table_column(s, "mosaicity").patterns[0].points.at(0);
    EXPECT_TRUE(m.y.has_sigma());
    EXPECT_DOUBLE_EQ(m.y.sigma, 0.004);
}

TEST(TableColumn, StrainRowsGetTheVolumeOfTheirCells) {
    const Series s = read("100 1 10 10 10 90 90 90\n200 1 10 10 10.1 90 90 90\n");
    const PlotFile v = table_column(s, "volume");
    ASSERT_EQ(v.patterns[0].points.size(), 2u);
    EXPECT_NEAR(v.patterns[0].points[1].y.value, 1010, 1e-9);
    EXPECT_FALSE(v.patterns[0].points[1].y.has_sigma());
}

TEST(TableColumn, UnknownOrEmptyColumnsAreErrors) {
    const Series s = read(plain);
    EXPECT_THROW(table_column(s, "delta"), ReadError);
    const Series strain = read("100 1 10 10 10 90 90 90\n");
    EXPECT_THROW(table_column(strain, "mosaicity"), ReadError);  // the layout has none
}

// xyviewer --column shows the table's title in its summary and on the
// figure: control characters in it become U+FFFD, as in a plot file's.
TEST(TableColumn, TheTitleIsMadeDisplayable) {
    Series s;
    s.name = "t.xy";
    s.title = "CT\x1b[2J-17";
    SeriesRow row;
    row.t = 100;
    row.cell = {7.5, 10.2, 12.8, 90, 101.5, 90};
    s.rows.push_back(row);
    EXPECT_EQ(table_column(s, "a").main_legend, "CT\xef\xbf\xbd[2J-17");
}
