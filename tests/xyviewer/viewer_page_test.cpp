// The page of the built xyviewer: PNG sizes from --dpi with and without
// --size, text never under 7 pt, titles, and tables drawn a column at a time
// (--column) exactly as celltrend's plot files of the same run.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "png_pixels.hpp"
#include "support/sample_files.hpp"
#include "svg_text.hpp"
#include "viewer_process.hpp"

using namespace xyviewer_test;

namespace {

struct Png {
    unsigned width = 0, height = 0;
    double ink = 0;  // the share of pixels that are not white
};

Png read_png(const fs::path& path) {
    const Image grey = decode_png(path, PNG_FORMAT_GRAY);
    Png result;
    if (!grey.ok) return result;
    result.width = grey.width;
    result.height = grey.height;
    std::size_t inked = 0;
    for (unsigned char g : grey.rgb) inked += g < 200;
    result.ink = double(inked) / double(grey.rgb.size());
    return result;
}

// Every text (the markers are shapes, not glyphs).
std::vector<SvgText> words(const std::string& svg) { return svg_texts(svg); }

std::string joined(const std::vector<SvgText>& texts) {
    std::string s;
    for (const SvgText& t : texts) s += t.text + "\n";
    return s;
}

}  // namespace

TEST(ViewerPage, DpiAloneScalesTheDefaultPageAndTheDrawingWithIt) {
    ScratchDir dir;
    copy_golden(dir, "plain_each", "TK_cell_b.pgf");
    struct Case {
        std::vector<std::string> size;
        int dpi;
        unsigned width, height;
    } cases[] = {
        {{}, 150, 1200, 900},
        {{}, 300, 2400, 1800},
        {{}, 600, 4800, 3600},  // 20.32 x 15.24 cm
        {{"--size", "8.5x6cm"}, 150, 502, 354},
        {{"--size", "8.5x6cm"}, 300, 1004, 709},
        {{"--size", "8.5x6cm"}, 600, 2008, 1417},
    };
    double ink_default = 0, ink_journal = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.dpi) + (c.size.empty() ? "" : " " + c.size[1]));
        std::vector<std::string> args{"-o", "b.png", "--dpi", std::to_string(c.dpi)};
        args.insert(args.end(), c.size.begin(), c.size.end());
        args.push_back("TK_cell_b.pgf");
        const ViewerRun run = run_viewer(args, dir.path, no_display);
        ASSERT_EQ(run.status, 0) << run.err;
        const Png png = read_png(dir.path / "b.png");
        EXPECT_EQ(png.width, c.width);
        EXPECT_EQ(png.height, c.height);
        // The same picture, finer: text, lines and markers cover the same
        // share of the page at every resolution (600-dpi text on the
        // 100-dpi canvas once covered most of it).
        double& first = c.size.empty() ? ink_default : ink_journal;
        if (first == 0) first = png.ink;
        EXPECT_NEAR(png.ink, first, 0.3 * first);
        EXPECT_GT(png.ink, 0.01);
    }
}

TEST(ViewerPage, NoTextUnderSevenPointsAtTheJournalSizeOrSmaller) {
    ScratchDir dir;
    for (const char* name : {"TK_cell_a.pgf", "TK_cell_b.pgf", "TK_cell_c.pgf", "TK_volume.pgf"})
        copy_golden(dir, "plain_each", name);
    const std::vector<std::vector<std::string>> runs{
        {"--size", "8.5x6cm", "TK_cell_b.pgf"},
        {"--size", "7x5cm", "TK_cell_b.pgf"},
        {"--size", "8.5x6cm", "--normalise", "TK_cell_a.pgf", "TK_cell_b.pgf", "TK_cell_c.pgf", "TK_volume.pgf"},
        {"--size", "17x12cm", "TK_cell_a.pgf", "TK_cell_b.pgf", "TK_cell_c.pgf", "TK_volume.pgf"},
    };
    for (std::vector<std::string> args : runs) {
        args.insert(args.begin(), {"-o", "out.svg"});
        const ViewerRun run = run_viewer(args, dir.path, no_display);
        ASSERT_EQ(run.status, 0) << run.err;
        const std::vector<SvgText> texts = words(slurp(dir.path / "out.svg"));
        ASSERT_GT(texts.size(), 10u);
        for (const SvgText& t : texts) EXPECT_GE(t.font_size, 7) << t.text << " in " << args.back();
    }
}

