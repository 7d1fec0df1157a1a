#pragma once
// The rows of a series in order of temperature.  A series listed from high
// to low (a cooling run), or one that goes down and back up, would otherwise
// take its strain reference and its middle row from the file's order.

#include <string>
#include <vector>

#include "formats/series_table.hpp"

namespace formats {

struct Turn {
    int line = 0;         // the row where the temperature changes direction
    bool lowest = false;  // true: cooling, then heating; false: heating, then cooling
};

struct TemperatureOrder {
    bool ascending = true;    // every readable temperature at or above the one before it
    std::vector<Turn> turns;  // in file order
};

// How the file lists its temperatures; rows whose T cannot be read are
// passed over.
TemperatureOrder temperature_order(const Series& series);

// The rows sorted by T, stable (rows of equal T keep the file's order);
// rows whose T cannot be read go last, in the file's order.
void sort_by_temperature(Series& series);

// One line each, for standard error: that the rows were not in order (and
// whether they were sorted), and where the temperature (or pressure) turns.
// Empty for an ascending series.  The same order and sort serve a pressure
// series, whose SeriesRow::t is P.
std::vector<std::string> order_notes(const TemperatureOrder& order, bool sorted,
                                     SeriesVariable variable = SeriesVariable::temperature);

}  // namespace formats
