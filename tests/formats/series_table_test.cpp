#include "formats/series_table.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <sstream>
#include <string>

using namespace formats;

namespace {

const std::string plain_header =
    "! CT-17 monoclinic\n"
    "! Cell parameters and ESD extracted from nreport_TK.HTML\n"
    "!\n"
    "!   TK        a(A)      ESD(A)        b(A)      ESD(A)        c(A)      ESD(A)  alpha(deg)    ESD(deg)"
    "   beta(deg)    ESD(deg)  gamma(deg)    ESD(deg)  volume(A3)     ESD(A3)  mosa.(deg)    ESD(deg) \n"
    "!" +
    std::string(200, '-') + "\n";
const std::string plain_row =
    "100.00     7.50122     0.00018    10.19875     0.00022    12.80417     0.00031    89.99940     0.00090"
    "   101.48210     0.00090    90.00020     0.00110   959.95398     0.03900       0.329       0.004";
const std::string transformed_header =
    "! CT-17, P21/n setting\n! Cell parameters and ESD extracted from nreport_TK.HTML\n!\n"
    "!   TK        a(A)        b(A)        c(A)  alpha(deg)   beta(deg)  gamma(deg)  volume(A3)  mosa.(deg)    "
    "ESD(deg) \n"
    "!" +
    std::string(200, '-') + "\n";
const std::string transformed_row =
    "100.00    13.48987    10.19875     7.50122    89.99979   111.53810    89.99954   959.95428       0.329       "
    "0.004";

Series read(const std::string& text) {
    std::istringstream in(text);
    return read_series(in, "t.xy");
}

std::string error_of(const std::string& text) {
    try {
        read(text);
    } catch (const SeriesError& e) {
        return e.what();
    }
    return "(no error)";
}

}  // namespace

TEST(SeriesTable, ReadsTheAllParametersTableByItsColumns) {
    const Series s = read(plain_header + plain_row + "\n");
    EXPECT_EQ(s.layout, SeriesLayout::celltrend_table);
    EXPECT_TRUE(s.has_cell_esd());
    EXPECT_EQ(s.title, "CT-17 monoclinic");
    EXPECT_EQ(s.header.size(), 5u);
    ASSERT_EQ(s.rows.size(), 1u);
    const SeriesRow& r = s.rows[0];
    EXPECT_EQ(r.line, 6);
    EXPECT_TRUE(r.complete);
    EXPECT_EQ(r.t, 100.0);
    EXPECT_EQ(r.cell.c, 12.80417);
    EXPECT_EQ(r.esd.c, 0.00031);
    EXPECT_EQ(r.cell.beta, 101.48210);
    EXPECT_EQ(r.esd.gamma, 0.00110);
    EXPECT_EQ(r.volume, 959.95398);
    EXPECT_EQ(r.volume_esd, 0.039);
    EXPECT_EQ(r.mosaicity_esd, 0.004);
    EXPECT_TRUE(std::isnan(r.sigma_t));
}

TEST(SeriesTable, AsterisksTouchingTheirNeighbourOnlyBlankTheirOwnField) {
    std::string row = plain_row;
    row.replace(30, 12, std::string(12, '*'));  // b runs into its ESD
    const Series s = read(plain_header + row + "\n" + plain_row + "\n");
    ASSERT_EQ(s.rows.size(), 2u);
    EXPECT_FALSE(s.rows[0].complete);
    EXPECT_TRUE(std::isnan(s.rows[0].cell.b));
    EXPECT_EQ(s.rows[0].esd.b, 0.00022);
    EXPECT_TRUE(s.rows[1].complete);
}

TEST(SeriesTable, ReadsTheTransformedTableWithoutCellEsds) {
    const Series s = read(transformed_header + transformed_row + "\n");
    EXPECT_EQ(s.layout, SeriesLayout::celltrend_transformed_table);
    EXPECT_FALSE(s.has_cell_esd());
    ASSERT_EQ(s.rows.size(), 1u);
    EXPECT_EQ(s.rows[0].cell.a, 13.48987);
    EXPECT_EQ(s.rows[0].cell.beta, 111.53810);
    EXPECT_EQ(s.rows[0].volume, 959.95428);
    EXPECT_TRUE(std::isnan(s.rows[0].esd.a));
    EXPECT_TRUE(s.rows[0].complete);
}

// The title is the buffer file's first line, free text: naming the columns
// there must not make the table a transformed one (whose second field is b).
TEST(SeriesTable, ATitleNamingTheColumnsDoesNotDecideTheLayout) {
    std::string header = plain_header;
    header.replace(2, 16, "TK against a(A)");
    const Series s = read(header + plain_row + "\n");
    EXPECT_EQ(s.layout, SeriesLayout::celltrend_table);
    ASSERT_EQ(s.rows.size(), 1u);
    EXPECT_EQ(s.rows[0].cell.b, 10.19875);
}

