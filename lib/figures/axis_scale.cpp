#include "figures/axis_scale.hpp"

#include <algorithm>
#include <cmath>

#include "formats/number_text.hpp"

namespace figures {

using namespace formats;

namespace {

constexpr int max_plain_digits = 6;

double power_of_ten(int n) {
    double x = 1;
    while (n > 300) x *= 1e300, n -= 300;
    while (n < -300) x *= 1e-300, n += 300;
    return x * std::pow(10.0, n);
}

int floor_log10(double x) {
    int e = int(std::floor(std::log10(x)));
    if (power_of_ten(e + 1) <= x) ++e;  // log10 just below an exact power
    if (power_of_ten(e) > x) --e;
    return e;
}

int floor_div(int a, int b) { return a >= 0 ? a / b : -((-a + b - 1) / b); }

constexpr int min_ticks = 4, max_ticks = 9;

// The multiples of `step` in [lo, hi], counted from one near the middle so
// that far from 0 the quotients stay small and exact.
int tick_count(double lo, double hi, double step) {
    const double base = std::round((lo / 2 + hi / 2) / step) * step;
    return int(std::floor((hi - base) / step + 1e-9) - std::ceil((lo - base) / step - 1e-9)) + 1;
}

}  // namespace

double AxisScale::to_plot(double value) const {
    // Divided before the subtraction, so that values near the largest double
    // do not overflow on the way, and in two halves, so that neither power
    // of ten leaves the range of a double for the smallest values.
    const int half = exponent / 2;
    const auto scaled = [&](double v) { return v / power_of_ten(half) / power_of_ten(exponent - half); };
    return scaled(value) - scaled(offset);
}

std::string AxisScale::label(double plot_value) const {
    // A tick at 0 reached by adding steps may be -1e-17, shown "-0.00".
    if (std::fabs(plot_value) < step * 1e-6) plot_value = 0;
    return formats::printed("%.*f", decimals, plot_value);
}

std::vector<double> AxisScale::ticks() const {
    std::vector<double> out;
    const double first = std::ceil(low / step - 1e-9);
    for (double k = first; k * step <= high + step * 1e-9 && out.size() < 100; k += 1) out.push_back(k * step);
    return out;
}

std::string AxisScale::annotation() const {
    std::string out;
    if (exponent != 0) out = "×10" + formats::superscript(exponent);
    if (offset != 0) {
        std::string digits = std::fabs(offset) < 1e15 ? formats::printed("%.*f", offset_decimals, std::fabs(offset))
                                                      : formats::printed("%.15g", std::fabs(offset));
        // A round number: its trailing zeros say nothing.
        if (digits.find('.') != std::string::npos && digits.find('e') == std::string::npos) {
            while (digits.back() == '0') digits.pop_back();
            if (digits.back() == '.') digits.pop_back();
        }
        if (!out.empty()) out += " ";
        out += (offset < 0 ? "− " : "+ ") + digits;
    }
    return out;
}

AxisScale axis_scale(double low, double high) {
    AxisScale s;
    if (!std::isfinite(low) || !std::isfinite(high)) return s;
    if (low > high) std::swap(low, high);
    // Work in units of `unit` when the values come near the largest double,
    // where high - low itself would overflow, or near the smallest, where
    // powers of ten for the labels would underflow.
    const double magnitude = std::max(std::fabs(low), std::fabs(high));
    const int pre = (magnitude > 1e300 || (magnitude > 0 && magnitude < 1e-290)) ? floor_log10(magnitude) : 0;
    const double unit = power_of_ten(pre);
    double lo = low / unit, hi = high / unit;
    double span = hi - lo;
    if (!(span > 0)) {
        span = lo != 0 ? std::fabs(lo) * 1e-3 : 1.0;
        lo -= span / 2;
        hi += span / 2;
    }
    lo -= 0.06 * span;
    hi += 0.06 * span;
    span = hi - lo;

    const double raw = span / 5;
    int p = floor_log10(raw);
    const double f = raw / power_of_ten(p);
    double nice = f < 1.5 ? 1 : f < 3.5 ? 2 : f < 7.5 ? 5 : 10;
    if (nice == 10) nice = 1, ++p;
    // The rule above leaves 3.5 to 9 steps in the range, which may hold
    // only three ticks: then the next smaller step, unless that gives more
    // than nine, when the range reaches out to this step's next tick.
    if (tick_count(lo, hi, nice * power_of_ten(p)) < min_ticks) {
        const double smaller = nice == 1 ? 5 : nice == 2 ? 1 : 2;
        const int q = nice == 1 ? p - 1 : p;
        if (tick_count(lo, hi, smaller * power_of_ten(q)) <= max_ticks) {
            nice = smaller, p = q;
        } else {
            const double s = nice * power_of_ten(p);
            const double below = std::floor(lo / s - 1e-9) * s, above = std::ceil(hi / s + 1e-9) * s;
            if (lo - below < above - hi)
                lo = below;
            else
                hi = above;
        }
    }
    const double step = nice * power_of_ten(p);  // in `unit`s

    const double m = std::max(std::fabs(lo), std::fabs(hi));
    const int int_digits = m >= 1 ? floor_log10(m) + 1 : 1;
    double offset = 0;
    int exponent = 0;
    if (int_digits + std::max(0, -p) <= max_plain_digits && p >= -4 && pre == 0) {
        exponent = 0;
    } else if (m / span >= 100) {
        // Narrow range far from 0: an offset that is a round number of ten
        // steps, so that what remains needs a few digits only.
        const double grain = power_of_ten(p + 1);
        offset = std::round((lo + hi) / 2 / grain) * grain;
        exponent = (p < -3 || p > 4) ? 3 * floor_div(p, 3) : 0;
    } else {
        exponent = 3 * floor_div(floor_log10(m), 3);
    }
    s.offset = offset * unit;
    s.offset_decimals = std::max(0, -(p + 1));
    s.exponent = exponent + pre;
    const double scale = power_of_ten(exponent);
    s.low = (lo - offset) / scale;
    s.high = (hi - offset) / scale;
    s.step = step / scale;
    s.decimals = std::max(0, exponent - p);
    return s;
}

std::size_t AxisScale::longest_label() const {
    std::size_t n = 1;
    for (double t : ticks()) n = std::max(n, label(t).size());
    return n;
}

}  // namespace figures
