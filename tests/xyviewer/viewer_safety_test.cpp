// The built xyviewer against failing disks, planted links, its own input as
// output, text that is not UTF-8 and a file without line ends.

#include <gtest/gtest.h>

#include <string>

#include "support/sample_files.hpp"
#include "viewer_process.hpp"

using namespace xyviewer_test;

namespace {

// xyviewer under a file-size limit of 2 KiB, with SIGXFSZ ignored as a
// full disk would leave it: writes beyond the limit fail with EFBIG.
ViewerRun run_limited(const std::vector<std::string>& args, const fs::path& dir) {
    std::string command = "ulimit -f 4 && trap '' XFSZ && exec '" + std::string(XYVIEWER_EXE) + "'";
    for (const std::string& a : args) command += " '" + a + "'";
    const pid_t pid = spawn({"/bin/sh", "-c", command}, no_display, dir, dir / "viewer.out", dir / "viewer.err");
    ViewerRun run;
    if (pid < 0 || !wait_for(pid, run.status, std::chrono::minutes(2))) return run;
    run.out = slurp(dir / "viewer.out");
    run.err = slurp(dir / "viewer.err");
    return run;
}

std::size_t files_in(const fs::path& dir) {
    std::size_t n = 0;
    for ([[maybe_unused]] const auto& e : fs::directory_iterator(dir)) ++n;
    return n;
}

}  // namespace

TEST(ViewerSafety, FailedWriteIsAnErrorAndLeavesTheOldFileAlone) {
    for (const char* name : {"a.png", "a.svg", "a.pdf"}) {
        SCOPED_TRACE(name);
        ScratchDir dir;
        write_file(dir.path / "TK_cell_a.pgf", plain_cell_a);
        write_file(dir.path / name, "the picture of an earlier run\n");
        const ViewerRun run = run_limited({"-o", name, "TK_cell_a.pgf"}, dir.path);
        EXPECT_EQ(run.status, 1) << run.out << run.err;
        EXPECT_NE(run.err.find(name + std::string(": cannot write: File too large")), std::string::npos) << run.err;
        EXPECT_EQ(run.out.find("written to"), std::string::npos) << run.out;
        EXPECT_EQ(slurp(dir.path / name), "the picture of an earlier run\n");
        EXPECT_EQ(files_in(dir.path), 4u);  // plot file, picture, viewer.out, viewer.err: no leftover
    }
}

TEST(ViewerSafety, NeverWritesThroughALink) {
    ScratchDir dir;
    write_file(dir.path / "TK_cell_a.pgf", plain_cell_a);
    write_file(dir.path / "precious.txt", "keep me\n");
    fs::create_symlink("precious.txt", dir.path / "a.svg");
    fs::create_symlink("precious.txt", dir.path / "TK_cell_a.png");
    const ViewerRun explicit_output = run_viewer({"-o", "a.svg", "TK_cell_a.pgf"}, dir.path, no_display);
    EXPECT_EQ(explicit_output.status, 1);
    EXPECT_NE(explicit_output.err.find("a.svg: is a symbolic link"), std::string::npos) << explicit_output.err;
    const ViewerRun beside = run_viewer({"TK_cell_a.pgf"}, dir.path, no_display);
    EXPECT_EQ(beside.status, 1);
    EXPECT_EQ(slurp(dir.path / "precious.txt"), "keep me\n");
    EXPECT_TRUE(fs::is_symlink(dir.path / "a.svg"));
}

TEST(ViewerSafety, NeverReplacesThePlotFileWithItsOwnPicture) {
    ScratchDir dir;
    write_file(dir.path / "x.png", plain_cell_a);  // a plot file, whatever its name
    const ViewerRun beside = run_viewer({"x.png"}, dir.path, no_display);
    EXPECT_EQ(beside.status, 0) << beside.err;
    EXPECT_NE(beside.out.find("written to x.png.png"), std::string::npos) << beside.out;
    EXPECT_EQ(slurp(dir.path / "x.png"), plain_cell_a);
    fs::create_directories(dir.path / "sub");
    const ViewerRun named = run_viewer({"-o", "sub/../x.png", "x.png"}, dir.path, no_display);
    EXPECT_EQ(named.status, 2);
    EXPECT_NE(named.err.find("will not overwrite the plot file sub/../x.png"), std::string::npos) << named.err;
    EXPECT_EQ(slurp(dir.path / "x.png"), plain_cell_a);
}

