#include "figures/tensor_figures.hpp"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <numbers>
#include <vector>

#include "figures/legend.hpp"
#include "figures/page_frame.hpp"
#include "figures/plot_text.hpp"
#include "figures/plplot_output.hpp"
#include "figures/style.hpp"

namespace figures {

namespace {

using style::Colour;

// cmap0 entries of these figures.
enum : int {
    background_index = 0,
    ink_index = 1,
    positive_index = 2,
    negative_index = 3,
    zero_line_index = 4,
    guide_index = 5,
};

constexpr Colour guide_colour{200, 200, 200};

// The dashes of the lines of zero expansion, the same on the plane and in
// the key: long dashes, PLplot's style 3.
constexpr int zero_line_style = 3;

const char* const unit_text = "10⁻⁶ K⁻¹";

void set_colours(plstream& pls) {
    start_colours(pls, 8);
    const auto set = [&](int i, Colour c) { pls.scol0(i, c.r, c.g, c.b); };
    set(positive_index, style::positive);
    set(negative_index, style::negative);
    set(zero_line_index, style::zero_line);
    set(guide_index, guide_colour);
    // cmap1: the diverging scale, 0 the most negative, 1 the most positive.
    const PLFLT at[] = {0, 0.5, 1};
    const PLFLT r[] = {style::negative.r / 255.0, style::zero.r / 255.0, style::positive.r / 255.0};
    const PLFLT g[] = {style::negative.g / 255.0, style::zero.g / 255.0, style::positive.g / 255.0};
    const PLFLT b[] = {style::negative.b / 255.0, style::zero.b / 255.0, style::positive.b / 255.0};
    pls.scmap1n(256);
    pls.scmap1l(true, 3, at, r, g, b, nullptr);
}

double dot(const Vector3& a, const Vector3& b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }

Vector3 cross(const Vector3& a, const Vector3& b) {
    return {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
}

Vector3 unit(const Vector3& a) {
    const double n = std::sqrt(dot(a, a));
    return {a[0] / n, a[1] / n, a[2] / n};
}

void check_finite(const ExpansionTensor& tensor) {
    for (const Vector3& row : tensor.alpha)
        for (double v : row)
            if (!std::isfinite(v)) throw PlotError("the expansion tensor is not finite: nothing to draw");
    for (const Vector3& row : tensor.cell)
        for (double v : row)
            if (!std::isfinite(v)) throw PlotError("the cell is not finite: nothing to draw");
}

void draw_title(plstream& pls, const Frame& f, const std::string& title) {
    if (title.empty()) return;
    pls.vpor(0, 1, 0, 1);
    pls.wind(0, 1, 0, 1);
    pls.col0(ink_index);
    // A title too long for the line is set smaller, down to the least text,
    // its width estimated as side texts' are (0.85 text heights a glyph).
    const double fits = 0.95 * f.width / (0.85 * double(text_characters(title)));
    pls.schr(std::max(f.least_ch, std::min(f.ch, fits)), 1.0);
    pls.ptex(0.5, 1 - 1.6 * f.ch / f.height, 1, 0, 0.5, plplot_text(title).c_str());
    pls.schr(f.ch, 1.0);
}

struct View {
    Vector3 toward_reader, right, up;
};

View oblique_view(const SurfaceView& asked) {
    const double azimuth = asked.azimuth_deg * std::numbers::pi / 180;
    const double elevation = asked.elevation_deg * std::numbers::pi / 180;
    View v;
    v.toward_reader = {std::cos(elevation) * std::cos(azimuth), std::cos(elevation) * std::sin(azimuth),
                       std::sin(elevation)};
    v.right = unit(cross({0, 0, 1}, v.toward_reader));
    v.up = cross(v.toward_reader, v.right);
    return v;
}

// The figure of a tensor at rounding level: its title and a note, and no
// lobes to be read as expansion.
std::string zero_file(const std::string& title, const std::string& note, double level, Format format,
                      const Page& page) {
    char within[96];
    std::snprintf(within, sizeof within, "every coefficient within %.2g × %s of 0", level, unit_text);
    return draw_file(format, page, [&](plstream& pls, const Device& device) {
        const Frame f = start_page(pls, device, set_colours, device.real_height_mm);
        draw_title(pls, f, title);
        pls.vpor(0, 1, 0, 1);
        pls.wind(0, 1, 0, 1);
        pls.col0(ink_index);
        pls.ptex(0.5, 0.55, 1, 0, 0.5, plplot_text(note).c_str());
        if (level > 0) pls.ptex(0.5, 0.55 - 2 * f.ch / f.height, 1, 0, 0.5, plplot_text(within).c_str());
    });
}

// The title of a section's axis: one line, or two (the unit on the second)
// when one would not fit the panel's side even at the least text.
struct AxisTitle {
    std::vector<std::string> lines;
    double height = 0;  // PLplot's text height
};

AxisTitle fit_axis_title(const std::string& text, double side, const Frame& f) {
    // A glyph of the figures' sans-serif font is about 0.62 text heights
    // wide on average.
    const auto fits = [&](const std::string& line) { return 0.95 * side / (0.62 * double(text_characters(line))); };
    if (fits(text) >= f.least_ch) return {{text}, std::min(f.ch, fits(text))};
    const std::size_t cut = text.rfind(" (");
    AxisTitle two{{text.substr(0, cut), text.substr(cut + 1)}, f.ch};
    if (cut == std::string::npos) two.lines = {text};
    for (const std::string& line : two.lines) two.height = std::min(two.height, fits(line));
    two.height = std::max(two.height, f.least_ch);
    return two;
}

// Beside the panel, the last line nearest it at `disp` text heights.
void draw_axis_title(plstream& pls, const char* side, double disp, const AxisTitle& t, const Frame& f) {
    pls.schr(t.height, 1.0);
    const std::size_t n = t.lines.size();
    for (std::size_t k = 0; k < n; ++k)
        pls.mtex(side, (disp * f.ch + 1.3 * double(n - 1 - k) * f.ch) / t.height, 0.5, 0.5,
                 plplot_text(t.lines[k]).c_str());
    pls.schr(f.ch, 1.0);
}

// A vertical bar of the diverging scale from -range to +range, its numbers
// on the right and the unit beside them.
void colour_bar(plstream& pls, double x0, double x1, double y0, double y1, double range, const Device& device) {
    pls.vpor(x0, x1, y0, y1);
    pls.wind(0, 1, -range, range);
    constexpr int bands = 64;
    for (int k = 0; k < bands; ++k) {
        const double lo = -range + 2 * range * k / bands, hi = -range + 2 * range * (k + 1) / bands;
        const PLFLT x[] = {0, 1, 1, 0}, y[] = {lo, lo, hi, hi};
        pls.col1((k + 0.5) / bands);
        pls.fill(4, x, y);
    }
    pls.col0(ink_index);
    pls.width(device.line_width(style::thin_line_mm));
    pls.box("bc", 0, 0, "bcmstv", 0, 0);
    pls.mtex("t", 1.0, 0.5, 0.5, unit_text);
}

}  // namespace

std::string surface_file(const ExpansionTensor& tensor, const std::string& title, Format format, const Page& page,
                         const SurfaceView& asked_view) {
    check_finite(tensor);
    if (!(std::fabs(asked_view.elevation_deg) < 90) || !std::isfinite(asked_view.azimuth_deg))
        throw PlotError("the view's elevation must lie between -90 and 90 degrees");
    // The largest |r| is the largest |principal value|: sampled finely
    // enough for the scale.
    const int rings = surface_rings, sectors = surface_sectors;
    std::vector<Vector3> n((rings + 1) * sectors);
    std::vector<double> r(n.size());
    double largest = 0;
    for (int i = 0; i <= rings; ++i)
        for (int j = 0; j < sectors; ++j) {
            const double theta = std::numbers::pi * i / rings, phi = 2 * std::numbers::pi * j / sectors;
            const std::size_t k = std::size_t(i * sectors + j);
            n[k] = {std::sin(theta) * std::cos(phi), std::sin(theta) * std::sin(phi), std::cos(theta)};
            r[k] = value_along(tensor.alpha, n[k]);
            largest = std::max(largest, std::fabs(r[k]));
        }
    for (const Vector3& row : tensor.alpha)
        for (double v : row) largest = std::max(largest, std::fabs(v));
    if (!(largest > 0) || is_zero(tensor))
        return zero_file(title, "α = 0 in every direction: no surface", tensor.zero_below, format, page);

    const View view = oblique_view(asked_view);
    struct Projected {
        double x, y, depth;
    };
    const auto project = [&](const Vector3& p) {
        return Projected{dot(p, view.right), dot(p, view.up), dot(p, view.toward_reader)};
    };
    std::vector<Projected> vertex(n.size());
    for (std::size_t k = 0; k < n.size(); ++k) {
        const double s = std::fabs(r[k]) / largest;
        vertex[k] = project({n[k][0] * s, n[k][1] * s, n[k][2] * s});
    }
    const auto at = [&](int i, int j) { return std::size_t(i * sectors + (j % sectors)); };

    // Everything drawn in 3-D, far to near: the patches, the pieces of the
    // axes (so that the surface hides what is inside or behind it) and the
    // arrow heads with their labels.
    enum class Kind { patch, shaft, head };
    struct Piece {
        double depth;
        Kind kind;
        int i, j;
    };
    std::vector<Piece> pieces;
    for (int i = 0; i < rings; ++i)
        for (int j = 0; j < sectors; ++j) {
            const double depth = (vertex[at(i, j)].depth + vertex[at(i, j + 1)].depth + vertex[at(i + 1, j)].depth +
                                  vertex[at(i + 1, j + 1)].depth) /
                                 4;
            pieces.push_back({depth, Kind::patch, i, j});
        }
    constexpr double arrow_length = 1.25;
    constexpr int shaft_pieces = 25;
    std::array<Vector3, 3> axes;
    for (int k = 0; k < 3; ++k) {
        Vector3 uvw{};
        uvw[std::size_t(k)] = 1;
        axes[std::size_t(k)] = crystal_axis(tensor.cell, uvw);
        for (int p = 0; p < shaft_pieces; ++p)
            pieces.push_back({dot(axes[std::size_t(k)], view.toward_reader) * arrow_length * (p + 0.5) / shaft_pieces,
                              Kind::shaft, k, p});
        pieces.push_back({dot(axes[std::size_t(k)], view.toward_reader) * arrow_length, Kind::head, k, 0});
    }
    std::stable_sort(pieces.begin(), pieces.end(), [](const Piece& a, const Piece& b) { return a.depth < b.depth; });

    return draw_file(format, page, [&](plstream& pls, const Device& device) {
        const Frame f = start_page(pls, device, set_colours, device.real_height_mm);
        draw_title(pls, f, title);
        const double top = (title.empty() ? 1.0 : 3.2) * f.ch, bar_room = 9 * f.ch;
        const double margin = 0.8 * f.ch;
        pls.vpas(margin / f.width, 1 - bar_room / f.width, margin / f.height, 1 - top / f.height, 1.0);
        constexpr double reach = 1.42;  // the longest arrow with its label
        pls.wind(-reach, reach, -reach, reach);
        for (const Piece& piece : pieces) {
            if (piece.kind == Kind::patch) {
                const std::size_t c[4] = {at(piece.i, piece.j), at(piece.i, piece.j + 1), at(piece.i + 1, piece.j + 1),
                                          at(piece.i + 1, piece.j)};
                PLFLT x[4], y[4];
                for (int m = 0; m < 4; ++m) x[m] = vertex[c[m]].x, y[m] = vertex[c[m]].y;
                const double theta = std::numbers::pi * (piece.i + 0.5) / rings;
                const double phi = 2 * std::numbers::pi * (piece.j + 0.5) / sectors;
                const double value = value_along(
                    tensor.alpha, {std::sin(theta) * std::cos(phi), std::sin(theta) * std::sin(phi), std::cos(theta)});
                pls.col1(0.5 + 0.5 * value / largest);
                pls.fill(4, x, y);
            } else {
                const Vector3& u = axes[std::size_t(piece.i)];
                pls.col0(ink_index);
                pls.width(device.line_width(style::fit_line_mm));
                if (piece.kind == Kind::shaft) {
                    const double s0 = arrow_length * piece.j / shaft_pieces;
                    const double s1 = arrow_length * (piece.j + 1) / shaft_pieces;
                    pls.join(dot(u, view.right) * s0, dot(u, view.up) * s0, dot(u, view.right) * s1,
                             dot(u, view.up) * s1);
                    continue;
                }
                const double tx = dot(u, view.right) * arrow_length, ty = dot(u, view.up) * arrow_length;
                const double length = std::hypot(tx, ty);
                if (length < 1e-3) continue;  // pointing at the reader: no head to draw
                const double dx = tx / length, dy = ty / length, h = 0.09;
                pls.join(tx, ty, tx - h * dx + 0.45 * h * dy, ty - h * dy - 0.45 * h * dx);
                pls.join(tx, ty, tx - h * dx - 0.45 * h * dy, ty - h * dy + 0.45 * h * dx);
                const char label[2] = {char('a' + piece.i), '\0'};
                pls.schr(f.ch, 1.2);
                pls.ptex(tx + 0.16 * dx, ty + 0.16 * dy, 1, 0, 0.5, label);
                pls.schr(f.ch, 1.0);
            }
        }
        const double bar_x0 = 1 - bar_room / f.width + 1.5 * f.ch / f.width;
        colour_bar(pls, bar_x0, bar_x0 + 1.4 * f.ch / f.width, 0.18, 0.82, largest, device);
    });
}

std::string section_file(const ExpansionTensor& tensor, const SectionPlane& plane, const std::string& title,
                         Format format, const Page& page) {
    check_finite(tensor);
    constexpr int steps = 360;  // one degree: smooth at a column's width, and a small file
    std::vector<double> psi(steps + 1), r(steps + 1);
    double largest = 0;
    for (int k = 0; k <= steps; ++k) {
        psi[std::size_t(k)] = 2 * std::numbers::pi * k / steps;
        const double c = std::cos(psi[std::size_t(k)]), s = std::sin(psi[std::size_t(k)]);
        r[std::size_t(k)] = value_along(
            tensor.alpha,
            {plane.e1[0] * c + plane.e2[0] * s, plane.e1[1] * c + plane.e2[1] * s, plane.e1[2] * c + plane.e2[2] * s});
        largest = std::max(largest, std::fabs(r[std::size_t(k)]));
    }
    if (!(largest > tensor.zero_below) || is_zero(tensor))
        return zero_file(title, "α = 0 in every direction of the plane", tensor.zero_below, format, page);
    const std::vector<double> zeros = sign_changes(tensor.alpha, plane);
    bool any_negative = false, any_positive = false;
    for (double v : r) {
        if (v < 0) any_negative = true;
        if (v > 0) any_positive = true;
    }

    return draw_file(format, page, [&](plstream& pls, const Device& device) {
        const Frame f = start_page(pls, device, set_colours, device.real_height_mm);
        draw_title(pls, f, title);
        const double top = (title.empty() ? 1.2 : 3.2) * f.ch;
        // The axis titles name the plane's directions, "along ⊥ a, towards
        // c" for one made perpendicular: each fitted to the square panel.
        const double side = std::min(f.width - 8 * f.ch, f.height - 4.6 * f.ch - top);
        const AxisTitle x_title = fit_axis_title("along " + plane.e1_name + " (" + unit_text + ")", side, f);
        const AxisTitle y_title = fit_axis_title("along " + plane.e2_name + " (" + unit_text + ")", side, f);
        const double y_room = 1.3 * double(y_title.lines.size() - 1) * f.ch;
        pls.vpas((6.5 * f.ch + y_room) / f.width, 1 - 1.5 * f.ch / f.width, (4.6 * f.ch + y_room) / f.height,
                 1 - top / f.height, 1.0);
        const double w = 1.18 * largest;
        pls.wind(-w, w, -w, w);
        // The plane's own axes through the origin, faint.
        pls.col0(guide_index);
        pls.width(device.line_width(style::thin_line_mm));
        pls.join(-w, 0, w, 0);
        pls.join(0, -w, 0, w);
        // Where the sign changes, dashed along both halves of the direction.
        pls.col0(zero_line_index);
        pls.width(device.line_width(style::fit_line_mm));
        pls.lsty(zero_line_style);
        for (double p : zeros) pls.join(-w * std::cos(p), -w * std::sin(p), w * std::cos(p), w * std::sin(p));
        pls.lsty(1);
        // The curve, in runs of one sign.
        pls.width(device.line_width(style::curve_line_mm));
        std::vector<PLFLT> x, y;
        int run_sign = 0;
        const auto flush = [&] {
            if (x.size() > 1) {
                pls.col0(run_sign < 0 ? negative_index : positive_index);
                pls.line(PLINT(x.size()), x.data(), y.data());
            }
            x.clear();
            y.clear();
        };
        for (int k = 0; k <= steps; ++k) {
            const double v = r[std::size_t(k)];
            const int sign = v < 0 ? -1 : 1;
            const PLFLT px = std::fabs(v) * std::cos(psi[std::size_t(k)]);
            const PLFLT py = std::fabs(v) * std::sin(psi[std::size_t(k)]);
            if (sign != run_sign && !x.empty()) {
                x.push_back(px);  // the run ends where the next begins
                y.push_back(py);
                flush();
            }
            run_sign = sign;
            x.push_back(px);
            y.push_back(py);
        }
        flush();
        // The crystal axes that lie in the plane (within half a degree).
        const Vector3 normal = cross(plane.e1, plane.e2);
        pls.col0(ink_index);
        pls.width(device.line_width(style::fit_line_mm));
        for (int k = 0; k < 3; ++k) {
            Vector3 uvw{};
            uvw[std::size_t(k)] = 1;
            const Vector3 u = crystal_axis(tensor.cell, uvw);
            if (std::fabs(dot(u, normal)) > std::sin(0.5 * std::numbers::pi / 180)) continue;
            // The arrow reaches past the curve along it, and its label stands
            // beyond the arrow, so that neither sits on the curve.
            const double along = std::fabs(value_along(tensor.alpha, u));
            const double dx = dot(u, plane.e1), dy = dot(u, plane.e2), l = std::max(0.8 * w, along + 0.05 * w),
                         h = 0.06 * w, label_at = l + 0.09 * w;
            pls.join(0, 0, l * dx, l * dy);
            pls.join(l * dx, l * dy, l * dx - h * dx + 0.45 * h * dy, l * dy - h * dy - 0.45 * h * dx);
            pls.join(l * dx, l * dy, l * dx - h * dx - 0.45 * h * dy, l * dy - h * dy + 0.45 * h * dx);
            const char label[2] = {char('a' + k), '\0'};
            pls.schr(f.ch, 1.2);
            pls.ptex(label_at * dx, label_at * dy - 0.02 * w, 1, 0, 0.5, label);
            pls.schr(f.ch, 1.0);
        }
        pls.width(device.line_width(style::thin_line_mm));
        pls.box("bcnt", 0, 0, "bcntv", 0, 0);
        draw_axis_title(pls, "b", 3.2, x_title, f);
        draw_axis_title(pls, "l", 4.6, y_title, f);
        // A key to the colours and the dashes, in the corner the curve
        // leaves free.
        const auto key_line = [&](const char* text, int colour, int dashes, double mm) {
            LegendEntry e;
            e.text = text;
            e.colour = colour;
            e.line = true;
            e.line_style = dashes;
            e.line_width = device.line_width(mm);
            return e;
        };
        std::vector<LegendEntry> key;
        if (any_positive) key.push_back(key_line("α > 0", positive_index, 1, style::curve_line_mm));
        if (any_negative) key.push_back(key_line("α < 0", negative_index, 1, style::curve_line_mm));
        if (!zeros.empty()) key.push_back(key_line("α = 0", zero_line_index, zero_line_style, style::fit_line_mm));
        LegendPlacement place;
        place.x = place.y = 0.01;
        place.ch = std::max(f.ch * 0.9, f.least_ch / 0.88);
        place.spacing = 1.5;
        place.text_offset = 0.5;
        place.swatch_width = 0.13;
        place.boxed = false;
        draw_legend(pls, key, place);
        pls.schr(f.ch, 1.0);
    });
}

}  // namespace figures
