// The built xyviewer on real plot files, without a display: the summary, the
// PNG it writes (decoded with libpng and looked at pixel by pixel), the other
// formats and the messages for bad files and command lines.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "png_pixels.hpp"
#include "support/sample_files.hpp"
#include "viewer_process.hpp"

using namespace xyviewer_test;

namespace {

bool close_to(const Image& im, unsigned x, unsigned y, int r, int g, int b) {
    const auto near = [](int a, int b) { return a - b <= 30 && b - a <= 30; };
    return near(im.at(x, y, 0), r) && near(im.at(x, y, 1), g) && near(im.at(x, y, 2), b);
}

// The drawing colours of the program: markers and error bars of the first
// pattern, and the fitted line.
constexpr int marker_rgb[3] = {0, 84, 166};
constexpr int fit_rgb[3] = {200, 30, 30};

}  // namespace

TEST(ViewerOutput, PngOfARealPlotFileHasTheCurveDrawn) {
    ScratchDir dir;
    write_file(dir.path / "TK_cell_a.pgf", plain_cell_a);
    const ViewerRun run = run_viewer({"-o", "a.png", "TK_cell_a.pgf"}, dir.path, no_display);
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.out.find("written to a.png"), std::string::npos) << run.out;

    const Image im = decode_png(dir.path / "a.png");
    ASSERT_TRUE(im.ok) << im.error;
    EXPECT_EQ(im.width, 800u);
    EXPECT_EQ(im.height, 600u);

    std::size_t white = 0, marker = 0, fit_left = 0, fit_right = 0;
    double fit_row_left = 0, fit_row_right = 0;
    double marker_col_min = im.width, marker_col_max = 0;
    for (unsigned y = 0; y < im.height; ++y)
        for (unsigned x = 0; x < im.width; ++x) {
            if (close_to(im, x, y, 255, 255, 255)) ++white;
            if (close_to(im, x, y, marker_rgb[0], marker_rgb[1], marker_rgb[2])) {
                ++marker;
                marker_col_min = std::min<double>(marker_col_min, x);
                marker_col_max = std::max<double>(marker_col_max, x);
            }
            if (close_to(im, x, y, fit_rgb[0], fit_rgb[1], fit_rgb[2])) {
                if (x < im.width / 2) {
                    ++fit_left;
                    fit_row_left += y;
                } else {
                    ++fit_right;
                    fit_row_right += y;
                }
            }
        }
    // White background, not PLplot's black, and not blank either.
    EXPECT_GT(white, std::size_t(im.width) * im.height / 2);
    EXPECT_LT(white, std::size_t(im.width) * im.height);
    // Three markers spread over the width of the plot.
    EXPECT_GT(marker, 100u);
    EXPECT_GT(marker_col_max - marker_col_min, im.width / 2.0);
    // The fitted line crosses the plot and rises, as a does: its left half is
    // drawn lower (larger rows) than its right half.
    ASSERT_GT(fit_left, 50u);
    ASSERT_GT(fit_right, 50u);
    EXPECT_GT(fit_row_left / double(fit_left), fit_row_right / double(fit_right) + 100);
}

TEST(ViewerOutput, WithoutDisplayWritesPngBesideThePlotFileAndSaysWhere) {
    ScratchDir dir;
    fs::create_directories(dir.path / "run");
    write_file(dir.path / "run" / "TK_volume_transf.pgf", transformed_volume);
    const ViewerRun run = run_viewer({"run/TK_volume_transf.pgf"}, dir.path, no_display);
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.out.find("written to run/TK_volume_transf.png"), std::string::npos) << run.out;
    const Image im = decode_png(dir.path / "run" / "TK_volume_transf.png");
    ASSERT_TRUE(im.ok) << im.error;
    EXPECT_EQ(im.width, 800u);
}

TEST(ViewerOutput, DisplayThatDoesNotOpenCountsAsNoDisplay) {
    // DISPLAY names a server that is not there: the display must be tried,
    // not trusted, or PLplot's window device would abort.
    ScratchDir dir;
    write_file(dir.path / "TK_mosaicity.pgf", mosaicity);
    const ViewerRun run = run_viewer({"TK_mosaicity.pgf"}, dir.path, {{"DISPLAY", ":59999"}});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.out.find("written to TK_mosaicity.png (cannot open display \":59999\")"), std::string::npos)
        << run.out;
    EXPECT_TRUE(decode_png(dir.path / "TK_mosaicity.png").ok);
}

