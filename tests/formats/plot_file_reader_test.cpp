#include "formats/plot_file_reader.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <sstream>
#include <string>

#include "support/sample_files.hpp"

using namespace formats;
namespace fs = std::filesystem;

namespace {

PlotFile read_text(std::string_view text, const std::string& name = "test.pgf") {
    std::istringstream in{std::string(text)};
    return read_plot_file(in, name);
}

std::string error_of(std::string_view text, const std::string& name = "bad.pgf") {
    try {
        read_text(text, name);
    } catch (const ReadError& e) {
        return e.what();
    }
    return "(no error)";
}

}  // namespace

TEST(PgfReader, PlainFileGivesLegendsTitleAndPointsWithSigy) {
    const PlotFile f = read_text(xyviewer_test::plain_cell_a);
    EXPECT_EQ(f.main_legend, "NiO film, cooling run");
    EXPECT_EQ(f.x_legend, "Temperature (K)");
    EXPECT_EQ(f.y_legend, "a unit cell parameter (A)");
    ASSERT_EQ(f.patterns.size(), 1u);
    const Pattern& p = f.patterns[0];
    EXPECT_EQ(p.title, "a(A)=f(T)");
    EXPECT_EQ(p.announced_points, 3);
    EXPECT_EQ(p.marker, 1);
    EXPECT_DOUBLE_EQ(p.size, 2.0);
    EXPECT_TRUE(p.declares_sigy);
    ASSERT_EQ(p.points.size(), 3u);
    EXPECT_DOUBLE_EQ(p.points[1].x, 200.0);
    EXPECT_DOUBLE_EQ(p.points[1].y.value, 7.51);
    EXPECT_TRUE(p.points[1].y.has_sigma());
    EXPECT_DOUBLE_EQ(p.points[1].y.sigma, 0.002);
    EXPECT_TRUE(f.has_end_line);
    EXPECT_TRUE(f.warnings.empty());
}

TEST(PgfReader, TransformedFileHasNoSigy) {
    const PlotFile f = read_text(xyviewer_test::transformed_volume);
    ASSERT_EQ(f.patterns.size(), 1u);
    const Pattern& p = f.patterns[0];
    EXPECT_FALSE(p.declares_sigy);
    ASSERT_EQ(p.points.size(), 4u);
    EXPECT_DOUBLE_EQ(p.points[3].x, 240.0);
    EXPECT_DOUBLE_EQ(p.points[3].y.value, 1686.0682);
    for (const Point& pt : p.points) EXPECT_FALSE(pt.y.has_sigma());
    EXPECT_EQ(p.title, "volume(A3)=f(T)");
}

TEST(PgfReader, MosaicityFileKeepsItsSigy) {
    const PlotFile f = read_text(xyviewer_test::mosaicity);
    ASSERT_EQ(f.patterns.size(), 1u);
    ASSERT_EQ(f.patterns[0].points.size(), 3u);
    EXPECT_DOUBLE_EQ(f.patterns[0].points[0].x, 90.0);
    EXPECT_DOUBLE_EQ(f.patterns[0].points[2].y.value, 0.471);
    EXPECT_DOUBLE_EQ(f.patterns[0].points[2].y.sigma, 0.003);
    EXPECT_EQ(f.y_legend, "Crystal mosaicity (deg.)");
}

TEST(PgfReader, PlotsTheLinesPresentWhateverNumberOfPointsSays) {
    const PlotFile f = read_text(xyviewer_test::wide_and_short);
    ASSERT_EQ(f.patterns.size(), 1u);
    EXPECT_EQ(f.patterns[0].announced_points, 14);
    EXPECT_EQ(f.patterns[0].points.size(), 2u);  // the third has a temperature of asterisks
}

