// The reader on plot files written by celltrend itself from the example
// series: the plain run, the transformed run (no SIGY) and its mosaicity
// (which keeps its SIGY).

#include <gtest/gtest.h>

#include "formats/plot_file_reader.hpp"
#include "summary.hpp"
#include "support/sample_files.hpp"
#include "viewer_process.hpp"

using namespace xyviewer_test;

namespace {

// Runs celltrend in `dir` on `buffer`, selecting every quantity one by one
// and declining every plot offer.
int run_celltrend(const fs::path& dir, const std::string& buffer) {
    for (const auto& entry : fs::directory_iterator(fs::path(CELLTREND_SOURCE_DIR) / "examples"))
        if (entry.is_regular_file())
            fs::copy_file(entry.path(), dir / entry.path().filename(), fs::copy_options::overwrite_existing);
    std::string answers = buffer + "\nn\n";
    for (int i = 0; i < 8; ++i) answers += "y\n";
    for (int i = 0; i < 8; ++i) answers += "n\n";
    write_file(dir / "answers.txt", answers);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, (dir / "answers.txt").c_str(), O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, (dir / "celltrend.out").c_str(), O_WRONLY | O_CREAT, 0644);
    posix_spawn_file_actions_addchdir_np(&actions, dir.c_str());
    char* argv[] = {const_cast<char*>(CELLTREND_EXE), nullptr};
    pid_t pid = -1;
    const int rc = posix_spawn(&pid, CELLTREND_EXE, &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    if (rc != 0) return -1;
    int status = -1;
    if (!wait_for(pid, status, std::chrono::minutes(2))) {
        kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);
    }
    return status;
}

}  // namespace

TEST(CelltrendFiles, PlainRunGivesSixteenPointsWithSigy) {
    ScratchDir dir;
    ASSERT_EQ(run_celltrend(dir.path, "buffer_plain.txt"), 0) << slurp(dir.path / "celltrend.out");
    for (const char* name : {"TK_cell_a.pgf", "TK_cell_beta.pgf", "TK_volume.pgf", "TK_mosaicity.pgf"}) {
        SCOPED_TRACE(name);
        const formats::PlotFile f = formats::read_plot_file((dir.path / name).string());
        ASSERT_EQ(f.patterns.size(), 1u);
        const auto& p = f.patterns[0];
        EXPECT_EQ(p.announced_points, 16);
        ASSERT_EQ(p.points.size(), 16u);
        EXPECT_DOUBLE_EQ(p.points.front().x, 100.0);
        EXPECT_DOUBLE_EQ(p.points.back().x, 400.0);
        for (const auto& pt : p.points) EXPECT_TRUE(pt.y.sigma > 0);
        EXPECT_TRUE(f.has_end_line);
        EXPECT_TRUE(f.warnings.empty());
        EXPECT_EQ(f.x_legend, "Temperature (K)");
    }
    // The example's a expands by about 28e-6 per K at 100 K, more when warm.
    const formats::PlotFile a = formats::read_plot_file((dir.path / "TK_cell_a.pgf").string());
    const fit::RelativeExpansion e =
        fit::relative_expansion(fit::fit_line(a.patterns[0].points), formats::QuantityKind::length);
    ASSERT_TRUE(e.given);
    EXPECT_GT(e.coefficient.value, 20.0);
    EXPECT_LT(e.coefficient.value, 60.0);
}

TEST(CelltrendFiles, TransformedRunHasNoSigyButMosaicityKeepsIt) {
    ScratchDir dir;
    ASSERT_EQ(run_celltrend(dir.path, "buffer_matrix.txt"), 0) << slurp(dir.path / "celltrend.out");
    const formats::PlotFile a = formats::read_plot_file((dir.path / "TK_cell_a_transf.pgf").string());
    ASSERT_EQ(a.patterns.size(), 1u);
    EXPECT_FALSE(a.patterns[0].declares_sigy);
    ASSERT_EQ(a.patterns[0].points.size(), 16u);
    for (const auto& pt : a.patterns[0].points) EXPECT_FALSE(pt.y.has_sigma());
    EXPECT_NEAR(a.patterns[0].points.front().y.value, 13.49, 0.1);  // new a = a + c

    const formats::PlotFile m = formats::read_plot_file((dir.path / "TK_mosaicity.pgf").string());
    ASSERT_EQ(m.patterns.size(), 1u);
    EXPECT_TRUE(m.patterns[0].declares_sigy);
    ASSERT_EQ(m.patterns[0].points.size(), 16u);
    for (const auto& pt : m.patterns[0].points) EXPECT_TRUE(pt.y.has_sigma());
}
