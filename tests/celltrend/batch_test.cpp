// celltrend's options: what they ask of the dialogue, and runs from a
// script with --plot, names holding blanks and slashes, and wrong options.

#include "batch.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/run_dir.hpp"

namespace celltrend::testing {
namespace {

Invocation read(const std::vector<std::string_view>& args) { return read_invocation(args); }

TEST(Options, AnswersInTheDialoguesOrder) {
    Invocation run = read({"--buffer", "series.txt", "--all"});
    ASSERT_EQ(run.kind, Invocation::batch);
    EXPECT_EQ(scripted_answers(run), "\"series.txt\"\ny\n");

    run = read({"--quantities=volume,a", "--plot", "--buffer=my \"best\" run/b.txt"});
    ASSERT_EQ(run.kind, Invocation::batch);
    // n to all parameters; a and volume of the eight; the two plot offers.
    EXPECT_EQ(scripted_answers(run), "\"my \"\"best\"\" run/b.txt\"\nn\ny\nn\nn\nn\nn\nn\ny\nn\ny\ny\n");

    run = read({"--buffer", "s", "--quantities", "cell_b,mosaicity"});
    ASSERT_EQ(run.kind, Invocation::batch);
    EXPECT_EQ(scripted_answers(run), "\"s\"\nn\nn\ny\nn\nn\nn\nn\nn\ny\nn\nn\n");

    EXPECT_EQ(read({}).kind, Invocation::dialogue);
    EXPECT_EQ(read({"--help"}).kind, Invocation::help);
    EXPECT_EQ(read({"--version"}).kind, Invocation::version);
}

TEST(Options, WrongOnesAreNamed) {
    struct Case {
        std::vector<std::string_view> args;
        std::string why;
    };
    const Case cases[] = {
        {{"series.txt"}, "unknown argument 'series.txt'"},
        {{"--all"}, "--all, --quantities and --plot go with --buffer FILE"},
        {{"--buffer", "s"}, "--buffer needs either --all or --quantities LIST"},
        {{"--buffer", "s", "--all", "--quantities", "a"}, "--buffer needs either --all or --quantities LIST"},
        {{"--buffer", "s", "--all", "--plot"}, "--plot goes with --quantities: the table is not plotted"},
        {{"--buffer", "s", "--quantities", "a,,b"},
         "--quantities: unknown quantity '' (a, b, c, alpha, beta, gamma, volume or V, mosaicity)"},
        {{"--buffer"}, "option '--buffer' needs a value"},
        {{"--buffer=", "--all"}, "option '--buffer' needs a value"},
        {{"--all=yes", "--buffer", "s"}, "option '--all' takes no value"},
        {{"--buffer", "a\nb", "--all"}, "--buffer: the name of a file on one line"},
        {{"--buffer", "s", "--all", "--help"}, "option '--help' stands alone"},
    };
    for (const Case& c : cases) {
        const Invocation run = read(c.args);
        EXPECT_EQ(run.kind, Invocation::wrong) << c.why;
        EXPECT_EQ(run.why, c.why);
    }
}

// --plot starts the viewer on every plot file without asking; a buffer file
// in a folder whose name holds a blank is read through the path given.
TEST(Options, PlotFromAScript) {
    RunDir d;
    d.write("bin/xyviewer", "#!/bin/sh\necho \"$1\" >> launches.log\n");
    std::filesystem::permissions(d.path() / "bin/xyviewer", std::filesystem::perms::owner_all);
    d.write("my series/series.txt", "Title\nsecond\n");
    const RunResult r = d.run("", "PATH='" + (d.path() / "bin").string() + "':\"$PATH\"",
                              "--buffer 'my series/series.txt' --quantities a,mosaicity --plot");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(d.read("launches.log"), "TK_cell_a.pgf\nTK_mosaicity.pgf\n");

    const RunResult missing = d.run("", "", "--buffer nothere.txt --all");
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(missing.err, "celltrend: nothere.txt: does not exist\n");
    EXPECT_EQ(missing.out, "");
    const RunResult wrong = d.run("", "", "--buffer x --all --plot");
    EXPECT_EQ(wrong.status, 2);
    EXPECT_TRUE(wrong.err.starts_with("celltrend: --plot goes with --quantities")) << wrong.err;
}

// What a script meets: a viewer that fails or is missing is named with its
// status (and the run's status is 1, the other offers still made); a folder
// given as the buffer file is called one; V names the volume as in
// xyviewer --column; a closed standard input is a read error, not a library
// message.
TEST(Options, FailuresAScriptLearnsOf) {
    RunDir d;
    d.write("bin/xyviewer", "#!/bin/sh\necho \"$1\" >> launches.log\nexit 3\n");
    std::filesystem::permissions(d.path() / "bin/xyviewer", std::filesystem::perms::owner_all);
    d.write("series.txt", "Title\nsecond\n");
    const std::string path = "PATH='" + (d.path() / "bin").string() + "':\"$PATH\"";
    const RunResult failing = d.run("", path, "--buffer series.txt --quantities a,V --plot");
    EXPECT_EQ(failing.status, 1);
    EXPECT_EQ(d.read("launches.log"), "TK_cell_a.pgf\nTK_volume.pgf\n");
    EXPECT_EQ(failing.err,
              "celltrend: TK_cell_a.pgf: the viewer (xyviewer TK_cell_a.pgf) ended with status 3\n"
              "celltrend: TK_volume.pgf: the viewer (xyviewer TK_volume.pgf) ended with status 3\n");

    const RunResult missing = d.run("", "PATH=/nonexistent", "--buffer series.txt --quantities b --plot");
    EXPECT_EQ(missing.status, 1);
    EXPECT_NE(missing.err.find("celltrend: TK_cell_b.pgf: the viewer (xyviewer TK_cell_b.pgf) was not found"),
              std::string::npos)
        << missing.err;

    std::filesystem::create_directory(d.path() / "folder");
    const RunResult folder = d.run("", "", "--buffer folder --all");
    EXPECT_EQ(folder.status, 1);
    EXPECT_EQ(folder.err, "celltrend: folder: is a directory, not a buffer file\n");

    // The helper's own "< .stdin" would reopen standard input: the
    // descriptor is closed inside a shell of the command instead.
    const RunResult closed = d.run("", "sh -c 'exec \"$0\" <&-'");
    EXPECT_EQ(closed.status, 1);
    EXPECT_EQ(closed.err, "celltrend: standard input, line 1: cannot be read: Bad file descriptor\n");
    EXPECT_EQ(closed.out.find("basic_filebuf"), std::string::npos);
}

}  // namespace
}  // namespace celltrend::testing