TEST(PgfReader, ReadsFieldsByWidthWhenValuesTouch) {
    const PlotFile f = read_text(xyviewer_test::wide_and_short);
    const auto& pts = f.patterns.at(0).points;
    ASSERT_EQ(pts.size(), 2u);
    EXPECT_DOUBLE_EQ(pts[0].x, 100.0);
    EXPECT_DOUBLE_EQ(pts[0].y.value, 12345678901234.5);
    EXPECT_DOUBLE_EQ(pts[0].y.sigma, 0.5);
    EXPECT_DOUBLE_EQ(pts[1].x, -12.5);
    EXPECT_DOUBLE_EQ(pts[1].y.value, -1234567890123.12345);
    EXPECT_DOUBLE_EQ(pts[1].y.sigma, 1234567890123.12345);
}

TEST(PgfReader, AsteriskFieldIsSkippedAndCountedInOneWarning) {
    const PlotFile f = read_text(xyviewer_test::wide_and_short, "TK_volume.pgf");
    EXPECT_EQ(f.skipped_fields, 1);
    ASSERT_EQ(f.warnings.size(), 1u);
    EXPECT_NE(f.warnings[0].find("TK_volume.pgf"), std::string::npos);
    EXPECT_NE(f.warnings[0].find("1 field of asterisks or NaN"), std::string::npos);
    EXPECT_NE(f.warnings[0].find("1 point left out"), std::string::npos);
}

TEST(PgfReader, NanValueDropsThePointNanSigyOnlyItsErrorBar) {
    const PlotFile f = read_text(xyviewer_test::not_a_number_fields);
    const auto& pts = f.patterns.at(0).points;
    ASSERT_EQ(pts.size(), 3u);  // 150 K has a NaN value
    EXPECT_DOUBLE_EQ(pts[0].x, 100.0);
    EXPECT_TRUE(pts[0].y.has_sigma());
    EXPECT_DOUBLE_EQ(pts[1].x, 200.0);
    EXPECT_DOUBLE_EQ(pts[1].y.value, 9.12);
    EXPECT_FALSE(pts[1].y.has_sigma());
    EXPECT_DOUBLE_EQ(pts[2].x, 250.0);
    EXPECT_FALSE(pts[2].y.has_sigma());  // Inf
    EXPECT_EQ(f.skipped_fields, 3);
    ASSERT_EQ(f.warnings.size(), 1u);
    EXPECT_NE(f.warnings[0].find("3 fields"), std::string::npos);
}

TEST(PgfReader, NanFieldsStillReadWhenTrailingBlanksWereStripped) {
    const PlotFile f = read_text(
        "#   DATA: X Y SIGY\n"
        "200.00             9.12000-NaN\n"
        "300.00             9.13000             0.00100\n"
        "# END OF FILE\n");
    const auto& pts = f.patterns.at(0).points;
    ASSERT_EQ(pts.size(), 2u);
    EXPECT_FALSE(pts[0].y.has_sigma());
    EXPECT_DOUBLE_EQ(pts[0].y.value, 9.12);
}

TEST(PgfReader, FileWrittenByHandWithBlanksBetweenNumbers) {
    const PlotFile f = read_text(
        "# my own series\n"
        "100 7.5 0.001\n"
        "  200   7.51   2e-3\n"
        "300\t7.525\t0.001\r\n"
        "\n"
        "400.5 7.54\n");
    EXPECT_TRUE(f.main_legend.empty());
    ASSERT_EQ(f.patterns.size(), 1u);
    const auto& pts = f.patterns[0].points;
    ASSERT_EQ(pts.size(), 4u);
    EXPECT_DOUBLE_EQ(pts[1].x, 200.0);
    EXPECT_DOUBLE_EQ(pts[1].y.sigma, 0.002);
    EXPECT_TRUE(pts[2].y.has_sigma());
    EXPECT_DOUBLE_EQ(pts[2].y.value, 7.525);
    EXPECT_DOUBLE_EQ(pts[3].x, 400.5);
    EXPECT_FALSE(pts[3].y.has_sigma());
    // No end line: read, with a note that the file may be incomplete.
    ASSERT_EQ(f.warnings.size(), 1u);
    EXPECT_NE(f.warnings[0].find("END OF FILE"), std::string::npos);
}

