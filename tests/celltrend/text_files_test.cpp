// Files of text records: line reads (terminators, cutting, lines longer than
// the read buffer, odd bytes, rewind), the existence test, and output files
// created with replacement whose write failures end the run.

#include <fcntl.h>
#include <grp.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <cstring>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "failure.hpp"
#include "fixed_text.hpp"
#include "text_files.hpp"

namespace celltrend {
namespace {

namespace fs = std::filesystem;

class FilesTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string templ = (fs::temp_directory_path() / "celltrend_files_XXXXXX").string();
        ASSERT_NE(::mkdtemp(templ.data()), nullptr);
        dir_ = templ;
    }
    void TearDown() override {
        std::error_code ec;
        fs::permissions(dir_, fs::perms::owner_all, fs::perm_options::add, ec);
        fs::remove_all(dir_, ec);
    }

    std::string path(const std::string& name) const { return (dir_ / name).string(); }

    std::string write_raw(const std::string& name, const std::string& bytes) const {
        const std::string p = path(name);
        std::ofstream f(p, std::ios::binary);
        f.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        return p;
    }

    static std::string read_raw(const std::string& p) {
        std::ifstream f(p, std::ios::binary);
        return {std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>()};
    }

    // Every line of the file, each cut to `limit`, until the first status other than ok.
    static std::vector<std::string> all_lines(const std::string& p, std::size_t limit, ReadStatus& last) {
        InputFile in;
        std::string why;
        EXPECT_TRUE(in.open(p, why)) << why;
        std::vector<std::string> lines;
        std::string_view line;
        while ((last = in.next_line(line, limit)) == ReadStatus::ok) lines.emplace_back(line);
        return lines;
    }

    fs::path dir_;
};

TEST_F(FilesTest, LineTerminators) {
    struct Case {
        const char* name;
        std::string bytes;
        std::vector<std::string> lines;
    };
    const std::vector<Case> cases = {
        {"lf", "a\nbb\n", {"a", "bb"}},
        {"crlf", "a\r\nbb\r\n", {"a", "bb"}},
        {"mixed", "a\r\nbb\nccc\r\n", {"a", "bb", "ccc"}},
        {"no_terminator", "a\nbb", {"a", "bb"}},
        {"only_no_terminator", "abc", {"abc"}},
        {"empty", "", {}},
        {"empty_lines", "\n\n", {"", ""}},
        {"empty_crlf_lines", "\r\n\r\nx\r\n", {"", "", "x"}},
        {"blank_line", "  \n", {"  "}},
        {"lone_cr_inside", "a\rb\n", {"a\rb"}},
        {"trailing_blanks", "x  \r\n", {"x  "}},
    };
    for (const Case& c : cases) {
        ReadStatus last = ReadStatus::ok;
        const auto lines = all_lines(write_raw(c.name, c.bytes), 256, last);
        EXPECT_EQ(lines, c.lines) << c.name;
        EXPECT_EQ(last, ReadStatus::end) << c.name;
    }
}

TEST_F(FilesTest, EndStaysEnd) {
    InputFile in;
    std::string why;
    ASSERT_TRUE(in.open(write_raw("one", "x\n"), why));
    std::string_view line;
    EXPECT_EQ(in.next_line(line, 10), ReadStatus::ok);
    EXPECT_EQ(in.next_line(line, 10), ReadStatus::end);
    EXPECT_EQ(in.next_line(line, 10), ReadStatus::end);
}

