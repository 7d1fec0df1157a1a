// celltrend-analyse transform run end to end on celltrend's tables of the
// example series, in scratch directories.

#include <sys/stat.h>

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "formats/series_table.hpp"
#include "support/analyse_run.hpp"

using namespace celltrend::testing;
using formats::Series;

namespace {

// A scratch copy of the example series with celltrend's plain table in it.
class TransformCommand : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(make_example_table(dir, "buffer_plain.txt"), 0); }

    Series read(const std::string& name) const { return formats::read_series((dir.path() / name).string()); }
    Series read_text(const std::string& text) const {
        std::istringstream in(text);
        return formats::read_series(in, "stdout");
    }
    // Files whose name holds `part`, temporary ones included.
    std::size_t files_named(const std::string& part) const {
        std::size_t n = 0;
        for (const auto& e : std::filesystem::directory_iterator(dir.path()))
            if (e.path().filename().string().find(part) != std::string::npos) ++n;
        return n;
    }

    RunDir dir;
};

// The nine numbers of the example buffer file's first temperature line.
std::string example_matrix() {
    std::ifstream in(std::string(CELLTREND_SOURCE_DIR) + "/examples/buffer_matrix.txt");
    std::string line;
    for (int i = 0; i < 3; ++i) std::getline(in, line);
    std::istringstream words(line);
    std::string report, tk, matrix, w;
    words >> report >> tk;
    while (words >> w) matrix += (matrix.empty() ? "" : " ") + w;
    return matrix;
}

}  // namespace

// celltrend computes its transformed cells in single precision and prints
// no ESDs; the same cells must come out here, with ESDs.  The volume's last
// printed digits are below the precision of celltrend's single-precision
// volume (about 1e-4 at 1000 A3), hence its wider tolerance.
TEST_F(TransformCommand, GivesTheCellsOfCelltrendsTransformedRunWithEsds) {
    ASSERT_EQ(example_matrix(), "1 0 1 0 1 0 -1 0 0");
    ASSERT_EQ(dir.run("buffer_matrix.txt\ny\n").status, 0);
    const AnalyseResult r =
        run_analyse(dir, "transform --matrix '" + example_matrix() + "' TK_parameters_HTML.xy -o new.xy");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "");

    const Series theirs = read("TK_parameters_transf_HTML.xy");
    const Series ours = read("new.xy");
    const Series source = read("TK_parameters_HTML.xy");
    ASSERT_EQ(ours.layout, formats::SeriesLayout::celltrend_table);
    ASSERT_EQ(ours.rows.size(), 16u);
    ASSERT_EQ(theirs.rows.size(), 16u);
    for (std::size_t i = 0; i < ours.rows.size(); ++i) {
        const formats::SeriesRow &o = ours.rows[i], &t = theirs.rows[i];
        EXPECT_EQ(o.t, t.t);
        EXPECT_NEAR(o.cell.a, t.cell.a, 3e-5) << o.t;
        EXPECT_NEAR(o.cell.b, t.cell.b, 3e-5) << o.t;
        EXPECT_NEAR(o.cell.c, t.cell.c, 3e-5) << o.t;
        EXPECT_NEAR(o.cell.alpha, t.cell.alpha, 3e-5) << o.t;
        EXPECT_NEAR(o.cell.beta, t.cell.beta, 3e-5) << o.t;
        EXPECT_NEAR(o.cell.gamma, t.cell.gamma, 3e-5) << o.t;
        EXPECT_NEAR(o.volume, t.volume, 3e-4) << o.t;
        EXPECT_EQ(o.mosaicity, t.mosaicity);
        EXPECT_EQ(o.mosaicity_esd, t.mosaicity_esd);
        // new b = b and new c = -a keep their ESDs; new a = a + c, with
        // a'² = a² + c² + 2ac cos β, takes (a + c cos β)/a' of σa,
        // (c + a cos β)/a' of σc and ac sin β/a' of σβ.
        const formats::SeriesRow& s = source.rows[i];
        EXPECT_EQ(o.esd.b, s.esd.b);
        EXPECT_EQ(o.esd.c, s.esd.a);
        const double rad = std::acos(-1.0) / 180, cb = std::cos(s.cell.beta * rad), sb = std::sin(s.cell.beta * rad);
        const double a_new = std::sqrt(s.cell.a * s.cell.a + s.cell.c * s.cell.c + 2 * s.cell.a * s.cell.c * cb);
        const double sigma_a_new =
            std::hypot((s.cell.a + s.cell.c * cb) * s.esd.a, (s.cell.c + s.cell.a * cb) * s.esd.c,
                       s.cell.a * s.cell.c * sb * s.esd.beta * rad) /
            a_new;
        EXPECT_NEAR(o.esd.a, sigma_a_new, 5.1e-6) << o.t;
    }

    const std::string text = dir.read("new.xy");
    EXPECT_TRUE(
        text.starts_with("! CT-17 monoclinic P21/c, cell from 100 K to 400 K\n"
                         "! Cell parameters and ESD in new axes a' = a + c, b' = b, c' = -a "
                         "(matrix 1 0 1 / 0 1 0 / -1 0 0), from TK_parameters_HTML.xy\n!\n"));
    EXPECT_EQ(ours.header.at(3), source.header.at(3));  // the column titles
}

