// celltrend against what the world outside does to a run: a file-size limit
// with its signal at the default, standard output a pipe whose reader has
// gone, an output that is a hard link of another name.  Each must end as a
// full disk ends (files whole to their last line, one message, status 1) or
// leave the other names alone, never kill the run mid-line.

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "support/run_dir.hpp"
#include "support/shell_run.hpp"

namespace celltrend::testing {
namespace {

std::string buffer_of(int n) {
    std::string s = "Reliability series\nsecond line\n";
    for (int k = 0; k < n; ++k) s += "r" + std::to_string(k) + ".html " + std::to_string(100 + 10 * k) + "\n";
    return s;
}

void write_series(const RunDir& d, int n, const std::string& a_head = "7.5") {
    for (int k = 0; k < n; ++k) {
        ReportValues v;
        v.a = a_head + std::to_string(k);
        d.write("r" + std::to_string(k) + ".html", report(v));
    }
    d.write("series.txt", buffer_of(n));
}

const std::string celltrend_exe = quoted(CELLTREND_EXE);

// "ulimit -f 4" with SIGXFSZ at its default: the write that crosses the limit
// fails with EFBIG and the table keeps its complete lines.
TEST(Reliability, FileSizeLimitEndsTheRunAsAFullDiskDoes) {
    const int n = 14;
    RunDir good;
    write_series(good, n);
    ASSERT_EQ(good.run("series.txt\ny\n").status, 0);
    const std::string whole = good.read("TK_parameters_HTML.xy");
    ASSERT_GT(whole.size(), 4u * 512 + 400) << "the table must run past the limit";

    RunDir d;
    write_series(d, n);
    const ShellResult r = run_shell(d.path(), "ulimit -f 4; exec " + celltrend_exe, "series.txt\ny\n");
    EXPECT_EQ(r.status, 1) << r.err;
    EXPECT_NE(r.out.find(" !! Cannot write TK_parameters_HTML.xy: " + std::string(std::strerror(EFBIG)) + " !!"),
              std::string::npos)
        << r.out;
    const std::string table = d.read("TK_parameters_HTML.xy");
    ASSERT_FALSE(table.empty());
    EXPECT_EQ(table.back(), '\n');
    EXPECT_LE(table.size(), 4u * 512);
    EXPECT_EQ(whole.compare(0, table.size(), table), 0);
}

// "celltrend | head -c 0": the console is lost, the files are not.
TEST(Reliability, ClosedStandardOutputStillFinishesTheFiles) {
    const int n = 6;
    RunDir good;
    write_series(good, n);
    ASSERT_EQ(good.run("series.txt\ny\n").status, 0);

    RunDir d;
    write_series(d, n);
    const ShellResult r = run_shell(d.path(), "exec " + celltrend_exe, "series.txt\ny\n", StandardOutput::closed_pipe);
    EXPECT_EQ(r.status, 1) << r.err;
    EXPECT_EQ(d.read("TK_parameters_HTML.xy"), good.read("TK_parameters_HTML.xy"));
    EXPECT_NE(r.err.find("celltrend: standard output: a write failed"), std::string::npos) << r.err;
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
}

// A snapshot of the directory taken with "cp -al" shares its files with the
// directory; a new run replaces the table under its own name only.
TEST(Reliability, HardLinkedSnapshotKeepsItsCopy) {
    RunDir d;
    write_series(d, 3, "7.5");
    ASSERT_EQ(d.run("series.txt\ny\n").status, 0);
    const std::string first = d.read("TK_parameters_HTML.xy");
    ASSERT_EQ(run_shell(d.path(), "mkdir snapshot && cp -al TK_parameters_HTML.xy snapshot/").status, 0);

    write_series(d, 3, "8.5");
    const RunResult second = d.run("series.txt\ny\n");
    ASSERT_EQ(second.status, 0) << second.err;
    EXPECT_EQ(d.read("snapshot/TK_parameters_HTML.xy"), first);
    const std::string table = d.read("TK_parameters_HTML.xy");
    EXPECT_NE(table, first);
    EXPECT_NE(table.find("     8.50000"), std::string::npos) << table;
}

// What celltrend reads in a way a user would not guess is said on standard
// error, one line each, while the console and the files keep their bytes.
TEST(Reliability, OddReportsAndHeadersAreNamedOnStandardError) {
    struct Case {
        const char* what;
        std::string title;
        std::function<void(ReportValues&)> second_report;  // the report of 110 K
        std::string notice;                                // the whole of standard error
        std::string in_table;                              // found in the table
    };
    const std::string title = "Reliability series";
    const std::vector<Case> cases = {
        {"decimal commas", title,
         [](ReportValues& v) {
             v.a = "7,50122";
             v.esd_a = "0,00018";
             v.b = "10,25";
         },
         "celltrend: r1.html, line 3: '7,50122' is written with a decimal comma; in this report the comma is read as "
         "the decimal point\n",
         "\n110.00     7.50122     0.00018    10.25000"},
        {"two numbers for a value", title, [](ReportValues& v) { v.a = "7.5 7.6"; },
         "celltrend: r1.html, line 3: the value of cell_a is '7.5 7.6', more than one number; 7.5 is read\n",
         "\n110.00     7.50000"},
        {"a negative length", title, [](ReportValues& v) { v.a = "-7.5"; },
         "celltrend: r1.html, line 3: a = -7.5 is no length of a cell; the temperature 110.00 K is dropped\n",
         "\n120.00"},
        {"no cell in the report", title, [](ReportValues& v) { v.a = "REMOVE"; },
         "celltrend: r1.html: no unit cell in the report; the temperature 110.00 K is dropped\n", "\n120.00"},
        {"eleven words in the title", "one two three four five six seven eight nine ten eleven", nullptr,
         "celltrend: series.txt, line 1: line 1 has 11 columns: the outputs are the transformed ones; start the line "
         "with ! to keep the run plain\n",
         "! one two three four five six seven eight nine ten eleven"},
        {"a title cut inside a character", std::string(127, 't') + "\xC3\xA9 and more", nullptr,
         "celltrend: series.txt, line 1: a title of 138 characters; its first 127 are kept, so that no character is "
         "cut in two\n",
         "! " + std::string(127, 't') + "\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        RunDir d;
        write_series(d, 3);
        std::string buffer = buffer_of(3);
        buffer.replace(0, buffer.find('\n'), c.title);
        d.write("series.txt", buffer);
        if (c.second_report) {
            ReportValues v;
            c.second_report(v);
            std::string text = report(v);
            if (v.a == "REMOVE")
                text.erase(text.find("<TR><TH ALIGN='LEFT'>a ("),
                           text.find('\n', text.find("a (")) + 1 - text.find("<TR><TH ALIGN='LEFT'>a ("));
            d.write("r1.html", text);
        }
        const RunResult r = d.run("series.txt\ny\n");
        EXPECT_EQ(r.status, 0) << r.err;
        EXPECT_EQ(r.err, c.notice);
        const std::string table =
            d.read(d.exists("TK_parameters_HTML.xy") ? "TK_parameters_HTML.xy" : "TK_parameters_transf_HTML.xy");
        EXPECT_NE(table.find(c.in_table), std::string::npos) << table;
    }
}

}  // namespace
}  // namespace celltrend::testing