TEST(PgfReader, HandWrittenFixedLookingLineIsNotCutInsideANumber) {
    // 26 characters, but not in the 6 + 20 layout: read by blanks.
    const PlotFile f = read_text("1.5 2.5 0.25              \n");
    const auto& pts = f.patterns.at(0).points;
    ASSERT_EQ(pts.size(), 1u);
    EXPECT_DOUBLE_EQ(pts[0].x, 1.5);
    EXPECT_DOUBLE_EQ(pts[0].y.value, 2.5);
    EXPECT_DOUBLE_EQ(pts[0].y.sigma, 0.25);
}

TEST(PgfReader, EsdColumnInATransformedFileIsNotTakenAsSigy) {
    // A mixed buffer file: lines before the first matrix still carry an ESD.
    const PlotFile f = read_text(
        "#   DATA: X Y\n"
        "100.00             7.50000             0.00100\n"
        "200.00             7.51000\n"
        "# END OF FILE\n");
    const auto& pts = f.patterns.at(0).points;
    ASSERT_EQ(pts.size(), 2u);
    EXPECT_FALSE(pts[0].y.has_sigma());
    EXPECT_DOUBLE_EQ(pts[0].y.value, 7.5);
}

TEST(PgfReader, SeveralPatternsEachWithItsOwnTitleAndPoints) {
    const PlotFile f = read_text(
        "# NUMBER OF PATTERNS: 2\n"
        "# >>>>>>>> PATTERN #: 1\n"
        "#             TITLE : heating\n"
        "#            MARKER : 2\n"
        "#   DATA: X Y\n"
        "100.00             1.00000\n"
        "# >>>>>>>> PATTERN #: 2\n"
        "#             TITLE : cooling\n"
        "#   DATA: X Y\n"
        "100.00             1.10000\n"
        "200.00             1.20000\n"
        "# END OF FILE\n");
    ASSERT_EQ(f.patterns.size(), 2u);
    EXPECT_EQ(f.patterns[0].title, "heating");
    EXPECT_EQ(f.patterns[0].marker, 2);
    EXPECT_EQ(f.patterns[0].points.size(), 1u);
    EXPECT_EQ(f.patterns[1].title, "cooling");
    EXPECT_EQ(f.patterns[1].points.size(), 2u);
    EXPECT_EQ(f.point_count(), 3u);
}

TEST(PgfReader, NothingAfterTheEndLineIsRead) {
    const PlotFile f = read_text(
        "100.00             7.50000\n"
        "# END OF FILE\n"
        "this is not read\n");
    EXPECT_EQ(f.point_count(), 1u);
    EXPECT_TRUE(f.warnings.empty());
}

TEST(PgfReader, TitleLineWithColonsAndBlankMainLegend) {
    const PlotFile f = read_text(
        "# MAIN LEGEND TEXT: run 3: 100 K to 300 K\n"
        "# Y LEGEND TEXT   : \n"
        "100.00             7.50000\n"
        "# END OF FILE\n");
    EXPECT_EQ(f.main_legend, "run 3: 100 K to 300 K");
    EXPECT_TRUE(f.y_legend.empty());
}

TEST(PgfReader, MalformedLineNamesFileAndLine) {
    const std::string why = error_of(
        "# MAIN LEGEND TEXT: x\n"
        "100.00             7.50000\n"
        "200.00 seven\n",
        "TK_cell_a.pgf");
    EXPECT_NE(why.find("TK_cell_a.pgf:3"), std::string::npos) << why;
    EXPECT_NE(why.find("200.00 seven"), std::string::npos) << why;
}

TEST(PgfReader, FourNumbersOnALineAreNotAPoint) {
    EXPECT_NE(error_of("1 2 3 4\n").find("bad.pgf:1"), std::string::npos);
}

