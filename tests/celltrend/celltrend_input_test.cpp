// Inputs that used to lose or bend data without a word, end to end: the
// console keeps its texts byte for byte, and what the user should learn
// beyond them comes as one line on standard error.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "support/run_dir.hpp"

namespace celltrend::testing {
namespace {

const std::string start = banner() + buffer_prompt + all_question;
const std::string created_plain = "\n \n   >>> The TK_parameters_HTML.xy file has been created \n";

std::string buffer(const std::vector<std::string>& data_lines) {
    std::string s = "Input series\nsecond line\n";
    for (const auto& l : data_lines) s += l + "\n";
    return s;
}

// The table without its five header lines.
std::string table_body(const RunDir& d) {
    std::string t = d.read("TK_parameters_HTML.xy");
    for (int i = 0; i < 5 && !t.empty(); ++i) t.erase(0, t.find('\n') + 1);
    return t;
}

// A value spelt NaN or Inf is no number: in a report it is reported as any
// unreadable value and left at 0 (a cell a of NaN drops the temperature); as
// a temperature it cannot be read in its form and ends the data.
TEST(SpeltOutSpecialValues, NeverReachATable) {
    RunDir d;
    ReportValues v;
    v.b = "NaN";
    v.esd_alpha = v.esd_beta = v.esd_gamma = "Infinity";
    d.write("spelt.html", report(v));
    ReportValues no_cell;
    no_cell.a = "nan";
    d.write("nan_a.html", report(no_cell));
    d.write("r.html", report());
    d.write("series.txt", buffer({"spelt.html 100", "nan_a.html 110", "r.html 120", "r.html Inf", "r.html 140"}));
    const RunResult r = d.run("series.txt\ny\n");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, start +
                         "\n T = 100.00 K:  Value not found for: cell_b"
                         "\n T = 100.00 K:   Standart deviation not found for: cell_alpha"
                         "\n T = 100.00 K:   Standart deviation not found for: cell_beta"
                         "\n T = 100.00 K:   Standart deviation not found for: cell_gamma"
                         "\n T = 110.00 K:  Value not found for: cell_a" +
                         created_plain);
    const std::string body = table_body(d);
    EXPECT_EQ(body.find("NaN"), std::string::npos) << body;
    EXPECT_EQ(body.find("Inf"), std::string::npos) << body;
    ASSERT_EQ(body.size(), 2 * body.find('\n') + 2) << "two lines, 100 K and 120 K:\n" << body;
    EXPECT_EQ(body.substr(0, 42), "100.00     7.50000     0.00020     0.00000");
    EXPECT_EQ(body.substr(body.find('\n') + 1, 6), "120.00");
}

// Names and lines are read whole: a name longer than 64 characters opened
// the report of its first 64, a value beyond column 256 lost its tail.
TEST(WholeNamesAndLines, LongReportNameOpensThatReport) {
    RunDir d;
    const std::string name64 = std::string(59, 'n') + ".html";
    d.write(name64, report());
    ReportValues other;
    other.a = "8.5";
    d.write(name64 + ".other", report(other));
    d.write("series.txt", buffer({name64 + ".other 100"}));
    const RunResult r = d.run("series.txt\ny\n");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(table_body(d).substr(0, 18), "100.00     8.50000");
}

TEST(WholeNamesAndLines, ValuesBeyondColumn256AreReadWhole) {
    RunDir d;
    d.write("r.html", report(orthorhombic()));
    // TK 123.75 over columns 253 to 258; m33 -1.5 over columns 255 to 258.
    const std::string plain = "r.html" + std::string(246, ' ') + "123.75";
    const std::string head = "r.html 100 1 0 0 0 1 0 0 0 ";
    const std::string matrix = head + std::string(254 - head.size(), ' ') + "-1.5";
    ASSERT_EQ(plain.size(), 258u);
    ASSERT_EQ(matrix.size(), 258u);
    d.write("series.txt", buffer({plain, matrix}));
    const RunResult r = d.run("series.txt\ny\n");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, start + "\n  TK =   100.00     M = [  1. 0. 0.  0. 1. 0.  0. 0.-2.]" +
                         "\n \n   >>> The TK_parameters_transf_HTML.xy file has been created \n");
    const std::string table = d.read("TK_parameters_transf_HTML.xy");
    const std::string body = table.substr(table.find("-\n") + 2);
    EXPECT_EQ(body.substr(0, 6), "123.75");
    // c is 8 long: 1.5 c is 12.
    EXPECT_EQ(body.substr(body.find('\n') + 1, 42), "100.00     4.00000     5.00000    12.00000");
}