// Determinant 1: the volume and its ESD (from the six cell ESDs) are those
// of the untransformed cell.
TEST_F(TransformCommand, ExampleMatrixKeepsTheVolumeAndItsEsd) {
    const AnalyseResult same = run_analyse(dir, "transform -m '1 0 0 0 1 0 0 0 1' TK_parameters_HTML.xy");
    const AnalyseResult moved = run_analyse(dir, "transform -m '1 0 1 0 1 0 -1 0 0' TK_parameters_HTML.xy");
    ASSERT_EQ(same.status, 0);
    ASSERT_EQ(moved.status, 0);
    const Series a = read_text(same.out), b = read_text(moved.out);
    ASSERT_EQ(a.rows.size(), 16u);
    ASSERT_EQ(b.rows.size(), 16u);
    for (std::size_t i = 0; i < a.rows.size(); ++i) {
        EXPECT_NEAR(b.rows[i].volume, a.rows[i].volume, 2e-5);
        EXPECT_NEAR(b.rows[i].volume_esd, a.rows[i].volume_esd, 1e-5);
        // and close to the report's own, which leaves out alpha and gamma
        EXPECT_NEAR(b.rows[i].volume_esd, read("TK_parameters_HTML.xy").rows[i].volume_esd, 2e-3);
    }
}

// C-centred to primitive: halves, determinant 1/2, so the volume and its
// ESD halve.
TEST_F(TransformCommand, FractionsAreAllowed) {
    const AnalyseResult whole = run_analyse(dir, "transform -m '1 0 0 0 1 0 0 0 1' TK_parameters_HTML.xy");
    const AnalyseResult half =
        run_analyse(dir, "transform --matrix='1/2 1/2 0, -1/2 1/2 0, 0 0 1' TK_parameters_HTML.xy");
    ASSERT_EQ(half.status, 0) << half.err;
    EXPECT_EQ(half.err, "");
    EXPECT_NE(half.out.find("a' = 1/2 a + 1/2 b, b' = -1/2 a + 1/2 b, c' = c"), std::string::npos);
    const Series a = read_text(whole.out), h = read_text(half.out);
    ASSERT_EQ(h.rows.size(), 16u);
    for (std::size_t i = 0; i < h.rows.size(); ++i) {
        EXPECT_NEAR(h.rows[i].volume, a.rows[i].volume / 2, 1e-5);
        EXPECT_NEAR(h.rows[i].volume_esd, a.rows[i].volume_esd / 2, 1e-5);
    }
}

TEST_F(TransformCommand, SingularMatrixWritesNothing) {
    const AnalyseResult r = run_analyse(dir, "transform -m '1 0 0 2 0 0 0 0 1' TK_parameters_HTML.xy -o new.xy");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_NE(r.err.find("singular"), std::string::npos) << r.err;
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1);
    EXPECT_FALSE(dir.exists("new.xy"));
}

TEST_F(TransformCommand, NegativeDeterminantWarnsAndWrites) {
    const AnalyseResult r = run_analyse(dir, "transform -m '0 1 0 1 0 0 0 0 1' TK_parameters_HTML.xy");
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.err.find("warning"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("left-handed"), std::string::npos) << r.err;
    const Series s = read_text(r.out), source = read("TK_parameters_HTML.xy");
    ASSERT_EQ(s.rows.size(), 16u);
    EXPECT_EQ(s.rows[0].cell.a, source.rows[0].cell.b);
    EXPECT_EQ(s.rows[0].esd.a, source.rows[0].esd.b);
    EXPECT_EQ(s.rows[0].esd.alpha, source.rows[0].esd.beta);
}

