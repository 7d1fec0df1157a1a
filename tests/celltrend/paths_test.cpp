// Paths in names read list-style: a slash inside a name is part of it, and a
// report is found beside its buffer file.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "list_input.hpp"
#include "support/run_dir.hpp"

namespace celltrend::testing {
namespace {

namespace fs = std::filesystem;

TEST(ListPaths, SlashesInsideANameArePartOfIt) {
    constexpr float untouched = -777.0f;
    struct Case {
        std::string record;
        std::string name;
        float tk;
    };
    const std::vector<Case> cases = {
        {"data/nreport_100K.html 100", "data/nreport_100K.html", 100},
        {"../series/buffer.txt 5", "../series/buffer.txt", 5},
        {"/home/me/run.html\t120.5", "/home/me/run.html", 120.5f},
        {"//server/x.html,7", "//server/x.html", 7},
        {"name/ 100", "name", untouched},  // a slash after the name still ends the read
        {"name/,100", "name", untouched},
        {"name/", "name", untouched},
        {"/", "kept", untouched},  // keeps the previous answer
        {"/ 100", "kept", untouched},
        {"a/b/ 100", "a/b", untouched},
        {"'a/b c' 100", "a/b c", 100},
    };
    for (const Case& c : cases) {
        std::string name = "kept";
        float tk = untouched;
        const std::vector<ListItem> items = {&name, &tk};
        EXPECT_EQ(list_read(c.record, items), ListStatus::ok) << c.record;
        EXPECT_EQ(name, c.name) << c.record;
        EXPECT_EQ(tk, c.tk) << c.record;
    }
    // Numbers are unchanged: a slash right after one ends the read.
    float t = untouched, u = untouched;
    const std::vector<ListItem> reals = {&t, &u};
    EXPECT_EQ(list_read("100/200", reals), ListStatus::ok);
    EXPECT_EQ(t, 100);
    EXPECT_EQ(u, untouched);
}

std::string slurp(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The example series in a folder of its own: the buffer file named with its
// path at the prompt, its reports beside it, and a second buffer file that
// names them by a path from the working directory.
TEST(ListPaths, SeriesInAnotherFolder) {
    RunDir d;
    const fs::path examples = fs::path(CELLTREND_SOURCE_DIR) / "examples";
    fs::create_directories(d.path() / "series");
    for (const auto& entry : fs::directory_iterator(examples))
        if (entry.is_regular_file()) fs::copy_file(entry.path(), d.path() / "series" / entry.path().filename());
    const std::string golden =
        slurp(fs::path(CELLTREND_SOURCE_DIR) / "tests/celltrend/golden/plain_all/TK_parameters_HTML.xy");

    RunResult r = d.run("series/buffer_plain.txt\ny\n");
    EXPECT_EQ(r.status, 0) << r.out;
    EXPECT_EQ(d.read("TK_parameters_HTML.xy"), golden);
    EXPECT_EQ(r.err.find("celltrend: series/buffer_plain.txt, line 3: nreport_100K.html is not in the working "
                         "directory; series/nreport_100K.html, beside the buffer file, is read\n"),
              0u)
        << r.err;
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 16);

    // The same reports named with their folder, from the working directory.
    std::string buffer = d.read("series/buffer_plain.txt");
    for (std::size_t at = 0; (at = buffer.find("nreport_", at)) != std::string::npos; at += 15)
        buffer.insert(at, "series/");
    d.write("paths.txt", buffer);
    fs::remove(d.path() / "TK_parameters_HTML.xy");
    r = d.run("./paths.txt\ny\n");
    EXPECT_EQ(r.status, 0) << r.out;
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(d.read("TK_parameters_HTML.xy"), golden);

    // A report in neither place is still missing, under the name the buffer file gives.
    d.write("series/short.txt", "T\nS\nnowhere.html 100\n");
    r = d.run("series/short.txt\ny\n");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.out.find(" !! nowhere.html does not exist !!"), std::string::npos) << r.out;
}

}  // namespace
}  // namespace celltrend::testing
