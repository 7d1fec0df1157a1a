// Faults met during a run, end to end: outputs that cannot be created or
// written, reports that cannot be read, console input that ends at a prompt.
// Each must end with a clear console line and status 1, never a crash, and
// every file keeps every line written before the fault, complete.  What a
// file should hold is taken from an undisturbed run on the same inputs.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "quantities.hpp"
#include "support/run_dir.hpp"

namespace celltrend::testing {
namespace {

namespace fs = std::filesystem;

const std::string start = banner() + buffer_prompt + all_question;
const std::string input_ended = "\n !! The console input has ended while an answer was awaited !!\n";
const std::string created = "has been created";

std::string buffer_of(const std::vector<std::string>& data_lines) {
    std::string s = "Faults series\nsecond line\n";
    for (const auto& l : data_lines) s += l + "\n";
    return s;
}

// n data lines "rK.html T" over n reports with values that differ per line.
std::vector<std::string> series(int n) {
    std::vector<std::string> lines;
    for (int k = 0; k < n; ++k) lines.push_back("r" + std::to_string(k) + ".html " + std::to_string(100 + 10 * k));
    return lines;
}

void write_reports(const RunDir& d, int n) {
    for (int k = 0; k < n; ++k) {
        ReportValues v;
        v.a = "7.5" + std::to_string(k);
        v.volume = "96" + std::to_string(k) + ".5";
        d.write("r" + std::to_string(k) + ".html", report(v));
    }
}

std::string failure_line(const std::string& what, const std::string& name, int err) {
    return "\n !! " + what + " " + name + ": " + std::strerror(err) + " !!\n";
}

// The file holds whole lines only and they are the head of `complete`.
void expect_complete_lines_of(const std::string& file, const std::string& complete) {
    ASSERT_FALSE(file.empty());
    EXPECT_EQ(file.back(), '\n');
    EXPECT_EQ(complete.compare(0, file.size(), file), 0) << file;
}

std::size_t line_count(const std::string& s) { return static_cast<std::size_t>(std::count(s.begin(), s.end(), '\n')); }

// The prompts of a run that asks for plot files, in order.
std::vector<std::string> prompts() {
    std::vector<std::string> p = {"  > Enter buffer file        : ", "  >> Extract all the parameters (y/n) ?   "};
    for (const auto& q : quantities) p.emplace_back(q.question);
    for (const auto& q : quantities) p.push_back(std::string(q.plot_file) + " file has been created: plot it (y/n) ?  ");
    return p;
}

// Where each prompt ends in the console output of an undisturbed run.
std::vector<std::size_t> prompt_ends(const std::string& out) {
    std::vector<std::size_t> ends;
    std::size_t from = 0;
    for (const auto& p : prompts()) {
        const std::size_t at = out.find(p, from);
        if (at == std::string::npos) break;
        from = at + p.size();
        ends.push_back(from);
    }
    return ends;
}

TEST(OutputFault, TableLinkedToAFullDeviceEndsTheRunWithoutCreatedLine) {
    if (!fs::exists("/dev/full")) GTEST_SKIP() << "no /dev/full here";
    RunDir d;
    write_reports(d, 2);
    d.write("series.txt", buffer_of(series(2)));
    fs::create_symlink("/dev/full", d.path() / "TK_parameters_HTML.xy");
    const RunResult r = d.run("series.txt\ny\n");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, start + failure_line("Cannot write", "TK_parameters_HTML.xy", ENOSPC));
    EXPECT_EQ(r.out.find(created), std::string::npos);
}

TEST(OutputFault, PlotFileLinkedToAFullDeviceKeepsTheEarlierPlotFilesWhole) {
    if (!fs::exists("/dev/full")) GTEST_SKIP() << "no /dev/full here";
    const std::string answers = "series.txt\nn\ny\ny\ny\nn\nn\nn\nn\nn\nn\nn\nn\n";
    RunDir good;
    write_reports(good, 3);
    good.write("series.txt", buffer_of(series(3)));
    const RunResult complete = good.run(answers);
    ASSERT_EQ(complete.status, 0);
    const std::vector<std::size_t> ends = prompt_ends(complete.out);
    ASSERT_GT(ends.size(), 2 + quantity_count);

    RunDir d;
    write_reports(d, 3);
    d.write("series.txt", buffer_of(series(3)));
    fs::create_symlink("/dev/full", d.path() / "TK_cell_c.pgf");
    const RunResult r = d.run(answers);
    EXPECT_EQ(r.status, 1);
    // The dialogue up to the last quantity question, then the reason; no offer follows.
    EXPECT_EQ(r.out, complete.out.substr(0, ends[1 + quantity_count]) +
                         failure_line("Cannot write", "TK_cell_c.pgf", ENOSPC));
    // The files made before c's are there with their whole twelve-line header.
    for (const std::string name : {"TK_cell_a.pgf", "TK_cell_b.pgf"}) {
        SCOPED_TRACE(name);
        const std::string file = d.read(name);
        expect_complete_lines_of(file, good.read(name));
        EXPECT_EQ(line_count(file), 12u);
    }
}

TEST(OutputFault, TableNameThatIsADirectoryCannotBeCreated) {
    RunDir d;
    write_reports(d, 1);
    d.write("series.txt", buffer_of(series(1)));
    fs::create_directory(d.path() / "TK_parameters_HTML.xy");
    const RunResult r = d.run("series.txt\ny\n");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, start + failure_line("Cannot create", "TK_parameters_HTML.xy", EISDIR));
    EXPECT_TRUE(fs::is_directory(d.path() / "TK_parameters_HTML.xy"));
    EXPECT_TRUE(fs::is_empty(d.path() / "TK_parameters_HTML.xy"));
}

