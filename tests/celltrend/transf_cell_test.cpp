// Cell geometry: a cell re-expressed in new axes, and the cell volume.
// Expected values come from the geometry of the cells (hand-worked lengths,
// angles and volumes); tolerances reflect single-precision storage.

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <utility>
#include <vector>

#include "transf_cell.hpp"

using namespace celltrend;

namespace {

// A triclinic cell with no special angle, so that swapped or mixed-up angles
// cannot go unnoticed.
const Cell triclinic{5.1f, 7.3f, 9.7f, 80.5f, 95.2f, 110.4f};

// Rounding of the constants and of every stored cosine moves an angle by a
// few millionths of a degree; a wrong formula moves it by far more.
constexpr float angle_tolerance = 5e-5f;

struct Collected {
    std::vector<std::string> lines;
    Diagnostic sink() {
        return [this](std::string_view line) { lines.emplace_back(line); };
    }
};

Cell transformed(const Matrix& m, Cell cell, Collected& diagnostics) {
    transf_cell_parameters(m, cell, diagnostics.sink());
    return cell;
}

// Lengths to float precision, angles within angle_tolerance.
void expect_cell(const Cell& got, const Cell& want) {
    EXPECT_FLOAT_EQ(got.a, want.a);
    EXPECT_FLOAT_EQ(got.b, want.b);
    EXPECT_FLOAT_EQ(got.c, want.c);
    EXPECT_NEAR(got.alpha, want.alpha, angle_tolerance);
    EXPECT_NEAR(got.beta, want.beta, angle_tolerance);
    EXPECT_NEAR(got.gamma, want.gamma, angle_tolerance);
}

}  // namespace

TEST(CellCosineTest, DegreeCosine) {
    EXPECT_EQ(cosd_sp(0.0f), 1.0f);
    EXPECT_EQ(cosd_sp(60.0f), 0.5f);
    EXPECT_EQ(cosd_sp(180.0f), -1.0f);
    // With the double-precision factor, cos(90) is of the order of 1e-17;
    // a single-precision pi would leave about -4.4e-8.
    EXPECT_LT(std::fabs(cosd_sp(90.0f)), 1e-15f);
    EXPECT_NEAR(cosd_sp(120.0f), -0.5f, 1e-7f);
}

TEST(TransfCellTest, IdentityKeepsTheCell) {
    Collected diagnostics;
    expect_cell(transformed(identity_matrix, triclinic, diagnostics), triclinic);
    EXPECT_TRUE(diagnostics.lines.empty());
}

TEST(TransfCellTest, IdentityKeepsRightAnglesWithinMillionths) {
    Collected diagnostics;
    const Cell cell = transformed(identity_matrix, {4.0f, 5.0f, 6.0f, 90.0f, 90.0f, 90.0f}, diagnostics);
    EXPECT_FLOAT_EQ(cell.a, 4.0f);
    EXPECT_FLOAT_EQ(cell.b, 5.0f);
    EXPECT_FLOAT_EQ(cell.c, 6.0f);
    for (float angle : {cell.alpha, cell.beta, cell.gamma}) EXPECT_NEAR(angle, 90.0f, 1e-5f);
    EXPECT_TRUE(diagnostics.lines.empty());
}

TEST(TransfCellTest, SwappingAAndBSwapsAlphaAndBeta) {
    const Matrix swap{{{0, 1, 0}, {1, 0, 0}, {0, 0, 1}}};
    Collected diagnostics;
    // The new alpha is the old beta and the other way round; gamma lies
    // between the same two axes.
    expect_cell(transformed(swap, triclinic, diagnostics), {7.3f, 5.1f, 9.7f, 95.2f, 80.5f, 110.4f});
    EXPECT_TRUE(diagnostics.lines.empty());
}

TEST(TransfCellTest, DoublingADoublesOnlyA) {
    const Matrix twice_a{{{2, 0, 0}, {0, 1, 0}, {0, 0, 1}}};
    Collected diagnostics;
    expect_cell(transformed(twice_a, triclinic, diagnostics), {10.2f, 7.3f, 9.7f, 80.5f, 95.2f, 110.4f});
}

TEST(TransfCellTest, FaceDiagonalOfRectangularCell) {
    // Rows a+b, a-b, c on a 3 x 4 x 5 rectangular cell: both new axes are
    // 5 long, and the angle between them is 2*atan(4/3) = 106.26020 degrees;
    // each is still perpendicular to c.
    const Matrix diagonals{{{1, 1, 0}, {1, -1, 0}, {0, 0, 1}}};
    Collected diagnostics;
    const Cell cell = transformed(diagonals, {3.0f, 4.0f, 5.0f, 90.0f, 90.0f, 90.0f}, diagnostics);
    EXPECT_NEAR(cell.a, 5.0f, 1e-5f);
    EXPECT_NEAR(cell.b, 5.0f, 1e-5f);
    EXPECT_FLOAT_EQ(cell.c, 5.0f);
    EXPECT_NEAR(cell.alpha, 90.0f, 1e-4f);
    EXPECT_NEAR(cell.beta, 90.0f, 1e-4f);
    // cos = (9 - 16) / 25 = -0.28
    EXPECT_NEAR(cell.gamma, 106.26020f, 1e-4f);
}

