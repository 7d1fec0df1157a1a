#pragma once
// The temperatures and ranges of alpha's command line: --at lists of single
// values, grids START:STOP:STEP and "rows"; --range TMIN:TMAX.

#include <optional>
#include <string>
#include <vector>

namespace celltrend_analyse {

struct TemperatureList {
    std::vector<double> values;  // in the order given
    bool rows = false;           // "rows": every measured temperature, added to the values
};

// At most this many temperatures from grids.
inline constexpr std::size_t max_grid_temperatures = 100000;

// --at TEXT: values separated by commas, each a temperature in K above 0, a
// grid START:STOP:STEP (STOP included when a step lands on it within 1e-9
// of STEP), or "rows".  Empty `why` when it reads; else why not.
TemperatureList read_temperature_list(const std::string& text, std::string& why);

struct TemperatureRange {
    std::optional<double> low;
    std::optional<double> high;
    bool contains(double t) const { return (!low || t >= *low) && (!high || t <= *high); }
};

// --range TMIN:TMAX, either side may be empty; TMIN < TMAX when both given.
std::optional<TemperatureRange> read_temperature_range(const std::string& text, std::string& why);

// The legs of a run, from the temperatures in file order: the maximal runs
// in which T only rises or only falls (equal neighbours continue a run), the
// row where T turns ending one leg and starting the next.  Each leg as the
// indices of its rows.
std::vector<std::vector<std::size_t>> temperature_legs(const std::vector<double>& t);

}  // namespace celltrend_analyse
