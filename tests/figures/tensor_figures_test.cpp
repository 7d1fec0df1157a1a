// The expansion tensor's figures: the tensor from its principal axes, the
// planes of a section, the directions of zero expansion, and the files
// themselves (patches and colours of a surface, dashed lines of a section,
// no text under 7 pt).

#include "figures/tensor_figures.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <numbers>
#include <string>

#include "crystal/alpha.hpp"
#include "crystal/crystal_direction.hpp"
#include "support/svg_counts.hpp"
#include "xyviewer/svg_text.hpp"

using namespace figures;
using crystal::alpha_along;
using Eigen::Vector3d;

namespace {

// A monoclinic cell (unique b) in the frame c along Z, a* along X.
Eigen::Matrix3d monoclinic_cell() {
    const double beta = 101.5 * std::numbers::pi / 180;
    Eigen::Matrix3d cell;
    cell << 7.5 * std::sin(beta), 0, 0, 0, 10.2, 0, 7.5 * std::cos(beta), 0, 12.8;
    return cell;
}

// Principal axes X1, X2 in the a-c plane, X3 along b.
ExpansionTensor tensor_of(const Vector3d& values) {
    const double t = 0.3;
    const std::array<Vector3d, 3> d{{{std::cos(t), 0, std::sin(t)}, {-std::sin(t), 0, std::cos(t)}, {0, 1, 0}}};
    return tensor_from_principal(values, d, monoclinic_cell());
}

int count(const std::string& text, const std::string& what) {
    int n = 0;
    for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
    return n;
}

// The fill colours of the filled shapes, as (red, blue) pairs.
std::vector<std::pair<int, int>> fills(const std::string& svg) {
    std::vector<std::pair<int, int>> out;
    for (std::size_t at = svg.find("fill=\"#"); at != std::string::npos; at = svg.find("fill=\"#", at + 1)) {
        const std::string hex = svg.substr(at + 7, 6);
        out.emplace_back(std::stoi(hex.substr(0, 2), nullptr, 16), std::stoi(hex.substr(4, 2), nullptr, 16));
    }
    return out;
}

}  // namespace

TEST(ExpansionTensor, FromPrincipalAxesGivesBackTheCoefficientAlongEach) {
    const ExpansionTensor t = tensor_of({-20, 37, 61});
    EXPECT_NEAR(alpha_along(t.alpha, t.principal_directions[0]), -20, 1e-12);
    EXPECT_NEAR(alpha_along(t.alpha, t.principal_directions[2]), 61, 1e-12);
    EXPECT_NEAR(alpha_along(t.alpha, crystal::cartesian_direction(t.cell, {0, 1, 0})), 61, 1e-12);  // X3 is b
    // Between X1 and X2 the coefficient is their mean.
    const double s = std::sqrt(0.5);
    const Vector3d between{s * (std::cos(0.3) - std::sin(0.3)), 0, s * (std::sin(0.3) + std::cos(0.3))};
    EXPECT_NEAR(alpha_along(t.alpha, between), 8.5, 1e-12);
}

TEST(ExpansionTensor, SectionPlanesByPrincipalAxesOrCrystalDirections) {
    const ExpansionTensor t = tensor_of({13, 37, 61});
    const SectionPlane x1x3 = section_plane("X1X3", t);
    EXPECT_EQ(x1x3.e1_name, "X1");
    EXPECT_EQ(x1x3.e2_name, "X3");
    EXPECT_NEAR(x1x3.e2[1], 1, 1e-12);
    const SectionPlane ac = section_plane("a,c", t);
    EXPECT_NEAR(ac.e1[0], std::sin(101.5 * std::numbers::pi / 180), 1e-12);  // along a
    EXPECT_NEAR(ac.e2[0] * ac.e1[0] + ac.e2[2] * ac.e1[2], 0, 1e-12);        // made perpendicular to it
    EXPECT_NEAR(ac.e2[1], 0, 1e-12);                                         // within the a-c plane
    EXPECT_EQ(ac.e2_name, "⊥ a, towards c");                                 // c is 101.5° from a
    const SectionPlane uvw = section_plane("[1 0 1], [0 1 0]", t);
    EXPECT_EQ(uvw.e1_name, "[1 0 1]");
    EXPECT_EQ(uvw.e2_name, "[0 1 0]");  // perpendicular already
    EXPECT_NEAR(uvw.e2[1], 1, 1e-12);
    for (const char* bad : {"X3X1", "X1", "ab", "a,a", "[1 0],[0 1 0]", "[0 0 0],b", "a,d", "[1 0 1 2],c"})
        EXPECT_THROW(section_plane(bad, t), PlaneError) << bad;
}

