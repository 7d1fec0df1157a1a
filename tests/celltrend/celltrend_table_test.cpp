// All-parameters runs end to end: the buffer file, the reports, the table and
// the console, compared byte for byte.

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "support/run_dir.hpp"

namespace celltrend::testing {
namespace {

const std::string plain_header =
    "! Cu complex, heating run\n"
    "! Cell parameters and ESD extracted from nreport_TK.HTML\n"
    "!\n"
    "!   TK        a(A)      ESD(A)        b(A)      ESD(A)        c(A)      ESD(A)"
    "  alpha(deg)    ESD(deg)   beta(deg)    ESD(deg)  gamma(deg)    ESD(deg)"
    "  volume(A3)     ESD(A3)  mosa.(deg)    ESD(deg) \n"
    "!" +
    std::string(200, '-') + "\n";

const std::string transf_header =
    "! Cu complex, heating run\n"
    "! Cell parameters and ESD extracted from nreport_TK.HTML\n"
    "!\n"
    "!   TK        a(A)        b(A)        c(A)  alpha(deg)   beta(deg)  gamma(deg)  volume(A3)  mosa.(deg)    "
    "ESD(deg) \n"
    "!" +
    std::string(200, '-') + "\n";

const std::string created_plain = "\n \n   >>> The TK_parameters_HTML.xy file has been created \n";
const std::string created_transf = "\n \n   >>> The TK_parameters_transf_HTML.xy file has been created \n";
const std::string start = banner() + buffer_prompt + all_question;

// The table fields of the default report, after the temperature.
const std::string default_fields =
    "     7.50000     0.00020    10.25000     0.00030    12.75000     0.00040"
    "    90.00000     0.00200   101.50000     0.00300    90.00000     0.00400"
    "   960.50000     0.05000       0.450       0.010";
const std::string zero_field = "     0.00000";

std::string buffer(const std::vector<std::string>& data_lines) {
    std::string s = "Cu complex, heating run\nsecond line, not used\n";
    for (const auto& l : data_lines) s += l + "\n";
    return s;
}

TEST(AllParameters, PlainSeries) {
    RunDir d;
    d.write("r100.html", report());
    d.write("my report.html", report());
    d.write("series.txt", buffer({"r100.html 100", "  r100.html   150.5  ", "\"my report.html\" 2.93E2"}));
    const RunResult r = d.run("series.txt\ny\n");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, start + created_plain);
    EXPECT_EQ(d.read("TK_parameters_HTML.xy"), plain_header + "100.00" + default_fields + "\n" + "150.50" +
                                                   default_fields + "\n" + "293.00" + default_fields + "\n");
}

TEST(AllParameters, MatrixSeriesHasTheVolumeOfTheTransformedCell) {
    RunDir d;
    d.write("r.html", report(orthorhombic()));
    d.write("series.txt", buffer({"r.html 100 2 0 0 0 1 0 0 0 1", "r.html 200 0 1 0 1 0 0 0 0 1"}));
    const RunResult r = d.run("series.txt\ny\n");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, start + "\n  TK =   100.00     M = [  2. 0. 0.  0. 1. 0.  0. 0. 1.]" +
                         "\n  TK =   200.00     M = [  0. 1. 0.  1. 0. 0.  0. 0. 1.]" + created_transf);
    const std::string angles = "    90.00000    90.00000    90.00000";
    EXPECT_EQ(d.read("TK_parameters_transf_HTML.xy"), transf_header + "100.00     8.00000     5.00000     8.00000" +
                                                          angles + "   320.00000       0.450       0.010\n" +
                                                          "200.00     5.00000     4.00000     8.00000" + angles +
                                                          "   160.00000       0.450       0.010\n");
    EXPECT_FALSE(d.exists("TK_parameters_HTML.xy"));
}

