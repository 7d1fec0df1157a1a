// celltrend-analyse against what the world outside does to a run: a
// file-size limit with its signal at the default, standard output a pipe
// whose reader has gone, a private file replaced by -o.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <array>
#include <filesystem>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "support/analyse_output.hpp"
#include "support/analyse_run.hpp"
#include "support/shell_run.hpp"

using namespace celltrend::testing;

namespace {

class AnalyseReliability : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(make_example_table(dir, "buffer_plain.txt"), 0); }
    std::size_t entries() const {
        return std::size_t(
            std::distance(std::filesystem::directory_iterator(dir.path()), std::filesystem::directory_iterator()));
    }
    RunDir dir;
};

const std::string analyse_exe = quoted(ANALYSE_EXE);

// Every subcommand that writes a file, past "ulimit -f 1": one message,
// status 1, no output and no temporary file left beside it.
TEST_F(AnalyseReliability, FileSizeLimitIsAFailedWriteNotADeath) {
    const std::vector<std::string> commands = {
        "export -f csv TK_parameters_HTML.xy -o out.txt",
        "transform -m '1 0 1 0 1 0 -1 0 0' TK_parameters_HTML.xy -o out.txt",
        "expansion --strains out.txt TK_parameters_HTML.xy",
    };
    const std::size_t before = entries();
    for (const std::string& command : commands) {
        SCOPED_TRACE(command);
        const ShellResult r = run_shell(dir.path(), "ulimit -f 1; exec " + analyse_exe + " " + command);
        EXPECT_EQ(r.status, 1) << r.err;
        EXPECT_NE(r.err.find("out.txt: cannot write: File too large"), std::string::npos) << r.err;
        EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
        EXPECT_FALSE(dir.exists("out.txt"));
        EXPECT_EQ(entries(), before);
    }
}

// "celltrend-analyse ... | head -c 0": a message and status 1, not SIGPIPE.
TEST_F(AnalyseReliability, ClosedStandardOutputIsStatusOne) {
    for (const std::string command : {"export -f csv TK_parameters_HTML.xy", "expansion TK_parameters_HTML.xy"}) {
        SCOPED_TRACE(command);
        const ShellResult r =
            run_shell(dir.path(), "exec " + analyse_exe + " " + command, "", StandardOutput::closed_pipe);
        EXPECT_EQ(r.status, 1) << r.err;
        EXPECT_NE(r.err.find("cannot write to standard output: Broken pipe"), std::string::npos) << r.err;
    }
}

