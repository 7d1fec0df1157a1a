// Per-quantity runs end to end: plot files, their end lines, and the offers
// to show them, with a stand-in xyviewer that records what it was given.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/run_dir.hpp"

namespace celltrend::testing {
namespace {

const std::string title = "Cu complex, heating run";

std::string buffer(const std::vector<std::string>& data_lines) {
    std::string s = title + "\nsecond line\n";
    for (const auto& l : data_lines) s += l + "\n";
    return s;
}

// A directory whose xyviewer runs `script`, by default appending its argument to launches.log.
void install_viewer(const RunDir& d, const std::string& script = "echo \"$1\" >> launches.log") {
    d.write("bin/xyviewer", "#!/bin/sh\n" + script + "\n");
    std::filesystem::permissions(d.path() / "bin/xyviewer", std::filesystem::perms::owner_all);
}
std::string viewer_path(const RunDir& d) { return "PATH='" + (d.path() / "bin").string() + "':\"$PATH\""; }

std::string header(const std::string& y_legend, const std::string& titles, const std::string& pattern, int points,
                   bool esd) {
    const std::string count = std::to_string(points);
    return "# MAIN LEGEND TEXT: " + title + "\n# X LEGEND TEXT   : Temperature (K)\n# Y LEGEND TEXT   : " + y_legend +
           "\n" + titles + "\n# NUMBER OF PATTERNS: 1\n#" + std::string(50, '-') +
           "\n# >>>>>>>> PATTERN #: 1\n#             TITLE : " + pattern +
           "\n#  NUMBER OF POINTS : " + std::string(8 - count.size(), ' ') + count +
           "\n#            MARKER : 1\n#              SIZE : 2\n" + (esd ? "#   DATA: X Y SIGY\n" : "#   DATA: X Y\n");
}

std::string a_header(int points) {
    return header("a unit cell parameter (A)", "#   TK              a(A)            ESD_a(A)", "a(A)=f(T)", points,
                  true);
}
std::string mosaicity_header(int points) {
    return header("Crystal mosaicity (deg.)", "#   TK    mosaicity(deg)  ESD_mosaicity(deg)", "mosaicity(deg)=f(T)",
                  points, true);
}
const std::string end_line = "# END OF FILE\n";

std::string offer(const std::string& name) {
    return "\n             . " + name + " file has been created: plot it (y/n) ?  ";
}

// Answers to the nine questions: "n" for all parameters, then one per quantity.
std::string select(const std::string& eight_answers) {
    std::string s = "series.txt\nn\n";
    for (char c : eight_answers) s += std::string(1, c) + "\n";
    return s;
}

const std::string questions =
    "\n \n  >> Extract a (A) parameter (y/n) ?   \n \n  >> Extract b (A) parameter (y/n) ?   "
    "\n \n  >> Extract c (A) parameter (y/n) ?   \n \n  >> Extract alpha (deg) parameter (y/n) ?   "
    "\n \n  >> Extract beta (deg) parameter (y/n) ?    \n \n  >> Extract gamma (deg) parameter (y/n) ?   "
    "\n \n  >> Extract unit cell volume (A3) (y/n) ?   \n \n  >> Extract crystal mosaicity (deg) (y/n) ? ";
const std::string start = banner() + buffer_prompt + all_question + questions;

TEST(PerQuantity, ThreeQuantitiesOfferedInQuantityOrder) {
    RunDir d;
    install_viewer(d);
    d.write("r.html", report());
    d.write("series.txt", buffer({"r.html 100", "r.html 150.25"}));
    const RunResult r = d.run(select("ynnnnnyy") + "y\nn\nY\n", viewer_path(d));
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out,
              start + "\n " + offer("TK_cell_a.pgf") + offer("TK_volume.pgf") + offer("TK_mosaicity.pgf") + "\n");
    EXPECT_EQ(d.read("launches.log"), "TK_cell_a.pgf\nTK_mosaicity.pgf\n");
    EXPECT_EQ(d.read("TK_cell_a.pgf"), a_header(2) +
                                           "100.00             7.50000             0.00020\n"
                                           "150.25             7.50000             0.00020\n" +
                                           end_line);
    EXPECT_EQ(d.read("TK_volume.pgf"), header("Unit cell volume (A3)", "#   TK        volume(A3)      ESD_volume(A3)",
                                              "volume(A3)=f(T)", 2, true) +
                                           "100.00           960.50000             0.05000\n"
                                           "150.25           960.50000             0.05000\n" +
                                           end_line);
    EXPECT_EQ(d.read("TK_mosaicity.pgf"), mosaicity_header(2) +
                                              "100.00             0.45000             0.01000\n"
                                              "150.25             0.45000             0.01000\n" +
                                              end_line);
    EXPECT_FALSE(d.exists("TK_cell_b.pgf"));
    EXPECT_FALSE(d.exists("TK_parameters_HTML.xy"));
}

// The viewer shares the console: what celltrend printed before starting it
// must be out before the viewer prints.
TEST(PerQuantity, OfferIsOnTheConsoleBeforeTheViewerPrints) {
    RunDir d;
    install_viewer(d, "echo \"viewer shows $1\"");
    d.write("r.html", report());
    d.write("series.txt", buffer({"r.html 100"}));
    const RunResult r = d.run(select("ynnnnnny") + "y\ny\n", viewer_path(d));
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, start + "\n " + offer("TK_cell_a.pgf") + "viewer shows TK_cell_a.pgf\n" +
                         offer("TK_mosaicity.pgf") + "viewer shows TK_mosaicity.pgf\n\n");
}