TEST(TransfCellTest, EqualRowsWhoseCosineRoundsPastOneGiveZeroAndOneDiagnostic) {
    // With a = 5, b = 6.3 at right angles, the length of a+b stored in single
    // precision squares to slightly less than the exact scalar product, and
    // the cosine rounds to the float after 1, 1 + 2^-23.
    const Matrix equal_rows{{{1, 1, 0}, {1, 1, 0}, {0, 0, 1}}};
    Collected diagnostics;
    const Cell cell = transformed(equal_rows, {5.0f, 6.3f, 7.0f, 90.0f, 90.0f, 90.0f}, diagnostics);
    EXPECT_EQ(cell.a, cell.b);
    EXPECT_NEAR(cell.a, std::sqrt(25.0f + 6.3f * 6.3f), 1e-5f);
    EXPECT_EQ(cell.gamma, 0.0f);
    EXPECT_NEAR(cell.alpha, 90.0f, 1e-4f);
    EXPECT_NEAR(cell.beta, 90.0f, 1e-4f);
    ASSERT_EQ(diagnostics.lines.size(), 1u);
    const std::string& line = diagnostics.lines.front();
    EXPECT_EQ(line.front(), ' ');  // line control, not shown
    EXPECT_NE(line.find("1.0000001"), std::string::npos) << line;
    EXPECT_EQ(line.find('\n'), std::string::npos);
}

TEST(TransfCellTest, OppositeRowsWhoseCosineRoundsPastMinusOneGive180) {
    const Matrix opposite_rows{{{1, 1, 0}, {-1, -1, 0}, {0, 0, 1}}};
    Collected diagnostics;
    const Cell cell = transformed(opposite_rows, {5.0f, 6.3f, 7.0f, 90.0f, 90.0f, 90.0f}, diagnostics);
    EXPECT_EQ(cell.a, cell.b);
    EXPECT_EQ(cell.gamma, 180.0f);
    ASSERT_EQ(diagnostics.lines.size(), 1u);
    EXPECT_EQ(diagnostics.lines.front().front(), ' ');
    EXPECT_NE(diagnostics.lines.front().find("-1.0000001"), std::string::npos) << diagnostics.lines.front();
}

TEST(TransfCellTest, EqualRowsWhoseCosineStaysBelowOneGiveHundredthsOfADegree) {
    // Here the cosine rounds to the float before 1, 1 - 2^-24, whose arc
    // cosine is sqrt(2 * 2^-24) rad = 0.019782 degrees.
    const Matrix equal_rows{{{1, 1, 0}, {1, 1, 0}, {0, 0, 1}}};
    Collected diagnostics;
    const Cell cell = transformed(equal_rows, {5.0f, 6.1f, 7.0f, 90.0f, 90.0f, 90.0f}, diagnostics);
    EXPECT_EQ(cell.a, cell.b);
    EXPECT_NEAR(cell.gamma, 0.019782f, 2e-6f);
    EXPECT_TRUE(diagnostics.lines.empty());
}

TEST(TransfCellTest, CosineOfExactlyOneOrMinusOneNeedsNoDiagnostic) {
    // Rows along a alone: their scalar product over their lengths is a^2 / a^2,
    // exactly 1 or -1, which the arc cosine takes as it is.
    const Matrix equal_rows{{{1, 0, 0}, {1, 0, 0}, {0, 0, 1}}};
    const Matrix opposite_rows{{{1, 0, 0}, {-1, 0, 0}, {0, 0, 1}}};
    for (const auto& [m, gamma] : {std::pair{equal_rows, 0.0f}, std::pair{opposite_rows, 180.0f}}) {
        Collected diagnostics;
        EXPECT_EQ(transformed(m, {4.0f, 5.0f, 6.0f, 90.0f, 90.0f, 90.0f}, diagnostics).gamma, gamma);
        EXPECT_TRUE(diagnostics.lines.empty()) << diagnostics.lines.front();
    }
}

TEST(TransfCellTest, DiagnosticMayBeAbsent) {
    const Matrix equal_rows{{{1, 1, 0}, {1, 1, 0}, {0, 0, 1}}};
    Cell cell{5.0f, 6.3f, 7.0f, 90.0f, 90.0f, 90.0f};
    transf_cell_parameters(equal_rows, cell, Diagnostic{});
    EXPECT_EQ(cell.gamma, 0.0f);
}

