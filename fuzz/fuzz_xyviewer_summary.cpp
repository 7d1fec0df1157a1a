// xyviewer's reading of a plot file, its summary and the numbering of its
// axes, on any bytes.
//
// What must hold: no crash and no undefined behaviour (the uncertainty
// notation once overflowed a long long); a file is either refused with a
// ReadError or read into patterns that all have points; every line of the
// summary is displayable text (valid UTF-8, no control characters), since it
// goes to a terminal; the axes get a bounded number of distinct labels.

#include <cstdint>
#include <cstdlib>
#include <set>
#include <sstream>
#include <string>

#include "figures/axis_scale.hpp"
#include "figures/figure.hpp"
#include "formats/display_text.hpp"
#include "formats/plot_file_reader.hpp"
#include "summary.hpp"

namespace {

void check(bool ok) {
    if (!ok) std::abort();
}

void check_axis(double low, double high) {
    const figures::AxisScale s = figures::axis_scale(low, high);
    const auto ticks = s.ticks();
    check(ticks.size() <= 100);
    std::set<std::string> labels;
    for (double t : ticks) labels.insert(s.label(t));
    check(labels.size() == ticks.size());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    std::istringstream in(std::string(reinterpret_cast<const char*>(bytes), size));
    formats::PlotFile file;
    try {
        file = formats::read_plot_file(in, "fuzz.pgf");
    } catch (const formats::ReadError&) {
        return 0;
    }
    check(!file.patterns.empty());
    const std::string text = xyviewer::summary(file);
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = text.find('\n', start);
        const std::string line = text.substr(start, end - start);
        check(formats::displayable(line) == line);
        start = end == std::string::npos ? text.size() : end + 1;
    }
    for (const figures::Panel& panel : figures::panels_for({file}, false))
        for (const figures::Curve& s : panel.curves) {
            double xlow = s.points.front().x, xhigh = xlow, ylow = s.points.front().y.value, yhigh = ylow;
            for (const auto& p : s.points) {
                xlow = std::min(xlow, p.x), xhigh = std::max(xhigh, p.x);
                ylow = std::min(ylow, p.y.value), yhigh = std::max(yhigh, p.y.value);
            }
            check_axis(xlow, xhigh);
            check_axis(ylow, yhigh);
            for (const std::string& line : figures::fit_legend(s, panel)) check(formats::displayable(line) == line);
        }
    return 0;
}
