// Faults met during a run, end to end: outputs that cannot be created or
// written, reports that cannot be read, console input that ends at a prompt.
// Each must end with a clear console line and status 1, never a crash, and
// every file keeps every line written before the fault, complete.  What a
// file should hold is taken from an undisturbed run on the same inputs.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
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
    for (const auto& q : quantities)
        p.push_back(std::string(q.plot_file) + " file has been created: plot it (y/n) ?  ");
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

// A file-size limit ("ulimit -f", in 512-byte blocks, with SIGXFSZ ignored)
// stands for a full disk: writes fail with EFBIG past it.
std::string file_size_limit(int blocks) { return "trap '' XFSZ; ulimit -f " + std::to_string(blocks) + ";"; }

TEST(OutputFault, FullDiskDuringAPlotRunKeepsEveryPlotFileWhole) {
    const int n = 40;
    const std::string answers = "series.txt\nn\ny\ny\ny\nn\nn\nn\nn\nn\nn\nn\nn\n";
    RunDir good;
    write_reports(good, n);
    good.write("series.txt", buffer_of(series(n)));
    const RunResult complete = good.run(answers);
    ASSERT_EQ(complete.status, 0);
    const std::vector<std::size_t> ends = prompt_ends(complete.out);
    ASSERT_GT(ends.size(), 2 + quantity_count);
    ASSERT_GT(good.read("TK_cell_a.pgf").size(), 2048u) << "the plot files must run past the limit";

    RunDir d;
    write_reports(d, n);
    d.write("series.txt", buffer_of(series(n)));
    const RunResult r = d.run(answers, file_size_limit(4));
    EXPECT_EQ(r.status, 1);
    // The dialogue up to the last quantity question, then the reason; no offer follows.
    // a's line of a temperature is written first, so a's file meets the limit first.
    EXPECT_EQ(r.out,
              complete.out.substr(0, ends[1 + quantity_count]) + failure_line("Cannot write", "TK_cell_a.pgf", EFBIG));
    for (const std::string name : {"TK_cell_a.pgf", "TK_cell_b.pgf", "TK_cell_c.pgf"}) {
        SCOPED_TRACE(name);
        const std::string file = d.read(name);
        expect_complete_lines_of(file, good.read(name));
        EXPECT_GT(line_count(file), 12u);  // the header and some data lines
        EXPECT_EQ(file.find("END OF FILE"), std::string::npos);
    }
}

// Whatever stands at an output name that is not a regular file is refused
// before any output is created: nothing is written through a link (a planted
// link would have celltrend overwrite what it points to), nothing waits on a
// FIFO, and the earlier outputs of the run are not created either.
TEST(OutputFault, NameThatIsNoRegularFileIsRefusedAndNothingIsCreated) {
    struct Case {
        const char* what;
        std::string reason;
        std::string notice_head;
        void (*plant)(const fs::path& at);
    };
    const std::vector<Case> cases = {
        {"link to a file", "it is a symbolic link", "a symbolic link to precious.txt",
         [](const fs::path& at) { fs::create_symlink("precious.txt", at); }},
        {"link to nowhere", "it is a symbolic link", "a symbolic link to elsewhere.pgf",
         [](const fs::path& at) { fs::create_symlink("elsewhere.pgf", at); }},
        {"link to a device", "it is a symbolic link", "a symbolic link to /dev/full",
         [](const fs::path& at) { fs::create_symlink("/dev/full", at); }},
        {"FIFO", "it is not a regular file", "a FIFO, not a regular file",
         [](const fs::path& at) { ASSERT_EQ(::mkfifo(at.c_str(), 0600), 0); }},
        {"directory", std::strerror(EISDIR), "a directory", [](const fs::path& at) { fs::create_directory(at); }},
    };
    const std::string answers = "series.txt\nn\ny\ny\ny\nn\nn\nn\nn\nn\n";
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        RunDir d;
        write_reports(d, 2);
        d.write("series.txt", buffer_of(series(2)));
        d.write("precious.txt", "not to be overwritten\n");
        c.plant(d.path() / "TK_cell_c.pgf");
        // A timeout only so that a run waiting on the FIFO cannot hang the suite.
        const RunResult r = d.run(answers, "timeout 60");
        EXPECT_EQ(r.status, 1);
        EXPECT_TRUE(r.out.ends_with(
            "  >> Extract crystal mosaicity (deg) (y/n) ? \n !! Cannot create TK_cell_c.pgf: " + c.reason + " !!\n"))
            << r.out;
        EXPECT_TRUE(r.err.starts_with("celltrend: TK_cell_c.pgf: " + c.notice_head + "; ")) << r.err;
        EXPECT_EQ(line_count(r.err), 1u) << r.err;
        EXPECT_EQ(d.read("precious.txt"), "not to be overwritten\n");
        EXPECT_FALSE(d.exists("elsewhere.pgf"));
        EXPECT_FALSE(d.exists("TK_cell_a.pgf"));
        EXPECT_FALSE(d.exists("TK_cell_b.pgf"));
    }
}