TEST(ExpansionTensor, ZeroDirectionsOnlyWhereTheSignChanges) {
    const ExpansionTensor t = tensor_of({-20, 37, 61});
    // In X1X2: r = -20 cos² ψ + 37 sin² ψ is 0 at tan² ψ = 20/37.
    const std::vector<double> psi = sign_changes(t.alpha, section_plane("X1X2", t));
    ASSERT_EQ(psi.size(), 2u);
    const double expected = std::atan(std::sqrt(20.0 / 37.0));
    for (double p : psi) EXPECT_NEAR(std::fabs(std::tan(p)), std::tan(expected), 1e-9) << p;
    EXPECT_NEAR(psi[0] + psi[1], std::numbers::pi, 1e-9);
    EXPECT_TRUE(sign_changes(t.alpha, section_plane("X2X3", t)).empty());  // positive all round
    // Touching 0 without changing sign is no change of sign.
    const ExpansionTensor touching = tensor_of({0, 37, 61});
    EXPECT_TRUE(sign_changes(touching.alpha, section_plane("X1X2", touching)).empty());
}

TEST(TensorFigures, SurfaceIsItsPatchesInBothColoursWhenOneCoefficientIsNegative) {
    const std::string negative = surface_file(tensor_of({-50, 20, 45}), "surface", Format::svg, tensor_page);
    // The patches, the 64 bands of the colour bar and the page's background.
    const int filled = count(negative, "fill-rule=");
    EXPECT_GE(filled, surface_rings * surface_sectors);
    EXPECT_LE(filled, surface_rings * surface_sectors + 64 + 2);
    EXPECT_LT(negative.size(), 1000000u);
    const auto has = [](const std::string& svg, bool red) {
        int n = 0;
        for (const auto& [r, b] : fills(svg))
            if (red ? r > b + 40 : b > r + 40) ++n;
        return n;
    };
    EXPECT_GT(has(negative, true), 64 / 2 + 100) << "red patches beyond the colour bar's";
    EXPECT_GT(has(negative, false), 64 / 2 + 100);
    const std::string positive = surface_file(tensor_of({13, 37, 61}), "", Format::svg, tensor_page);
    EXPECT_LE(has(positive, true), 64 / 2) << "only the colour bar's negative half is red";
    // The axes are labelled, and the colour bar says its unit.
    std::string labels;
    for (const auto& t : xyviewer_test::svg_texts(negative)) {
        labels += t.text + "\n";
        EXPECT_GE(t.font_size, 7) << t.text;
    }
    for (const char* label : {"a\n", "b\n", "c\n", "10⁻⁶ K⁻¹\n", "surface\n"})
        EXPECT_NE(labels.find(label), std::string::npos) << label << labels;
}

TEST(TensorFigures, SectionDashesOnlyWhereTheSignChanges) {
    const std::string dash = "stroke=\"#505050\"";  // the zero-expansion lines' own grey
    const ExpansionTensor mixed = tensor_of({-20, 37, 61});
    const std::string changing = section_file(mixed, section_plane("X1X2", mixed), "", Format::svg, tensor_page);
    EXPECT_GT(count(changing, dash), 2);
    EXPECT_LT(changing.size(), 100000u);
    const std::string positive = section_file(mixed, section_plane("X2X3", mixed), "", Format::svg, tensor_page);
    EXPECT_EQ(count(positive, dash), 0);
    std::string texts;
    for (const auto& t : xyviewer_test::svg_texts(changing)) {
        texts += t.text + "\n";
        EXPECT_GE(t.font_size, 7) << t.text;
    }
    // a and c lie in the X1X2 plane, b does not.
    for (const char* text : {"a\n", "c\n", "α > 0\n", "α < 0\n", "α = 0\n", "along X1 (10⁻⁶ K⁻¹)\n"})
        EXPECT_NE(texts.find(text), std::string::npos) << text << texts;
    EXPECT_EQ(texts.find("b\n"), std::string::npos) << texts;
}