TEST(ViewerPage, TitleReplacedOrLeftOut) {
    ScratchDir dir;
    copy_golden(dir, "plain_each", "TK_cell_b.pgf");
    const std::string file_title = "CT-17 monoclinic P21/c, cell from 100 K to 400 K";
    ASSERT_EQ(run_viewer({"-o", "t.svg", "--title", "b of CT-17", "TK_cell_b.pgf"}, dir.path, no_display).status, 0);
    const std::string titled = joined(words(slurp(dir.path / "t.svg")));
    EXPECT_NE(titled.find("b of CT-17\n"), std::string::npos) << titled;
    EXPECT_EQ(titled.find(file_title), std::string::npos) << titled;
    ASSERT_EQ(run_viewer({"-o", "n.svg", "--no-title", "TK_cell_b.pgf"}, dir.path, no_display).status, 0);
    const std::string untitled = joined(words(slurp(dir.path / "n.svg")));
    EXPECT_EQ(untitled.find(file_title), std::string::npos) << untitled;
    EXPECT_NE(untitled.find("b (Å)\n"), std::string::npos) << untitled;
    const ViewerRun both = run_viewer({"-o", "x.svg", "--title", "x", "--no-title", "TK_cell_b.pgf"}, dir.path);
    EXPECT_EQ(both.status, 2);
}

TEST(ViewerPage, AColumnOfATableIsTheFigureOfItsPlotFile) {
    ScratchDir dir;
    // The same run of celltrend written both ways: plain with ESDs, and in
    // new axes (the volume without an ESD, the mosaicity with one).
    struct Case {
        const char* table_run;
        const char* table;
        const char* plot_run;
        const char* plot;
        const char* column;
    } cases[] = {
        {"plain_all", "TK_parameters_HTML.xy", "plain_each", "TK_cell_b.pgf", "b"},
        {"plain_all", "TK_parameters_HTML.xy", "plain_each", "TK_cell_beta.pgf", "beta"},
        {"plain_all", "TK_parameters_HTML.xy", "plain_each", "TK_volume.pgf", "V"},
        {"matrix_all", "TK_parameters_transf_HTML.xy", "matrix_each", "TK_volume_transf.pgf", "volume"},
        {"matrix_all", "TK_parameters_transf_HTML.xy", "matrix_each", "TK_mosaicity.pgf", "mosaicity"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.plot);
        copy_golden(dir, c.table_run, c.table);
        copy_golden(dir, c.plot_run, c.plot);
        const ViewerRun from_plot = run_viewer({"-o", "f.svg", c.plot}, dir.path, no_display);
        ASSERT_EQ(from_plot.status, 0) << from_plot.err;
        const std::string plot_svg = slurp(dir.path / "f.svg");
        const ViewerRun from_table = run_viewer({"-o", "f.svg", "--column", c.column, c.table}, dir.path, no_display);
        ASSERT_EQ(from_table.status, 0) << from_table.err;
        EXPECT_EQ(slurp(dir.path / "f.svg"), plot_svg);
        // The summaries differ only in the file's name.
        EXPECT_EQ(from_table.out.substr(from_table.out.find(':')), from_plot.out.substr(from_plot.out.find(':')));
    }
}

TEST(ViewerPage, SeveralColumnsArePanelsOrOneNormalisedFigure) {
    ScratchDir dir;
    copy_golden(dir, "plain_all", "TK_parameters_HTML.xy");
    const ViewerRun panels = run_viewer({"-o", "p.svg", "--column", "a,b,c,V", "TK_parameters_HTML.xy"}, dir.path);
    ASSERT_EQ(panels.status, 0) << panels.err;
    const std::string svg = slurp(dir.path / "p.svg");
    EXPECT_NE(svg.find("width=\"482pt\""), std::string::npos) << svg.substr(0, 400);  // 2 x 2 panels
    const std::string text = joined(words(svg));
    for (const char* legend : {"a (Å)\n", "b (Å)\n", "c (Å)\n", "volume (Å³)\n"})
        EXPECT_NE(text.find(legend), std::string::npos) << legend << text;

    const ViewerRun normalised =
        run_viewer({"-o", "n.svg", "--normalise", "--column", "a,b,c,V", "TK_parameters_HTML.xy"}, dir.path);
    ASSERT_EQ(normalised.status, 0) << normalised.err;
    const std::string n = joined(words(slurp(dir.path / "n.svg")));
    EXPECT_NE(n.find("relative change x/x₀\n"), std::string::npos) << n;
    EXPECT_NE(n.find("b: α = 60.1(11)×10⁻⁶ K⁻¹\n"), std::string::npos) << n;
    EXPECT_NE(n.find("volume: αV = 110(2)×10⁻⁶ K⁻¹\n"), std::string::npos) << n;
}