TEST(PerQuantity, OnlyExactlyYOrCapitalYLaunches) {
    RunDir d;
    install_viewer(d);
    d.write("r.html", report());
    d.write("series.txt", buffer({"r.html 100"}));
    for (const std::string answer : {"yes", "n", "yy", "/", "' y'", "Yes"}) {
        const RunResult r = d.run(select("ynnnnnnn") + answer + "\n", viewer_path(d));
        EXPECT_EQ(r.status, 0) << answer;
        EXPECT_FALSE(d.exists("launches.log")) << answer;
    }
    // Trailing blanks inside quotes are the buffer's own padding.
    for (const std::string answer : {"\n\n 'Y'", "'y '"}) {
        const RunResult r = d.run(select("ynnnnnnn") + answer + "\n", viewer_path(d));
        EXPECT_EQ(r.status, 0);
    }
    EXPECT_EQ(d.read("launches.log"), "TK_cell_a.pgf\nTK_cell_a.pgf\n");
}

TEST(PerQuantity, TransformedFilesBesideThePlainMosaicityFile) {
    RunDir d;
    install_viewer(d);
    d.write("r.html", report(orthorhombic()));
    d.write("series.txt", buffer({"r.html 100 2 0 0 0 1 0 0 0 1", "r.html 200 1 0 0 0 1 0 0 0 1"}));
    const RunResult r = d.run(select("ynnnnnyy") + "y\ny\ny\n", viewer_path(d));
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, start + "\n  TK =   100.00     M = [  2. 0. 0.  0. 1. 0.  0. 0. 1.]" +
                         "\n  TK =   200.00     M = [  1. 0. 0.  0. 1. 0.  0. 0. 1.]" + "\n " +
                         offer("TK_cell_a_transf.pgf") + offer("TK_volume_transf.pgf") + offer("TK_mosaicity.pgf") +
                         "\n");
    EXPECT_EQ(d.read("launches.log"), "TK_cell_a_transf.pgf\nTK_volume_transf.pgf\nTK_mosaicity.pgf\n");
    EXPECT_EQ(d.read("TK_cell_a_transf.pgf"),
              header("a unit cell parameter (A)", "#   TK              a(A)", "a(A)=f(T)", 2, false) +
                  "100.00             8.00000\n200.00             4.00000\n" + end_line);
    EXPECT_EQ(d.read("TK_volume_transf.pgf"),
              header("Unit cell volume (A3)", "#   TK        volume(A3)", "volume(A3)=f(T)", 2, false) +
                  "100.00           320.00000\n200.00           160.00000\n" + end_line);
    EXPECT_EQ(d.read("TK_mosaicity.pgf"), mosaicity_header(2) +
                                              "100.00             0.45000             0.01000\n"
                                              "200.00             0.45000             0.01000\n" +
                                              end_line);
    EXPECT_FALSE(d.exists("TK_cell_a.pgf"));
}

TEST(PerQuantity, VolumeAloneIsTheVolumeOfTheRealTransformedCell) {
    RunDir d;
    d.write("r.html", report(orthorhombic()));
    d.write("series.txt", buffer({"r.html 100 2 0 0 0 1 0 0 0 1"}));
    const RunResult r = d.run(select("nnnnnnyn") + "n\n");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, start + "\n  TK =   100.00     M = [  2. 0. 0.  0. 1. 0.  0. 0. 1.]\n " +
                         offer("TK_volume_transf.pgf") + "\n");
    EXPECT_EQ(d.read("TK_volume_transf.pgf"),
              header("Unit cell volume (A3)", "#   TK        volume(A3)", "volume(A3)=f(T)", 1, false) +
                  "100.00           320.00000\n" + end_line);
}