// A tensor that is zero, or at its noise level, is a figure that says so
// and draws no lobes; one that is not finite is an error.
TEST(TensorFigures, AZeroTensorIsANoteAndNotFiniteIsAnError) {
    const auto fills = [](const std::string& svg) {
        int n = 0;
        for (const celltrend::testing::SvgLine& l : celltrend::testing::svg_lines(svg))
            n += !l.fill.empty() && l.fill != "#FFFFFF";
        return n;
    };
    const auto has_text = [](const std::string& svg, const std::string& text) {
        for (const auto& t : xyviewer_test::svg_texts(svg))
            if (t.text == text) return true;
        return false;
    };
    ExpansionTensor noise = tensor_of({-0.2, 0.1, 0.3});
    noise.zero_below = 0.5;
    const ExpansionTensor flat = tensor_of({0, 0, 5});
    const std::string zero_surface = surface_file(tensor_of({0, 0, 0}), "", Format::svg, tensor_page);
    EXPECT_TRUE(has_text(zero_surface, "α = 0 in every direction: no surface"));
    EXPECT_EQ(fills(zero_surface), 0);
    const std::string noise_surface = surface_file(noise, "", Format::svg, tensor_page);
    EXPECT_TRUE(has_text(noise_surface, "α = 0 in every direction: no surface"));
    EXPECT_EQ(fills(noise_surface), 0);
    const std::string flat_section = section_file(flat, section_plane("X1X2", flat), "", Format::svg, tensor_page);
    EXPECT_TRUE(has_text(flat_section, "α = 0 in every direction of the plane"));
    // Above its noise a tensor draws its lobes.
    noise.zero_below = 0.25;
    EXPECT_GT(fills(surface_file(noise, "", Format::svg, tensor_page)), 1000);
    EXPECT_THROW(surface_file(tensor_of({NAN, 1, 2}), "", Format::svg, tensor_page), PlotError);
}

namespace {

using celltrend::testing::SvgLine;

// The red and blue channels of "#RRGGBB".
std::pair<int, int> red_blue(const std::string& colour) {
    return {std::stoi(colour.substr(1, 2), nullptr, 16), std::stoi(colour.substr(5, 2), nullptr, 16)};
}

}  // namespace

// Each run of a section's curve is drawn in the colour of the sign of the
// coefficient along its directions: read back the direction of every point
// of the curve from the plane's origin and compare.
TEST(TensorFigures, EachRunOfASectionInTheColourOfItsSign) {
    struct Case {
        Vector3d values;
        const char* plane;
    };
    const Case cases[] = {
        {{-20, 37, 61}, "X1X2"}, {{-20, 37, 61}, "a,c"}, {{-50, -5, 30}, "X1X3"}, {{-8, 12, 3}, "b,c"}};
    for (const Case& k : cases) {
        const ExpansionTensor t = tensor_of(k.values);
        const SectionPlane plane = section_plane(k.plane, t);
        const std::vector<SvgLine> lines =
            celltrend::testing::svg_lines(section_file(t, plane, "", Format::svg, tensor_page));
        // The plane's own axes, in their faint grey, cross at the origin.
        double x0 = NAN, y0 = NAN;
        for (const SvgLine& l : lines)
            if (l.stroke == "#C8C8C8" && l.points.size() == 2) {
                if (l.points[0].first == l.points[1].first) x0 = l.points[0].first;
                if (l.points[0].second == l.points[1].second) y0 = l.points[0].second;
            }
        ASSERT_TRUE(std::isfinite(x0) && std::isfinite(y0)) << k.plane;
        int checked = 0;
        for (const SvgLine& l : lines) {
            if (l.points.size() < 5 || !l.fill.empty()) continue;
            const auto [red, blue] = red_blue(l.stroke);
            if (std::abs(red - blue) < 100) continue;  // not a run of the curve
            for (const auto& [x, y] : l.points) {
                const double psi = std::atan2(y - y0, x - x0);
                const Vector3d n = plane.e1 * std::cos(psi) + plane.e2 * std::sin(psi);
                const double r = alpha_along(t.alpha, n);
                if (std::abs(r) < 2 || std::hypot(x - x0, y - y0) < 3) continue;  // at a change of sign
                EXPECT_EQ(r > 0, blue > red) << k.plane << " ψ " << psi << " r " << r << " in " << l.stroke;
                ++checked;
            }
        }
        EXPECT_GT(checked, 200) << k.plane;
    }
}

