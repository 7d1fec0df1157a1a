#include "figures/legend.hpp"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "figures/page.hpp"
#include "figures/plot_text.hpp"

namespace figures {

namespace {

constexpr int ink_index = 1, white_index = 0;

PLINT position_of(LegendAt at) {
    switch (at) {
        case LegendAt::top_left:
            return PL_POSITION_TOP | PL_POSITION_LEFT | PL_POSITION_INSIDE;
        case LegendAt::top_right:
            return PL_POSITION_TOP | PL_POSITION_RIGHT | PL_POSITION_INSIDE;
        case LegendAt::bottom_right:
            return PL_POSITION_BOTTOM | PL_POSITION_RIGHT | PL_POSITION_INSIDE;
        case LegendAt::bottom_left:
            return PL_POSITION_BOTTOM | PL_POSITION_LEFT | PL_POSITION_INSIDE;
        case LegendAt::below:  // centred below
            return PL_POSITION_BOTTOM | PL_POSITION_OUTSIDE;
        case LegendAt::beside:  // centred on the right
            return PL_POSITION_RIGHT | PL_POSITION_OUTSIDE;
    }
    return PL_POSITION_TOP | PL_POSITION_LEFT | PL_POSITION_INSIDE;
}

// The box's top left corner in parts of the viewport, where PLplot's legend
// puts a box of that size.
std::pair<double, double> top_left(const LegendPlacement& p, const LegendSize& s) {
    switch (p.at) {
        case LegendAt::top_left:
            return {p.x, 1 - p.y};
        case LegendAt::top_right:
            return {1 - s.width - p.x, 1 - p.y};
        case LegendAt::bottom_right:
            return {1 - s.width - p.x, s.height + p.y};
        case LegendAt::bottom_left:
            return {p.x, s.height + p.y};
        case LegendAt::below:
            return {0.5 - s.width / 2 + p.x, -p.y};
        case LegendAt::beside:
            return {1 + p.x, 0.5 + s.height / 2 + p.y};
    }
    return {0, 1};
}

ssize_t discard_write(void*, const char*, size_t size) { return ssize_t(size); }

int discard_close(void* closed) {
    *static_cast<bool*>(closed) = true;
    return 0;
}

}  // namespace

LegendSize draw_legend(plstream& pls, const std::vector<LegendEntry>& entries, const LegendPlacement& place) {
    if (entries.empty()) return {};
    const int n = int(entries.size());
    const int columns = std::max(1, std::min(place.columns, n));
    const int rows = (n + columns - 1) / columns;
    std::vector<PLINT> opts, colours, styles, text_colours(n, ink_index), numbers(n, 1), patterns(n, 0);
    std::vector<PLFLT> widths, scales(n, 1), box_scales(n, 0.8), box_widths(n, 0);
    std::vector<std::string> texts;
    std::vector<const char*> text_ptrs, symbols(n, "");
    for (const LegendEntry& e : entries) {
        const PLINT swatch = (e.line ? PL_LEGEND_LINE : 0) | (e.box ? PL_LEGEND_COLOR_BOX : 0);
        opts.push_back(swatch != 0 ? swatch : PL_LEGEND_NONE);
        colours.push_back(e.colour);
        styles.push_back(e.line_style);
        widths.push_back(e.line_width);
        texts.push_back(plplot_text(e.text));
    }
    for (const std::string& t : texts) text_ptrs.push_back(t.c_str());
    PLFLT width = 0, height = 0;
    PLFLT default_ch = 0, old_ch = 0;
    pls.gchr(default_ch, old_ch);
    pls.schr(place.ch, 1.0);  // pllegend spaces its rows by this height, not by its text's
    pls.legend(&width, &height, place.boxed ? PL_LEGEND_BACKGROUND | PL_LEGEND_BOUNDING_BOX : PL_LEGEND_NONE,
               position_of(place.at), place.x, place.y, place.swatch_width, white_index, ink_index, 1, rows, columns, n,
               opts.data(), place.text_offset, place.text_scale, place.spacing, 0.0, text_colours.data(),
               text_ptrs.data(), colours.data(), patterns.data(), box_scales.data(), box_widths.data(), colours.data(),
               styles.data(), widths.data(), colours.data(), scales.data(), numbers.data(), symbols.data());

    // The markers, each centred on its swatch.  PLplot's legend keeps a
    // border of 0.4 and a gap between columns of 2 text heights, which it
    // counts in parts of the subpage's height but lays across its width.
    bool any_marker = false;
    for (const LegendEntry& e : entries) any_marker = any_marker || e.marker.has_value();
    if (any_marker) {
        const ViewportPlace vp = viewport_place(pls);
        PLFLT wx0, wx1, wy0, wy1;
        pls.gvpw(wx0, wx1, wy0, wy1);
        const LegendSize size{width, height};
        const auto [left, top] = top_left(place, size);
        const double text_height = place.ch / vp.subpage_height_mm * vp.subpage_width_mm / vp.width_mm();
        const double border = 0.4 * text_height, separation = 2 * text_height;
        const double column_step = separation + (width - 2 * border - (columns - 1) * separation) / columns;
        // The subpage as the viewport, in the legend's coordinates (parts
        // of the plot's viewport), so that no marker is clipped outside it.
        const double xs = vp.x1 - vp.x0, ys = vp.y1 - vp.y0;
        pls.vpor(0, 1, 0, 1);
        pls.wind(-vp.x0 / xs, (1 - vp.x0) / xs, -vp.y0 / ys, (1 - vp.y0) / ys);
        for (int i = 0; i < n; ++i) {
            const LegendEntry& e = entries[std::size_t(i)];
            if (!e.marker) continue;
            const int row = i % rows, column = i / rows;
            const std::vector<double> x{left + border + column * column_step + place.swatch_width / 2};
            const std::vector<double> y{top - (row + 0.5) * height / rows};
            pls.col0(e.colour);
            draw_markers(pls, *e.marker, x, y, e.marker_mm, e.line_width);
        }
        pls.vpor(vp.x0, vp.x1, vp.y0, vp.y1);
        pls.wind(wx0, wx1, wy0, wy1);
    }
    pls.col0(ink_index);
    pls.schr(old_ch, 1.0);
    return {width, height};
}

LegendPlacement legend_beside(double ch, double least_ch) {
    LegendPlacement p;
    p.at = LegendAt::beside;
    p.x = 0.02;
    p.ch = std::max(ch, least_ch / 0.88);
    p.text_scale = 0.88;
    p.spacing = 1.5;
    p.text_offset = 0.5;
    p.swatch_width = 0.12;
    p.boxed = false;
    return p;
}

LegendEntry series_entry(const std::string& text, int colour, bool line, double line_width,
                         std::optional<MarkerShape> marker, double marker_mm, double thin_width) {
    LegendEntry e;
    e.text = text;
    e.colour = colour;
    e.line = line;
    e.line_width = line ? line_width : thin_width;
    e.marker = marker;
    e.marker_mm = marker_mm;
    return e;
}

namespace {
plstream* keeps_drivers_loaded = nullptr;  // see TextMeter::open
}  // namespace

struct TextMeter::Scratch {
    std::unique_ptr<plstream> stream = std::make_unique<plstream>();
    std::FILE* file = nullptr;
    bool closed = false;
    double subpage_width_mm = 1;
    ~Scratch() {
        stream.reset();  // ends the stream, which closes its file
        if (file != nullptr && !closed) std::fclose(file);
    }
};

TextMeter::TextMeter(double width_mm, double height_mm, int columns, int rows)
    : width_mm_(width_mm), height_mm_(height_mm), columns_(columns), rows_(rows) {}

TextMeter::~TextMeter() = default;

void TextMeter::open() {
    // PLplot unloads its drivers when its last stream ends, and libltdl
    // hangs in a later unloading once the svg driver was loaded beside
    // another (the cairo one of a PNG): a stream that never ends keeps them
    // loaded for the program's life.  Held in a variable of the namespace,
    // so that a leak checker finds it reachable to the end.
    if (keeps_drivers_loaded == nullptr) keeps_drivers_loaded = new plstream;
    scratch_ = std::make_unique<Scratch>();
    plstream& s = *scratch_->stream;
    scratch_->file =
        fopencookie(&scratch_->closed, "w", cookie_io_functions_t{nullptr, discard_write, nullptr, discard_close});
    if (scratch_->file == nullptr) throw PlotError("cannot set up the drawing: out of memory");
    constexpr double points_per_mm = 72 / 25.4;
    s.sdev("svg");
    s.sfile(scratch_->file);
    s.spage(72, 72, PLINT(std::lround(width_mm_ * points_per_mm)), PLINT(std::lround(height_mm_ * points_per_mm)), 0,
            0);
    s.ssub(columns_, rows_);
    s.init();
    s.adv(0);
    PLFLT x0, x1, y0, y1;
    s.gspa(x0, x1, y0, y1);
    scratch_->subpage_width_mm = x1 - x0;
    s.vpor(0, 1, 0, 1);
    s.wind(0, 1, 0, 1);
}

double TextMeter::legend_fixed_width_mm(const std::vector<LegendEntry>& entries, double ch_mm,
                                        const LegendPlacement& like) {
    std::vector<std::string> key;
    for (const LegendEntry& e : entries) key.push_back(e.text);
    char numbers[96];
    std::snprintf(numbers, sizeof numbers, "%.17g %.17g %.17g %d", ch_mm, like.text_scale, like.text_offset,
                  like.columns);
    key.push_back(numbers);
    const auto known = widths_.find(key);
    if (known != widths_.end()) return known->second;
    if (!scratch_) open();
    LegendPlacement measured = like;
    measured.ch = ch_mm;
    measured.swatch_width = 0;
    measured.x = measured.y = 0;
    measured.at = LegendAt::top_left;
    std::vector<LegendEntry> texts;
    for (const LegendEntry& e : entries) {
        LegendEntry text;
        text.text = e.text;
        texts.push_back(text);
    }
    const double mm = draw_legend(*scratch_->stream, texts, measured).width * scratch_->subpage_width_mm;
    widths_.emplace(key, mm);
    return mm;
}

double TextMeter::text_width_mm(const std::string& text, double ch_mm) {
    LegendPlacement bare;
    bare.text_scale = 1;
    bare.text_offset = 0;
    std::vector<LegendEntry> one(1);
    one[0].text = text;
    const double with_text = legend_fixed_width_mm(one, ch_mm, bare);
    one[0].text.clear();
    return with_text - legend_fixed_width_mm(one, ch_mm, bare);
}

}  // namespace figures