// A line longer than the limit keeps its first `limit` characters and the next
// read starts at the following line; a CR before the LF never counts.
TEST_F(FilesTest, LongLinesAreCut) {
    struct Case {
        const char* name;
        std::string bytes;
        std::size_t limit;
        std::vector<std::string> lines;
    };
    const std::vector<Case> cases = {
        {"longer", "abcdefgh\nxy\n", 5, {"abcde", "xy"}},
        {"exact", "abcde\nxy\n", 5, {"abcde", "xy"}},
        {"exact_crlf", "abcde\r\nxy\r\n", 5, {"abcde", "xy"}},
        {"short_crlf", "abcd\r\nxy\r\n", 5, {"abcd", "xy"}},
        {"one_more_crlf", "abcdef\r\nxy\r\n", 5, {"abcde", "xy"}},
        {"longer_no_terminator", "abcdefgh", 5, {"abcde"}},
        {"zero_limit", "abc\nde\n", 0, {"", ""}},
    };
    for (const Case& c : cases) {
        ReadStatus last = ReadStatus::ok;
        EXPECT_EQ(all_lines(write_raw(c.name, c.bytes), c.limit, last), c.lines) << c.name;
        EXPECT_EQ(last, ReadStatus::end) << c.name;
    }
}

std::string pattern(std::size_t n) {
    std::string s(n, ' ');
    for (std::size_t i = 0; i < n; ++i) s[i] = static_cast<char>('a' + i % 26);
    return s;
}

// Lines crossing the edge of the read buffer, whatever the edge falls on: the
// kept text, the dropped CR and the following line must not depend on it.
// The first line's length is varied so that the edge walks over the second.
TEST_F(FilesTest, LinesAcrossTheReadBuffer) {
    constexpr std::size_t buffer = 1 << 16;
    constexpr std::size_t limit = 5;
    const std::vector<std::string> seconds = {"abcde\r\n", "abcdef\r\n", "abcd\r\n", "abcde\n", "abcdefgh\n", "\r\n"};
    for (const std::string& second : seconds) {
        const std::string kept = second.substr(0, std::min(second.find_first_of("\r\n"), limit));
        for (std::size_t first = buffer - 12; first <= buffer + 2; ++first) {
            const std::string bytes = pattern(first) + "\n" + second + "next\r\n";
            ReadStatus last = ReadStatus::ok;
            const auto lines = all_lines(write_raw("edge", bytes), limit, last);
            const std::vector<std::string> expected = {pattern(first).substr(0, limit), kept, "next"};
            EXPECT_EQ(lines, expected) << "first line " << first << ", second " << second.size();
            EXPECT_EQ(last, ReadStatus::end);
        }
    }
}

TEST_F(FilesTest, LinesLongerThanTheReadBuffer) {
    // 70000 characters, then CR LF: the first 256 are kept.
    const std::string big = pattern(70000);
    // Several megabytes, exactly one more character than the limit before the CR.
    const std::string huge = pattern(3 * 1024 * 1024 + 7);
    const std::string bytes = big + "\r\n" + "short\r\n" + huge + "\r\n" + pattern(257) + "\r\n" + huge + "\n" + "end";
    ReadStatus last = ReadStatus::ok;
    const auto lines = all_lines(write_raw("big", bytes), 256, last);
    ASSERT_EQ(lines.size(), 6u);
    EXPECT_EQ(lines[0], big.substr(0, 256));
    EXPECT_EQ(lines[1], "short");
    EXPECT_EQ(lines[2], huge.substr(0, 256));
    EXPECT_EQ(lines[3], pattern(256));
    EXPECT_EQ(lines[4], huge.substr(0, 256));
    EXPECT_EQ(lines[5], "end");
    EXPECT_EQ(last, ReadStatus::end);

    // The whole of a long line when the limit allows it, CR excluded.
    const auto whole = all_lines(write_raw("whole", big + "\r\nx"), 100000, last);
    ASSERT_EQ(whole.size(), 2u);
    EXPECT_EQ(whole[0], big);
    EXPECT_EQ(whole[1], "x");

    // A line exactly limit + 1 long whose last character is the CR, crossing the buffer.
    const std::string exact = pattern(65536 * 2 + 100);
    const auto cr = all_lines(write_raw("cr", exact + "\r\n"), exact.size(), last);
    ASSERT_EQ(cr.size(), 1u);
    EXPECT_EQ(cr[0], exact);
}

