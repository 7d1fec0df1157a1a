// celltrend-analyse alpha's work on a table in any layout: the rows it
// takes, the ties the series shows, every model fitted, and alpha read at
// the lowest, middle and highest temperature in the summary, the table and
// the parameters.
//
// What must hold: no crash and no undefined behaviour; a refusal is one
// line; and for ordinary cells (lengths 0.5 to 1000 A, angles 30 to 150
// degrees, temperatures 1 to 3000 K, ESDs below a tenth of their value)
// no printed number is NaN or infinite.

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdint>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "alpha_report.hpp"
#include "crystal/alpha.hpp"
#include "crystal/follow_axes.hpp"
#include "crystal/symmetry_ties.hpp"
#include "formats/series_table.hpp"
#include "input_error.hpp"
#include "usable_points.hpp"

namespace {

void check(bool ok) {
    if (!ok) __builtin_trap();
}

bool within(double x, double low, double high) { return x >= low && x <= high; }

bool small_esd(double esd, double value) { return !std::isfinite(esd) || (esd >= 0 && esd <= 0.1 * std::abs(value)); }

bool ordinary(const crystal::SeriesPoint& p) {
    const std::array<double, 6> v = p.cell.values(), s = p.esd.values();
    for (int k = 0; k < 6; ++k) {
        if (!(k < 3 ? within(v[std::size_t(k)], 0.5, 1000) : within(v[std::size_t(k)], 30, 150))) return false;
        if (!small_esd(s[std::size_t(k)], v[std::size_t(k)])) return false;
    }
    return within(p.t, 1, 3000);
}

// A word of the text that reads as a number that is not finite: "nan",
// "-nan", "inf", "-inf", "infinity".
bool prints_non_finite(const std::string& text) {
    std::string word;
    const auto bad = [](std::string w) {
        while (!w.empty() && (w.front() == '-' || w.front() == '+')) w.erase(w.begin());
        return w == "nan" || w == "inf" || w == "infinity";
    };
    for (char c : text) {
        const unsigned char u = static_cast<unsigned char>(c);
        if (std::isalnum(u) || c == '-' || c == '+' || c == '.') {
            word += char(std::tolower(u));
        } else {
            if (bad(word)) return true;
            word.clear();
        }
    }
    return bad(word);
}

constexpr crystal::AlphaModel models[] = {crystal::AlphaModel::automatic, crystal::AlphaModel::poly1,
                                          crystal::AlphaModel::poly2,     crystal::AlphaModel::poly3,
                                          crystal::AlphaModel::fei,       crystal::AlphaModel::einstein};
constexpr const char* model_names[] = {"auto", "poly1", "poly2", "poly3", "fei", "einstein"};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    // The warnings of the rows left out are not what is tested here.
    static const bool quiet = (std::cerr.setstate(std::ios::badbit), true);
    (void)quiet;
    std::istringstream in(std::string(reinterpret_cast<const char*>(bytes), size));
    formats::Series series;
    try {
        series = formats::read_series(in, "fuzz.xy");
    } catch (const formats::SeriesError& e) {
        check(std::string(e.what()).find('\n') == std::string::npos);
        return 0;
    }
    std::vector<crystal::SeriesPoint> points;
    try {
        celltrend_analyse::usable_points("celltrend-analyse alpha", series, points, "equal weights", {.read = false});
    } catch (const celltrend_analyse::InputError& e) {
        check(std::string(e.what()).find('\n') == std::string::npos);
        return 0;
    }
    crystal::SeriesSymmetry symmetry;
    try {
        symmetry = crystal::apply_symmetry(points, crystal::CrystalSystem::automatic);
    } catch (const crystal::ExpansionError& e) {
        check(std::string(e.what()).find('\n') == std::string::npos);
        return 0;
    }
    const bool every_ordinary = std::all_of(points.begin(), points.end(), ordinary);
    for (std::size_t m = 0; m < std::size(models); ++m) {
        celltrend_analyse::AlphaReport report;
        report.file = "fuzz.xy";
        report.model = model_names[m];
        report.symmetry = symmetry.description;
        try {
            report.fits = crystal::fit_cell_series(points, models[m], symmetry.ties);
        } catch (const crystal::ExpansionError& e) {
            check(std::string(e.what()).find('\n') == std::string::npos);
            return 0;
        }
        const crystal::AlphaFits& fits = report.fits;
        std::vector<double> temperatures{fits.t_min, fits.middle_t, fits.t_max};
        std::sort(temperatures.begin(), temperatures.end());
        temperatures.erase(std::unique(temperatures.begin(), temperatures.end()), temperatures.end());
        report.results = crystal::alpha_followed(fits, temperatures);
        for (std::size_t q = 0; q < 7; ++q)
            check(celltrend_analyse::misfit_text(fits, q).find('\n') == std::string::npos);
        for (const std::string& text :
             {celltrend_analyse::alpha_summary_text(report), celltrend_analyse::alpha_tsv_text(report),
              celltrend_analyse::alpha_parameters_text(report)})
            if (every_ordinary) check(!prints_non_finite(text));
    }
    return 0;
}
