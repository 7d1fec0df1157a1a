#include "crystal/symmetry_ties.hpp"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

#include "formats/printed.hpp"

namespace crystal {

namespace {

constexpr double nan = std::numeric_limits<double>::quiet_NaN();
constexpr std::array<const char*, 6> parameter_names{"a", "b", "c", "alpha", "beta", "gamma"};
// Within this an angle is the same in every row (as the fits take it).
constexpr double angle_constant = 1e-6;

struct SystemRule {
    CrystalSystem system;
    const char* name;
    std::array<int, 6> group;
    std::array<double, 6> fixed;  // NaN: not fixed
};

constexpr SystemRule rules[] = {
    {CrystalSystem::triclinic, "triclinic", {0, 1, 2, 3, 4, 5}, {nan, nan, nan, nan, nan, nan}},
    {CrystalSystem::monoclinic, "monoclinic", {0, 1, 2, 3, 4, 5}, {nan, nan, nan, 90, nan, 90}},
    {CrystalSystem::monoclinic_c, "monoclinic-c", {0, 1, 2, 3, 4, 5}, {nan, nan, nan, 90, 90, nan}},
    {CrystalSystem::orthorhombic, "orthorhombic", {0, 1, 2, 3, 4, 5}, {nan, nan, nan, 90, 90, 90}},
    {CrystalSystem::tetragonal, "tetragonal", {0, 0, 2, 3, 4, 5}, {nan, nan, nan, 90, 90, 90}},
    {CrystalSystem::trigonal, "trigonal", {0, 0, 2, 3, 4, 5}, {nan, nan, nan, 90, 90, 120}},
    {CrystalSystem::hexagonal, "hexagonal", {0, 0, 2, 3, 4, 5}, {nan, nan, nan, 90, 90, 120}},
    {CrystalSystem::rhombohedral, "rhombohedral", {0, 0, 0, 3, 3, 3}, {nan, nan, nan, nan, nan, nan}},
    {CrystalSystem::cubic, "cubic", {0, 0, 0, 3, 4, 5}, {nan, nan, nan, 90, 90, 90}},
};

const SystemRule* rule_of(CrystalSystem system) {
    for (const SystemRule& r : rules)
        if (r.system == system) return &r;
    return nullptr;
}

bool same_number(double x, double y) { return x == y || (std::isnan(x) && std::isnan(y)); }

// Parameters i and j equal, value and ESD, in every row.
bool equal_in_every_row(const std::vector<SeriesPoint>& points, int i, int j) {
    for (const SeriesPoint& p : points) {
        if (p.cell.values()[i] != p.cell.values()[j]) return false;
        if (!same_number(p.esd.values()[i], p.esd.values()[j])) return false;
    }
    return true;
}

bool constant_angle(const std::vector<SeriesPoint>& points, int i) {
    double low = points.front().cell.values()[i], high = low;
    for (const SeriesPoint& p : points) {
        low = std::min(low, p.cell.values()[i]);
        high = std::max(high, p.cell.values()[i]);
    }
    return high - low <= angle_constant;
}

// "a = b", "alpha = beta = gamma": each group of more than one member.
std::vector<std::string> tie_texts(const formats::CellTies& ties) {
    std::vector<std::string> out;
    for (int g = 0; g < 6; ++g) {
        if (ties.group[g] != g || ties.fixed[g]) continue;
        std::string s = parameter_names[g];
        int members = 1;
        for (int m = g + 1; m < 6; ++m)
            if (ties.group[m] == g) {
                s += std::string(" = ") + parameter_names[m];
                ++members;
            }
        if (members > 1) out.push_back(s);
    }
    return out;
}

// "alpha, beta 90 and gamma 120 fixed"; empty when nothing is.
std::string fixed_text(const formats::CellTies& ties, const std::array<double, 6>& value) {
    std::vector<std::string> groups;
    std::string current;
    double current_value = nan;
    for (int i = 3; i < 6; ++i) {
        if (!ties.fixed[i]) continue;
        if (!current.empty() && formats::printed("%g", value[i]) != formats::printed("%g", current_value)) {
            groups.push_back(current + formats::printed(" %g", current_value));
            current.clear();
        }
        current += (current.empty() ? "" : ", ") + std::string(parameter_names[i]);
        current_value = value[i];
    }
    if (!current.empty()) groups.push_back(current + formats::printed(" %g", current_value));
    std::string s;
    for (std::size_t k = 0; k < groups.size(); ++k) s += (k == 0 ? "" : " and ") + groups[k];
    return s.empty() ? s : s + " fixed";
}

// The system whose ties and fixed angles are exactly these; none when no
// system has them.
const SystemRule* system_of(const formats::CellTies& ties, const std::array<double, 6>& value) {
    for (const SystemRule& r : rules) {
        if (r.system == CrystalSystem::trigonal) continue;  // hexagonal names both
        bool same = r.group == ties.group;
        for (int i = 0; i < 6 && same; ++i) {
            const bool fixed = !std::isnan(r.fixed[i]);
            same = fixed == ties.fixed[i] && (!fixed || std::abs(value[i] - r.fixed[i]) <= angle_constant);
        }
        if (same) return &r;
    }
    return nullptr;
}

std::string describe(const char* system, const char* how, const formats::CellTies& ties,
                     const std::array<double, 6>& value) {
    std::vector<std::string> parts = tie_texts(ties);
    std::string s;
    for (std::size_t k = 0; k < parts.size(); ++k) s += (k == 0 ? "" : "; ") + parts[k];
    if (!s.empty() && std::string(how) == "detected") s += " in every row";
    const std::string fixed = fixed_text(ties, value);
    if (!fixed.empty()) s += (s.empty() ? "" : "; ") + fixed;
    if (s.empty()) s = "no ties, nothing fixed";
    return std::string(system) + " (" + how + ": " + s + ")";
}

std::string row_name(const SeriesPoint& p) {
    return p.line > 0 ? "line " + std::to_string(p.line) : formats::printed("the row at %g K", p.t);
}

bool positive(double s) { return s > 0 && std::isfinite(s); }

// Whether x and y (ESDs sx, sy; NaN none) can be one value; y exact is a
// value the system fixes.
bool agree(double x, double sx, double y, double sy, bool angle, bool y_exact = false) {
    if (positive(sx) && (positive(sy) || y_exact)) return std::abs(x - y) <= 5 * std::hypot(sx, y_exact ? 0 : sy);
    if (angle) return std::abs(x - y) <= 0.05;
    return std::abs(x - y) <= 1e-3 * std::max(std::abs(x), std::abs(y));
}

[[noreturn]] void contradiction(const SeriesPoint& p, const char* system, const std::string& what) {
    throw ExpansionError(row_name(p) + " is not " + system + ": " + what);
}

// Makes the members of group g in point p one value: their weighted mean and
// its ESD.
void tie_row(SeriesPoint& p, const std::array<int, 6>& group, int g, const char* system) {
    std::array<double, 6> v = p.cell.values(), s = p.esd.values();
    std::vector<int> members;
    for (int m = 0; m < 6; ++m)
        if (group[m] == g) members.push_back(m);
    for (int m : members)
        if (!agree(v[g], s[g], v[m], s[m], g >= 3))
            contradiction(
                p, system,
                formats::printed("%s %.10g and %s %.10g differ", parameter_names[g], v[g], parameter_names[m], v[m]));
    // Members given as one value with one ESD are one refined parameter
    // already: its ESD is not to be divided again.
    bool one_value = true;
    for (int m : members) one_value = one_value && v[m] == v[g] && same_number(s[m], s[g]);
    if (one_value) return;
    bool weighted = true;
    double smallest = std::numeric_limits<double>::infinity();
    for (int m : members) {
        weighted = weighted && s[m] > 0 && std::isfinite(s[m]);
        smallest = std::min(smallest, s[m]);
    }
    double mean = 0, esd = 0;
    if (weighted) {
        // Weights relative to the smallest ESD: 1/ESD^2 itself can overflow.
        double sum_w = 0;
        for (int m : members) {
            const double w = (smallest / s[m]) * (smallest / s[m]);
            mean += w * v[m];
            sum_w += w;
        }
        mean /= sum_w;
        esd = smallest / std::sqrt(sum_w);
    } else {
        double variance = 0;
        for (int m : members) {
            mean += v[m];
            variance += s[m] * s[m];
        }
        mean /= double(members.size());
        esd = std::sqrt(variance) / double(members.size());  // NaN without ESDs
    }
    for (int m : members) {
        v[m] = mean;
        s[m] = esd;
    }
    p.cell = formats::Cell::from(v);
    p.esd = formats::CellSu::from(s);
}

}  // namespace

std::optional<CrystalSystem> read_crystal_system(std::string_view name) {
    if (name == "auto") return CrystalSystem::automatic;
    for (const SystemRule& r : rules)
        if (name == r.name) return r.system;
    return std::nullopt;
}

std::string crystal_system_name(CrystalSystem system) {
    const SystemRule* r = rule_of(system);
    return r ? r->name : "auto";
}

formats::CellTies detected_ties(const std::vector<SeriesPoint>& points) {
    formats::CellTies ties;
    if (points.empty()) return ties;
    for (int i = 3; i < 6; ++i) ties.fixed[i] = constant_angle(points, i);
    for (int j = 0; j < 6; ++j) {
        if (ties.fixed[j]) continue;
        const int first = j < 3 ? 0 : 3;
        for (int i = first; i < j; ++i)
            if (ties.group[i] == i && !ties.fixed[i] && equal_in_every_row(points, i, j)) {
                ties.group[j] = i;
                break;
            }
    }
    return ties;
}

SeriesSymmetry apply_symmetry(std::vector<SeriesPoint>& points, CrystalSystem system) {
    SeriesSymmetry out;
    out.system = system;
    const formats::CellTies detected = detected_ties(points);
    if (system == CrystalSystem::automatic) {
        out.ties = detected;
        const std::array<double, 6> first = points.empty() ? std::array<double, 6>{} : points.front().cell.values();
        const SystemRule* r = system_of(detected, first);
        out.description = describe(r ? r->name : "no crystal system", "detected", detected, first);
        return out;
    }
    const SystemRule& rule = *rule_of(system);
    out.ties.group = rule.group;
    for (int i = 0; i < 6; ++i) out.ties.fixed[i] = !std::isnan(rule.fixed[i]);
    for (SeriesPoint& p : points) {
        for (int g = 0; g < 6; ++g) {
            if (rule.group[g] != g || out.ties.fixed[g]) continue;
            bool tied = false;
            for (int m = g + 1; m < 6; ++m) tied = tied || rule.group[m] == g;
            if (tied) tie_row(p, rule.group, g, rule.name);
        }
        std::array<double, 6> v = p.cell.values(), s = p.esd.values();
        for (int i = 3; i < 6; ++i) {
            if (std::isnan(rule.fixed[i])) continue;
            if (!agree(v[i], s[i], rule.fixed[i], 0, true, true))
                contradiction(p, rule.name,
                              formats::printed("%s is %.10g, not %g", parameter_names[i], v[i], rule.fixed[i]));
            v[i] = rule.fixed[i];
            if (!std::isnan(s[i])) s[i] = 0;
        }
        p.cell = formats::Cell::from(v);
        p.esd = formats::CellSu::from(s);
    }
    out.description = describe(rule.name, "imposed", out.ties, points.front().cell.values());
    return out;
}

}  // namespace crystal
