// PLplot's own errors during a drawing: an abort (a viewport it cannot set
// up on a page too small) is a PlotError, never a blank picture handed on as
// if drawn.  xyviewer refuses such pages before drawing; this is the net
// under that check.

#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "figures/figure.hpp"
#include "figures/plot.hpp"
#include "formats/plot_file_reader.hpp"
#include "support/sample_files.hpp"

namespace {

std::vector<figures::Panel> one_panel() {
    std::istringstream in{std::string(xyviewer_test::plain_cell_a)};
    return figures::panels_for({formats::read_plot_file(in, "TK_cell_a.pgf")}, false);
}

TEST(PlotErrors, ADrawingPLplotAbortsIsAnError) {
    for (const figures::Format format : {figures::Format::svg, figures::Format::png}) {
        figures::Page page;
        page.width_mm = 1;
        page.height_mm = 1;
        try {
            const std::string bytes = figures::render_file(one_panel(), format, page, {});
            ADD_FAILURE() << "a picture of " << bytes.size() << " bytes from a drawing PLplot aborted";
        } catch (const figures::PlotError& e) {
            EXPECT_NE(std::string(e.what()).find("PLplot could not draw the plot: "), std::string::npos) << e.what();
        }
    }
}

TEST(PlotErrors, AnOrdinaryPageDraws) {
    figures::Page page;
    EXPECT_NO_THROW(figures::render_file(one_panel(), figures::Format::svg, page, {}));
    // The handler's state does not outlive the drawing that set it.
    page.width_mm = 1;
    page.height_mm = 1;
    EXPECT_THROW(figures::render_file(one_panel(), figures::Format::svg, page, {}), figures::PlotError);
    page = figures::Page{};
    EXPECT_NO_THROW(figures::render_file(one_panel(), figures::Format::svg, page, {}));
}

}  // namespace