TEST(OutputFault, ReadOnlyDirectoryRefusesTheTable) {
    if (geteuid() == 0) GTEST_SKIP() << "root writes into a read-only directory anyway";
    RunDir d;
    write_reports(d, 1);
    d.write("series.txt", buffer_of(series(1)));
    for (const char* f : {".stdin", ".stdout", ".stderr"}) d.write(f, "");  // the run's own redirections
    fs::permissions(d.path(), fs::perms::owner_read | fs::perms::owner_exec);
    const RunResult r = d.run("series.txt\ny\n");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, start + failure_line("Cannot create", "TK_parameters_HTML.xy", EACCES));
    EXPECT_FALSE(d.exists("TK_parameters_HTML.xy"));
}

// A file-size limit makes a write fail part-way through a table line: the
// table is cut back to the last complete line.
TEST(OutputFault, WriteFailingInsideALineLeavesOnlyCompleteLines) {
    const int n = 14;
    RunDir good;
    write_reports(good, n);
    good.write("series.txt", buffer_of(series(n)));
    ASSERT_EQ(good.run("series.txt\ny\n").status, 0);
    const std::string whole = good.read("TK_parameters_HTML.xy");
    const std::size_t limit = 4 * 512;  // "ulimit -f 4" of the POSIX shell counts 512-byte blocks
    ASSERT_GT(whole.size(), limit + 400) << "the table must run past the limit";

    RunDir d;
    write_reports(d, n);
    d.write("series.txt", buffer_of(series(n)));
    const RunResult r = d.run("series.txt\ny\n", "trap '' XFSZ; ulimit -f 4;");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, start + failure_line("Cannot write", "TK_parameters_HTML.xy", EFBIG));
    const std::string table = d.read("TK_parameters_HTML.xy");
    expect_complete_lines_of(table, whole);
    // Every line that fitted is kept: the next one is the one that crossed the limit.
    ASSERT_LT(table.size(), whole.size());
    const std::size_t next_end = whole.find('\n', table.size());
    EXPECT_LE(table.size(), limit);
    EXPECT_GT(next_end + 1, limit);
    EXPECT_GT(line_count(table), 5u);  // the header and some data lines
}

