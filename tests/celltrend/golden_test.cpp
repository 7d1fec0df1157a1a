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
};

// Per quantity: "n" to the all-parameters question, "y" to each of the eight
// quantities, then "n" to each of the eight plot offers.
void PrintTo(const GoldenRun& run, std::ostream* os) { *os << run.name; }

constexpr const char* each_quantity = "n\ny\ny\ny\ny\ny\ny\ny\ny\nn\nn\nn\nn\nn\nn\nn\nn\n";

const GoldenRun golden_runs[] = {
    {"plain_all", "buffer_plain.txt", "y\n"},
    {"plain_each", "buffer_plain.txt", each_quantity},
    {"matrix_all", "buffer_matrix.txt", "y\n"},
    {"matrix_each", "buffer_matrix.txt", each_quantity},
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

TEST_P(Golden, ExampleSeriesGivesTheCommittedOutputs) {
    const GoldenRun& run = GetParam();
    const fs::path examples = fs::path(CELLTREND_SOURCE_DIR) / "examples";
    const fs::path golden = fs::path(CELLTREND_SOURCE_DIR) / "tests" / "celltrend" / "golden" / run.name;
    ASSERT_TRUE(fs::is_directory(golden)) << golden;

    RunDir d;
    for (const auto& entry : fs::directory_iterator(examples))
        if (entry.path().extension() == ".html" || entry.path().filename() == run.buffer)
            fs::copy_file(entry.path(), d.path() / entry.path().filename());
    const RunResult r = d.run(std::string(run.buffer) + "\n" + run.answers);
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

INSTANTIATE_TEST_SUITE_P(ExampleSeries, Golden, ::testing::ValuesIn(golden_runs),
                         [](const ::testing::TestParamInfo<GoldenRun>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace celltrend::testing