TEST_F(TransformCommand, ReadsStandardInput) {
    const AnalyseResult from_file = run_analyse(dir, "transform -m '1 0 1 0 1 0 -1 0 0' TK_parameters_HTML.xy");
    const AnalyseResult from_stdin =
        run_analyse(dir, "transform -m '1 0 1 0 1 0 -1 0 0' -", dir.read("TK_parameters_HTML.xy"));
    ASSERT_EQ(from_stdin.status, 0) << from_stdin.err;
    // Only the source named in the header differs.
    EXPECT_EQ(from_stdin.out.substr(from_stdin.out.find("\n!\n")), from_file.out.substr(from_file.out.find("\n!\n")));
}

TEST_F(TransformCommand, WrongArgumentsAreStatusTwo) {
    const char* cases[] = {
        "transform TK_parameters_HTML.xy",                                   // no matrix
        "transform -m '1 0 0 0 1 0 0 0' TK_parameters_HTML.xy",              // eight numbers
        "transform -m '1 0 0 0 1 0 0 0 1 0' TK_parameters_HTML.xy",          // ten
        "transform -m '1 0 0 0 x 0 0 0 1' TK_parameters_HTML.xy",            // not a number
        "transform -m '1/0 0 0 0 1 0 0 0 1' TK_parameters_HTML.xy",          // no fraction
        "transform -m '1/-2 0 0 0 1 0 0 0 1' TK_parameters_HTML.xy",         // the sign goes on p
        "transform -m '1 0 0 0 1 0 0 0 1'",                                  // no table
        "transform -m '1 0 0 0 1 0 0 0 1' TK_parameters_HTML.xy other.xy",   // two tables
        "transform -m '1 0 0 0 1 0 0 0 1' --bogus TK_parameters_HTML.xy",    // unknown option
        "transform TK_parameters_HTML.xy -m",                                // no value
        "transform -m '1 0 0 0 1 0 0 0 1' TK_parameters_HTML.xy -o",         // no value
        "transform -m '1 0 0 0 1 0 0 0 1' TK_parameters_HTML.xy -o ''",      // -o \"$UNSET\"
        "transform -m '1 0 0 0 1 0 0 0 1' TK_parameters_HTML.xy --output=",  // the same
    };
    for (const char* args : cases) {
        const AnalyseResult r = run_analyse(dir, args);
        EXPECT_EQ(r.status, 2) << args;
        EXPECT_EQ(r.out, "") << args;
        EXPECT_NE(r.err.find("--help"), std::string::npos) << args;
    }
}

TEST_F(TransformCommand, BadInputsAreStatusOne) {
    ASSERT_EQ(dir.run("buffer_matrix.txt\ny\n").status, 0);
    dir.write("garbage.xy", "! title\nthis is no table\n");
    const struct {
        const char* file;
        const char* message;
    } cases[] = {
        {"missing.xy", "missing.xy: cannot open"},
        {"TK_parameters_transf_HTML.xy", "TK_parameters_transf_HTML.xy: carries no cell ESDs"},
        {"garbage.xy", "garbage.xy:2: "},
    };
    for (const auto& c : cases) {
        const AnalyseResult r =
            run_analyse(dir, std::string("transform -m '1 0 0 0 1 0 0 0 1' ") + c.file + " -o new.xy");
        EXPECT_EQ(r.status, 1) << c.file;
        EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
        EXPECT_FALSE(dir.exists("new.xy")) << c.file;
    }
}

TEST_F(TransformCommand, DamagedRowIsNamedAndWrittenWithNaN) {
    write_damaged_table(dir);
    const AnalyseResult r = run_analyse(dir, "transform -m '1 0 1 0 1 0 -1 0 0' damaged.xy");
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.err.find("damaged.xy:8: warning"), std::string::npos) << r.err;
    const Series s = read_text(r.out);
    ASSERT_EQ(s.rows.size(), 16u);
    EXPECT_FALSE(s.rows[2].complete);
    EXPECT_TRUE(std::isnan(s.rows[2].t));
    EXPECT_TRUE(s.rows[3].complete);
}