// Columns are counted in a line's first 256,000 characters: a matrix beyond
// them made a plain line of a matrix line without a word.
TEST(WholeNamesAndLines, TextBeyondTheCountedColumnsStopsTheRun) {
    RunDir d;
    d.write("r.html", report(orthorhombic()));
    d.write("series.txt", buffer({"r.html 100", "r.html 110" + std::string(256000, ' ') + "2 0 0 0 1 0 0 0 1"}));
    const RunResult r = d.run("series.txt\ny\n");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out,
              start + "\n \n ! Problem reading buffer file. Program will be stopped.\n \nPress Enter to Continue.\n");
    EXPECT_EQ(r.err,
              "celltrend: series.txt, line 4: text beyond character 256000, where columns are no longer "
              "counted; the run stops\n");
    EXPECT_EQ(table_body(d).substr(0, 6), "100.00");
}

TEST(WholeNamesAndLines, LongTypedBufferFileNameIsReadWhole) {
    RunDir d;
    const std::string name = std::string(70, 's') + ".txt";
    d.write(std::string(64, 's'), "a file named by the first 64 characters\nsecond\n");
    d.write(name, buffer({}));
    const RunResult r = d.run(name + "\ny\n");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, start + created_plain);
    EXPECT_EQ(d.read("TK_parameters_HTML.xy").substr(0, 15), "! Input series\n");
}

// A typo in a 2- or 11-column line still ends the data there, as users may
// rely on; standard error says where, what and how much was left unread.
TEST(UnreadableLine, EndsTheDataAndSaysWhatWasLost) {
    struct Case {
        std::string line;
        std::string found;
        std::string table;  // an 11-column line makes a transformed run
    };
    const std::string plain = "TK_parameters_HTML.xy";
    const std::string transformed = "TK_parameters_transf_HTML.xy";
    const std::vector<Case> cases = {
        {"r.html thirty", "'thirty' cannot be read as TK", plain},
        {"30 r.html", "'r.html' cannot be read as TK", plain},
        {"'r.html 30", "the line ends before TK", plain},
        {"r.html 30 1 0 0 0 1 0 0 0 x", "'x' cannot be read as m33", transformed},
        {"r.html 30 1 0 0 0 1 0 0 0 1e", "'1e' cannot be read as m33", transformed},
    };
    RunDir d;
    d.write("r.html", report());
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        d.write("series.txt", buffer({"r.html 10", c.line, "r.html 40", "r.html 50"}) + "\n  \n");
        const RunResult r = d.run("series.txt\ny\n");
        EXPECT_EQ(r.status, 0);
        EXPECT_EQ(r.out, start + "\n \n   >>> The " + c.table + " file has been created \n");
        EXPECT_EQ(r.err,
                  "celltrend: series.txt, line 4: " + c.found + "; the data end here, 2 lines after it left unread\n");
        std::string table = d.read(c.table);
        table.erase(0, table.find("-\n") + 2);
        EXPECT_EQ(table.size(), table.find('\n') + 1) << "one line, 10 K:\n" << table;
        std::filesystem::remove(d.path() / c.table);
    }
}