TEST(PgfReader, FileWithoutDataPointIsAnError) {
    std::string header_only(xyviewer_test::plain_cell_a.substr(0, xyviewer_test::plain_cell_a.find("100.00")));
    header_only += "# END OF FILE\n";
    EXPECT_NE(error_of(header_only).find("bad.pgf: no data point"), std::string::npos);
    EXPECT_NE(error_of("").find("no data point"), std::string::npos);
    EXPECT_NE(error_of("******             7.50000\n").find("asterisks or NaN"), std::string::npos);
}

TEST(PgfReader, MissingFileIsAnErrorNamingIt) {
    const fs::path missing = fs::temp_directory_path() / "xyviewer_test_no_such_file.pgf";
    fs::remove(missing);
    try {
        read_plot_file(missing.string());
        FAIL() << "no error for a missing file";
    } catch (const ReadError& e) {
        EXPECT_NE(std::string(e.what()).find(missing.string()), std::string::npos);
    }
    EXPECT_THROW(read_plot_file(fs::temp_directory_path().string()), ReadError);
}

TEST(PgfReader, ReadsAFileFromDisk) {
    const fs::path path = fs::temp_directory_path() / "xyviewer_test_plain_a.pgf";
    xyviewer_test::write_file(path, xyviewer_test::plain_cell_a);
    const PlotFile f = read_plot_file(path.string());
    fs::remove(path);
    EXPECT_EQ(f.name, path.string());
    EXPECT_EQ(f.point_count(), 3u);
}

TEST(PgfReader, SplitDataLineReportsUnreadableFieldsAsNan) {
    std::vector<double> fields;
    ASSERT_TRUE(split_data_line("100.00********************             0.00100", fields));
    ASSERT_EQ(fields.size(), 3u);
    EXPECT_DOUBLE_EQ(fields[0], 100.0);
    EXPECT_TRUE(std::isnan(fields[1]));
    EXPECT_DOUBLE_EQ(fields[2], 0.001);
    EXPECT_FALSE(split_data_line("abc def", fields));
    EXPECT_FALSE(split_data_line("42", fields));
}

TEST(PgfReader, NumberBeyondTheRangeOfADoubleIsSkippedLikeAsterisks) {
    const PlotFile f = read_text(
        "100.00 7.5 0.001\n"
        "150.00 1e400 0.001\n"
        "200.00 7.6 1e400\n"
        "250.00 7.7 1e-400\n"
        "# END OF FILE\n");
    ASSERT_EQ(f.patterns.size(), 1u);
    ASSERT_EQ(f.patterns[0].points.size(), 3u);  // the 150 K point is left out
    EXPECT_FALSE(f.patterns[0].points[1].y.has_sigma());
    EXPECT_EQ(f.patterns[0].points[2].y.sigma, 0.0);  // as near 0 as a double gets
    EXPECT_EQ(f.skipped_fields, 2);
}

TEST(PgfReader, LineWithoutAnEndIsAnErrorNotAMemoryHog) {
    std::string text = "100.00 7.5\n" + std::string(200000, '\0');
    EXPECT_EQ(error_of(text), "bad.pgf:2: not a plot file line: longer than 4096 characters");
}

TEST(PgfReader, TitlesThatAreNotUtf8KeepEveryByteAsAReplacement) {
    const PlotFile f = read_text(
        "# MAIN LEGEND TEXT: run \x1b]0;owned\x07\n"
        "# Y LEGEND TEXT   : b unit cell parameter (\xC5)\n"
        "#             TITLE : b(\xC3\n"
        "100.00 7.5\n");
    EXPECT_EQ(f.main_legend, "run \xEF\xBF\xBD]0;owned\xEF\xBF\xBD");
    EXPECT_EQ(f.y_legend, "b unit cell parameter (\xEF\xBF\xBD)");
    EXPECT_EQ(f.patterns[0].title, "b(\xEF\xBF\xBD");
    EXPECT_NE(error_of("100.00 \x1b[2J seven\n").find("\"100.00 \xEF\xBF\xBD[2J seven\""), std::string::npos);
}