TEST_F(TransformCommand, OutputNeverGoesThroughALinkOrOverTheInput) {
    dir.write("precious.txt", "keep me\n");
    std::filesystem::create_symlink("precious.txt", dir.path() / "link.xy");
    const AnalyseResult link = run_analyse(dir, "transform -m '1 0 0 0 1 0 0 0 1' TK_parameters_HTML.xy -o link.xy");
    EXPECT_EQ(link.status, 1);
    EXPECT_NE(link.err.find("link.xy: is a symbolic link"), std::string::npos) << link.err;
    EXPECT_EQ(dir.read("precious.txt"), "keep me\n");
    EXPECT_TRUE(std::filesystem::is_symlink(dir.path() / "link.xy"));

    const std::string input = dir.read("TK_parameters_HTML.xy");
    const AnalyseResult over =
        run_analyse(dir, "transform -m '1 0 1 0 1 0 -1 0 0' TK_parameters_HTML.xy -o ./TK_parameters_HTML.xy");
    EXPECT_EQ(over.status, 1);
    EXPECT_NE(over.err.find("is the input file"), std::string::npos) << over.err;
    EXPECT_EQ(dir.read("TK_parameters_HTML.xy"), input);

    // Standard input read from the output file (run_analyse feeds it from .in).
    const AnalyseResult piped = run_analyse(dir, "transform -m '1 0 1 0 1 0 -1 0 0' - -o .in", input);
    EXPECT_EQ(piped.status, 1);
    EXPECT_NE(piped.err.find(".in: is the input file"), std::string::npos) << piped.err;
    EXPECT_EQ(dir.read(".in"), input);

    ASSERT_EQ(::mkfifo((dir.path() / "fifo.xy").c_str(), 0600), 0);
    const AnalyseResult fifo = run_analyse(dir, "transform -m '1 0 0 0 1 0 0 0 1' TK_parameters_HTML.xy -o fifo.xy");
    EXPECT_EQ(fifo.status, 1);
    EXPECT_NE(fifo.err.find("fifo.xy: is not a regular file"), std::string::npos) << fifo.err;
    EXPECT_TRUE(std::filesystem::is_fifo(dir.path() / "fifo.xy"));

    const AnalyseResult nowhere =
        run_analyse(dir, "transform -m '1 0 0 0 1 0 0 0 1' TK_parameters_HTML.xy -o no/dir.xy");
    EXPECT_EQ(nowhere.status, 1);
    EXPECT_NE(nowhere.err.find("no/dir.xy: cannot create"), std::string::npos) << nowhere.err;
}

TEST_F(TransformCommand, OutputDashIsStandardOutput) {
    const AnalyseResult plain = run_analyse(dir, "transform -m '1 0 1 0 1 0 -1 0 0' TK_parameters_HTML.xy");
    const AnalyseResult dash = run_analyse(dir, "transform -m '1 0 1 0 1 0 -1 0 0' TK_parameters_HTML.xy -o -");
    ASSERT_EQ(dash.status, 0) << dash.err;
    EXPECT_EQ(dash.out, plain.out);
    EXPECT_FALSE(dir.exists("-"));
}

TEST_F(TransformCommand, AnOldFileIsReplacedWhole) {
    dir.write("new.xy", std::string(100000, 'Q'));
    const AnalyseResult r = run_analyse(dir, "transform -m '1 0 1 0 1 0 -1 0 0' TK_parameters_HTML.xy -o new.xy");
    ASSERT_EQ(r.status, 0) << r.err;
    const std::string text = dir.read("new.xy");
    EXPECT_EQ(text.find('Q'), std::string::npos);
    EXPECT_EQ(read("new.xy").rows.size(), 16u);
}

// A full disk, met as a file-size limit (the signal ignored, so that the
// write fails with an error as on a full device), or as /dev/full.
TEST_F(TransformCommand, FailedWriteIsStatusOneAndLeavesNoFile) {
    const AnalyseResult r = run_analyse(dir, "transform -m '1 0 1 0 1 0 -1 0 0' TK_parameters_HTML.xy -o new.xy", "",
                                        "trap '' XFSZ; ulimit -f 2;");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("new.xy: cannot write"), std::string::npos) << r.err;
    EXPECT_EQ(files_named("new.xy"), 0u);  // no temporary left behind either

    const AnalyseResult full =
        run_analyse(dir, "transform -m '1 0 1 0 1 0 -1 0 0' TK_parameters_HTML.xy", "", "", "> /dev/full");
    EXPECT_EQ(full.status, 1);
    EXPECT_NE(full.err.find("standard output"), std::string::npos) << full.err;
}