// A report that cannot be opened at the third temperature: the table holds
// exactly what a run over the first two temperatures writes.
class ReportFault : public ::testing::Test {
protected:
    void SetUp() override {
        write_reports(before_, 2);
        before_.write("series.txt", buffer_of(series(2)));
        ASSERT_EQ(before_.run("series.txt\ny\n").status, 0);
        write_reports(d_, 4);
        d_.write("series.txt", buffer_of(series(4)));
        fs::remove(d_.path() / "r2.html");
    }

    void expect_stopped_at_third(const std::string& reason_line) {
        const RunResult r = d_.run("series.txt\ny\n");
        EXPECT_EQ(r.status, 1);
        EXPECT_EQ(r.out, start + reason_line + " \n");
        EXPECT_EQ(d_.read("TK_parameters_HTML.xy"), before_.read("TK_parameters_HTML.xy"));
    }

    RunDir before_;
    RunDir d_;
};

TEST_F(ReportFault, ReportThatIsADirectory) {
    fs::create_directory(d_.path() / "r2.html");
    // A directory is no file: the program reports it as missing.
    expect_stopped_at_third("\n !! r2.html does not exist !!\n");
}

TEST_F(ReportFault, ReportThatIsASymlinkToItself) {
    fs::create_symlink("r2.html", d_.path() / "r2.html");
    // Opening it could only fail (too many levels of links): it counts as missing.
    expect_stopped_at_third("\n !! r2.html does not exist !!\n");
}

TEST_F(ReportFault, ReportWithoutReadPermission) {
    if (geteuid() == 0) GTEST_SKIP() << "root reads any file";
    d_.write("r2.html", report());
    fs::permissions(d_.path() / "r2.html", fs::perms::none);
    expect_stopped_at_third(std::string("\n !! r2.html cannot be read: ") + std::strerror(EACCES) + " !!\n");
}

TEST(ConsoleInputFault, InputEndingAtEachPromptStopsTheRunThere) {
    // The full answers: no to all parameters, yes to each quantity, no to each plot.
    std::vector<std::string> answers = {"series.txt", "n"};
    for (std::size_t q = 0; q < quantity_count; ++q) answers.emplace_back("y");
    for (std::size_t q = 0; q < quantity_count; ++q) answers.emplace_back("n");

    RunDir good;
    write_reports(good, 3);
    good.write("series.txt", buffer_of(series(3)));
    std::string all;
    for (const auto& a : answers) all += a + "\n";
    const RunResult complete = good.run(all);
    ASSERT_EQ(complete.status, 0);
    const std::vector<std::size_t> ends = prompt_ends(complete.out);
    ASSERT_EQ(ends.size(), answers.size()) << complete.out;

    for (std::size_t k = 0; k < answers.size(); ++k) {
        SCOPED_TRACE("input ends at prompt " + std::to_string(k + 1) + ": " + prompts()[k]);
        RunDir d;
        write_reports(d, 3);
        d.write("series.txt", buffer_of(series(3)));
        std::string input;
        for (std::size_t i = 0; i < k; ++i) input += answers[i] + "\n";
        const RunResult r = d.run(input);
        EXPECT_EQ(r.status, 1);
        EXPECT_EQ(r.out, complete.out.substr(0, ends[k]) + input_ended);

        // Before the plot offers nothing is written; at the offers every
        // plot file is already complete.
        const bool at_offers = k >= 2 + quantity_count;
        for (const auto& q : quantities) {
            const std::string name(q.plot_file);
            if (at_offers) EXPECT_EQ(d.read(name), good.read(name)) << name;
            else EXPECT_FALSE(d.exists(name)) << name;
        }
    }
}

TEST(ConsoleInputFault, InputEndingAfterTheLastPlotOfferIsNoFault) {
    // One answer short would be a fault; all answers given, the run ends well.
    RunDir d;
    write_reports(d, 1);
    d.write("series.txt", buffer_of(series(1)));
    std::string input = "series.txt\nn\n";
    for (std::size_t q = 0; q < quantity_count; ++q) input += q == volume ? "y\n" : "n\n";
    input += "n\n";
    const RunResult r = d.run(input);
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out.find("!!"), std::string::npos) << r.out;
    EXPECT_TRUE(d.exists("TK_volume.pgf"));
}

}  // namespace
}  // namespace celltrend::testing
