#pragma once
// The --matrix of a change of axes, as typed: nine numbers row by row, row i
// giving new axis i in the old a, b, c (celltrend's buffer-file convention).

#include <array>
#include <string>
#include <string_view>

#include <Eigen/Dense>

namespace celltrend_analyse {

struct SettingMatrix {
    Eigen::Matrix3d m = Eigen::Matrix3d::Identity();
    std::array<std::string, 9> entries;  // as typed, row by row
    std::string text;                    // "1 0 1 / 0 1 0 / -1 0 0"
};

// Nine numbers separated by blanks or commas; each a decimal number or a
// fraction p/q, q unsigned and not 0 (centred-to-primitive settings need
// halves and thirds).
// Throws cli::UsageError naming the entry that is not a number.
SettingMatrix read_setting_matrix(std::string_view text);

// The new axes lie in a plane: the determinant of the rows scaled to unit
// length is zero (to 1e-9), a test that no scale of the entries changes.
bool is_singular(const SettingMatrix& matrix);

// The new axes in the old, "a' = a + c, b' = b, c' = -a", with the entries as
// typed ("a' = 1/2 a + 1/2 b").
std::string axes_text(const SettingMatrix& matrix);

}  // namespace celltrend_analyse
