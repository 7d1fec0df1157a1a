#include "crystal/pressure_symmetry.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

using namespace crystal;

namespace {

constexpr double none = std::numeric_limits<double>::quiet_NaN();

// Rows of one cell at three pressures, each edge shrinking alike so that
// equal edges stay equal; angles without ESD.
formats::PressureRows rows_of(formats::Cell cell, formats::CellSu su) {
    formats::PressureRows rows;
    for (int k = 0; k < 3; ++k) {
        formats::PressureRow r;
        r.line = 5 + k;
        r.p = k;
        r.sigma_p = 0.01;
        r.has_cell = true;
        r.cell = cell;
        r.esd = su;
        r.volume = formats::volume(cell);
        r.sigma_volume = formats::cell_volume_esd(cell, su);
        rows.rows.push_back(r);
        cell.a *= 0.99, cell.b *= 0.99, cell.c *= 0.99;
    }
    return rows;
}

struct Case {
    const char* what;
    CrystalSystem system;
    formats::Cell cell;
    formats::CellSu su;
    // sigma V of a row with these edges, by hand for 90 degree angles.
    double (*sigma_v)(double a, double b, double c);
};

const Case cases[] = {
    // a = b = c is one refined length: dV/da summed over the three, 3a^2.
    {"cubic, detected",
     CrystalSystem::automatic,
     {5, 5, 5, 90, 90, 90},
     {2e-4, 2e-4, 2e-4, none, none, none},
     [](double a, double, double) { return 3 * a * a * 2e-4; }},
    {"cubic, named",
     CrystalSystem::cubic,
     {5, 5, 5, 90, 90, 90},
     {2e-4, 2e-4, 2e-4, none, none, none},
     [](double a, double, double) { return 3 * a * a * 2e-4; }},
    // a = b: (bc + ac) sigma_a and ab sigma_c, independent.
    {"tetragonal",
     CrystalSystem::automatic,
     {4, 4, 9, 90, 90, 90},
     {1e-4, 1e-4, 3e-4, none, none, none},
     [](double a, double, double c) { return std::hypot(2 * a * c * 1e-4, a * a * 3e-4); }},
    // No ties: each edge on its own; the angles fixed, without ESD.
    {"orthorhombic",
     CrystalSystem::automatic,
     {4, 5, 6, 90, 90, 90},
     {1e-4, 2e-4, 3e-4, none, none, none},
     [](double a, double b, double c) {
         return std::sqrt(std::pow(b * c * 1e-4, 2) + std::pow(a * c * 2e-4, 2) + std::pow(a * b * 3e-4, 2));
     }},
};

}  // namespace

TEST(PressureSymmetry, SigmaVCarriesTheTies) {
    for (const Case& c : cases) {
        formats::PressureRows rows = rows_of(c.cell, c.su);
        apply_symmetry(rows, c.system);
        for (const formats::PressureRow& r : rows.rows)
            EXPECT_NEAR(r.sigma_volume, c.sigma_v(r.cell.a, r.cell.b, r.cell.c), 1e-9 * r.sigma_volume)
                << c.what << " at " << r.p << " GPa";
    }
}

// A sigma V the input gave is the refinement's: no tie changes it.
TEST(PressureSymmetry, AGivenSigmaVIsKept) {
    formats::PressureRows rows = rows_of({5, 5, 5, 90, 90, 90}, {2e-4, 2e-4, 2e-4, none, none, none});
    rows.rows[1].sigma_volume = 0.5;
    rows.rows[1].sigma_volume_given = true;
    apply_symmetry(rows, CrystalSystem::automatic);
    EXPECT_EQ(rows.rows[1].sigma_volume, 0.5);
    EXPECT_NEAR(rows.rows[0].sigma_volume, 3 * 25 * 2e-4, 1e-12);
}

// A named system over edges that differ within their ESDs takes their
// weighted mean, and the volume of the cell as tied; one that contradicts
// it names the row's line.
TEST(PressureSymmetry, ANamedSystemTiesTheRowsOrNamesTheLine) {
    formats::PressureRows rows = rows_of({5.0001, 4.9999, 7, 90, 90, 90}, {1e-4, 1e-4, 1e-4, none, none, none});
    apply_symmetry(rows, CrystalSystem::tetragonal);
    EXPECT_NEAR(rows.rows[0].cell.a, 5, 1e-12);
    EXPECT_EQ(rows.rows[0].cell.b, rows.rows[0].cell.a);
    EXPECT_NEAR(rows.rows[0].volume, 25 * 7, 1e-9);
    formats::PressureRows wrong = rows_of({5.1, 4.9, 7, 90, 90, 90}, {1e-4, 1e-4, 1e-4, none, none, none});
    try {
        apply_symmetry(wrong, CrystalSystem::tetragonal);
        FAIL() << "a = b by 0.2 A was taken as tetragonal";
    } catch (const ExpansionError& e) {
        EXPECT_NE(std::string(e.what()).find("line 5"), std::string::npos) << e.what();
    }
}