TEST_F(FilesTest, OddBytesAreKept) {
    const std::string line("a\0b\xe9\xff\x7f\t c", 9);
    ReadStatus last = ReadStatus::ok;
    const auto lines = all_lines(write_raw("odd", line + "\n" + line), 256, last);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], line);
    EXPECT_EQ(lines[1], line);
}

TEST_F(FilesTest, ReadIntoTextCutsOrPads) {
    InputFile in;
    std::string why;
    ASSERT_TRUE(in.open(write_raw("t", "abc\r\nabcdefghijk\n\n"), why));
    Text<8> t("????????");
    ASSERT_EQ(in.read(t), ReadStatus::ok);
    EXPECT_EQ(t.view(), "abc     ");
    ASSERT_EQ(in.read(t), ReadStatus::ok);
    EXPECT_EQ(t.view(), "abcdefgh");
    ASSERT_EQ(in.read(t), ReadStatus::ok);
    EXPECT_EQ(t.view(), "        ");
    EXPECT_EQ(in.read(t), ReadStatus::end);
    EXPECT_EQ(t.view(), "        ");  // unchanged by the failed read
}

TEST_F(FilesTest, RewindStartsAgainAtTheFirstLine) {
    InputFile in;
    std::string why;
    ASSERT_TRUE(in.open(write_raw("r", "one\ntwo\nthree"), why));
    std::string_view line;
    ASSERT_EQ(in.next_line(line, 80), ReadStatus::ok);
    ASSERT_EQ(in.next_line(line, 80), ReadStatus::ok);
    EXPECT_EQ(line, "two");
    in.rewind();
    ASSERT_EQ(in.next_line(line, 80), ReadStatus::ok);
    EXPECT_EQ(line, "one");
    // Rewind after the end of the file.
    while (in.next_line(line, 80) == ReadStatus::ok) {
    }
    in.rewind();
    ASSERT_EQ(in.next_line(line, 80), ReadStatus::ok);
    EXPECT_EQ(line, "one");
    // Rewind in the middle of a line longer than the buffer.
    const std::string big = pattern(200000);
    ASSERT_TRUE(in.open(write_raw("rb", big + "\nlast\n"), why));
    ASSERT_EQ(in.next_line(line, 3), ReadStatus::ok);
    in.rewind();
    ASSERT_EQ(in.next_line(line, 3), ReadStatus::ok);
    EXPECT_EQ(line, "abc");
    ASSERT_EQ(in.next_line(line, 10), ReadStatus::ok);
    EXPECT_EQ(line, "last");
}

TEST_F(FilesTest, OpenNamesWithoutTrailingBlanks) {
    write_raw("named", "x\n");
    InputFile in;
    std::string why;
    EXPECT_TRUE(in.open(path("named") + "   ", why));
    EXPECT_TRUE(in.is_open());
    EXPECT_EQ(in.name(), path("named"));
    EXPECT_FALSE(in.open(path("missing"), why));
    EXPECT_FALSE(why.empty());
    EXPECT_FALSE(in.is_open());
    std::string_view line;
    EXPECT_NE(in.next_line(line, 10), ReadStatus::ok);
}

// A read that fails is an error, never taken for the end of the file.
TEST_F(FilesTest, ReadingADirectoryIsAnError) {
    fs::create_directory(path("adir"));
    InputFile in;
    std::string why;
    if (!in.open(path("adir"), why)) {
        EXPECT_FALSE(why.empty());
        return;
    }
    std::string_view line;
    EXPECT_EQ(in.next_line(line, 10), ReadStatus::error);
    EXPECT_FALSE(in.error_text().empty());
}

TEST_F(FilesTest, FileExists) {
    write_raw("present", "");
    fs::create_directory(path("subdir"));
    EXPECT_TRUE(file_exists(path("present")));
    EXPECT_TRUE(file_exists(path("present") + "    "));
    EXPECT_FALSE(file_exists(path("subdir")));
    EXPECT_FALSE(file_exists(path("subdir") + "  "));
    EXPECT_FALSE(file_exists(path("missing")));
    EXPECT_FALSE(file_exists(path("present") + "x"));
    EXPECT_FALSE(file_exists(""));
    EXPECT_FALSE(file_exists("     "));
    // A leading blank is part of the name.
    EXPECT_FALSE(file_exists(" " + path("present")));
}