// Another run writing the table holds a lock on it: this run refuses rather
// than truncate the table under it.
TEST(OutputFault, TableLockedByAnotherRunIsRefusedUntouched) {
    RunDir d;
    write_reports(d, 2);
    d.write("series.txt", buffer_of(series(2)));
    d.write("TK_parameters_HTML.xy", "a line of the other run\n");
    const int fd = ::open((d.path() / "TK_parameters_HTML.xy").c_str(), O_WRONLY | O_APPEND);
    ASSERT_GE(fd, 0);
    struct flock lock {};
    lock.l_type = F_WRLCK;
    lock.l_whence = SEEK_SET;
    ASSERT_EQ(::fcntl(fd, F_SETLK, &lock), 0);
    const RunResult r = d.run("series.txt\ny\n");
    ::close(fd);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, start + "\n !! Cannot create TK_parameters_HTML.xy: another run is writing it !!\n");
    EXPECT_EQ(r.err, "celltrend: TK_parameters_HTML.xy: locked by another run (process " + std::to_string(::getpid()) +
                         "); this run creates no output\n");
    EXPECT_EQ(d.read("TK_parameters_HTML.xy"), "a line of the other run\n");
    // Once the other run has ended, the table is this run's.
    EXPECT_EQ(d.run("series.txt\ny\n").status, 0);
}