TEST(TransfCellTest, ZeroRowGivesNegativeNotANumberAngles) {
    const Matrix zero_first{{{0, 0, 0}, {0, 1, 0}, {0, 0, 1}}};
    Collected diagnostics;
    const Cell cell = transformed(zero_first, triclinic, diagnostics);
    EXPECT_EQ(cell.a, 0.0f);
    EXPECT_FLOAT_EQ(cell.b, 7.3f);
    EXPECT_FLOAT_EQ(cell.c, 9.7f);
    EXPECT_NEAR(cell.alpha, 80.5f, angle_tolerance);  // between b and c, untouched by a
    for (float angle : {cell.beta, cell.gamma}) {
        EXPECT_TRUE(std::isnan(angle));
        EXPECT_TRUE(std::signbit(angle));  // printed as -NaN
    }
    EXPECT_TRUE(diagnostics.lines.empty());  // not a number is not beyond 1

    // The volume of such a cell is not a number either, and its angles, which
    // are not below -1 in any sense, stay as they are.
    Cell kept = cell;
    float volume = 0.0f;
    volume_calculation(kept, volume);
    EXPECT_TRUE(std::isnan(volume));
    EXPECT_TRUE(std::signbit(volume));
    EXPECT_EQ(kept.alpha, cell.alpha);
}

TEST(VolumeTest, CubicCellIsExactly1000) {
    Cell cell{10.0f, 10.0f, 10.0f, 90.0f, 90.0f, 90.0f};
    float volume = -1.0f;
    volume_calculation(cell, volume);
    EXPECT_EQ(volume, 1000.0f);
    EXPECT_EQ(cell.alpha, 90.0f);
    EXPECT_EQ(cell.beta, 90.0f);
    EXPECT_EQ(cell.gamma, 90.0f);
}

TEST(VolumeTest, MonoclinicCell) {
    // V = a b c sin(beta) = 210 sin(100 degrees) = 206.809627
    Cell cell{5.0f, 6.0f, 7.0f, 90.0f, 100.0f, 90.0f};
    float volume = 0.0f;
    volume_calculation(cell, volume);
    EXPECT_NEAR(volume, 206.809627f, 2e-4f);
    EXPECT_EQ(cell.beta, 100.0f);
}

TEST(VolumeTest, HexagonalCell) {
    // V = a^2 c sin(120 degrees) = 4 * 4 * 10 * 0.8660254 = 138.56406
    Cell cell{4.0f, 4.0f, 10.0f, 90.0f, 90.0f, 120.0f};
    float volume = 0.0f;
    volume_calculation(cell, volume);
    EXPECT_NEAR(volume, 138.56406f, 1e-4f);
}

TEST(VolumeTest, ObtuseSettingIsReplacedByItsSupplement) {
    // At 130 degrees, c = cos 130 = -0.6427876: 2c^3 - 3c^2 = -1.77 < -1, so
    // the angles become 50 in the caller's cell, and the volume is
    // 1000 sqrt(1 - 3 cos^2 50 + 2 cos^3 50) = 540.03794.
    Cell cell{10.0f, 10.0f, 10.0f, 130.0f, 130.0f, 130.0f};
    float volume = 0.0f;
    volume_calculation(cell, volume);
    EXPECT_EQ(cell.alpha, 50.0f);
    EXPECT_EQ(cell.beta, 50.0f);
    EXPECT_EQ(cell.gamma, 50.0f);
    EXPECT_NEAR(volume, 540.03794f, 2e-3f);

    Cell acute{10.0f, 10.0f, 10.0f, 50.0f, 50.0f, 50.0f};
    float acute_volume = 0.0f;
    volume_calculation(acute, acute_volume);
    EXPECT_EQ(volume, acute_volume);
}

TEST(VolumeTest, AnglesAdmittingNoVolumeEvenAfterReplacementGiveNegativeNaN) {
    // (10, 10, 100): t = 2 ca cb cg - ca^2 - cb^2 - cg^2 = -2.31, so the angles
    // become (170, 170, 80), where 1 + t = 1 - 1.63 is still negative.
    Cell cell{5.0f, 6.0f, 7.0f, 10.0f, 10.0f, 100.0f};
    float volume = 0.0f;
    volume_calculation(cell, volume);
    EXPECT_EQ(cell.alpha, 170.0f);
    EXPECT_EQ(cell.beta, 170.0f);
    EXPECT_EQ(cell.gamma, 80.0f);
    EXPECT_TRUE(std::isnan(volume));
    EXPECT_TRUE(std::signbit(volume));
}

TEST(VolumeTest, TransformedCellKeepsItsVolumeUnderAUnimodularMatrix) {
    // A matrix of determinant -1 (the a/b swap) describes the same lattice,
    // so the volume of the new cell equals that of the old one.
    Cell old_cell = triclinic;
    float old_volume = 0.0f;
    volume_calculation(old_cell, old_volume);

    Cell new_cell = triclinic;
    transf_cell_parameters({{{0, 1, 0}, {1, 0, 0}, {0, 0, 1}}}, new_cell, Diagnostic{});
    float new_volume = 0.0f;
    volume_calculation(new_cell, new_volume);
    EXPECT_NEAR(new_volume, old_volume, old_volume * 1e-5f);

    // Doubling a doubles the volume.
    Cell doubled = triclinic;
    transf_cell_parameters({{{2, 0, 0}, {0, 1, 0}, {0, 0, 1}}}, doubled, Diagnostic{});
    float doubled_volume = 0.0f;
    volume_calculation(doubled, doubled_volume);
    EXPECT_NEAR(doubled_volume, 2.0f * old_volume, old_volume * 2e-5f);
}