TEST(AllParameters, TemperatureWithoutCellIsDropped) {
    RunDir d;
    d.write("r.html", report());
    d.write("empty.html", "<HTML><BODY>no results</BODY></HTML>\n");
    d.write("series.txt", buffer({"r.html 100", "empty.html 150", "r.html 200"}));
    const RunResult r = d.run("series.txt\ny\n");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, start + "\n T = 150.00 K:  unit cell parameters not found" + created_plain);
    EXPECT_EQ(d.read("TK_parameters_HTML.xy"),
              plain_header + "100.00" + default_fields + "\n200.00" + default_fields + "\n");
}

TEST(AllParameters, MissingReportAtTheFifthLineEndsTheRun) {
    RunDir d;
    d.write("r.html", report());
    d.write("series.txt", buffer({"r.html 10", "r.html 20", "r.html 30", "r.html 40", "gone.html 50", "r.html 60"}));
    const RunResult r = d.run("series.txt\ny\n");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, start + "\n !! gone.html does not exist !!\n \n");
    std::string expected = plain_header;
    for (const char* tk : {" 10.00", " 20.00", " 30.00", " 40.00"}) expected += tk + default_fields + "\n";
    EXPECT_EQ(d.read("TK_parameters_HTML.xy"), expected);
}

TEST(AllParameters, ReportThatIsADirectoryDoesNotExist) {
    RunDir d;
    d.write("r.html", report());
    std::filesystem::create_directory(d.path() / "dir.html");
    d.write("series.txt", buffer({"r.html 10", "dir.html 20"}));
    const RunResult r = d.run("series.txt\ny\n");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, start + "\n !! dir.html does not exist !!\n \n");
}

const std::string problem =
    "\n \n ! Problem reading buffer file. Program will be stopped.\n \nPress Enter to Continue.\n";

TEST(AllParameters, MalformedLineStopsWithTheProblemMessage) {
    RunDir d;
    d.write("r.html", report());
    for (const std::string bad : {"r.html 30 extra", "", "   ", "r.html,30", "r.html\t30", "'my report.html' 30"}) {
        d.write("series.txt", buffer({"r.html 10", "r.html 20", bad, "r.html 40"}));
        const RunResult r = d.run("series.txt\ny\n");
        EXPECT_EQ(r.status, 1) << bad;
        EXPECT_EQ(r.out, start + problem) << bad;
        EXPECT_EQ(d.read("TK_parameters_HTML.xy"),
                  plain_header + " 10.00" + default_fields + "\n 20.00" + default_fields + "\n")
            << bad;
    }
}

TEST(AllParameters, LineThatCannotBeReadInItsFormEndsTheData) {
    RunDir d;
    d.write("r.html", report());
    for (const std::string unreadable : {"30 r.html", "r.html thirty", "r.html 30 1 0 0 0 1 0 0 0 x"}) {
        d.write("series.txt", buffer({"r.html 10", "r.html 20", unreadable, "r.html 40"}));
        const RunResult r = d.run("series.txt\ny\n");
        EXPECT_EQ(r.status, 0) << unreadable;
        EXPECT_EQ(d.read("TK_parameters_HTML.xy").substr(plain_header.size()),
                  " 10.00" + default_fields + "\n 20.00" + default_fields + "\n")
            << unreadable;
    }
}

TEST(AllParameters, BufferFileOfOneLineEndsWithAReadError) {
    RunDir d;
    d.write("series.txt", "only a title\n");
    const RunResult r = d.run("series.txt\ny\n");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, start + "\n !! Cannot read line 2 of the buffer file series.txt: end of file !!\n");
    EXPECT_FALSE(d.exists("TK_parameters_HTML.xy"));
}

TEST(AllParameters, OnlyTheHeaderLines) {
    RunDir d;
    d.write("series.txt", buffer({}));
    const RunResult r = d.run("series.txt\ny\n");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, start + created_plain);
    EXPECT_EQ(d.read("TK_parameters_HTML.xy"), plain_header);
}

