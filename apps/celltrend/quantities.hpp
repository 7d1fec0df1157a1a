#pragma once
// The eight quantities a report yields, in the one order in which every
// question, search, table column, plot file, end line and plot offer walks
// them.  Everything that belongs to a quantity is in its row; its plot
// file's legends are those of the shared layouts (formats/layouts.hpp).

#include <array>
#include <cstddef>
#include <string_view>

#include "formats/layouts.hpp"

namespace celltrend {

struct Quantity {
    std::string_view key;
    std::string_view question;
    std::string_view row_label;  // the report's row label, up to its data cell
    std::string_view plot_file;
    std::string_view transf_plot_file;  // empty: never transformed
    std::string_view y_legend;
    std::string_view pattern_title;
    std::string_view titles_with_esd;
    std::string_view titles_without_esd;
};

inline constexpr std::size_t quantity_count = 8;

enum QuantityIndex : std::size_t { cell_a, cell_b, cell_c, cell_alpha, cell_beta, cell_gamma, volume, mosaicity };

inline constexpr std::array<Quantity, quantity_count> quantities{{
    {"cell_a", "  >> Extract a (A) parameter (y/n) ?   ", "<TR><TH ALIGN='LEFT'>a (Angstrom)</TH><TD>", "TK_cell_a.pgf",
     "TK_cell_a_transf.pgf", layout::quantity_legends[0].y_legend, layout::quantity_legends[0].pattern_title,
     "#   TK              a(A)            ESD_a(A)", "#   TK              a(A)"},
    {"cell_b", "  >> Extract b (A) parameter (y/n) ?   ", "<TR><TH ALIGN='LEFT'>b (Angstrom)</TH><TD>", "TK_cell_b.pgf",
     "TK_cell_b_transf.pgf", layout::quantity_legends[1].y_legend, layout::quantity_legends[1].pattern_title,
     "#   TK              b(A)            ESD_b(A)", "#   TK              b(A)"},
    {"cell_c", "  >> Extract c (A) parameter (y/n) ?   ", "<TR><TH ALIGN='LEFT'>c (Angstrom)</TH><TD>", "TK_cell_c.pgf",
     "TK_cell_c_transf.pgf", layout::quantity_legends[2].y_legend, layout::quantity_legends[2].pattern_title,
     "#   TK              c(A)            ESD_c(A)", "#   TK              c(A)"},
    {"cell_alpha", "  >> Extract alpha (deg) parameter (y/n) ?   ", "<TR><TH ALIGN='LEFT'>alpha (&deg;)</TH><TD>",
     "TK_cell_alpha.pgf", "TK_cell_alpha_transf.pgf", layout::quantity_legends[3].y_legend,
     layout::quantity_legends[3].pattern_title, "#   TK        alpha(deg)      ESD_alpha(deg)",
     "#   TK        alpha(deg)"},
    {"cell_beta", "  >> Extract beta (deg) parameter (y/n) ?    ", "<TR><TH ALIGN='LEFT'>beta (&deg;)</TH><TD>",
     "TK_cell_beta.pgf", "TK_cell_beta_transf.pgf", layout::quantity_legends[4].y_legend,
     layout::quantity_legends[4].pattern_title, "#   TK         beta(deg)       ESD_beta(deg)",
     "#   TK         beta(deg)"},
    {"cell_gamma", "  >> Extract gamma (deg) parameter (y/n) ?   ", "<TR><TH ALIGN='LEFT'>gamma (&deg;)</TH><TD>",
     "TK_cell_gamma.pgf", "TK_cell_gamma_transf.pgf", layout::quantity_legends[5].y_legend,
     layout::quantity_legends[5].pattern_title, "#   TK        gamma(deg)      ESD_gamma(deg)",
     "#   TK        gamma(deg)"},
    {"volume", "  >> Extract unit cell volume (A3) (y/n) ?   ", "<TR><TH ALIGN='LEFT'>Volume (A**3)</TH><TD>",
     "TK_volume.pgf", "TK_volume_transf.pgf", layout::quantity_legends[6].y_legend,
     layout::quantity_legends[6].pattern_title, "#   TK        volume(A3)      ESD_volume(A3)",
     "#   TK        volume(A3)"},
    {"mosaicity", "  >> Extract crystal mosaicity (deg) (y/n) ? ", "<TR><TH ALIGN='LEFT'>Mosaicity (&deg;)</TH><TD>",
     "TK_mosaicity.pgf", "", layout::quantity_legends[7].y_legend, layout::quantity_legends[7].pattern_title,
     "#   TK    mosaicity(deg)  ESD_mosaicity(deg)", ""},
}};

}  // namespace celltrend
