// The example series (examples/) run end to end and compared byte for byte
// with the outputs committed under tests/celltrend/golden/: the console and every file
// the run writes.  A change of output shows there as a diff of those files;
// tests/celltrend/golden/make_golden.sh rewrites them from a build when the change is meant.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <ostream>
#include <set>
#include <string>

#include "support/run_dir.hpp"

namespace celltrend::testing {
namespace {

namespace fs = std::filesystem;

struct GoldenRun {
    const char* name;    // the folder under tests/celltrend/golden
    const char* buffer;  // the buffer file in examples/
    const char* answers;
    const char* options;  // the same answers as celltrend's options
};

// Per quantity: "n" to the all-parameters question, "y" to each of the eight
// quantities, then "n" to each of the eight plot offers.
void PrintTo(const GoldenRun& run, std::ostream* os) { *os << run.name; }

constexpr const char* each_quantity = "n\ny\ny\ny\ny\ny\ny\ny\ny\nn\nn\nn\nn\nn\nn\nn\nn\n";
constexpr const char* every_quantity = "--quantities a,b,c,alpha,beta,gamma,volume,mosaicity";

const GoldenRun golden_runs[] = {
    {"plain_all", "buffer_plain.txt", "y\n", "--buffer buffer_plain.txt --all"},
    {"plain_each", "buffer_plain.txt", each_quantity, every_quantity},
    {"matrix_all", "buffer_matrix.txt", "y\n", "--all --buffer=buffer_matrix.txt"},
    {"matrix_each", "buffer_matrix.txt", each_quantity, every_quantity},
};

std::string slurp(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Where two texts part: the line number and both lines, for a readable failure.
std::string first_difference(const std::string& want, const std::string& got) {
    std::size_t line = 1, start = 0;
    for (std::size_t i = 0; i < want.size() && i < got.size() && want[i] == got[i]; ++i)
        if (want[i] == '\n') ++line, start = i + 1;
    const auto line_at = [start](const std::string& s) { return s.substr(start, s.find('\n', start) - start); };
    return "line " + std::to_string(line) + "\n  want: " + line_at(want) + "\n  got:  " + line_at(got) + "\n  (sizes " +
           std::to_string(want.size()) + " and " + std::to_string(got.size()) + ")";
}

class Golden : public ::testing::TestWithParam<GoldenRun> {};

// Runs celltrend on the example series with `input` and `args` and compares
// the console and every file with the golden ones.
void expect_golden_outputs(const GoldenRun& run, const std::string& input, const std::string& args) {
    const fs::path examples = fs::path(CELLTREND_SOURCE_DIR) / "examples";
    const fs::path golden = fs::path(CELLTREND_SOURCE_DIR) / "tests" / "celltrend" / "golden" / run.name;
    ASSERT_TRUE(fs::is_directory(golden)) << golden;

    RunDir d;
    for (const auto& entry : fs::directory_iterator(examples))
        if (entry.path().extension() == ".html" || entry.path().filename() == run.buffer)
            fs::copy_file(entry.path(), d.path() / entry.path().filename());
    const RunResult r = d.run(input, "", args);
    EXPECT_EQ(r.status, 0);

    std::set<std::string> expected_outputs;
    for (const auto& entry : fs::directory_iterator(golden)) {
        const std::string name = entry.path().filename().string();
        const std::string want = slurp(entry.path());
        const std::string got = name == "console.txt" ? r.out : d.read(name);
        if (name != "console.txt") expected_outputs.insert(name);
        EXPECT_TRUE(want == got) << run.name << "/" << name << " differs at " << first_difference(want, got);
    }
    std::set<std::string> written;
    for (const auto& entry : fs::directory_iterator(d.path()))
        if (entry.path().filename().string().starts_with("TK_")) written.insert(entry.path().filename().string());
    EXPECT_EQ(written, expected_outputs);
}

TEST_P(Golden, ExampleSeriesGivesTheCommittedOutputs) {
    const GoldenRun& run = GetParam();
    expect_golden_outputs(run, std::string(run.buffer) + "\n" + run.answers, "");
}

// From a script: the options answer the same questions, the same console and
// files follow, and standard input (here answers that would lead elsewhere)
// is not read.
TEST_P(Golden, OptionsGiveTheDialoguesOutputs) {
    const GoldenRun& run = GetParam();
    std::string args = run.options;
    if (args == every_quantity) args = std::string("--buffer ") + run.buffer + " " + args;
    expect_golden_outputs(run, "nothere\nn\nn\n", args);
}

INSTANTIATE_TEST_SUITE_P(ExampleSeries, Golden, ::testing::ValuesIn(golden_runs),
                         [](const ::testing::TestParamInfo<GoldenRun>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace celltrend::testing