TEST(PerQuantity, OnlyMosaicityStillDropsTemperaturesWithoutCell) {
    RunDir d;
    d.write("r.html", report());
    d.write("nocell.html", "<HTML>\n" + row("Mosaicity (&deg;)", "0.5 +/- 0.02") + "</HTML>\n");
    d.write("series.txt", buffer({"r.html 100", "nocell.html 120", "r.html 140"}));
    const RunResult r = d.run(select("nnnnnnny") + "n\n");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, start + "\n T = 120.00 K:  unit cell parameters not found\n " + offer("TK_mosaicity.pgf") + "\n");
    // The dropped line still counts among the points announced.
    EXPECT_EQ(d.read("TK_mosaicity.pgf"), mosaicity_header(3) +
                                              "100.00             0.45000             0.01000\n"
                                              "140.00             0.45000             0.01000\n" +
                                              end_line);
    for (const char* other : {"TK_cell_a.pgf", "TK_volume.pgf", "TK_parameters_HTML.xy"}) EXPECT_FALSE(d.exists(other));
}

TEST(PerQuantity, EveryAnswerNoCreatesNothingButReadsEveryReport) {
    RunDir d;
    d.write("r.html", report());
    d.write("series.txt", buffer({"r.html 100", "r.html 200"}));
    RunResult r = d.run(select("nnnnnnnn"));
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, start + "\n \n");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(d.path()), std::filesystem::directory_iterator()),
              5);  // r.html, series.txt and the three files of the test harness
    d.write("series.txt", buffer({"r.html 100", "missing.html 200"}));
    r = d.run(select("nnnnnnnn"));
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, start + "\n !! missing.html does not exist !!\n \n");
}

TEST(PerQuantity, OnlyTheHeaderLines) {
    RunDir d;
    d.write("series.txt", buffer({}));
    const RunResult r = d.run(select("ynnnnnnn") + "n\n");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, start + "\n " + offer("TK_cell_a.pgf") + "\n");
    EXPECT_EQ(d.read("TK_cell_a.pgf"), a_header(0) + end_line);
}

TEST(PerQuantity, MissingReportLeavesNoEndLineAndNoOffer) {
    RunDir d;
    d.write("r.html", report());
    d.write("series.txt", buffer({"r.html 100", "gone.html 200", "r.html 300"}));
    const RunResult r = d.run(select("ynnnnnnn") + "y\n");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, start + "\n !! gone.html does not exist !!\n \n");
    EXPECT_EQ(d.read("TK_cell_a.pgf"), a_header(3) + "100.00             7.50000             0.00020\n");
}

TEST(PerQuantity, SecondRunReplacesOnlyTheSelectedFiles) {
    RunDir d;
    d.write("r.html", report());
    d.write("series.txt", buffer({"r.html 100"}));
    ASSERT_EQ(d.run(select("ynnnnnny") + "n\nn\n").status, 0);
    d.write("series.txt", buffer({"r.html 200", "r.html 300"}));
    ASSERT_EQ(d.run(select("ynnnnnnn") + "n\n").status, 0);
    EXPECT_EQ(d.read("TK_cell_a.pgf"), a_header(2) +
                                           "200.00             7.50000             0.00020\n"
                                           "300.00             7.50000             0.00020\n" +
                                           end_line);
    EXPECT_EQ(d.read("TK_mosaicity.pgf"),
              mosaicity_header(1) + "100.00             0.45000             0.01000\n" + end_line);
}

TEST(PerQuantity, ConsoleInputEndingAtAnOfferEndsWithStatus1) {
    RunDir d;
    d.write("r.html", report());
    d.write("series.txt", buffer({"r.html 100"}));
    const RunResult r = d.run(select("ynnnnnny") + "n\n");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, start + "\n " + offer("TK_cell_a.pgf") + offer("TK_mosaicity.pgf") +
                         "\n !! The console input has ended while an answer was awaited !!\n");
    // The plot files were complete before the offers began.
    EXPECT_EQ(d.read("TK_mosaicity.pgf"),
              mosaicity_header(1) + "100.00             0.45000             0.01000\n" + end_line);
}

}  // namespace
}  // namespace celltrend::testing