// The colour bar is blue at its top (the positive end) and red at its foot.
TEST(TensorFigures, TheColourBarIsPositiveAtTheTop) {
    const std::vector<SvgLine> lines =
        celltrend::testing::svg_lines(surface_file(tensor_of({-20, 37, 61}), "", Format::svg, tensor_page));
    std::vector<SvgLine> fills;
    for (const SvgLine& l : lines)
        if (!l.fill.empty() && l.fill != "#FFFFFF") fills.push_back(l);
    ASSERT_GT(fills.size(), 64u);
    // The bar's bands are the last 64 fills, drawn after the surface.
    const auto centre_y = [](const SvgLine& l) {
        double y = 0;
        for (const auto& p : l.points) y += p.second;
        return y / double(l.points.size());
    };
    const auto top = std::max_element(fills.end() - 64, fills.end(),
                                      [&](const SvgLine& a, const SvgLine& b) { return centre_y(a) < centre_y(b); });
    const auto foot = std::min_element(fills.end() - 64, fills.end(),
                                       [&](const SvgLine& a, const SvgLine& b) { return centre_y(a) < centre_y(b); });
    EXPECT_GT(red_blue(top->fill).second, red_blue(top->fill).first + 100) << top->fill;
    EXPECT_GT(red_blue(foot->fill).first, red_blue(foot->fill).second + 100) << foot->fill;
}

// The surface is drawn far to near: an axis whose arrow points at the
// reader is drawn over every patch, one pointing away under them all.
TEST(TensorFigures, TheSurfaceIsDrawnFromTheBackToTheFront) {
    struct Case {
        SurfaceView view;
        const char* axis;
        bool over;
    };
    // The cell's a points along +X within 12°, b along +Y, c along +Z.
    const Case cases[] = {{{0, 0}, "a", true},      {{180, 0}, "a", false}, {{70, 10}, "b", true},
                          {{-110, 10}, "b", false}, {{20, 80}, "c", true},  {{20, -80}, "c", false}};
    for (const Case& k : cases) {
        const std::string svg = surface_file(tensor_of({13, 37, 61}), "", Format::svg, tensor_page, k.view);
        std::size_t first_patch = std::string::npos, last_patch = 0;
        int patches = 0;
        for (std::size_t at = svg.find("fill-rule"); at != std::string::npos; at = svg.find("fill-rule", at + 1)) {
            if (++patches > surface_rings * surface_sectors) break;  // the colour bar's bands follow
            first_patch = std::min(first_patch, at);
            last_patch = at;
        }
        // The label as PLplot's SVG spells it; no other text of the
        // figure holds the letter.
        char spelled[16];
        std::snprintf(spelled, sizeof spelled, "&#x%x;", unsigned(k.axis[0]));
        const std::size_t label = svg.find(spelled);
        ASSERT_NE(label, std::string::npos) << k.axis;
        if (k.over) {
            EXPECT_GT(label, last_patch) << k.view.azimuth_deg << "," << k.view.elevation_deg << " " << k.axis;
        } else {
            EXPECT_LT(label, first_patch) << k.view.azimuth_deg << "," << k.view.elevation_deg << " " << k.axis;
        }
    }
}

// In a section, the crystal axes' labels stand beyond the curve along
// their arrows, and the key's swatch for the zero lines is dashed as they
// are.
TEST(TensorFigures, SectionLabelsClearOfTheCurveAndADashedZeroSwatch) {
    const ExpansionTensor t = tensor_of({-20, 37, 61});
    for (const char* plane_text : {"X1X2", "a,c", "b,c", "X2X3"}) {
        const SectionPlane plane = section_plane(plane_text, t);
        const std::string svg = section_file(t, plane, "", Format::svg, tensor_page);
        const std::vector<SvgLine> lines = celltrend::testing::svg_lines(svg);
        double x0 = NAN, y0 = NAN;
        for (const SvgLine& l : lines)
            if (l.stroke == "#C8C8C8" && l.points.size() == 2) {
                if (l.points[0].first == l.points[1].first) x0 = l.points[0].first;
                if (l.points[0].second == l.points[1].second) y0 = l.points[0].second;
            }
        int labels = 0;
        for (const auto& text : xyviewer_test::svg_texts(svg)) {
            if (text.text == "α = 0") {
                int dashes = 0;
                for (const SvgLine& l : lines)
                    if (l.stroke == "#505050" && l.points.size() == 2 && l.points[0].second == l.points[1].second &&
                        std::abs(l.points[0].second - text.y) < text.font_size && l.points[0].first < text.x)
                        ++dashes;
                EXPECT_GE(dashes, 2) << plane_text << ": the swatch is not dashed";
            }
            if (text.text != "a" && text.text != "b" && text.text != "c") continue;
            ++labels;
            // The label's centre, a third of its height above the baseline.
            const double lx = text.x - x0, ly = text.y + 0.33 * text.font_size - y0;
            const double angle = std::atan2(ly, lx), distance = std::hypot(lx, ly);
            double reach = 0;  // of the curve within 5° of the label's direction
            for (const SvgLine& l : lines) {
                const auto [red, blue] = red_blue(l.stroke);
                if (l.points.size() < 5 || !l.fill.empty() || std::abs(red - blue) < 100) continue;
                for (const auto& [x, y] : l.points) {
                    const double d = std::remainder(std::atan2(y - y0, x - x0) - angle, 2 * std::numbers::pi);
                    if (std::abs(d) < 5 * std::numbers::pi / 180) reach = std::max(reach, std::hypot(x - x0, y - y0));
                }
            }
            EXPECT_GT(distance, reach + 0.5 * text.font_size) << plane_text << " " << text.text;
        }
        EXPECT_GE(labels, 1) << plane_text;
    }
}

