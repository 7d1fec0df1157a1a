#pragma once
// alpha over the legs of a run whose temperature turns (cooling, then
// heating): each leg fitted on its own, read at temperatures inside every
// leg, and the legs compared with the first, the hysteresis of the series.

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "crystal/alpha.hpp"
#include "crystal/symmetry_ties.hpp"
#include "temperature_list.hpp"

namespace celltrend_analyse {

// The rows of each leg (temperature_legs of the rows in the file's order,
// their lines), each leg in order of T.
std::vector<std::vector<crystal::SeriesPoint>> split_legs(const std::vector<crystal::SeriesPoint>& points);

// alpha (1e-6 K^-1; an angle's rate in 1e-6 degree/K) and x(T) of one fit.
struct LegValue {
    formats::Estimate alpha;
    formats::Estimate x;
};

// One quantity at one temperature: a value per leg, then for each later leg
// k its difference from leg 1 with sigma sqrt(s1^2 + sk^2), the legs being
// independent measurements.
struct LegsRow {
    double t = 0;
    std::size_t quantity = 0;  // crystal::CellQuantity
    std::vector<LegValue> legs;
    std::vector<LegValue> differences;  // leg k + 1 minus leg 1, k from 1
};

// At each temperature, a row for each quantity fitted in every leg: a, b, c,
// V and the angles that no leg holds fixed.
std::vector<LegsRow> legs_at(const std::vector<crystal::AlphaFits>& legs, const std::vector<double>& temperatures);

struct LegsReport {
    std::string file;
    std::string title;
    std::string model;
    std::string symmetry;
    std::vector<crystal::AlphaFits> legs;
    std::vector<LegsRow> rows;
};

// The summary: per leg its rows, range and fits, then per temperature a
// block of alpha and x of each leg and the differences "k-1".
std::string legs_summary_text(const LegsReport& report);

// "T quantity leg alpha sigma x sigma_x": a row per leg ("1", "2", ...), then
// a row "k-1" per later leg holding the differences.
std::string legs_tsv_text(const LegsReport& report);

// What `alpha --legs` is asked, its command line read and checked.
struct LegsRequest {
    std::string file;   // as named
    std::string name;   // the series' name in messages
    std::string title;  // the table's title
    std::string model_name;
    crystal::AlphaModel model = crystal::AlphaModel::automatic;
    crystal::CrystalSystem system = crystal::CrystalSystem::automatic;
    TemperatureList asked;
    std::optional<TemperatureRange> range;  // applied to each leg
    bool tsv = false;
};

// Fits every leg (the same system, detected on the whole series, and the
// same model), says on stderr what each leg's fits refuse or miss, and
// prints the comparison at the temperatures asked that lie inside every leg
// (by default the lowest, middle and highest of the range the legs share,
// and 298.15 when inside).  A leg that cannot be fitted stops the run as a
// short series does (InputError).  The program's exit status, 0.
int run_alpha_legs(const LegsRequest& request, std::vector<crystal::SeriesPoint> points);

}  // namespace celltrend_analyse