// A result kept private (mode 600) stays private when a run replaces it.
TEST_F(AnalyseReliability, ReplacedFileKeepsItsPermissions) {
    dir.write("private.csv", "earlier result\n");
    std::filesystem::permissions(dir.path() / "private.csv",
                                 std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
    const ShellResult r =
        run_shell(dir.path(), "umask 022; exec " + analyse_exe + " export -f csv TK_parameters_HTML.xy -o private.csv");
    ASSERT_EQ(r.status, 0) << r.err;
    struct stat st {};
    ASSERT_EQ(::stat((dir.path() / "private.csv").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
    EXPECT_NE(dir.read("private.csv").find("T_K,"), std::string::npos);
}

// Line `n` (1-based) of `text` passed through `change`.
std::string with_line_changed(const std::string& text, int n, const std::function<std::string(std::string)>& change) {
    std::size_t start = 0;
    for (int i = 1; i < n; ++i) start = text.find('\n', start) + 1;
    const std::size_t end = text.find('\n', start);
    return text.substr(0, start) + change(text.substr(start, end - start)) + text.substr(end);
}

// celltrend's table read by position: the 140 K row (line 8) damaged as a
// hand edit or a bad merge damages it is refused with what was expected,
// never read with a field dropped, added or taken from its neighbour.
TEST_F(AnalyseReliability, RowsThatDoNotFitTheColumnsAreRefused) {
    struct Case {
        const char* what;
        std::function<std::string(std::string)> change;
        std::string message;
    };
    const std::vector<Case> cases = {
        {"mosaicity ESD lost", [](std::string l) { return l.substr(0, l.size() - 12); },
         "damaged.xy:8: 16 fields where the table has 17"},
        {"a field too many", [](std::string l) { return l + "       0.001"; },
         "damaged.xy:8: 18 fields where the table has 17"},
        {"a moved 3 columns into its ESD's", [](std::string l) { return l.insert(6, "   ").erase(21, 3); },
         "damaged.xy:8: the fields are not in their columns: columns 19-30 (ESD(A)) hold \"001  0.00022\""},
    };
    const std::string table = dir.read("TK_parameters_HTML.xy");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        dir.write("damaged.xy", with_line_changed(table, 8, c.change));
        for (const std::string command : {"expansion", "export -f csv", "transform -m '0 1 0 0 0 1 1 0 0'"}) {
            const AnalyseResult r = run_analyse(dir, command + " damaged.xy");
            EXPECT_EQ(r.status, 1) << command << "\n" << r.err;
            EXPECT_NE(r.err.find(c.message), std::string::npos) << command << "\n" << r.err;
        }
    }
}

// A titles line cut short is no set of titles: the rows are recognised from
// their fields, as in a table whose titles were cut off.
TEST_F(AnalyseReliability, ColumnTitlesCountOnlyWhenComplete) {
    const std::string table = dir.read("TK_parameters_HTML.xy");
    dir.write("cut.xy", with_line_changed(table, 4, [](const std::string&) { return "!   TK        a(A)"; }));
    const AnalyseResult whole = run_analyse(dir, "expansion TK_parameters_HTML.xy");
    const AnalyseResult cut = run_analyse(dir, "expansion cut.xy");
    ASSERT_EQ(whole.status, 0) << whole.err;
    EXPECT_EQ(cut.status, 0) << cut.err;
    EXPECT_EQ(cut.out.substr(cut.out.find('\n')), whole.out.substr(whole.out.find('\n')));
}

// A row whose cell is none (a length below zero, angles that close no cell)
// is written by transform as NaN and named, as expansion refuses it.
TEST_F(AnalyseReliability, TransformAppliesTheUnitCellTest) {
    struct Case {
        const char* what;
        std::function<std::string(std::string)> change;
    };
    const std::vector<Case> cases = {
        {"a negative length", [](std::string l) { return l.replace(6, 12, "    -7.51001"); }},
        {"angles of 150 degrees",
         [](std::string l) {
             return l.replace(78, 12, "   150.00000").replace(102, 12, "   150.00000").replace(126, 12, "   150.00000");
         }},
        {"a flat cell, 120 degrees thrice",
         [](std::string l) {
             return l.replace(78, 12, "   120.00000").replace(102, 12, "   120.00000").replace(126, 12, "   120.00000");
         }},
        {"an angle of 270 degrees", [](std::string l) { return l.replace(78, 12, "   270.00000"); }},
    };
    const std::string table = dir.read("TK_parameters_HTML.xy");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        dir.write("damaged.xy", with_line_changed(table, 8, c.change));
        const AnalyseResult r = run_analyse(dir, "transform -m '0 1 0 0 0 1 1 0 0' damaged.xy");
        EXPECT_EQ(r.status, 0) << r.err;
        EXPECT_EQ(r.err,
                  "celltrend-analyse transform: damaged.xy:8: warning: not a unit cell (lengths or angles); written "
                  "with NaN\n");
        const std::size_t row = r.out.find("\n140.00");
        ASSERT_NE(row, std::string::npos) << r.out;
        const std::string line = r.out.substr(row + 1, r.out.find('\n', row + 1) - row - 1);
        EXPECT_NE(line.find("NaN"), std::string::npos) << line;
        EXPECT_TRUE(line.starts_with("140.00 ")) << line;  // the NaN apart from TK
    }
}

// A line without end (a program that writes no line end, a device behind a
// pipe) is refused at its first megabyte, whatever the input is.
TEST_F(AnalyseReliability, AnOverlongLineIsRefusedWithItsNumber) {
    const std::string table = dir.read("TK_parameters_HTML.xy");
    dir.write("long.xy",
              with_line_changed(table, 3, [](const std::string&) { return "!" + std::string(3 << 20, 'x'); }));
    ASSERT_EQ(run_shell(dir.path(), "mkfifo fifo.xy").status, 0);
    struct Case {
        std::string command;
        std::string message;
    };
    const std::vector<Case> cases = {
        {"exec " + analyse_exe + " expansion long.xy", "long.xy:3: a line longer than 1048576 characters"},
        {"head -c 50000000 /dev/zero | " + analyse_exe + " export -f csv -",
         "(standard input):1: a line longer than 1048576 characters"},
        {"(timeout 60 head -c 50000000 /dev/zero > fifo.xy &) ; exec " + analyse_exe +
             " transform -m '1 0 0 0 1 0 0 0 1' fifo.xy",
         "fifo.xy:1: a line longer than 1048576 characters"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.command);
        const ShellResult r = run_shell(dir.path(), c.command);
        EXPECT_EQ(r.status, 1) << r.err.substr(0, 300);
        EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err.substr(0, 300);
        EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1);
    }
}

