#include "alpha_legs.hpp"

#include <algorithm>
#include <cmath>
#include <iostream>

#include "alpha_report.hpp"
#include "formats/display_text.hpp"
#include "formats/printed.hpp"
#include "input_error.hpp"
#include "temperature_list.hpp"
#include "write_result.hpp"

namespace celltrend_analyse {

namespace {

using formats::printed;

constexpr std::string_view legs_program = "celltrend-analyse alpha";

[[noreturn]] void legs_error(const LegsRequest& r, const std::string& why) { throw InputError(r.name + ": " + why); }

bool by_line(const crystal::SeriesPoint& x, const crystal::SeriesPoint& y) { return x.line < y.line; }
bool by_t(const crystal::SeriesPoint& x, const crystal::SeriesPoint& y) { return x.t < y.t; }

// A quantity is compared when every leg fitted it and no leg holds it fixed.
bool compared(const std::vector<crystal::AlphaFits>& legs, std::size_t q) {
    for (const crystal::AlphaFits& f : legs)
        if (!f.quantities[q].fit || f.quantities[q].fixed) return false;
    return true;
}

LegValue value_of(const fit::ModelFit& f, std::size_t q, double t) {
    const formats::Estimate rate = q <= crystal::q_volume ? fit::relative_slope_at(f, t) : fit::slope_at(f, t);
    return {{1e6 * rate.value, 1e6 * rate.sigma}, fit::value_at(f, t)};
}

std::string leg_name(std::size_t k) { return std::to_string(k + 1); }
std::string difference_name(std::size_t k) { return std::to_string(k + 2) + "-1"; }

std::string number_or_g(double x, int width, int decimals = 4) {
    std::string s = printed("%*.*f", width, decimals, x);
    if (int(s.size()) == width && s.front() == ' ') return s;
    return " " + printed("%*.6g", width - 1, x);
}

std::string summary_row(const std::string& name, const std::string& leg, const LegValue& v) {
    return printed("%-10s%-6s", name.c_str(), leg.c_str()) + number_or_g(v.alpha.value, 12) +
           number_or_g(v.alpha.sigma, 11) + number_or_g(v.x.value, 14, 6) + number_or_g(v.x.sigma, 11, 6) + "\n";
}

std::string tsv_row(const std::string& t, const std::string& name, const std::string& leg, const LegValue& v) {
    return t + "\t" + name + "\t" + leg + "\t" + tsv_number(v.alpha.value) + "\t" + tsv_number(v.alpha.sigma) + "\t" +
           tsv_number(v.x.value) + "\t" + tsv_number(v.x.sigma) + "\n";
}

std::string row_name(std::size_t q) {
    return q <= crystal::q_volume ? std::string(crystal::cell_quantity_names[q])
                                  : "d" + std::string(crystal::cell_quantity_names[q]) + "/dT";
}

}  // namespace

std::vector<std::vector<crystal::SeriesPoint>> split_legs(const std::vector<crystal::SeriesPoint>& points) {
    std::vector<crystal::SeriesPoint> in_file = points;
    std::stable_sort(in_file.begin(), in_file.end(), by_line);
    std::vector<double> t;
    for (const crystal::SeriesPoint& p : in_file) t.push_back(p.t);
    std::vector<std::vector<crystal::SeriesPoint>> out;
    for (const std::vector<std::size_t>& leg : temperature_legs(t)) {
        std::vector<crystal::SeriesPoint>& kept = out.emplace_back();
        for (std::size_t k : leg) kept.push_back(in_file[k]);
        std::stable_sort(kept.begin(), kept.end(), by_t);
    }
    return out;
}

std::vector<LegsRow> legs_at(const std::vector<crystal::AlphaFits>& legs, const std::vector<double>& temperatures) {
    std::vector<LegsRow> out;
    for (double t : temperatures)
        for (std::size_t q = 0; q < 7; ++q) {
            if (!compared(legs, q)) continue;
            LegsRow row;
            row.t = t;
            row.quantity = q;
            for (const crystal::AlphaFits& f : legs) row.legs.push_back(value_of(*f.quantities[q].fit, q, t));
            const LegValue& first = row.legs.front();
            for (std::size_t k = 1; k < row.legs.size(); ++k) {
                const LegValue& v = row.legs[k];
                row.differences.push_back(
                    {{v.alpha.value - first.alpha.value, std::hypot(v.alpha.sigma, first.alpha.sigma)},
                     {v.x.value - first.x.value, std::hypot(v.x.sigma, first.x.sigma)}});
            }
            out.push_back(std::move(row));
        }
    return out;
}

std::string legs_summary_text(const LegsReport& r) {
    std::string s = formats::displayable(r.file) + (r.title.empty() ? "" : ": " + formats::displayable(r.title)) + "\n";
    s += printed("%zu legs, each fitted on its own\n", r.legs.size());
    if (!r.symmetry.empty()) s += "Symmetry: " + r.symmetry + "\n";
    s += "Model: " + r.model + "\n";
    for (std::size_t k = 0; k < r.legs.size(); ++k) {
        const crystal::AlphaFits& f = r.legs[k];
        s += printed("\nLeg %zu: %zu temperatures from %.2f K to %.2f K\n", k + 1, f.rows, f.t_min, f.t_max);
        s += fits_text(f);
    }
    double t = std::nan("");
    for (const LegsRow& row : r.rows) {
        if (!(row.t == t)) {
            t = row.t;
            s += "\nAt " + (std::abs(t) < 1e6 ? printed("%.2f", t) : printed("%g", t)) +
                 " K: alpha in 10^-6 K^-1 (angles: rates in 10^-6 degree/K), x in A, A^3, degree;\n"
                 "leg k-1 is leg k minus leg 1\n";
            s += printed("%-10s%-6s%12s%11s%14s%11s\n", "", "leg", "alpha", "sigma", "x", "sigma_x");
        }
        const std::string name = row_name(row.quantity);
        for (std::size_t k = 0; k < row.legs.size(); ++k) s += summary_row(name, leg_name(k), row.legs[k]);
        for (std::size_t k = 0; k < row.differences.size(); ++k)
            s += summary_row(name, difference_name(k), row.differences[k]);
    }
    return s;
}

std::string legs_tsv_text(const LegsReport& r) {
    std::string s = "T\tquantity\tleg\talpha\tsigma\tx\tsigma_x\n";
    for (const LegsRow& row : r.rows) {
        const std::string t = tsv_number(row.t);
        const std::string name(crystal::cell_quantity_names[row.quantity]);
        for (std::size_t k = 0; k < row.legs.size(); ++k) s += tsv_row(t, name, leg_name(k), row.legs[k]);
        for (std::size_t k = 0; k < row.differences.size(); ++k)
            s += tsv_row(t, name, difference_name(k), row.differences[k]);
    }
    return s;
}

int run_alpha_legs(const LegsRequest& r, std::vector<crystal::SeriesPoint> points) {
    LegsReport report;
    report.file = r.file;
    report.title = r.title;
    report.model = r.model_name;
    std::vector<std::vector<crystal::SeriesPoint>> legs;
    try {
        const crystal::SeriesSymmetry symmetry = crystal::apply_symmetry(points, r.system);
        report.symmetry = symmetry.description;
        legs = split_legs(points);
        if (legs.size() < 2)
            std::cerr << legs_program << ": " << r.name
                      << ": the temperature never turns: one leg, nothing to compare\n";
        for (std::size_t k = 0; k < legs.size(); ++k) {
            std::vector<crystal::SeriesPoint>& leg = legs[k];
            if (r.range) std::erase_if(leg, [&](const crystal::SeriesPoint& p) { return !r.range->contains(p.t); });
            const std::string where = "leg " + std::to_string(k + 1) + ": ";
            if (leg.size() < 2)
                legs_error(r, where + std::to_string(leg.size()) + (leg.size() == 1 ? " row" : " rows") +
                                  (r.range ? " in --range" : "") + "; an expansion needs at least two temperatures");
            try {
                report.legs.push_back(crystal::fit_cell_series(leg, r.model, symmetry.ties));
            } catch (const crystal::ExpansionError& e) {
                legs_error(r, where + e.what());
            }
            const crystal::AlphaFits& f = report.legs.back();
            bool anything = false;
            for (std::size_t q = 0; q < 7; ++q) {
                const crystal::QuantityFit& qf = f.quantities[q];
                if (qf.fit) {
                    anything = anything || (!qf.fixed && qf.tied_to < 0);
                    continue;
                }
                std::cerr << legs_program << ": " << r.name << ": " << where << crystal::cell_quantity_names[q] << ": "
                          << qf.refusal << "\n";
            }
            for (std::size_t q = 0; q < 7; ++q) {
                const std::string misfit = misfit_text(f, q);
                if (!misfit.empty()) std::cerr << legs_program << ": " << r.name << ": " << where << misfit << "\n";
            }
            if (!anything) legs_error(r, where + "nothing could be fitted");
        }
    } catch (const crystal::ExpansionError& e) {
        legs_error(r, e.what());
    }

    // The range every leg covers.
    double low = report.legs.front().t_min, high = report.legs.front().t_max;
    for (const crystal::AlphaFits& f : report.legs) {
        low = std::max(low, f.t_min);
        high = std::min(high, f.t_max);
    }
    if (!(low <= high)) legs_error(r, printed("the legs share no temperatures (%g to %g K)", high, low));
    std::vector<double> asked = r.asked.values;
    if (r.asked.rows)
        for (const std::vector<crystal::SeriesPoint>& leg : legs)
            for (const crystal::SeriesPoint& p : leg) asked.push_back(p.t);
    std::vector<double> temperatures;
    if (asked.empty()) {
        temperatures = {low, low + (high - low) / 2, high};
        if (298.15 > low && 298.15 < high) temperatures.push_back(298.15);
    }
    for (double t : asked) {
        if (t >= low && t <= high)
            temperatures.push_back(t);
        else if (!r.asked.rows || std::find(r.asked.values.begin(), r.asked.values.end(), t) != r.asked.values.end())
            std::cerr << legs_program << ": " << r.name << ": "
                      << printed("%g K lies outside the range every leg covers, %g to %g K: left out", t, low, high)
                      << "\n";
    }
    if (r.asked.rows || asked.empty()) {
        std::sort(temperatures.begin(), temperatures.end());
        temperatures.erase(std::unique(temperatures.begin(), temperatures.end()), temperatures.end());
    }
    if (temperatures.empty()) legs_error(r, "no temperature asked lies inside every leg");
    report.rows = legs_at(report.legs, temperatures);
    const std::string text = r.tsv ? legs_tsv_text(report) : legs_summary_text(report);
    write_result(text, "", r.file);
    return 0;
}

}  // namespace celltrend_analyse