TEST_F(FilesTest, OutputReplacesAndReadsBack) {
    const std::string p = write_raw("out.xy", "an old content, longer than the new one\nsecond old line\n");
    {
        OutputFile out;
        out.create(p + "  ");
        EXPECT_TRUE(out.is_open());
        EXPECT_EQ(out.name(), p);
        out.write_line("# title");
        out.write_line("");
        out.write_line("295.00     1.00000  ");
        out.close();
        EXPECT_FALSE(out.is_open());
    }
    ReadStatus last = ReadStatus::ok;
    EXPECT_EQ(all_lines(p, 256, last), (std::vector<std::string>{"# title", "", "295.00     1.00000  "}));
    EXPECT_EQ(last, ReadStatus::end);
    EXPECT_EQ(read_raw(p).substr(0, 8), "# title\n");
}

TEST_F(FilesTest, OutputCompletedWithoutClose) {
    const std::string p = path("left_open.pgf");
    {
        OutputFile out;
        out.create(p);
        out.write_line("a");
        out.write_line("b");
    }
    ReadStatus last = ReadStatus::ok;
    EXPECT_EQ(all_lines(p, 256, last), (std::vector<std::string>{"a", "b"}));
}

std::size_t open_descriptors() {
    std::error_code ec;
    std::size_t n = 0;
    for (fs::directory_iterator it("/proc/self/fd", ec), end; !ec && it != end; it.increment(ec)) ++n;
    return n;
}

// Creating again on the same object completes the first file and keeps it,
// leaving nothing open behind.
TEST_F(FilesTest, OutputCreatedTwice) {
    const std::size_t before = open_descriptors();
    OutputFile out;
    out.create(path("first"));
    out.write_line("1");
    out.create(path("second"));
    out.write_line("2");
    out.close();
    EXPECT_EQ(open_descriptors(), before);
    ReadStatus last = ReadStatus::ok;
    EXPECT_EQ(all_lines(path("first"), 9, last), std::vector<std::string>{"1"});
    EXPECT_EQ(all_lines(path("second"), 9, last), std::vector<std::string>{"2"});
}

TEST_F(FilesTest, CreateFailureEndsTheRun) {
    OutputFile out;
    try {
        out.create(path("no_such_dir/out.xy"));
        FAIL() << "create in a missing directory succeeded";
    } catch (const RunFailure& f) {
        EXPECT_NE(std::string(f.what()).find("out.xy"), std::string::npos) << f.what();
        EXPECT_EQ(f.exit_status, 1);
    }
    EXPECT_FALSE(out.is_open());
}