// Rows "T sigmaT a b c 90 90 90" of an orthorhombic cell.
std::string strain_rows(const std::vector<std::array<double, 4>>& rows) {
    std::string s;
    for (const auto& r : rows)
        s += std::to_string(r[0]) + " 1 " + std::to_string(r[1]) + " " + std::to_string(r[2]) + " " +
             std::to_string(r[3]) + " 90 90 90\n";
    return s;
}

// The coefficients of X1, X2, X3 in expansion's --tsv output.
std::vector<double> alphas(const std::string& tsv) {
    std::vector<double> a;
    std::istringstream in(tsv);
    std::string line;
    while (std::getline(in, line))
        if (line.starts_with("X")) a.push_back(std::stod(line.substr(line.find('\t') + 1)));
    return a;
}

// Where the strain is zero or two principal strains are equal, the axes of
// that row are any the solver returns: they neither name X1 < X2 < X3 nor
// give the directions.
TEST(ExpansionAxes, ZeroAndDegenerateStrainsNeitherNameNorOrientTheAxes) {
    RunDir dir;
    struct Case {
        const char* what;
        std::string rows;
        std::string in_summary;
    };
    const std::vector<Case> cases = {
        {"no strain at the second row",
         strain_rows({{100, 10, 11, 12},
                      {110, 10, 11, 12},
                      {120, 10.003, 11.002, 12.001},
                      {130, 10.006, 11.004, 12.002},
                      {140, 10.009, 11.006, 12.003}}),
         "The strain is zero up to 110.00 K: X1 < X2 < X3 are named at 120.00 K, the first row that is strained."},
        {"equal strains of a and b at the middle row",
         strain_rows({{100, 10, 11, 12},
                      {110, 10.004, 11.003, 12.001},
                      {120, 10.01, 11.011, 12.0036},
                      {130, 10.012, 11.009, 12.003},
                      {140, 10.016, 11.012, 12.004}}),
         "Principal axes at 130.00 K (the row nearest the middle row, 120.00 K, whose principal strains are "
         "degenerate)"},
        {"equal strains everywhere",
         strain_rows({{100, 10, 11, 12},
                      {110, 10.01, 11.011, 12.012},
                      {120, 10.02, 11.022, 12.024},
                      {130, 10.03, 11.033, 12.036}}),
         "The three principal strains are equal at every row: their directions are any three orthogonal ones, "
         "so the directions are undefined."},
        {"two strains equal everywhere, the third not",
         strain_rows({{100, 10, 11, 12},
                      {110, 10.01, 11.011, 12.006},
                      {120, 10.02, 11.022, 12.012},
                      {130, 10.03, 11.033, 12.018}}),
         "Two principal strains are equal at every row"},
        {"no strain at any row",
         strain_rows({{100, 10, 11, 12}, {110, 10, 11, 12}, {120, 10, 11, 12}, {130, 10, 11, 12}}),
         "The strain is zero at every row: no row names X1 < X2 < X3, and the directions are undefined."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        dir.write("rows.txt", c.rows);
        const AnalyseResult summary = run_analyse(dir, "expansion rows.txt");
        EXPECT_EQ(summary.status, 0) << summary.err;
        EXPECT_NE(summary.out.find(c.in_summary), std::string::npos) << summary.out;
        const AnalyseResult tsv = run_analyse(dir, "expansion --tsv rows.txt");
        const std::vector<double> a = alphas(tsv.out);
        ASSERT_EQ(a.size(), 3u) << tsv.out;
        EXPECT_LE(a[0], a[1]) << tsv.out;
        EXPECT_LE(a[1], a[2]) << tsv.out;
    }
}

// Numbers at the edge of a double: a result out of its range is refused
// with the row named, never printed as NaN, Inf or a wrong finite number; a
// matrix is singular by the directions of its rows, not by their size.
TEST_F(AnalyseReliability, NumbersAtTheEdgeOfADouble) {
    dir.write("big.txt",
              "100 1 7.5e102 10.2e102 12.8e102 90 101.5 90\n120 1 7.51e102 10.21e102 12.81e102 90 101.6 90\n"
              "140 1 7.52e102 10.22e102 12.82e102 90 101.7 90\n");
    struct Case {
        std::string command;
        int status;
        std::string err;  // standard error, whole
    };
    const std::vector<Case> cases = {
        {"expansion big.txt", 1,
         "celltrend-analyse expansion: big.txt:1: the volume of the cell leaves the range of a double\n"},
        {"transform -m '1e103 0 0 0 1e103 0 0 0 1e103' TK_parameters_HTML.xy", 1,
         "celltrend-analyse transform: TK_parameters_HTML.xy:6: the cell in new axes leaves the range of a double; "
         "nothing written\n"},
        {"expansion --matrix '1e100 0 0 0 1e100 0 0 0 1' TK_parameters_HTML.xy", 0, ""},
        {"expansion --matrix '1e-100 0 0 0 1e-100 0 0 0 1e-100' TK_parameters_HTML.xy", 0, ""},
        {"expansion --matrix '1 0 0 0 1 0 1 1e-12 0' TK_parameters_HTML.xy", 1,
         "celltrend-analyse expansion: the matrix 1 0 0 / 0 1 0 / 1 1e-12 0 is singular: the new axes do not span "
         "space\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.command);
        const AnalyseResult r = run_analyse(dir, c.command);
        EXPECT_EQ(r.status, c.status) << r.err;
        EXPECT_EQ(without_misfit_lines(r.err), c.err);
        if (c.status != 0) {
            EXPECT_EQ(r.out, "");
        }
        for (const char* bad : {"nan", "inf", "NaN", "Inf"}) EXPECT_EQ(r.out.find(bad), std::string::npos) << r.out;
    }
}

// A coefficient too wide for its eleven characters widens its column.
TEST(ExpansionSummary, WideNumbersNeverRunTogether) {
    RunDir dir;
    dir.write("wide.txt",
              "100 1 7.5 10.2 12.8 90 101.5 90\n120 1 750 10.21 12.81 90 101.6 90\n140 1 75000 10.22 12.82 90 101.7 "
              "90\n");
    const AnalyseResult r = run_analyse(dir, "expansion wide.txt");
    ASSERT_EQ(r.status, 0) << r.err;
    const std::size_t v = r.out.find("\nV ");
    ASSERT_NE(v, std::string::npos) << r.out;
    std::istringstream line(r.out.substr(v + 1, r.out.find('\n', v + 1) - v - 1));
    std::vector<std::string> words;
    for (std::string w; line >> w;) words.push_back(w);
    ASSERT_EQ(words.size(), 5u) << r.out;  // V, alpha, sigma, "-" and "(volume)"
    EXPECT_GT(std::stod(words[1]), 1e8);
    EXPECT_GT(std::stod(words[2]), 1e7);
}

// A protein's cell: a volume of a million cubic Angstrom or more is
// asterisks in celltrend's table, and the analysis takes it from the cell.
class ProteinCells : public ::testing::Test {
protected:
    void SetUp() override {
        std::string buffer = "Lysozyme-sized cell\nsecond line\n";
        for (int k = 0; k < 4; ++k) {
            ReportValues v;
            v.a = "100.1" + std::to_string(k);
            v.b = "110.2" + std::to_string(2 * k);
            v.c = "120.3" + std::to_string(3 * k);
            v.alpha = v.gamma = "90";
            v.beta = "95";
            v.volume = "1321000";
            dir.write("p" + std::to_string(k) + ".html", report(v));
            buffer += "p" + std::to_string(k) + ".html " + std::to_string(100 + 20 * k) + "\n";
        }
        dir.write("protein.txt", buffer);
        ASSERT_EQ(dir.run("protein.txt\ny\n").status, 0);
        ASSERT_NE(dir.read("TK_parameters_HTML.xy").find("************"), std::string::npos);
        dir.write("empty.xy",
                  dir.read("TK_parameters_HTML.xy").substr(0, dir.read("TK_parameters_HTML.xy").find("\n100.00") + 1));
    }
    RunDir dir;
};

TEST_F(ProteinCells, VolumesOfAsterisksKeepTheirRows) {
    struct Case {
        std::string command;
        int status;
        std::string in_out;  // expected in standard output
        std::string in_err;  // expected in standard error ("" for nothing)
    };
    const std::vector<Case> cases = {
        {"expansion TK_parameters_HTML.xy", 0, "4 temperatures from 100.00 K to 160.00 K", ""},
        {"export -f eosfit TK_parameters_HTML.xy", 0,
         "\n100 100.1 0.0002 110.2 0.0003 120.3 0.0004 90 0.002 95 0.003 90 0.004 132",
         "TK_parameters_HTML.xy:6: the volume is asterisks or NaN; V and SIGV computed from the cell"},
        {"export -f pascal TK_parameters_HTML.xy", 0, "\n160 1 100.13 110.26 120.39 90 95 90\n", ""},
        {"transform -m '0 1 0 0 0 1 1 0 0' TK_parameters_HTML.xy", 0, "\n100.00   110.20000",
         "TK_parameters_HTML.xy:6: warning: a value too wide for its column (volume 1.3"},
        {"export -f eosfit empty.xy", 1, "", "empty.xy: no row with a temperature and a cell; nothing written"},
        {"export -f csv empty.xy", 1, "", "empty.xy: no row with a temperature and a cell; nothing written"},
        {"transform -m '0 1 0 0 0 1 1 0 0' empty.xy", 1, "",
         "empty.xy: no row with a temperature and a cell; nothing written"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.command);
        const AnalyseResult r = run_analyse(dir, c.command);
        EXPECT_EQ(r.status, c.status) << r.err;
        EXPECT_NE(r.out.find(c.in_out), std::string::npos) << r.out;
        if (c.in_err.empty()) {
            EXPECT_EQ(r.err, "");
        } else {
            EXPECT_NE(r.err.find(c.in_err), std::string::npos) << r.err;
        }
        if (c.status != 0) {
            EXPECT_EQ(r.out, "");
        }
    }
}

}  // namespace

// A table's title reaches the terminal through every summary that prints
// it: an escape sequence in it (or in the file's name) is shown as U+FFFD,
// never passed to the terminal raw.
TEST_F(AnalyseReliability, ATitleCannotDriveTheTerminal) {
    std::string table = dir.read("TK_parameters_HTML.xy");
    table.replace(2, table.find('\n') - 2, "\x1b]0;owned\x07\x1b[2J CT-17");
    dir.write("t\x1b[31m.xy", table);
    for (const std::string args : {"expansion", "alpha", "alpha --tsv", "expansion --tsv"}) {
        const AnalyseResult r = run_analyse(dir, args + " 't\x1b[31m.xy'");
        EXPECT_EQ(r.status, 0) << args << ": " << r.err;
        EXPECT_EQ(r.out.find('\x1b'), std::string::npos) << args;
        EXPECT_EQ(r.err.find("\x1b]0"), std::string::npos) << args;
    }
}
