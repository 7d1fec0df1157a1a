#include "figures/tensor_figures.hpp"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <numbers>
#include <utility>
#include <vector>

#include "crystal/alpha.hpp"
#include "crystal/crystal_direction.hpp"
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

void check_finite(const ExpansionTensor& tensor) {
    if (!tensor.alpha.allFinite()) throw PlotError("the expansion tensor is not finite: nothing to draw");
    if (!tensor.cell.allFinite()) throw PlotError("the cell is not finite: nothing to draw");
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

// Something drawn at a point of the drawing's plane (window units) that
// reaches `pad` text heights round it on the page: a label, or 0 for a point
// of a line.
struct Drawn {
    double x, y, pad;
};

struct Span {
    double low = INFINITY, high = -INFINITY;
    double length() const { return high - low; }
};

// What is drawn at `scale` page units a window unit, as large as it fits a
// viewport `width` x `height` page units with text `ch` high: its extent
// on the page, from the window's origin.
struct Fit {
    double scale = 0;
    Span x, y;
};

Fit fitted(const std::vector<Drawn>& drawn, double ch, double width, double height) {
    const auto at = [&](double scale) {
        Fit f{scale, {}, {}};
        for (const Drawn& d : drawn) {
            f.x = {std::min(f.x.low, d.x * scale - d.pad * ch), std::max(f.x.high, d.x * scale + d.pad * ch)};
            f.y = {std::min(f.y.low, d.y * scale - d.pad * ch), std::max(f.y.high, d.y * scale + d.pad * ch)};
        }
        return f;
    };
    const auto fits = [&](double scale) {
        const Fit f = at(scale);
        return f.x.length() <= width && f.y.length() <= height;
    };
    // The extent grows with the scale: the largest scale that fits, by
    // bisection.
    double low = 0, high = 1;
    while (fits(high) && high < 1e12) low = high, high *= 2;
    for (int k = 0; k < 60; ++k) (fits((low + high) / 2) ? low : high) = (low + high) / 2;
    return at(low > 0 ? low : high);
}

struct Window {
    double x0, x1, y0, y1;
};

// The window of that viewport, as many page units a window unit along both
// axes, that holds everything drawn as large as it fits: touching the
// viewport's edges along one axis, centred along the other.
Window fitted_window(const std::vector<Drawn>& drawn, double ch, double width, double height) {
    const Fit f = fitted(drawn, ch, width, height);
    const double cx = (f.x.low + f.x.high) / 2 / f.scale, cy = (f.y.low + f.y.high) / 2 / f.scale;
    const double half_width = width / 2 / f.scale, half_height = height / 2 / f.scale;
    return {cx - half_width, cx + half_width, cy - half_height, cy + half_height};
}

struct View {
    Eigen::Vector3d toward_reader, right, up;
};

View oblique_view(const SurfaceView& asked) {
    const double azimuth = asked.azimuth_deg * std::numbers::pi / 180;
    const double elevation = asked.elevation_deg * std::numbers::pi / 180;
    View v;
    v.toward_reader = {std::cos(elevation) * std::cos(azimuth), std::cos(elevation) * std::sin(azimuth),
                       std::sin(elevation)};
    v.right = Eigen::Vector3d::UnitZ().cross(v.toward_reader).normalized();
    v.up = v.toward_reader.cross(v.right);
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

constexpr double arrow_length = 1.25;
constexpr int shaft_pieces = 25;

// Everything a surface draws, in the plane of the drawing at |r| = 1 for the
// largest coefficient.
struct Surface {
    View view;
    double largest = 0;  // |r|, 10⁻⁶ K⁻¹; 0: nothing to draw
    struct Projected {
        double x, y, depth;
    };
    std::vector<Projected> vertex;  // ring by ring, sector by sector
    std::array<Eigen::Vector3d, 3> axes;
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
    static std::size_t at(int i, int j) { return std::size_t(i * surface_sectors + (j % surface_sectors)); }
};

Surface surface_of(const ExpansionTensor& tensor, const SurfaceView& asked_view) {
    check_finite(tensor);
    if (!(std::fabs(asked_view.elevation_deg) < 90) || !std::isfinite(asked_view.azimuth_deg))
        throw PlotError("the view's elevation must lie between -90 and 90 degrees");
    // The largest |r| is the largest |principal value|: sampled finely
    // enough for the scale.
    const int rings = surface_rings, sectors = surface_sectors;
    std::vector<Eigen::Vector3d> n((rings + 1) * sectors);
    std::vector<double> r(n.size());
    Surface s;
    for (int i = 0; i <= rings; ++i)
        for (int j = 0; j < sectors; ++j) {
            const double theta = std::numbers::pi * i / rings, phi = 2 * std::numbers::pi * j / sectors;
            const std::size_t k = std::size_t(i * sectors + j);
            n[k] = {std::sin(theta) * std::cos(phi), std::sin(theta) * std::sin(phi), std::cos(theta)};
            r[k] = crystal::alpha_along(tensor.alpha, n[k]);
            s.largest = std::max(s.largest, std::fabs(r[k]));
        }
    s.largest = std::max(s.largest, tensor.alpha.cwiseAbs().maxCoeff());
    if (!(s.largest > 0) || is_zero(tensor)) {
        s.largest = 0;
        return s;
    }

    s.view = oblique_view(asked_view);
    const View& view = s.view;
    s.vertex.resize(n.size());
    for (std::size_t k = 0; k < n.size(); ++k) {
        const Eigen::Vector3d p = n[k] * (std::fabs(r[k]) / s.largest);
        s.vertex[k] = {p.dot(view.right), p.dot(view.up), p.dot(view.toward_reader)};
    }
    const auto& vertex = s.vertex;
    const auto at = Surface::at;
    for (int i = 0; i < rings; ++i)
        for (int j = 0; j < sectors; ++j) {
            const double depth = (vertex[at(i, j)].depth + vertex[at(i, j + 1)].depth + vertex[at(i + 1, j)].depth +
                                  vertex[at(i + 1, j + 1)].depth) /
                                 4;
            s.pieces.push_back({depth, Surface::Kind::patch, i, j});
        }
    for (int k = 0; k < 3; ++k) {
        s.axes[std::size_t(k)] = crystal::cartesian_direction(tensor.cell, Eigen::Vector3d::Unit(k));
        const double depth = s.axes[std::size_t(k)].dot(view.toward_reader);
        for (int p = 0; p < shaft_pieces; ++p)
            s.pieces.push_back({depth * arrow_length * (p + 0.5) / shaft_pieces, Surface::Kind::shaft, k, p});
        s.pieces.push_back({depth * arrow_length, Surface::Kind::head, k, 0});
    }
    std::stable_sort(s.pieces.begin(), s.pieces.end(),
                     [](const Surface::Piece& a, const Surface::Piece& b) { return a.depth < b.depth; });
    return s;
}

// The tip of axis k's arrow in the drawing's plane, and whether it has a
// head (none when it points at the reader).
struct Tip {
    double x, y, dx, dy;
    bool head;
};

Tip tip_of(const Surface& s, int k) {
    const Eigen::Vector3d& u = s.axes[std::size_t(k)];
    const double tx = u.dot(s.view.right) * arrow_length, ty = u.dot(s.view.up) * arrow_length;
    const double length = std::hypot(tx, ty);
    if (length < 1e-3) return {tx, ty, 0, 0, false};
    return {tx, ty, tx / length, ty / length, true};
}

// The surface, the arrows and their labels (1.2 text heights).
std::vector<Drawn> surface_extent(const Surface& s) {
    std::vector<Drawn> drawn;
    for (const Surface::Projected& p : s.vertex) drawn.push_back({p.x, p.y, 0});
    for (int k = 0; k < 3; ++k) {
        const Tip t = tip_of(s, k);
        drawn.push_back({t.x, t.y, 0});
        if (t.head) drawn.push_back({t.x + 0.16 * t.dx, t.y + 0.16 * t.dy, 0.75 * 1.2});
    }
    return drawn;
}

// The room round the surface on its page, in the units of the text height
// `ch`: the title above, a margin, and at the right the colour bar (a gap,
// the bar, its numbers at 0.62 text heights a glyph, the unit centred above
// it).
struct SurfaceRoom {
    double top, margin, bar_gap, bar_width, bar_room;
};

SurfaceRoom surface_room(double ch, bool titled, double largest) {
    SurfaceRoom room;
    room.top = (titled ? 3.2 : 1.0) * ch;
    room.margin = 0.8 * ch;
    char widest[32];
    std::snprintf(widest, sizeof widest, "%.0f", -largest);
    const double numbers = 0.62 * ch * (double(std::strlen(widest)) + 0.5);
    room.bar_width = 1.4 * ch;
    room.bar_gap = 1.5 * ch;
    room.bar_room =
        room.bar_gap + std::max(room.bar_width + 0.6 * ch + numbers, room.bar_width / 2 + 0.31 * ch * 9) + room.margin;
    return room;
}

}  // namespace

Page surface_page(const ExpansionTensor& tensor, const std::string& title, const SurfaceView& view, Page page) {
    const Surface s = surface_of(tensor, view);
    if (s.largest == 0) return page;
    const std::vector<Drawn> drawn = surface_extent(s);
    // The text height follows the page's smaller side: settled in a few
    // rounds.
    for (int round = 0; round < 4; ++round) {
        const double ch = style::text_height_mm(page.width_mm, page.height_mm);
        const SurfaceRoom room = surface_room(ch, !title.empty(), s.largest);
        const double width = page.width_mm - room.margin - room.bar_room;
        const Fit f = fitted(drawn, ch, width, 1e9);
        page.height_mm = std::clamp(f.y.length() + room.margin + room.top, 0.5 * page.width_mm, 1.5 * page.width_mm);
    }
    return page;
}

std::string surface_file(const ExpansionTensor& tensor, const std::string& title, Format format, const Page& page,
                         const SurfaceView& asked_view) {
    const Surface s = surface_of(tensor, asked_view);
    if (s.largest == 0)
        return zero_file(title, "α = 0 in every direction: no surface", tensor.zero_below, format, page);
    const auto& vertex = s.vertex;
    const auto at = Surface::at;
    const int rings = surface_rings, sectors = surface_sectors;
    const double largest = s.largest;
    using Kind = Surface::Kind;

    return draw_file(format, page, [&](plstream& pls, const Device& device) {
        const Frame f = start_page(pls, device, set_colours, device.real_height_mm);
        draw_title(pls, f, title);
        // The surface, the arrows and their labels as large as the page
        // holds them beside the colour bar.
        const SurfaceRoom room = surface_room(f.ch, !title.empty(), largest);
        const double area_width = f.width - room.margin - room.bar_room,
                     area_height = f.height - room.margin - room.top;
        pls.vpor(room.margin / f.width, (room.margin + area_width) / f.width, room.margin / f.height,
                 1 - room.top / f.height);
        const Window w = fitted_window(surface_extent(s), f.ch, area_width, area_height);
        pls.wind(w.x0, w.x1, w.y0, w.y1);
        for (const Surface::Piece& piece : s.pieces) {
            if (piece.kind == Kind::patch) {
                const std::size_t c[4] = {at(piece.i, piece.j), at(piece.i, piece.j + 1), at(piece.i + 1, piece.j + 1),
                                          at(piece.i + 1, piece.j)};
                PLFLT x[4], y[4];
                for (int m = 0; m < 4; ++m) x[m] = vertex[c[m]].x, y[m] = vertex[c[m]].y;
                const double theta = std::numbers::pi * (piece.i + 0.5) / rings;
                const double phi = 2 * std::numbers::pi * (piece.j + 0.5) / sectors;
                const double value = crystal::alpha_along(
                    tensor.alpha, {std::sin(theta) * std::cos(phi), std::sin(theta) * std::sin(phi), std::cos(theta)});
                pls.col1(0.5 + 0.5 * value / largest);
                pls.fill(4, x, y);
            } else {
                const Eigen::Vector3d& u = s.axes[std::size_t(piece.i)];
                const View& view = s.view;
                pls.col0(ink_index);
                pls.width(device.line_width(style::fit_line_mm));
                if (piece.kind == Kind::shaft) {
                    const double s0 = arrow_length * piece.j / shaft_pieces;
                    const double s1 = arrow_length * (piece.j + 1) / shaft_pieces;
                    pls.join(u.dot(view.right) * s0, u.dot(view.up) * s0, u.dot(view.right) * s1, u.dot(view.up) * s1);
                    continue;
                }
                const auto [tx, ty, dx, dy, head] = tip_of(s, piece.i);
                if (!head) continue;  // pointing at the reader: no head to draw
                const double h = 0.09;
                pls.join(tx, ty, tx - h * dx + 0.45 * h * dy, ty - h * dy - 0.45 * h * dx);
                pls.join(tx, ty, tx - h * dx - 0.45 * h * dy, ty - h * dy + 0.45 * h * dx);
                const char label[2] = {char('a' + piece.i), '\0'};
                pls.schr(f.ch, 1.2);
                pls.ptex(tx + 0.16 * dx, ty + 0.16 * dy, 1, 0, 0.5, label);
                pls.schr(f.ch, 1.0);
            }
        }
        const double bar_x0 = (f.width - room.bar_room + room.bar_gap) / f.width;
        colour_bar(pls, bar_x0, bar_x0 + room.bar_width / f.width, 0.18, 0.82, largest, device);
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
        r[std::size_t(k)] = crystal::alpha_along(tensor.alpha, plane.e1 * c + plane.e2 * s);
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
        // The panel fills the page left by the titles: the axis titles name
        // the plane's directions, "along ⊥ a, towards c" for one made
        // perpendicular, each fitted to its side.
        const double right = 1.5 * f.ch, base_left = 6.5 * f.ch, base_bottom = 4.6 * f.ch;
        const AxisTitle x_title =
            fit_axis_title("along " + plane.e1_name + " (" + unit_text + ")", f.width - base_left - right, f);
        const AxisTitle y_title =
            fit_axis_title("along " + plane.e2_name + " (" + unit_text + ")", f.height - base_bottom - top, f);
        const double y_room = 1.3 * double(y_title.lines.size() - 1) * f.ch;
        const double left = base_left + y_room, bottom = base_bottom + y_room;
        pls.vpor(left / f.width, 1 - right / f.width, bottom / f.height, 1 - top / f.height);
        // The curve, its arrows and their labels lie within w of the origin
        // in every direction; the panel's longer side reaches further, at
        // the same scale.
        const double w = 1.18 * largest;
        const Window window =
            fitted_window({{-w, -w, 0}, {w, w, 0}}, f.ch, f.width - left - right, f.height - bottom - top);
        pls.wind(window.x0, window.x1, window.y0, window.y1);
        const double reach = std::hypot(window.x1 - window.x0, window.y1 - window.y0);
        // The plane's own axes through the origin, faint.
        pls.col0(guide_index);
        pls.width(device.line_width(style::thin_line_mm));
        pls.join(window.x0, 0, window.x1, 0);
        pls.join(0, window.y0, 0, window.y1);
        // Where the sign changes, dashed along both halves of the direction
        // to the panel's edges (the viewport clips them).
        pls.col0(zero_line_index);
        pls.width(device.line_width(style::fit_line_mm));
        pls.lsty(zero_line_style);
        for (double p : zeros)
            pls.join(-reach * std::cos(p), -reach * std::sin(p), reach * std::cos(p), reach * std::sin(p));
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
        const Eigen::Vector3d normal = plane.e1.cross(plane.e2);
        pls.col0(ink_index);
        pls.width(device.line_width(style::fit_line_mm));
        for (int k = 0; k < 3; ++k) {
            const Eigen::Vector3d u = crystal::cartesian_direction(tensor.cell, Eigen::Vector3d::Unit(k));
            if (std::fabs(u.dot(normal)) > std::sin(0.5 * std::numbers::pi / 180)) continue;
            // The arrow reaches past the curve along it, and its label stands
            // beyond the arrow, so that neither sits on the curve.
            const double along = std::fabs(crystal::alpha_along(tensor.alpha, u));
            const double dx = u.dot(plane.e1), dy = u.dot(plane.e2), l = std::max(0.8 * w, along + 0.05 * w),
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