// Run as root (as CI runs), the attempt is made by a child process that has
// become the unprivileged user nobody, owner of the directory and the file:
// root would write anyway.
TEST_F(FilesTest, CreateOverReadOnlyFileFails) {
    const std::string p = write_raw("locked.xy", "keep me\n");
    fs::permissions(p, fs::perms::owner_read);
    const auto attempt = [&p] {
        OutputFile out;
        try {
            out.create(p);
        } catch (const RunFailure&) {
            return read_raw(p) == "keep me\n" ? 0 : 2;
        }
        return 1;
    };
    if (::geteuid() != 0) {
        EXPECT_EQ(attempt(), 0);
        return;
    }
    constexpr unsigned nobody = 65534;
    ASSERT_EQ(::chown(dir_.c_str(), nobody, nobody), 0);
    ASSERT_EQ(::chown(p.c_str(), nobody, nobody), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        if (::setgroups(0, nullptr) != 0 || ::setgid(nobody) != 0 || ::setuid(nobody) != 0) ::_exit(3);
        ::_exit(attempt());
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "1: created anyway, 2: file changed, 3: could not drop root";
}

// A file-size limit stands for a full disk: the write that crosses it fails
// with EFBIG, and the file is cut back to its last complete line.
TEST_F(FilesTest, WriteFailureEndsTheRunAndKeepsCompleteLines) {
    struct rlimit old_limit {};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &old_limit), 0);
    const auto old_handler = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit limit = old_limit;
    limit.rlim_cur = 100;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &limit), 0);
    const std::string p = path("limited.xy");
    std::string message;
    {
        OutputFile out;
        out.create(p);
        try {
            for (int i = 0; i < 100; ++i) out.write_line("line " + std::to_string(i) + " of the table");
        } catch (const RunFailure& f) {
            message = f.what();
        }
        EXPECT_FALSE(out.is_open());
        EXPECT_NO_THROW(out.close());
    }
    ::setrlimit(RLIMIT_FSIZE, &old_limit);
    std::signal(SIGXFSZ, old_handler);
    EXPECT_EQ(message, " !! Cannot write " + p + ": " + std::strerror(EFBIG) + " !!");
    // Six lines of 16 or 17 bytes fit in 100; the seventh was cut off.
    EXPECT_EQ(read_raw(p),
              "line 0 of the table\nline 1 of the table\nline 2 of the table\nline 3 of the table\n"
              "line 4 of the table\n");
}

// What stands at an output name and is no regular file is refused, and left
// as it was; so is a file another process holds the write lock of.
TEST_F(FilesTest, CreateRefusesWhatIsNoRegularFile) {
    write_raw("target.xy", "the link's target\n");
    fs::create_symlink("target.xy", path("link.xy"));
    fs::create_symlink("missing.xy", path("dangling.xy"));
    ASSERT_EQ(::mkfifo(path("fifo.xy").c_str(), 0600), 0);
    fs::create_directory(path("dir.xy"));
    struct Case {
        const char* name;
        std::string reason;
    };
    const std::vector<Case> cases = {
        {"link.xy", "it is a symbolic link"},
        {"dangling.xy", "it is a symbolic link"},
        {"fifo.xy", "it is not a regular file"},
        {"dir.xy", std::strerror(EISDIR)},
    };
    for (const Case& c : cases) {
        for (const bool early : {true, false}) {
            SCOPED_TRACE(std::string(c.name) + (early ? ", checked before" : ", at create"));
            try {
                if (early) {
                    refuse_unsafe_output(path(c.name));
                } else {
                    OutputFile out;
                    out.create(path(c.name));
                }
                ADD_FAILURE() << "accepted";
            } catch (const RunFailure& f) {
                EXPECT_EQ(std::string(f.what()), " !! Cannot create " + path(c.name) + ": " + c.reason + " !!");
                EXPECT_TRUE(f.notice.starts_with("celltrend: " + path(c.name) + ": ")) << f.notice;
            }
        }
    }
    EXPECT_EQ(read_raw(path("target.xy")), "the link's target\n");
    EXPECT_FALSE(fs::exists(path("missing.xy")));
    EXPECT_TRUE(fs::is_fifo(fs::symlink_status(path("fifo.xy"))));
    EXPECT_NO_THROW(refuse_unsafe_output(path("not_there_yet.xy")));
    EXPECT_FALSE(fs::exists(path("not_there_yet.xy")));
}