TEST(SeriesTable, RecognisesATableWhoseHeaderWasCutOffByItsFields) {
    EXPECT_EQ(read(plain_row + "\n").layout, SeriesLayout::celltrend_table);
    EXPECT_EQ(read(transformed_row + "\n").layout, SeriesLayout::celltrend_transformed_table);
    // re-spaced by a script, as a table under its header may be
    std::istringstream fields(plain_row);
    std::string respaced, w;
    while (fields >> w) respaced += w + " ";
    const Series s = read(respaced + "\n");
    EXPECT_EQ(s.layout, SeriesLayout::celltrend_table);
    ASSERT_EQ(s.rows.size(), 1u);
    EXPECT_EQ(s.rows[0].cell.b, 10.19875);
}

TEST(SeriesTable, ReadsStrainCalculatorRowsWithCommentsAnywhere) {
    const Series s = read(
        "# CT-17\n\n100 1.5 7.5 10.2 12.8 90 101.5 90  # first\n"
        "# a note\n120\t1.5\t7.51 10.21 12.81 90 101.6 90\n140 1 nan 10 12 90 101 90\n");
    EXPECT_EQ(s.layout, SeriesLayout::strain_rows);
    EXPECT_TRUE(s.has_sigma_t());
    EXPECT_EQ(s.header, std::vector<std::string>{"# CT-17"});
    ASSERT_EQ(s.rows.size(), 3u);
    EXPECT_EQ(s.rows[0].sigma_t, 1.5);
    EXPECT_EQ(s.rows[0].cell.gamma, 90.0);
    EXPECT_EQ(s.rows[1].line, 5);
    EXPECT_EQ(s.rows[1].cell.a, 7.51);
    EXPECT_FALSE(s.rows[2].complete);
    EXPECT_TRUE(std::isnan(s.rows[0].esd.a));
}

TEST(SeriesTable, BadInputsNameTheFileAndLine) {
    struct Case {
        std::string text;
        std::string message;
    };
    const Case cases[] = {
        {"", "t.xy: no data rows: neither a celltrend table nor rows of \"T sigmaT a b c alpha beta gamma\""},
        {"# only a comment\n",
         "t.xy: no data rows: neither a celltrend table nor rows of \"T sigmaT a b c alpha beta gamma\""},
        {"\n1 2 3\n", "t.xy:2: neither a celltrend table nor rows of \"T sigmaT a b c alpha beta gamma\": \"1 2 3\""},
        {"100 1 7.5 10 12 90 90 90\n120 1 7.5 10 12 90 90\n",
         "t.xy:2: not a row \"T sigmaT a b c alpha beta gamma\": \"120 1 7.5 10 12 90 90\""},
        {"100 1 7.5 10 12 90 90 90\n120 1 7.5 x 12 90 90 90\n",
         "t.xy:2: not a row \"T sigmaT a b c alpha beta gamma\": \"120 1 7.5 x 12 90 90 90\""},
        {plain_header + "100.00 hello\n", "t.xy:6: 2 fields where the table has 17: \"100.00 hello\""},
        {"\x7f"
         "ELF\x02\x01\r\x1b[2J\n",  // a binary file: one line, and nothing for the terminal to obey
         "t.xy:1: neither a celltrend table nor rows of \"T sigmaT a b c alpha beta gamma\": \"?ELF????[2J\""},
    };
    for (const Case& c : cases) EXPECT_EQ(error_of(c.text), c.message) << c.text;
}

// As a text editor may save the strain calculators' rows.
TEST(SeriesTable, AByteOrderMarkIsNotPartOfTheFirstLine) {
    const Series s = read(
        "\xEF\xBB\xBF"
        "100 1 7.5 10.2 12.8 90 101.5 90\n120 1 7.51 10.21 12.81 90 101.6 90\n");
    EXPECT_EQ(s.layout, SeriesLayout::strain_rows);
    ASSERT_EQ(s.rows.size(), 2u);
    EXPECT_EQ(s.rows[0].t, 100.0);
}

TEST(SeriesTable, AHeaderWithoutRowsIsAnEmptySeries) {
    const Series s = read(plain_header);
    EXPECT_EQ(s.layout, SeriesLayout::celltrend_table);
    EXPECT_TRUE(s.rows.empty());
}

TEST(SeriesTable, MissingFilesAndDirectoriesAreErrors) {
    EXPECT_THROW(read_series("/nonexistent/TK_parameters_HTML.xy"), SeriesError);
    EXPECT_THROW(read_series(std::string(CELLTREND_SOURCE_DIR)), SeriesError);
    // /dev/zero would be read as one line until memory ran out.
    try {
        read_series("/dev/null");
        ADD_FAILURE() << "a device was read";
    } catch (const SeriesError& e) {
        EXPECT_STREQ(e.what(), "/dev/null: is a device, not a table");
    }
}
