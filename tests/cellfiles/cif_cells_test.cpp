#include "cellfiles/cif_cells.hpp"

#include <gtest/gtest.h>

#include <string>

using namespace cellfiles;
using namespace formats;

namespace {

// Four blocks as refinement programs write them, and a publication block.
const std::string series_cif = R"(#\#CIF_1.1
data_global
_publ_section_title 'CT-17 against temperature'

data_ct17_100K
_cell_length_a                    7.50122(18)
_cell_length_b                    10.19875(22)
_cell_length_c                    '12.80417(31)'
_cell_angle_alpha                 90
_cell_angle_beta                  101.4821(9)
_cell_angle_gamma                 90.00
_cell_measurement_temperature     100(1)
_diffrn_ambient_temperature       100(1)

data_ct17_200K
loop_
_cell.entry_id _cell.length_a _cell.length_b _cell.length_c
_cell.angle_alpha _cell.angle_beta _cell.angle_gamma
CT17 7.5202 10.25 1.283E1(2) 90 101.5 90
_cell.length_a_su   0.0002
_cell.length_b_esd  0.0003
_cell_measurement.temperature 200.0
_diffrn.ambient_temperature   293

data_ct17_300K
_cell_length_a 7.54(2)   _cell_length_b 10.3   _cell_length_c 12.86
_cell_angle_alpha 90 _cell_angle_beta 101.5 _cell_angle_gamma 90
_cell_measurement_temperature ?
_diffrn_ambient_temperature 300.0(5)

data_ct17_unknown_b
_cell_length_a 7.5 _cell_length_b ? _cell_length_c 12.9
_cell_angle_alpha 90 _cell_angle_beta 101.5 _cell_angle_gamma 90
_diffrn_ambient_temperature 250

data_ct17_no_temperature
_cell_length_a 7.5 _cell_length_b 10.2 _cell_length_c 12.9
_cell_angle_alpha 90 _cell_angle_beta 101.5 _cell_angle_gamma 90
)";

}  // namespace

TEST(CifCells, OneCellPerBlockThatHasOne) {
    const FoundCells f = read_cif_text(series_cif, "s.cif");
    ASSERT_EQ(f.cells.size(), 3u);

    const FoundCell& a = f.cells[0];
    EXPECT_EQ(a.source, "s.cif data_ct17_100K");
    EXPECT_EQ(a.t, 100);
    EXPECT_EQ(a.sigma_t, 1);
    EXPECT_EQ(a.cell.a, 7.50122);
    EXPECT_DOUBLE_EQ(a.esd.a, 0.00018);
    EXPECT_EQ(a.cell.c, 12.80417);  // quoted
    EXPECT_DOUBLE_EQ(a.esd.c, 0.00031);
    EXPECT_EQ(a.esd.alpha, 0);  // 90: no ESD
    EXPECT_DOUBLE_EQ(a.esd.beta, 0.0009);

    // Dotted names in a loop, the su and esd items, an exponent.
    const FoundCell& b = f.cells[1];
    EXPECT_EQ(b.t, 200);
    EXPECT_EQ(b.sigma_t, 0);
    EXPECT_EQ(b.cell.a, 7.5202);
    EXPECT_EQ(b.esd.a, 0.0002);
    EXPECT_EQ(b.esd.b, 0.0003);
    EXPECT_EQ(b.cell.c, 12.83);
    EXPECT_DOUBLE_EQ(b.esd.c, 0.02);  // 1.283E1(2): the last digit is 0.01

    // The cell's temperature is "?": the ambient one is used.
    const FoundCell& c = f.cells[2];
    EXPECT_EQ(c.t, 300);
    EXPECT_EQ(c.sigma_t, 0.5);
    EXPECT_DOUBLE_EQ(c.esd.a, 0.02);

    const std::vector<std::string> notes{
        "s.cif data_ct17_200K: _cell_measurement.temperature 200.0 K and _diffrn.ambient_temperature 293 K differ; "
        "the cell's is used",
        "s.cif data_ct17_unknown_b: _cell_length_b not known (?); cell left out",
        "s.cif data_ct17_no_temperature: a cell but no temperature (_cell_measurement_temperature or "
        "_diffrn_ambient_temperature); left out",
    };
    EXPECT_EQ(f.notes, notes);
}

TEST(CifCells, IncompleteCellsAndBadFilesAreNamed) {
    const FoundCells f = read_cif_text(
        "data_x\n_cell_length_a 7.5\n_cell_length_b 10\n_cell_angle_alpha 90\n_cell_angle_beta 100\n"
        "_cell_angle_gamma 90\n_diffrn_ambient_temperature 100\n"
        "data_y\n_cell_length_a -7.5\n_cell_length_b 10\n_cell_length_c 12\n_cell_angle_alpha 90\n"
        "_cell_angle_beta 100\n_cell_angle_gamma 90\n_diffrn_ambient_temperature 100\n",
        "x.cif");
    EXPECT_TRUE(f.cells.empty());
    EXPECT_EQ(f.notes, (std::vector<std::string>{"x.cif data_x: _cell_length_c missing; cell left out",
                                                 "x.cif data_y: _cell_length_a not positive (-7.5); cell left out"}));
    try {
        read_cif_text("data_x\n_cell_length_a 'unclosed\n", "bad.cif");
        ADD_FAILURE() << "no error";
    } catch (const CellFileError& e) {
        EXPECT_TRUE(std::string(e.what()).starts_with("bad.cif: not a CIF: ")) << e.what();
        EXPECT_EQ(std::string(e.what()).find('\n'), std::string::npos);
    }
    EXPECT_THROW(read_cif_cells("/nonexistent/s.cif"), CellFileError);
}