TEST(ViewerSafety, TextThatIsNotUtf8NeverReachesTheTerminalRaw) {
    ScratchDir dir;
    std::string text(plain_cell_a);
    text.replace(text.find("NiO film"), 8, "Ni\xD6 \x1b]0;pwned\x07 film");
    text.replace(text.find("a(A)=f(T)"), 9, "a(\xC5)=f(T)\x1b[2J");
    write_file(dir.path / "latin1.pgf", text);
    const ViewerRun run = run_viewer({"-o", "l.svg", "latin1.pgf"}, dir.path, no_display);
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out.find('\x1b'), std::string::npos) << run.out;
    EXPECT_EQ(run.out.find('\x07'), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("Ni\xEF\xBF\xBD \xEF\xBF\xBD]0;pwned\xEF\xBF\xBD film"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("a(\xEF\xBF\xBD)=f(T)\xEF\xBF\xBD[2J"), std::string::npos) << run.out;
    EXPECT_EQ(slurp(dir.path / "l.svg").find('\x1b'), std::string::npos);
}

TEST(ViewerSafety, FileWithoutLineEndsEndsInOneMessage) {
    ScratchDir dir;
    const ViewerRun run = run_viewer({"/dev/zero"}, dir.path, no_display);
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("/dev/zero:1: not a plot file line: longer than 4096 characters"), std::string::npos)
        << run.err;
}

TEST(ViewerSafety, ReadErrorIsAMessageNotACrash) {
    // Reading /proc/self/mem from its start fails with EIO.
    ScratchDir dir;
    const ViewerRun run = run_viewer({"/proc/self/mem"}, dir.path, no_display);
    EXPECT_EQ(run.status, 1) << run.err;
    EXPECT_NE(run.err.find("xyviewer: /proc/self/mem: read error after line 0"), std::string::npos) << run.err;
}

TEST(ViewerSafety, SummaryThatCannotBeWrittenIsAnError) {
    ScratchDir dir;
    write_file(dir.path / "TK_cell_a.pgf", plain_cell_a);
    const std::vector<std::vector<std::string>> commands{{"-o", "a.svg", "TK_cell_a.pgf"}, {"--help"}, {"--version"}};
    for (std::vector<std::string> args : commands) {
        SCOPED_TRACE(args.front());
        args.insert(args.begin(), XYVIEWER_EXE);
        const pid_t pid = spawn(args, no_display, dir.path, "/dev/full", dir.path / "viewer.err");
        int status = -1;
        ASSERT_TRUE(pid > 0 && wait_for(pid, status, std::chrono::minutes(2)));
        EXPECT_EQ(status, 1);
        EXPECT_EQ(slurp(dir.path / "viewer.err"),
                  "xyviewer: cannot write to standard output: No space left on device\n");
    }
}

TEST(ViewerSafety, AFileNameThatIsNotUtf8NamesItsSeriesReplaced) {
    // A series without a title is named after its file in a normalised
    // figure; PLplot refused the raw name and echoed it to the terminal.
    ScratchDir dir;
    const std::string name = "b\xC5\x1b.pgf";
    write_file(dir.path / name, "100 5.0 0.1\n200 5.5 0.1\n300 5.9 0.1\n# END OF FILE\n");
    const ViewerRun run = run_viewer({"--normalise", "-o", "n.svg", name}, dir.path, no_display);
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "");
    EXPECT_NE(slurp(dir.path / "n.svg").find("&#xfffd;&#xfffd;&#x2e;&#x70;"), std::string::npos);
}