namespace {

// How much of the page a figure's drawing spans, across and up: the extent
// of its lines and filled shapes (but the page's white) and of its texts'
// anchors, as a fraction of the page less a margin of 2 mm each side.
std::pair<double, double> drawn_share(const std::string& svg) {
    double width = 0, height = 0;
    const std::size_t box = svg.find("viewBox=\"");
    std::sscanf(svg.c_str() + box, "viewBox=\"0 0 %lf %lf\"", &width, &height);
    double x0 = INFINITY, x1 = -INFINITY, y0 = INFINITY, y1 = -INFINITY;
    const auto take = [&](double x, double y) {
        x0 = std::min(x0, x), x1 = std::max(x1, x), y0 = std::min(y0, y), y1 = std::max(y1, y);
    };
    for (const SvgLine& l : celltrend::testing::svg_lines(svg))
        if (l.fill != "#FFFFFF")
            for (const auto& [x, y] : l.points) take(x, y);
    for (const auto& t : xyviewer_test::svg_texts(svg)) take(t.x, t.y);
    const double margin = 2 / 25.4 * 72;  // pt
    return {(x1 - x0) / (width - 2 * margin), (y1 - y0) / (height - 2 * margin)};
}

}  // namespace

// A tensor's figure fills its page: no band across or up it stays blank,
// whatever the shape of the surface, the view or the plane.  A surface's own
// page is cropped to it; on a page of a given size it fills one side.
TEST(TensorFigures, TheDrawingFillsThePage) {
    struct Case {
        Vector3d values;
        const char* plane;  // nullptr: the surface
        SurfaceView view;
        const char* title;
        bool own_page;  // a surface's own page, else the journal's
    };
    const Page journal{85, 60, 300};
    const Case cases[] = {
        {{-20, 37, 61}, nullptr, {}, "298.15 K", true}, {{13, 37, 61}, nullptr, {100, 15}, "", true},
        {{-50, 20, 45}, nullptr, {20, 60}, "", true},   {{0.5, 2, 61}, nullptr, {}, "a title", true},
        {{30, 32, 35}, nullptr, {}, "a title", false},  {{-20, 37, 61}, nullptr, {20, 60}, "", false},
        {{-20, 37, 61}, "X1X2", {}, "298.15 K", true},  {{-20, 37, 61}, "a,c", {}, "", true},
        {{13, 37, 61}, "b,c", {}, "a title", false},    {{-8, 12, 3}, "X2X3", {}, "", false},
    };
    for (const Case& k : cases) {
        const ExpansionTensor t = tensor_of(k.values);
        const Page page = !k.own_page ? journal : k.plane ? tensor_page : surface_page(t, k.title, k.view);
        const std::string svg = k.plane ? section_file(t, section_plane(k.plane, t), k.title, Format::svg, page)
                                        : surface_file(t, k.title, Format::svg, page, k.view);
        const auto [across, up] = drawn_share(svg);
        const std::string name = std::string(k.plane ? k.plane : "surface") + " " + std::to_string(k.view.azimuth_deg) +
                                 "," + std::to_string(k.view.elevation_deg) + " on " + std::to_string(page.width_mm) +
                                 "x" + std::to_string(page.height_mm) + " mm";
        if (k.plane || k.own_page) {
            EXPECT_GT(across, 0.9) << name;
            EXPECT_GT(up, 0.9) << name;
        } else {
            EXPECT_GT(std::max(across, up), 0.9) << name;
        }
    }
}
