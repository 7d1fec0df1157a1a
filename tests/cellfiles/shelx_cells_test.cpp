#include "cellfiles/shelx_cells.hpp"

#include <gtest/gtest.h>

#include <array>
#include <sstream>
#include <string>

using namespace cellfiles;
using namespace formats;

namespace {

FoundCells read(const std::string& text) {
    std::istringstream in(text);
    return read_shelx_cells(in, "ct17.res");
}

std::string error_of(const std::string& text) {
    try {
        read(text);
    } catch (const CellFileError& e) {
        return e.what();
    }
    return "(no error)";
}

}  // namespace

TEST(ShelxCells, CellZerrTempAndTitle) {
    const FoundCells f = read(
        "TITL ct17_100K in P2(1)/c\r\n"
        "REM CELL 0.5 1 1 1 90 90 90 (a remark, not the cell)\n"
        "CELL  0.71073   7.5012  10.1988  12.8042  90.000 101.482  90.000\n"
        "zerr    4.00   0.0002   0.0002   0.0003   0.000   0.001   0.000\n"
        "LATT 1\nSYMM -X, 0.5+Y, 0.5-Z\n"
        "TEMP -173.15 ! cooled\n"
        "L.S. 10\nWGHT    0.0412    0.2351 =\n   0.1\n"
        "END\nCELL 1 2 3 4 90 90 90\n");
    ASSERT_EQ(f.cells.size(), 1u);
    const FoundCell& c = f.cells[0];
    EXPECT_EQ(c.title, "ct17_100K in P2(1)/c");
    EXPECT_EQ(c.t, 100);  // -173.15 degrees Celsius
    EXPECT_EQ(c.sigma_t, 0);
    EXPECT_EQ(c.cell.a, 7.5012);
    EXPECT_EQ(c.cell.beta, 101.482);
    EXPECT_EQ(c.esd.c, 0.0003);
    EXPECT_EQ(c.esd.beta, 0.001);
    EXPECT_TRUE(f.notes.empty());
}

TEST(ShelxCells, TemperatureInCelsiusWithItsDefault) {
    struct Case {
        std::string temp;
        double kelvin;
        double sigma;
    };
    for (const Case& c :
         {Case{"TEMP 20", 293.15, 0}, Case{"TEMP -173(2)", 100.15, 2}, Case{"TEMP -100.5", 172.65, 0},
          Case{"TEMP", 293.15, 0}, Case{"CELL= \n 0.71 7.5 10.2 12.8 90 101.5 90\ntemp 0", 273.15, 0}}) {
        SCOPED_TRACE(c.temp);
        const FoundCells f = read("CELL 0.71 7.5 10.2 12.8 90 101.5 90\n" + c.temp + "\n");
        ASSERT_EQ(f.cells.size(), 1u);
        EXPECT_EQ(f.cells[0].t, c.kelvin);
        EXPECT_EQ(f.cells[0].sigma_t, c.sigma);
    }
    const FoundCells f = read("CELL 0.71 7.5 10.2 12.8 90 101.5 90\nZERR 4 0.0002 0.0002 0.0003 0 0.001 0\n");
    ASSERT_EQ(f.cells.size(), 1u);
    EXPECT_EQ(f.cells[0].t, 293.15);
    EXPECT_EQ(f.notes,
              std::vector<std::string>{"ct17.res: no TEMP; SHELX's default of 20 degrees Celsius (293.15 K) taken"});
}

// Without ZERR the cell has no ESDs: all six are 0, never the cell's own
// default angles (90 degrees of ESD made the volume's ESD hundreds of A^3).
TEST(ShelxCells, NoZerrGivesSixZeroEsdsAndSaysSo) {
    const FoundCells f = read("CELL 0.71 7.5 10.2 12.8 90 101.5 90\nTEMP -173\n");
    ASSERT_EQ(f.cells.size(), 1u);
    const std::array<double, 6> zero{};
    EXPECT_EQ(f.cells[0].esd.values(), zero);
    EXPECT_EQ(f.notes, std::vector<std::string>{"ct17.res: no ZERR; the cell is taken without ESDs"});
}

TEST(ShelxCells, BadLinesNameTheLine) {
    EXPECT_TRUE(read("TITL no cell\nTEMP -100\n").cells.empty());
    EXPECT_EQ(error_of("TITL x\nCELL 0.71 7.5 10.2 12.8 90 101.5\n"),
              "ct17.res:2: CELL needs the wavelength and six cell parameters");
    EXPECT_EQ(error_of("CELL 0.71 7.5 10.2 12.8 90 101.5 90\nZERR 4 0.1 0.1 x 0 0 0\n"),
              "ct17.res:2: ZERR needs Z and the six ESDs of the cell");
    EXPECT_EQ(error_of("CELL 0.71 7.5 10.2 12.8 90 101.5 90\n\nTEMP cold\n"),
              "ct17.res:3: TEMP needs one temperature in degrees Celsius");
    EXPECT_EQ(error_of("CELL 0.71 7.5 -10.2 12.8 90 101.5 90\n"),
              "ct17.res:1: CELL holds a value that is not positive");
}