// Empty lines after the last line of text are no lines of the file: most
// editors leave one.  An empty line among the data lines still stops the run.
TEST(TrailingBlankLines, AreNeitherReadNorCounted) {
    RunDir d;
    d.write("r.html", report());
    d.write("series.txt", buffer({"r.html 10", "r.html 20"}) + "\n \t \n\r\n\r");
    const RunResult all = d.run("series.txt\ny\n");
    EXPECT_EQ(all.status, 0);
    EXPECT_EQ(all.out, start + created_plain);
    EXPECT_EQ(all.err, "");
    EXPECT_EQ(table_body(d).substr(0, 6), " 10.00");

    const RunResult each = d.run("series.txt\nn\ny\nn\nn\nn\nn\nn\nn\nn\nn\n");
    EXPECT_EQ(each.status, 0);
    const std::string plot = d.read("TK_cell_a.pgf");
    EXPECT_NE(plot.find("#  NUMBER OF POINTS :        2\n"), std::string::npos) << plot;
    EXPECT_TRUE(plot.ends_with(" 20.00             7.50000             0.00020\n# END OF FILE\n")) << plot;
}

TEST(TrailingBlankLines, ABlankLineAmongTheDataStillStopsTheRun) {
    RunDir d;
    d.write("r.html", report());
    d.write("series.txt", buffer({"r.html 10", " \t", "r.html 30", "", ""}));
    const RunResult r = d.run("series.txt\ny\n");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out,
              start + "\n \n ! Problem reading buffer file. Program will be stopped.\n \nPress Enter to Continue.\n");
    EXPECT_EQ(r.err, "celltrend: series.txt, line 4: a blank line among the data lines; the run stops\n");
}

// Like the answer to the nine questions, the answer to the plot offers lives
// for the whole run: "/" keeps the previous offer's answer, at the first offer
// the blank one.
TEST(PlotOffers, SlashKeepsThePreviousOffersAnswer) {
    RunDir d;
    d.write("r.html", report());
    d.write("series.txt", buffer({"r.html 10"}));
    d.write("bin/xyviewer", "#!/bin/sh\necho \"$1\" >> launches.log\n");
    std::filesystem::permissions(d.path() / "bin/xyviewer", std::filesystem::perms::owner_all);
    // a, b, c, volume and mosaicity selected: five offers.
    const RunResult r = d.run("series.txt\nn\ny\ny\ny\nn\nn\nn\ny\ny\n/\ny\n/\nn\n/\n",
                              "PATH='" + (d.path() / "bin").string() + "':\"$PATH\"");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(d.read("launches.log"), "TK_cell_b.pgf\nTK_cell_c.pgf\n");
}

// A matrix that makes no cell (determinant 0) or a left-handed one (negative
// determinant) still gives its rows, with a warning naming the line.
TEST(OddMatrices, AreComputedAndNamedOnStandardError) {
    RunDir d;
    d.write("r.html", report(orthorhombic()));
    d.write("series.txt",
            buffer({"r.html 100 1 0 0 0 1 0 1 0 0", "r.html 110 0 1 0 1 0 0 0 0 1", "r.html 120 2 0 0 0 1 0 0 0 1"}));
    const RunResult r = d.run("series.txt\ny\n");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err,
              "celltrend: series.txt, line 3: the matrix is singular (determinant 0); its rows are computed as given\n"
              "celltrend: series.txt, line 4: the matrix has a negative determinant (-1); its rows are computed as "
              "given\n");
    const std::string table = d.read("TK_parameters_transf_HTML.xy");
    const std::string body = table.substr(table.find("-\n") + 2);
    EXPECT_EQ(std::count(body.begin(), body.end(), '\n'), 3);
    EXPECT_EQ(body.substr(0, 42), "100.00     4.00000     5.00000     4.00000");
    EXPECT_NE(body.find("\n110.00     5.00000     4.00000     8.00000    90.00000    90.00000    90.00000   160.00000"),
              std::string::npos)
        << body;
}

// An answer line of ten million characters is read in part, with a notice:
// its first value still counts, and the run goes on.
TEST(ConsoleLines, OverlongAnswerIsReadInPartAndSaidOnStandardError) {
    RunDir d;
    d.write("r.html", report());
    d.write("series.txt", buffer({"r.html 100"}));
    const RunResult r = d.run("series.txt\n" + std::string(10'000'000, 'y') + "\n");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, start + created_plain);
    EXPECT_EQ(r.err,
              "celltrend: standard input, line 2: a line of 10000000 characters; only its first 65536 are read\n");
}

}  // namespace
}  // namespace celltrend::testing