// fcntl locks do not conflict within one process, so the other run is a child.
TEST_F(FilesTest, CreateRefusesAFileLockedByAnotherProcess) {
    const std::string p = write_raw("held.xy", "the other run's line\n");
    int ready[2];
    int release[2];
    ASSERT_EQ(::pipe(ready), 0);
    ASSERT_EQ(::pipe(release), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        const int fd = ::open(p.c_str(), O_WRONLY);
        struct flock lock {};
        lock.l_type = F_WRLCK;
        lock.l_whence = SEEK_SET;
        const char ok = fd >= 0 && ::fcntl(fd, F_SETLK, &lock) == 0 ? 'y' : 'n';
        if (::write(ready[1], &ok, 1) != 1) ::_exit(1);
        char c;
        ::_exit(::read(release[0], &c, 1) == 1 ? 0 : 1);
    }
    char ok = 'n';
    ASSERT_EQ(::read(ready[0], &ok, 1), 1);
    ASSERT_EQ(ok, 'y');
    const std::string holder = "locked by another run (process " + std::to_string(child) + ")";
    try {
        refuse_unsafe_output(p);
        ADD_FAILURE() << "accepted before";
    } catch (const RunFailure& f) {
        EXPECT_EQ(f.notice, "celltrend: " + p + ": " + holder + "; this run creates no output");
    }
    OutputFile out;
    try {
        out.create(p);
        ADD_FAILURE() << "created";
    } catch (const RunFailure& f) {
        EXPECT_EQ(std::string(f.what()), " !! Cannot create " + p + ": another run is writing it !!");
    }
    EXPECT_EQ(read_raw(p), "the other run's line\n");
    ASSERT_EQ(::write(release[1], "x", 1), 1);
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    // Released, the file is this run's.
    out.create(p);
    out.write_line("mine");
    out.close();
    EXPECT_EQ(read_raw(p), "mine\n");
    for (int fd : {ready[0], ready[1], release[0], release[1]}) ::close(fd);
}

// Inputs are regular files or links to one; the rest is refused at once.
TEST_F(FilesTest, OpenRefusesWhatIsNoRegularFile) {
    ASSERT_EQ(::mkfifo(path("fifo").c_str(), 0600), 0);
    fs::create_directory(path("dir"));
    write_raw("plain", "x\n");
    fs::create_symlink("plain", path("link"));
    InputFile in;
    std::string why;
    EXPECT_FALSE(in.open(path("fifo"), why));
    EXPECT_EQ(why, "a FIFO, not a regular file");
    EXPECT_FALSE(in.open("/dev/zero", why));
    EXPECT_EQ(why, "a character device, not a regular file");
    EXPECT_FALSE(in.open(path("dir"), why));
    EXPECT_EQ(why, "a directory, not a regular file");
    EXPECT_TRUE(in.open(path("link"), why));
    std::string_view line;
    EXPECT_EQ(in.next_line(line, 9), ReadStatus::ok);
    EXPECT_EQ(line, "x");
}

// Files are opened close-on-exec: a program the run starts inherits none.
TEST_F(FilesTest, FilesAreClosedOnExec) {
    const std::string p = write_raw("in", "x\n");
    InputFile in;
    std::string why;
    ASSERT_TRUE(in.open(p, why));
    OutputFile out;
    out.create(path("out"));
    const std::string listing = path("inherited");
    const std::string cmd = "ls -l /proc/$$/fd/ > '" + listing + "'";
    ASSERT_EQ(std::system(cmd.c_str()), 0);
    const std::string held = read_raw(listing);
    EXPECT_EQ(held.find(p + "\n"), std::string::npos) << held;
    EXPECT_EQ(held.find(path("out") + "\n"), std::string::npos) << held;
}

TEST_F(FilesTest, LineNumbersCountFromTheOpenOrRewind) {
    InputFile in;
    std::string why;
    ASSERT_TRUE(in.open(write_raw("n", "a\n" + pattern(200000) + "\nc"), why));
    std::string_view line;
    EXPECT_EQ(in.line_number(), 0);
    for (long k = 1; k <= 3; ++k) {
        ASSERT_EQ(in.next_line(line, 5), ReadStatus::ok);
        EXPECT_EQ(in.line_number(), k);
    }
    EXPECT_EQ(in.next_line(line, 5), ReadStatus::end);
    EXPECT_EQ(in.line_number(), 3);
    in.rewind();
    EXPECT_EQ(in.line_number(), 0);
    ASSERT_EQ(in.next_line(line, 5), ReadStatus::ok);
    EXPECT_EQ(in.line_number(), 1);
}

}  // namespace
}  // namespace celltrend
