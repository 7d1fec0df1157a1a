// The built xyviewer against what the world outside does to a run: a
// file-size limit with its signal at the default, standard output a pipe
// whose reader has gone, a private picture replaced by -o.

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/stat.h>

#include <cstdint>
#include <string>
#include <vector>

#include "support/sample_files.hpp"
#include "support/shell_run.hpp"
#include "viewer_process.hpp"

using namespace xyviewer_test;
using celltrend::testing::quoted;
using celltrend::testing::run_shell;
using celltrend::testing::ShellResult;
using celltrend::testing::StandardOutput;

namespace {

const std::string viewer = "exec env -u DISPLAY -u WAYLAND_DISPLAY " + quoted(XYVIEWER_EXE);

TEST(ViewerReliability, FileSizeLimitIsAFailedWrite) {
    ScratchDir dir;
    write_file(dir.path / "TK_cell_a.pgf", plain_cell_a);
    const ShellResult r = run_shell(dir.path, "ulimit -f 4; " + viewer + " -o a.png TK_cell_a.pgf");
    EXPECT_EQ(r.status, 1) << r.err;
    EXPECT_NE(r.err.find("a.png: cannot write: File too large"), std::string::npos) << r.err;
    EXPECT_FALSE(fs::exists(dir.path / "a.png"));
    std::size_t entries = 0;
    for ([[maybe_unused]] const auto& e : fs::directory_iterator(dir.path)) ++entries;
    EXPECT_EQ(entries, 1u);  // the plot file alone: no temporary picture left
}

// "xyviewer -o a.png ... | head -c 0": the summary is lost, the picture is not.
TEST(ViewerReliability, ClosedStandardOutputStillWritesThePicture) {
    ScratchDir dir;
    write_file(dir.path / "TK_cell_a.pgf", plain_cell_a);
    const ShellResult r = run_shell(dir.path, viewer + " -o a.svg TK_cell_a.pgf", "", StandardOutput::closed_pipe);
    EXPECT_EQ(r.status, 1) << r.err;
    EXPECT_NE(r.err.find("cannot write to standard output: Broken pipe"), std::string::npos) << r.err;
    EXPECT_NE(slurp(dir.path / "a.svg").find("<svg"), std::string::npos);
}

TEST(ViewerReliability, ReplacedPictureKeepsItsPermissions) {
    ScratchDir dir;
    write_file(dir.path / "TK_cell_a.pgf", plain_cell_a);
    write_file(dir.path / "a.svg", "an earlier picture\n");
    fs::permissions(dir.path / "a.svg", fs::perms::owner_read | fs::perms::owner_write);
    const ShellResult r = run_shell(dir.path, "umask 022; " + viewer + " -o a.svg TK_cell_a.pgf");
    ASSERT_EQ(r.status, 0) << r.err;
    struct stat st {};
    ASSERT_EQ(::stat((dir.path / "a.svg").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
    EXPECT_NE(slurp(dir.path / "a.svg").find("<svg"), std::string::npos);
}

// A page too small for its panels is refused before any drawing, in
// millimetres and, for a picture of pixels, in pixels, whatever --dpi says.
TEST(ViewerReliability, APageTooSmallForItsPanelsIsRefused) {
    ScratchDir dir;
    std::string nine;
    for (int k = 0; k < 9; ++k) {
        write_file(dir.path / ("p" + std::to_string(k) + ".pgf"), plain_cell_a);
        nine += " p" + std::to_string(k) + ".pgf";
    }
    struct Case {
        std::string args;
        std::string message;
    };
    const std::vector<Case> cases = {
        {"--size 30x20mm -o a.svg" + nine,
         "xyviewer: the page gives each panel 10 x 7 mm, less than the 20 x 15 mm a panel needs"},
        {"--size 30x20mm -o a.png" + nine,
         "xyviewer: the page gives each panel 10 x 7 mm, less than the 20 x 15 mm a panel needs"},
        {"--size 20x15mm --dpi 20 -o a.png p0.pgf",
         "xyviewer: the picture gives each panel 16 x 16 pixels, less than the 160 x 120 a panel needs"},
        // --dpi alone scales the page: 80 x 60 pixels a panel at 10 dpi.
        {"--dpi 10 -o a.png" + nine,
         "xyviewer: the picture gives each panel 80 x 60 pixels, less than the 160 x 120 a panel needs"},
        {"--dpi 20 -o a.png" + nine, ""},  // 160 x 120 pixels a panel: drawn
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args);
        const ShellResult r = run_shell(dir.path, viewer + " " + c.args);
        if (c.message.empty()) {
            EXPECT_EQ(r.status, 0) << r.err;
            continue;
        }
        EXPECT_EQ(r.status, 2) << r.err;
        EXPECT_TRUE(r.err.starts_with(c.message)) << r.err;
        EXPECT_FALSE(fs::exists(dir.path / "a.svg"));
        EXPECT_FALSE(fs::exists(dir.path / "a.png"));
    }
}

// A display server that takes the connection and never answers: a socket
// that listens and never accepts.  The PNG beside the plot file follows, as
// for a display that is not there, within a few seconds.
TEST(ViewerReliability, ADisplayThatNeverAnswersGivesThePicture) {
    const int listener = ::socket(AF_INET, SOCK_STREAM, 0);
    ASSERT_GE(listener, 0);
    int number = -1;
    for (int n = 40; n < 100 && number < 0; ++n) {
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(static_cast<std::uint16_t>(6000 + n));
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        if (::bind(listener, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0) number = n;
    }
    ASSERT_GE(number, 0) << "no free port for a display";
    ASSERT_EQ(::listen(listener, 4), 0);
    ScratchDir dir;
    write_file(dir.path / "TK_cell_a.pgf", plain_cell_a);
    const std::string display = "127.0.0.1:" + std::to_string(number);
    const pid_t pid = spawn({XYVIEWER_EXE, "TK_cell_a.pgf"}, {{"DISPLAY", display}, {"WAYLAND_DISPLAY", std::nullopt}},
                            dir.path, dir.path / "viewer.out", dir.path / "viewer.err");
    ASSERT_GT(pid, 0);
    int status = -1;
    const bool ended = wait_for(pid, status, std::chrono::seconds(60));
    if (!ended) {
        ::kill(pid, SIGKILL);
        ::waitpid(pid, nullptr, 0);
    }
    ::close(listener);
    ASSERT_TRUE(ended) << "xyviewer waited on the display";
    EXPECT_EQ(status, 0) << slurp(dir.path / "viewer.err");
    EXPECT_NE(slurp(dir.path / "viewer.out")
                  .find("written to TK_cell_a.png (display \"" + display + "\" did not answer within 5 seconds)"),
              std::string::npos)
        << slurp(dir.path / "viewer.out");
    EXPECT_TRUE(fs::exists(dir.path / "TK_cell_a.png"));
}

// Values at the edge of a double: a series spanning more than its range, or
// one divided by a subnormal first value, is refused or left out by name,
// never drawn as a blank or garbled picture reported as written.
TEST(ViewerReliability, ValuesAtTheEdgeOfADouble) {
    ScratchDir dir;
    std::string big(plain_cell_a), tiny(plain_cell_a);
    big.replace(big.find("             7.50000"), 20, "              1e308");
    big.replace(big.find("             7.51000"), 20, "             -1e308");
    tiny.replace(tiny.find("             7.50000"), 20, "             4e-320");
    write_file(dir.path / "big.pgf", big);
    write_file(dir.path / "tiny.pgf", tiny);
    write_file(dir.path / "a.pgf", plain_cell_a);
    struct Case {
        std::string args;
        int status;
        std::string err;  // found in standard error
        bool drawn;
    };
    const std::vector<Case> cases = {
        {"-o out.svg big.pgf", 1,
         "xyviewer: big.pgf: a (Å): the values span more than the range of a double (-1e+308 at x = 200, 1e+308 "
         "at x = 100); nothing drawn",
         false},
        {"--normalise -o out.svg tiny.pgf a.pgf", 0,
         "xyviewer: warning: tiny.pgf: a divided by its first value 3.99996e-320 leaves the range of a double at x = "
         "100; left out of the normalised figure",
         true},
        {"--normalise -o out.svg tiny.pgf", 1, "xyviewer: nothing to plot: no series can be divided by its first value",
         false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args);
        fs::remove(dir.path / "out.svg");
        const ShellResult r = run_shell(dir.path, viewer + " " + c.args);
        EXPECT_EQ(r.status, c.status) << r.err;
        EXPECT_NE(r.err.find(c.err), std::string::npos) << r.err;
        EXPECT_EQ(fs::exists(dir.path / "out.svg"), c.drawn);
    }
}

// As a text editor may save a plot file.
TEST(ViewerReliability, AByteOrderMarkIsNotPartOfTheFirstLine) {
    ScratchDir dir;
    write_file(dir.path / "TK_cell_a.pgf", "\xEF\xBB\xBF" + std::string(plain_cell_a));
    const ShellResult r = run_shell(dir.path, viewer + " -o a.svg TK_cell_a.pgf");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(r.out.starts_with("TK_cell_a.pgf: NiO film, cooling run\n")) << r.out;
    EXPECT_NE(r.out.find("points plotted   : 3"), std::string::npos) << r.out;
}

}  // namespace