// Reports whose rows are damaged in the ways the scanner must survive.
TEST(AllParameters, DamagedRowsAreReportedAndWrittenAsZero) {
    RunDir d;
    std::string page = report();
    auto replace = [&page](const std::string& from, const std::string& to) {
        const auto at = page.find(from);
        ASSERT_NE(at, std::string::npos) << from;
        page.replace(at, from.size(), to);
    };
    replace("10.25 +/- 0.0003", "10.123(4)");                        // b: neither marker nor a number
    replace("12.75 +/- 0.0004</TD></TR>", "12.75 +/- 0.0004</TD>");  // c: no end of cell
    replace("960.5 +/- 0.05", "1234.5");                             // volume: no marker
    d.write("r.html", page);
    d.write("series.txt", buffer({"r.html 100"}));
    const RunResult r = d.run("series.txt\ny\n");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, start +
                         "\n T = 100.00 K:  Standart deviation not found for: cell_b"
                         "\n T = 100.00 K:   Value not found for: cell_b"
                         "\n T = 100.00 K:   Standart deviation not found for: cell_c"
                         "\n T = 100.00 K:  Standart deviation not found for: volume" +
                         created_plain);
    EXPECT_EQ(d.read("TK_parameters_HTML.xy"),
              plain_header + "100.00     7.50000     0.00020" + zero_field + zero_field + "    12.75000" + zero_field +
                  "    90.00000     0.00200   101.50000     0.00300    90.00000     0.00400"
                  "  1234.50000" +
                  zero_field + "       0.450       0.010\n");
}

// Rows sharing a line: mosaicity, the last row, is read from the end of its
// line.  A label given twice counts where it first appears, on the same line
// as on a later one.
TEST(AllParameters, RowsSharingALineAndLabelsGivenTwice) {
    RunDir d;
    std::string page = report();
    const auto end_of = [&page](const std::string& text) {
        const auto at = page.find(text);
        EXPECT_NE(at, std::string::npos) << text;
        return at + text.size();
    };
    const std::string second_a = row("a (Angstrom)", "8.5 +/- 0.0009");
    page.insert(end_of("7.5 +/- 0.0002</TD></TR>"), second_a.substr(0, second_a.size() - 1));  // on the same line
    page.insert(end_of("10.25 +/- 0.0003</TD></TR>\n"), row("b (Angstrom)", "11.5 +/- 0.0009"));
    page.erase(end_of("960.5 +/- 0.05</TD></TR>"), 1);  // volume and mosaicity on one line
    d.write("r.html", page);
    d.write("series.txt", buffer({"r.html 100"}));
    const RunResult r = d.run("series.txt\ny\n");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, start + created_plain);
    EXPECT_EQ(d.read("TK_parameters_HTML.xy"), plain_header + "100.00" + default_fields + "\n");
}

TEST(AllParameters, ReportBytesThatAreNoTextAreSurvived) {
    RunDir d;
    std::string page = std::string("\0\0\xff\xfe<HTML>\r\n", 11) + std::string(3'000'000, 'x') + "\r\n";
    for (char c : report()) {
        if (c == '\n')
            page += "\r\n";
        else
            page += c;
    }
    page += std::string("\x80\x81\0tail", 7);  // no line end at the end
    d.write("r.html", page);
    d.write("series.txt", buffer({"r.html 100"}));
    const RunResult r = d.run("series.txt\ny\n");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, start + created_plain);
    EXPECT_EQ(d.read("TK_parameters_HTML.xy"), plain_header + "100.00" + default_fields + "\n");
}

TEST(AllParameters, ThousandKelvinIsWrittenAsAsterisks) {
    RunDir d;
    d.write("r.html", "<P>nothing</P>\n" + row("a (Angstrom)", "7.5 +/- 0.0002"));
    d.write("series.txt", buffer({"r.html 1000"}));
    const RunResult r = d.run("series.txt\ny\n");
    EXPECT_EQ(r.status, 0);
    std::string expected_console = start;
    for (const char* key : {"cell_b", "cell_c", "cell_alpha", "cell_beta", "cell_gamma", "volume", "mosaicity"})
        expected_console += std::string("\n T = ****** K:  ") + key + " not found";
    EXPECT_EQ(r.out, expected_console + created_plain);
    std::string zeros;
    for (int i = 0; i < 12; ++i) zeros += zero_field;
    EXPECT_EQ(d.read("TK_parameters_HTML.xy"),
              plain_header + "******     7.50000     0.00020" + zeros + "       0.000       0.000\n");
}

