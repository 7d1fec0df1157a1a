#include "formats/temperature_order.hpp"

#include <algorithm>
#include <cmath>

namespace formats {

TemperatureOrder temperature_order(const Series& series) {
    TemperatureOrder order;
    const SeriesRow* previous = nullptr;
    int direction = 0;  // of the last change: +1 up, -1 down
    for (const SeriesRow& row : series.rows) {
        if (std::isnan(row.t)) continue;
        if (previous && row.t != previous->t) {
            const int now = row.t > previous->t ? 1 : -1;
            if (now < 0) order.ascending = false;
            if (direction != 0 && now != direction) order.turns.push_back({previous->line, now > 0});
            direction = now;
        }
        previous = &row;
    }
    return order;
}

void sort_by_temperature(Series& series) {
    std::stable_sort(series.rows.begin(), series.rows.end(), [](const SeriesRow& x, const SeriesRow& y) {
        if (std::isnan(x.t) || std::isnan(y.t)) return !std::isnan(x.t) && std::isnan(y.t);
        return x.t < y.t;
    });
}

std::vector<std::string> order_notes(const TemperatureOrder& order, bool sorted, SeriesVariable variable) {
    std::vector<std::string> notes;
    if (order.ascending) return notes;
    const bool pressure = variable == SeriesVariable::pressure;
    const std::string quantity = pressure ? "pressure" : "temperature";
    notes.push_back("the rows are not in order of " + quantity + "; they are taken " +
                    (sorted ? std::string(pressure ? "sorted by P" : "sorted by T") : "in the file's order"));
    // Going down, then up: cooling then heating, or decompression then compression.
    const char* lowest = pressure ? " (decompression, then compression)" : " (cooling, then heating)";
    const char* highest = pressure ? " (compression, then decompression)" : " (heating, then cooling)";
    if (!order.turns.empty()) {
        std::string s = "the " + quantity + " turns at ";
        s += order.turns.size() == 1 ? "line " : "lines ";
        for (std::size_t i = 0; i < order.turns.size(); ++i) {
            if (i > 0) s += i + 1 == order.turns.size() ? " and " : ", ";
            s += std::to_string(order.turns[i].line) + (order.turns[i].lowest ? lowest : highest);
        }
        notes.push_back(s);
    }
    return notes;
}

}  // namespace formats