// Two runs started together in one directory on different series: whichever
// way they meet, the table is one run's table, whole.
TEST(OutputFault, TwoRunsAtOnceLeaveOneRunsWholeTable) {
    const int n = 2000;
    RunDir d;
    write_reports(d, n);
    std::vector<std::string> other = series(n);
    for (auto& line : other) line += ".5";
    d.write("one.txt", buffer_of(series(n)));
    d.write("two.txt", buffer_of(other));
    ASSERT_EQ(d.run("two.txt\ny\n").status, 0);
    const std::string table_two = d.read("TK_parameters_HTML.xy");
    ASSERT_EQ(d.run("one.txt\ny\n").status, 0);
    const std::string table_one = d.read("TK_parameters_HTML.xy");
    ASSERT_NE(table_one, table_two);
    for (int round = 0; round < 3; ++round) {
        d.write("in1", "one.txt\ny\n");
        d.write("in2", "two.txt\ny\n");
        const std::string cmd = "cd '" + d.path().string() + "' && ('" + CELLTREND_EXE + "' < in1 > out1 2>&1 & '" +
                                CELLTREND_EXE + "' < in2 > out2 2>&1 & wait)";
        ASSERT_EQ(std::system(cmd.c_str()), 0);
        const std::string table = d.read("TK_parameters_HTML.xy");
        EXPECT_TRUE(table == table_one || table == table_two) << "round " << round << ", " << table.size() << " bytes";
        EXPECT_EQ(table.find('\0'), std::string::npos);
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

// The console written to a full disk: the run's files are complete, yet the
// record of the run is not, and the status says so.
TEST(OutputFault, FullStandardOutputIsAFailure) {
    RunDir d;
    write_reports(d, 1);
    d.write("series.txt", buffer_of(series(1)));
    const RunResult r = d.run("series.txt\ny\n", "sh -c 'exec \"$0\" >/dev/full'");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "celltrend: standard output: a write failed; its text is incomplete\n");
    EXPECT_TRUE(d.exists("TK_parameters_HTML.xy"));

    const RunResult help = d.run("", "sh -c 'exec \"$0\" --help >/dev/full'");
    EXPECT_EQ(help.status, 1);
    EXPECT_EQ(help.err, r.err);
}

TEST(OutputFault, ReadOnlyDirectoryRefusesTheTable) {
    RunDir d;
    write_reports(d, 1);
    d.write("series.txt", buffer_of(series(1)));
    for (const char* f : {".stdin", ".stdout", ".stderr"}) d.write(f, "");  // the run's own redirections
    fs::permissions(d.path(), fs::perms::owner_read | fs::perms::owner_exec);
    const RunResult r = d.run_unprivileged("series.txt\ny\n");
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

    void expect_stopped_at_third(const std::string& reason_line, bool unprivileged = false) {
        // A timeout only so that a run waiting on a FIFO cannot hang the suite.
        const RunResult r =
            unprivileged ? d_.run_unprivileged("series.txt\ny\n") : d_.run("series.txt\ny\n", "timeout 60");
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
    d_.write("r2.html", report());
    fs::permissions(d_.path() / "r2.html", fs::perms::none);
    expect_stopped_at_third(std::string("\n !! r2.html cannot be read: ") + std::strerror(EACCES) + " !!\n", true);
}

// Only a regular file has an end: a FIFO report would wait for a writer for
// ever and /dev/zero would read for ever.  A link to a regular file is fine.
TEST_F(ReportFault, ReportThatIsAFifo) {
    ASSERT_EQ(::mkfifo((d_.path() / "r2.html").c_str(), 0600), 0);
    expect_stopped_at_third("\n !! r2.html cannot be read: a FIFO, not a regular file !!\n");
}

TEST_F(ReportFault, ReportThatIsALinkToADevice) {
    fs::create_symlink("/dev/zero", d_.path() / "r2.html");
    expect_stopped_at_third("\n !! r2.html cannot be read: a character device, not a regular file !!\n");
}

// Opening a socket fails with "No such device or address", which names
// nothing the user can see; the message names what the file is.
TEST_F(ReportFault, ReportThatIsASocket) {
    const int s = ::socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_GE(s, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const std::string path = (d_.path() / "r2.html").string();
    ASSERT_LT(path.size(), sizeof address.sun_path);
    std::strcpy(address.sun_path, path.c_str());
    ASSERT_EQ(::bind(s, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
    ::close(s);
    expect_stopped_at_third("\n !! r2.html cannot be read: a socket, not a regular file !!\n");
}

// A disk failing in the middle of a file: the stand-in read() preloaded into
// celltrend fails with EIO past `offset` bytes of `file`.
std::string read_fails(const std::string& file, int offset) {
    return std::string("LD_PRELOAD='") + CELLTREND_READ_FAULT +
           "' ASAN_OPTIONS=\"$ASAN_OPTIONS:verify_asan_link_order=0\" CELLTREND_FAULT_FILE=" + file +
           " CELLTREND_FAULT_OFFSET=" + std::to_string(offset);
}

TEST_F(ReportFault, ReadErrorInTheMiddleOfAReport) {
    d_.write("r2.html", report());
    const RunResult r = d_.run("series.txt\ny\n", read_fails("r2.html", 100));
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, start + "\n !! r2.html cannot be read: " + std::strerror(EIO) + " !!\n \n");
    EXPECT_EQ(r.err,
              "celltrend: r2.html, line 3: read error (" + std::string(std::strerror(EIO)) + "); the run stops\n");
    EXPECT_EQ(d_.read("TK_parameters_HTML.xy"), before_.read("TK_parameters_HTML.xy"));
}

TEST(InputFault, ReadErrorInTheBufferFileStopsBeforeAnyOutput) {
    RunDir d;
    write_reports(d, 3);
    d.write("series.txt", buffer_of(series(3)));
    // The fourth line, "r1.html 110", breaks after its second byte.
    const RunResult r = d.run("series.txt\ny\n", read_fails("series.txt", 40));
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, start + "\n !! Cannot read the buffer file series.txt: " + std::strerror(EIO) + " !!\n");
    EXPECT_EQ(r.err, "celltrend: series.txt, line 4: read error (" + std::string(std::strerror(EIO)) +
                         "); the run stops before any output is created\n");
    EXPECT_FALSE(d.exists("TK_parameters_HTML.xy"));
}

TEST(InputFault, BufferFileThatIsNoRegularFileIsAskedAgain) {
    RunDir d;
    write_reports(d, 1);
    d.write("series.txt", buffer_of(series(1)));
    ASSERT_EQ(::mkfifo((d.path() / "fifo.txt").c_str(), 0600), 0);
    fs::create_symlink("/dev/zero", d.path() / "zero.txt");
    fs::create_symlink("series.txt", d.path() / "link.txt");
    const RunResult r = d.run("fifo.txt\nzero.txt\nlink.txt\ny\n", "timeout 60");
    EXPECT_EQ(r.status, 0);
    const std::string again = "   press Enter key to continue " + buffer_prompt;
    EXPECT_EQ(r.out, banner() + buffer_prompt + "\n  !! fifo.txt cannot be read: a FIFO, not a regular file !!\n" +
                         again + "\n  !! zero.txt cannot be read: a character device, not a regular file !!\n" + again +
                         all_question + "\n \n   >>> The TK_parameters_HTML.xy file has been created \n");
}

// The viewer started by a plot offer inherits no file of the run: it lists
// the descriptors it holds beyond the standard three.
TEST(InputFault, ViewerInheritsNoFileOfTheRun) {
    RunDir d;
    write_reports(d, 2);
    d.write("series.txt", buffer_of(series(2)));
    d.write("bin/xyviewer", "#!/bin/sh\nls -l /proc/$$/fd/ > descriptors.log\n");
    fs::permissions(d.path() / "bin/xyviewer", fs::perms::owner_all);
    const RunResult r =
        d.run("series.txt\nn\ny\nn\nn\nn\nn\nn\nn\nn\ny\n", "PATH='" + (d.path() / "bin").string() + "':\"$PATH\"");
    EXPECT_EQ(r.status, 0);
    const std::string held = d.read("descriptors.log");
    ASSERT_FALSE(held.empty());
    EXPECT_EQ(held.find("series.txt"), std::string::npos) << held;
    EXPECT_EQ(held.find(".html"), std::string::npos) << held;
    EXPECT_EQ(held.find(".pgf"), std::string::npos) << held;
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
            if (at_offers)
                EXPECT_EQ(d.read(name), good.read(name)) << name;
            else
                EXPECT_FALSE(d.exists(name)) << name;
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
