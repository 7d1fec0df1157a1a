#include "formats/temperature_order.hpp"

#include <algorithm>
#include <cmath>

namespace analysis {

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

std::vector<std::string> order_notes(const TemperatureOrder& order, bool sorted) {
    std::vector<std::string> notes;
    if (order.ascending) return notes;
    notes.push_back(sorted ? "the rows are not in order of temperature; they are taken sorted by T"
                           : "the rows are not in order of temperature; they are taken in the file's order");
    if (!order.turns.empty()) {
        std::string s = "the temperature turns at ";
        s += order.turns.size() == 1 ? "line " : "lines ";
        for (std::size_t i = 0; i < order.turns.size(); ++i) {
            if (i > 0) s += i + 1 == order.turns.size() ? " and " : ", ";
            s += std::to_string(order.turns[i].line) +
                 (order.turns[i].lowest ? " (cooling, then heating)" : " (heating, then cooling)");
        }
        notes.push_back(s);
    }
    return notes;
}

}  // namespace analysis
