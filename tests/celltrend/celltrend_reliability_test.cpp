// celltrend against what the world outside does to a run: a file-size limit
// with its signal at the default, standard output a pipe whose reader has
// gone, an output that is a hard link of another name.  Each must end as a
// full disk ends (files whole to their last line, one message, status 1) or
// leave the other names alone, never kill the run mid-line.

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <string>

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

}  // namespace
}  // namespace celltrend::testing
