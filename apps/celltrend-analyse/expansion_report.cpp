#include "expansion_report.hpp"

#include <algorithm>
#include <array>
#include <cmath>

#include "crystal/crystal_direction.hpp"
#include "crystal/strain.hpp"
#include "formats/display_text.hpp"
#include "formats/printed.hpp"

namespace celltrend_analyse {

namespace {

using formats::printed;

// The larger of the two uncertainties: the scatter about the line and the
// cell ESDs each say how well a slope is known.
double uncertainty(const crystal::Coefficient& c) {
    return std::isnan(c.sigma_esd) ? c.sigma : std::max(c.sigma, c.sigma_esd);
}

// Four decimals, without the "-" of a component that rounds to zero.
std::string component(double x) { return printed("%9.4f", std::abs(x) < 5e-5 ? 0.0 : x); }

bool directions_known(const ExpansionReport& r) { return r.t.size() > 2 && r.expansion.directions_defined; }

// Which row the directions are those of, for the title of the table.
std::string direction_row(const ExpansionReport& r) {
    const std::size_t middle = (r.t.size() + 1) / 2 - 1;
    const crystal::Expansion& ex = r.expansion;
    if (!directions_known(r) || ex.middle == middle)
        return printed("Principal axes at %.2f K (the middle row)", r.t[middle]);
    return printed(
        "Principal axes at %.2f K (the row nearest the middle row, %.2f K, whose principal strains are "
        "degenerate)",
        r.t[ex.middle], r.t[middle]);
}

std::string axis_name(int i) { return "X" + std::to_string(i + 1); }

// Without the "-" of a negative zero, which a direction component along a
// symmetry axis often is.
std::string tsv_number(double x) { return std::isnan(x) ? "" : printed("%.10g", x == 0 ? 0.0 : x); }

Eigen::Vector3d shown_direction(const ExpansionReport& r, int i) {
    const Eigen::Vector3d& uvw = r.expansion.principal[i].uvw;
    return r.new_axes ? crystal::direction_in_new_axes(*r.new_axes, uvw) : uvw;
}

}  // namespace

std::vector<std::pair<int, int>> equal_coefficients(const crystal::Expansion& expansion) {
    std::vector<std::pair<int, int>> pairs;
    for (int i = 0; i < 3; ++i)
        for (int j = i + 1; j < 3; ++j) {
            const crystal::Coefficient& ci = expansion.principal[i].alpha;
            const crystal::Coefficient& cj = expansion.principal[j].alpha;
            const double tolerance =
                std::hypot(uncertainty(ci), uncertainty(cj)) + 1e-9 * std::max(std::abs(ci.value), std::abs(cj.value));
            if (std::abs(ci.value - cj.value) <= tolerance) pairs.emplace_back(i, j);
        }
    return pairs;
}

std::vector<std::string> expansion_notes(const ExpansionReport& report) {
    std::vector<std::string> notes;
    for (const auto& [i, j] : equal_coefficients(report.expansion))
        notes.push_back(axis_name(i) + " and " + axis_name(j) +
                        " expand equally within their uncertainties: which of their directions is called " +
                        axis_name(i) + " and which " + axis_name(j) + " is arbitrary.");
    if (!report.expansion.strained)
        notes.push_back(
            "The strain is zero at every row: no row names X1 < X2 < X3, and the directions are undefined.");
    else if (report.t.size() > 2 && report.expansion.isotropic)
        notes.push_back(
            "The three principal strains are equal at every row: their directions are any three orthogonal "
            "ones, so the directions are undefined.");
    else if (report.t.size() > 2 && !report.expansion.directions_defined)
        notes.push_back(
            "Two principal strains are equal at every row: their directions are any pair in a plane, so the "
            "directions are undefined.");
    if (report.expansion.strained && report.expansion.naming_row > 1 && report.expansion.naming_row < report.t.size())
        notes.push_back(
            printed("The strain is zero up to %.2f K: X1 < X2 < X3 are named at %.2f K, the first row "
                    "that is strained.",
                    report.t[report.expansion.naming_row - 1], report.t[report.expansion.naming_row]));
    if (report.t.size() <= 2)
        notes.push_back(
            "Only two temperatures: each line passes through both points, so sigma is 0, and the "
            "directions are undefined (the middle row is the unstrained reference).");
    return notes;
}

std::string summary_text(const ExpansionReport& r) {
    const crystal::Expansion& ex = r.expansion;
    const auto [t_min, t_max] = std::minmax_element(r.t.begin(), r.t.end());
    const bool esd = !std::isnan(ex.volume.sigma_esd);
    std::string s = formats::displayable(r.file) + (r.title.empty() ? "" : ": " + formats::displayable(r.title)) + "\n";
    s += printed("%zu temperatures from %.2f K to %.2f K\n", r.t.size(), *t_min, *t_max);
    if (!r.symmetry.empty()) s += "Symmetry: " + r.symmetry + "\n";
    s += "Strain: " + crystal::strain_name(r.measure) + printed(", relative to the first row (%.2f K)\n", r.t.front());
    s += std::string("Fit: straight lines against T, ") +
         (ex.weighted ? "weights 1/sigmaT" : "equal weights (no sigmaT given)") + "\n";
    s += "sigma: White's HC0, from the scatter of the points about each line\n";
    s += esd ? "sigma_esd: carried from the cell ESDs of every row\n" : "sigma_esd: none (the file has no cell ESDs)\n";

    s += "\n" + direction_row(r) + ": alpha in 10^-6 K^-1, [u v w], angles in degrees\n";
    // Eleven characters a column, or one more than its widest number, so
    // that columns never run together.
    const std::array<const crystal::Coefficient*, 4> rows{&ex.principal[0].alpha, &ex.principal[1].alpha,
                                                          &ex.principal[2].alpha, &ex.volume};
    int w_alpha = 11, w_sigma = 11, w_esd = 11;
    for (const crystal::Coefficient* c : rows) {
        w_alpha = std::max(w_alpha, 1 + int(printed("%.4f", c->value).size()));
        w_sigma = std::max(w_sigma, 1 + int(printed("%.4f", c->sigma).size()));
        if (esd) w_esd = std::max(w_esd, 1 + int(printed("%.4f", c->sigma_esd).size()));
    }
    const auto coefficient = [&](const char* name, const crystal::Coefficient& c) {
        return printed("%-4s%*.4f%*.4f", name, w_alpha, c.value, w_sigma, c.sigma) +
               (esd ? printed("%*.4f", w_esd, c.sigma_esd) : printed("%*s", w_esd, "-"));
    };
    s += printed("    %*s%*s%*s", w_alpha, "alpha", w_sigma, "sigma", w_esd, "sigma_esd") +
         "         u        v        w      to a    to b    to c\n";
    for (int i = 0; i < 3; ++i) {
        const crystal::PrincipalAxis& axis = ex.principal[i];
        s += coefficient(axis_name(i).c_str(), axis.alpha);
        if (directions_known(r)) {
            s += "   " + component(axis.uvw(0)) + component(axis.uvw(1)) + component(axis.uvw(2)) +
                 printed("   %7.2f %7.2f %7.2f", axis.angles(0), axis.angles(1), axis.angles(2));
        } else {
            s += "           -        -        -         -       -       -";
        }
        s += "\n";
    }
    s += coefficient("V", ex.volume) + "   (volume)\n";

    if (r.new_axes && directions_known(r)) {
        s += "\nDirections in the new axes " + r.new_axes_text + ":\n";
        s += "                 u'       v'       w'\n";
        for (int i = 0; i < 3; ++i) {
            const Eigen::Vector3d d = shown_direction(r, i);
            s += printed("%-4s         ", axis_name(i).c_str()) + component(d(0)) + component(d(1)) + component(d(2)) +
                 "\n";
        }
    }
    const std::vector<std::string> notes = expansion_notes(r);
    if (!notes.empty()) s += "\n";
    for (const std::string& note : notes) s += note + "\n";
    return s;
}

std::string tsv_text(const ExpansionReport& r) {
    const crystal::Expansion& ex = r.expansion;
    std::string s = "axis\talpha\tsigma\tsigma_esd\tu\tv\tw\n";
    for (int i = 0; i < 3; ++i) {
        const crystal::Coefficient& c = ex.principal[i].alpha;
        s += axis_name(i) + "\t" + tsv_number(c.value) + "\t" + tsv_number(c.sigma) + "\t" + tsv_number(c.sigma_esd);
        if (directions_known(r)) {
            const Eigen::Vector3d d = shown_direction(r, i);
            s += "\t" + tsv_number(d(0)) + "\t" + tsv_number(d(1)) + "\t" + tsv_number(d(2)) + "\n";
        } else {
            s += "\t\t\t\n";
        }
    }
    s += "V\t" + tsv_number(ex.volume.value) + "\t" + tsv_number(ex.volume.sigma) + "\t" +
         tsv_number(ex.volume.sigma_esd) + "\t\t\t\n";
    return s;
}

}  // namespace celltrend_analyse