// Field k (0-based) of a transformed table line.
std::string transf_field(const std::string& line, int k) {
    return k == 0 ? line.substr(0, 6) : line.substr(6 + 12 * (k - 1), 12);
}

std::string last_line(const std::string& text) {
    const auto end = text.find_last_of('\n');
    const auto begin = text.find_last_of('\n', end - 1);
    return text.substr(begin + 1, end - begin - 1);
}

TEST(AllParameters, ZeroMatrixRowGivesNotANumber) {
    RunDir d;
    d.write("r.html", report());
    d.write("series.txt", buffer({"r.html 100 1 0 0 0 1 0 0 0 0"}));
    const RunResult r = d.run("series.txt\ny\n");
    EXPECT_EQ(r.status, 0);
    const std::string line = last_line(d.read("TK_parameters_transf_HTML.xy"));
    ASSERT_EQ(line.size(), 114U);
    EXPECT_EQ(transf_field(line, 3), "     0.00000");  // c' = 0
    EXPECT_EQ(transf_field(line, 4), "-NaN        ");  // alpha' involves c'
    EXPECT_EQ(transf_field(line, 5), "-NaN        ");  // beta' too
    EXPECT_EQ(transf_field(line, 6), "    90.00000");
    EXPECT_EQ(transf_field(line, 7).substr(1, 3), "NaN");
}

TEST(AllParameters, CellOf130DegreesBecomesTheCellOf50Degrees) {
    RunDir d;
    ReportValues v;
    v.a = v.b = v.c = "10";
    v.alpha = v.beta = v.gamma = "130";
    d.write("r.html", report(v));
    d.write("series.txt", buffer({"r.html 100 1 0 0 0 1 0 0 0 1"}));
    const RunResult r = d.run("series.txt\ny\n");
    EXPECT_EQ(r.status, 0);
    const std::string line = last_line(d.read("TK_parameters_transf_HTML.xy"));
    for (int k = 4; k <= 6; ++k) EXPECT_NEAR(std::stod(transf_field(line, k)), 50.0, 1e-4) << line;
    // a^3 sqrt(1 - 3 cos^2 50 + 2 cos^3 50)
    const double c50 = std::cos(50.0 * M_PI / 180.0);
    EXPECT_NEAR(std::stod(transf_field(line, 7)), 1000.0 * std::sqrt(1 - 3 * c50 * c50 + 2 * c50 * c50 * c50), 2e-3);
}

TEST(AllParameters, OutputThatWouldReplaceTheBufferFileIsRefused) {
    RunDir d;
    d.write("r.html", report());
    const std::string content = buffer({"r.html 100"});
    d.write("TK_parameters_HTML.xy", content);
    const RunResult r = d.run("TK_parameters_HTML.xy\ny\n");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(d.read("TK_parameters_HTML.xy"), content);
    EXPECT_NE(r.out.find("TK_parameters_HTML.xy is the buffer file"), std::string::npos) << r.out;
}

TEST(AllParameters, SecondRunReplacesTheTable) {
    RunDir d;
    d.write("r.html", report());
    d.write("series.txt", buffer({"r.html 100", "r.html 200"}));
    ASSERT_EQ(d.run("series.txt\ny\n").status, 0);
    d.write("series.txt", buffer({"r.html 300"}));
    ASSERT_EQ(d.run("series.txt\ny\n").status, 0);
    EXPECT_EQ(d.read("TK_parameters_HTML.xy"), plain_header + "300.00" + default_fields + "\n");
}