TEST(ViewerPage, WrongColumnsAndTablesWithoutColumnsAreSaid) {
    ScratchDir dir;
    copy_golden(dir, "plain_all", "TK_parameters_HTML.xy");
    const ViewerRun unknown = run_viewer({"-o", "x.svg", "--column", "delta", "TK_parameters_HTML.xy"}, dir.path);
    EXPECT_EQ(unknown.status, 2);
    EXPECT_NE(unknown.err.find("--column delta"), std::string::npos) << unknown.err;
    EXPECT_EQ(run_viewer({"-o", "x.svg", "--column", "a,,b", "TK_parameters_HTML.xy"}, dir.path).status, 2);
    const ViewerRun table = run_viewer({"-o", "x.svg", "TK_parameters_HTML.xy"}, dir.path);
    EXPECT_EQ(table.status, 1);
    EXPECT_NE(table.err.find("--column"), std::string::npos) << table.err;
    write_file(dir.path / "a.pgf", plain_cell_a);
    const ViewerRun plot = run_viewer({"-o", "x.svg", "--column", "a", "a.pgf"}, dir.path);
    EXPECT_EQ(plot.status, 1);
    EXPECT_FALSE(fs::exists(dir.path / "x.svg"));
}

// A page that cannot be drawn is refused before any file is read: one line
// and where to look, no summary printed first, nothing written.
TEST(ViewerPage, APageThatCannotBeDrawnIsRefusedBeforeReading) {
    ScratchDir dir;
    copy_golden(dir, "plain_each", "TK_cell_b.pgf");
    struct Case {
        std::vector<std::string> args;
        const char* said;
    };
    const Case cases[] = {
        // Two panels side by side on 3 cm: 15 mm each.
        {{"-o", "p.svg", "--size", "3x2cm", "TK_cell_b.pgf", "TK_cell_b.pgf"}, "less than the 20 x 15 mm"},
        {{"-o", "p.png", "--size", "2x1.5cm", "--dpi", "100", "TK_cell_b.pgf"}, "pixels, less than"},
        {{"-o", "p.png", "--size", "200x200cm", "--dpi", "2400", "TK_cell_b.pgf"}, "100 million pixels"},
        // The page is refused even where the input could not be read.
        {{"-o", "p.svg", "--size", "3x2cm", "missing.pgf", "TK_cell_b.pgf"}, "less than the 20 x 15 mm"},
    };
    for (const Case& k : cases) {
        const ViewerRun r = run_viewer(k.args, dir.path, no_display);
        EXPECT_EQ(r.status, 2) << k.said;
        EXPECT_EQ(r.out, "") << k.said;
        EXPECT_NE(r.err.find(k.said), std::string::npos) << r.err;
        EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 2) << r.err;
        EXPECT_NE(r.err.find("Try 'xyviewer --help'."), std::string::npos) << r.err;
        EXPECT_FALSE(fs::exists(dir.path / "p.svg") || fs::exists(dir.path / "p.png")) << k.said;
    }
}

// Several panels: one title for the page when they share it, and panel
// letters (a), (b), ... in each panel's title place.
TEST(ViewerPage, PanelsAreLetteredUnderOneSharedTitle) {
    ScratchDir dir;
    copy_golden(dir, "plain_all", "TK_parameters_HTML.xy");
    copy_golden(dir, "plain_each", "TK_cell_b.pgf");
    const std::string title = "CT-17 monoclinic P21/c, cell from 100 K to 400 K";
    struct Case {
        std::vector<std::string> args;
        std::vector<std::string> texts;  // each once
    };
    const Case cases[] = {
        {{"--column", "a,b,c,V", "TK_parameters_HTML.xy"}, {title, "(a)", "(b)", "(c)", "(d)"}},
        {{"--title", "CT-17", "--column", "a,b", "TK_parameters_HTML.xy"}, {"CT-17", "(a)", "(b)"}},
        // A single panel keeps its title, with no letter.
        {{"TK_cell_b.pgf"}, {title}},
    };
    for (const Case& k : cases) {
        std::vector<std::string> args{"-o", "p.svg"};
        args.insert(args.end(), k.args.begin(), k.args.end());
        const ViewerRun r = run_viewer(args, dir.path, no_display);
        ASSERT_EQ(r.status, 0) << r.err;
        std::vector<std::string> texts;
        for (const auto& t : svg_texts(slurp(dir.path / "p.svg"))) texts.push_back(t.text);
        for (const std::string& text : k.texts)
            EXPECT_EQ(std::count(texts.begin(), texts.end(), text), 1) << text << " in " << k.args.back();
        if (k.texts.size() == 1) {
            EXPECT_EQ(std::count(texts.begin(), texts.end(), "(a)"), 0);
        }
    }
}