TEST(ViewerOutput, SummaryIsPrintedWhateverTheMode) {
    ScratchDir dir;
    write_file(dir.path / "TK_cell_a.pgf", plain_cell_a);
    const ViewerRun run = run_viewer({"-o", "a.svg", "TK_cell_a.pgf"}, dir.path, no_display);
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.out.find("points plotted   : 3"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("temperature range: 100.00 to 300.00 K"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("slope            : 1.25(8)e-4 Å/K"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("linear expansion"), std::string::npos) << run.out;
    EXPECT_NE(slurp(dir.path / "a.svg").find("<svg"), std::string::npos);
}

TEST(ViewerOutput, PdfByItsExtension) {
    ScratchDir dir;
    write_file(dir.path / "TK_mosaicity.pgf", mosaicity);
    const ViewerRun run = run_viewer({"-o", "m.PDF", "TK_mosaicity.pgf"}, dir.path, no_display);
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(slurp(dir.path / "m.PDF").substr(0, 5), "%PDF-");
}

TEST(ViewerOutput, WarningForSkippedFieldsGoesToStandardError) {
    ScratchDir dir;
    write_file(dir.path / "nan.pgf", not_a_number_fields);
    const ViewerRun run = run_viewer({"-o", "nan.png", "nan.pgf"}, dir.path, no_display);
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.err.find("3 fields of asterisks or NaN skipped"), std::string::npos) << run.err;
    EXPECT_NE(run.out.find("points plotted   : 3"), std::string::npos) << run.out;
}

TEST(ViewerOutput, MissingFileGivesOneMessageAndStatus1) {
    ScratchDir dir;
    const ViewerRun run = run_viewer({"TK_cell_b.pgf"}, dir.path, no_display);
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("TK_cell_b.pgf"), std::string::npos) << run.err;
    EXPECT_TRUE(run.out.empty()) << run.out;
    EXPECT_FALSE(fs::exists(dir.path / "TK_cell_b.png"));
}

TEST(ViewerOutput, MalformedLineGivesFileAndLine) {
    ScratchDir dir;
    std::string text(plain_cell_a);
    text.replace(text.find("200.00             7.51000"), 26, "200.00   seven point five ");
    write_file(dir.path / "bad.pgf", text);
    const ViewerRun run = run_viewer({"-o", "bad.png", "bad.pgf"}, dir.path, no_display);
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("bad.pgf:14"), std::string::npos) << run.err;
}

TEST(ViewerOutput, FileWithoutPointsIsAnError) {
    ScratchDir dir;
    write_file(dir.path / "empty.pgf", "# MAIN LEGEND TEXT: nothing\n# END OF FILE\n");
    const ViewerRun run = run_viewer({"empty.pgf"}, dir.path, no_display);
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("empty.pgf: no data point"), std::string::npos) << run.err;
}

TEST(ViewerOutput, UnwritableOutputIsAnErrorNotACrash) {
    ScratchDir dir;
    write_file(dir.path / "TK_cell_a.pgf", plain_cell_a);
    const ViewerRun run = run_viewer({"-o", "no/such/dir/a.png", "TK_cell_a.pgf"}, dir.path, no_display);
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("no/such/dir/a.png: cannot create"), std::string::npos) << run.err;
}

TEST(ViewerOutput, CommandLine) {
    ScratchDir dir;
    const ViewerRun help = run_viewer({"--help"}, dir.path);
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("Usage: xyviewer"), std::string::npos);
    const ViewerRun version = run_viewer({"--version"}, dir.path);
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out.rfind("xyviewer ", 0), 0u) << version.out;
    EXPECT_EQ(run_viewer({}, dir.path).status, 2);
    EXPECT_EQ(run_viewer({"-o", "x.gif", "a.pgf"}, dir.path).status, 2);
    EXPECT_EQ(run_viewer({"--colour", "a.pgf"}, dir.path).status, 2);
    EXPECT_EQ(run_viewer({"--size", "8.5x6", "a.pgf"}, dir.path).status, 2);  // no unit
    EXPECT_EQ(run_viewer({"--dpi", "many", "a.pgf"}, dir.path).status, 2);
    EXPECT_EQ(run_viewer({"--no-fit=yes", "a.pgf"}, dir.path).status, 2);
    EXPECT_EQ(run_viewer({"a.pgf", "b.pgf"}, dir.path).status, 1);  // several files are fine, missing ones not
}