// A buffer file mixing plain and matrix lines is one transformed run: every
// line is transformed, a plain line by the identity, and only matrix lines are echoed.
TEST(AllParameters, MixedBufferFileIsOneTransformedRun) {
    RunDir d;
    d.write("r.html", report(orthorhombic()));
    d.write("series.txt", buffer({"r.html 100", "r.html 200 2 0 0 0 1 0 0 0 1", "r.html 300"}));
    const RunResult r = d.run("series.txt\ny\n");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, start + "\n  TK =   200.00     M = [  2. 0. 0.  0. 1. 0.  0. 0. 1.]" + created_transf);
    const std::string tail = "    90.00000    90.00000    90.00000";
    EXPECT_EQ(d.read("TK_parameters_transf_HTML.xy"),
              transf_header + "100.00     4.00000     5.00000     8.00000" + tail +
                  "   160.00000       0.450       0.010\n" + "200.00     8.00000     5.00000     8.00000" + tail +
                  "   320.00000       0.450       0.010\n" + "300.00     4.00000     5.00000     8.00000" + tail +
                  "   160.00000       0.450       0.010\n");
    EXPECT_FALSE(d.exists("TK_parameters_HTML.xy"));
}

TEST(AllParameters, ElevenWordsOnTheSecondLineMakeATransformedRunUnlessMarked) {
    RunDir d;
    d.write("r.html", report());
    const std::string second = "one two three four five six seven eight nine ten eleven";
    d.write("series.txt", "Cu complex, heating run\n" + second + "\nr.html 100\n");
    ASSERT_EQ(d.run("series.txt\ny\n").status, 0);
    EXPECT_TRUE(d.exists("TK_parameters_transf_HTML.xy"));
    EXPECT_FALSE(d.exists("TK_parameters_HTML.xy"));

    RunDir e;
    e.write("r.html", report());
    e.write("series.txt", "Cu complex, heating run\n  !" + second + "\nr.html 100\n");
    ASSERT_EQ(e.run("series.txt\ny\n").status, 0);
    EXPECT_EQ(e.read("TK_parameters_HTML.xy"), plain_header + "100.00" + default_fields + "\n");
}

// The first pass passes over "!" lines; the data pass reads them like any line.
TEST(AllParameters, MarkedMatrixLineIsReadButTheRunStaysPlain) {
    RunDir d;
    d.write("r.html", report());
    d.write("!r.html", report());
    d.write("series.txt", buffer({"r.html 100", "!r.html 200 2 0 0 0 1 0 0 0 1"}));
    const RunResult r = d.run("series.txt\ny\n");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, start + "\n  TK =   200.00     M = [  2. 0. 0.  0. 1. 0.  0. 0. 1.]" + created_plain);
    EXPECT_EQ(d.read("TK_parameters_HTML.xy"),
              plain_header + "100.00" + default_fields + "\n200.00" + default_fields + "\n");
}

// A report name is read whole: cut to 64 characters it would name another report.
TEST(AllParameters, ReportNameIsReadWhole) {
    RunDir d;
    const std::string name64 = std::string(59, 'n') + ".html";
    d.write(name64, report());
    d.write("series.txt", buffer({name64 + "_and_more_that_is_not_cut 100"}));
    const RunResult r = d.run("series.txt\ny\n");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, start + "\n !! " + name64 + "_and_more_that_is_not_cut does not exist !!\n \n");
    EXPECT_EQ(d.read("TK_parameters_HTML.xy"), plain_header);
}

TEST(AllParameters, TitleLineIsCutAt128CharactersAndBlankTitleKept) {
    RunDir d;
    d.write("series.txt", std::string(130, 'T') + "\nsecond\n");
    ASSERT_EQ(d.run("series.txt\ny\n").status, 0);
    const std::string table = d.read("TK_parameters_HTML.xy");
    EXPECT_EQ(table.substr(0, table.find('\n')), "! " + std::string(128, 'T'));
    d.write("series.txt", "   \nsecond\n");
    ASSERT_EQ(d.run("series.txt\ny\n").status, 0);
    EXPECT_EQ(d.read("TK_parameters_HTML.xy").substr(0, 3), "! \n");
}

}  // namespace
}  // namespace celltrend::testing
