#include "setting_matrix.hpp"

#include <algorithm>
#include <cmath>
#include <sstream>
#include <vector>

#include "cli/command_line.hpp"
#include "formats/number_field.hpp"

namespace celltrend_analyse {

using cli::UsageError;

namespace {

// A decimal number or p/q; false for anything else.  The sign goes on p: q
// must be positive, so that the entry as typed reads as the header writes it
// ("-1/2 a", never "1/-2").
bool read_entry(std::string_view s, double& value) {
    const auto slash = s.find('/');
    if (slash == std::string_view::npos) return formats::read_field(s, value) == formats::Field::number;
    double p = 0, q = 0;
    if (formats::read_field(s.substr(0, slash), p) != formats::Field::number ||
        formats::read_field(s.substr(slash + 1), q) != formats::Field::number || !(q > 0) ||
        s.substr(slash + 1).starts_with('+'))
        return false;
    value = p / q;
    return true;
}

}  // namespace

SettingMatrix read_setting_matrix(std::string_view text) {
    std::string separated(text);
    std::replace(separated.begin(), separated.end(), ',', ' ');
    std::istringstream in(separated);
    std::vector<std::string> words;
    for (std::string w; in >> w;) words.push_back(w);
    if (words.size() != 9)
        throw UsageError("--matrix takes nine numbers, row by row; " + std::to_string(words.size()) + " given");
    SettingMatrix out;
    for (std::size_t i = 0; i < 9; ++i) {
        double v = 0;
        if (!read_entry(words[i], v))
            throw UsageError("--matrix: entry " + std::to_string(i + 1) + " '" + words[i] +
                             "' is not a number or fraction");
        out.m(static_cast<Eigen::Index>(i / 3), static_cast<Eigen::Index>(i % 3)) = v;
        out.entries[i] = words[i];
        if (i != 0) out.text += (i % 3 == 0) ? " / " : " ";
        out.text += out.entries[i];
    }
    return out;
}

bool is_singular(const SettingMatrix& matrix) {
    // Each row scaled to unit length first: the determinant is then the
    // volume spanned by the new axes' directions, 1 when they are
    // orthogonal, whatever the size of the entries (stableNorm neither
    // overflows nor underflows on them).
    Eigen::Matrix3d unit = matrix.m;
    for (int i = 0; i < 3; ++i) {
        const double norm = unit.row(i).stableNorm();
        if (!(norm > 0) || !std::isfinite(norm)) return true;
        unit.row(i) /= norm;
    }
    return !(std::fabs(unit.determinant()) > 1e-9);
}

std::string axes_text(const SettingMatrix& matrix) {
    constexpr const char* old_axis[3] = {"a", "b", "c"};
    constexpr const char* new_axis[3] = {"a'", "b'", "c'"};
    std::string out;
    for (int i = 0; i < 3; ++i) {
        std::string sum;
        for (int j = 0; j < 3; ++j) {
            const double v = matrix.m(i, j);
            if (v == 0) continue;
            std::string entry = matrix.entries[static_cast<std::size_t>(3 * i + j)];
            const bool negative = v < 0;
            if (entry.starts_with('-') || entry.starts_with('+')) entry.erase(0, 1);
            const std::string term = (std::fabs(v) == 1 ? "" : entry + " ") + old_axis[j];
            if (sum.empty())
                sum = (negative ? "-" : "") + term;
            else
                sum += (negative ? " - " : " + ") + term;
        }
        if (sum.empty()) sum = "0";
        out += (i == 0 ? "" : ", ") + std::string(new_axis[i]) + " = " + sum;
    }
    return out;
}

}  // namespace celltrend_analyse
