#include "formats/temperature_order.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

using namespace formats;

namespace {

// A series whose row k is on line k + 3 at temperature t[k].
Series with_temperatures(const std::vector<double>& t) {
    Series s;
    for (std::size_t k = 0; k < t.size(); ++k) {
        SeriesRow row;
        row.line = int(k) + 3;
        row.t = t[k];
        row.cell.a = double(k);  // tells the rows apart after sorting
        s.rows.push_back(row);
    }
    return s;
}

}  // namespace

TEST(TemperatureOrder, NotesAndSortedOrder) {
    const double nan = std::nan("");
    struct Case {
        std::vector<double> t;
        std::vector<std::string> notes;
        std::vector<double> sorted_rows;  // the original index of each row after sorting
    };
    const std::string unsorted = "the rows are not in order of temperature; they are taken sorted by T";
    const Case cases[] = {
        {{100, 120, 120, 140}, {}, {0, 1, 2, 3}},
        {{140, 120, 100}, {unsorted}, {2, 1, 0}},
        {{300, 200, 100, 150, 250},
         {unsorted, "the temperature turns at line 5 (cooling, then heating)"},
         {2, 3, 1, 4, 0}},
        {{100, 200, 200, 150, 150, 300},
         {unsorted, "the temperature turns at lines 5 (heating, then cooling) and 7 (cooling, then heating)"},
         {0, 3, 4, 1, 2, 5}},
        {{200, nan, 100, 300}, {unsorted, "the temperature turns at line 5 (cooling, then heating)"}, {2, 0, 3, 1}},
    };
    for (const Case& c : cases) {
        Series s = with_temperatures(c.t);
        EXPECT_EQ(order_notes(temperature_order(s), true), c.notes);
        sort_by_temperature(s);
        std::vector<double> rows;
        for (const SeriesRow& row : s.rows) rows.push_back(row.cell.a);
        EXPECT_EQ(rows, c.sorted_rows);
    }
    const std::vector<std::string> kept = order_notes(temperature_order(with_temperatures({2, 1})), false);
    ASSERT_EQ(kept.size(), 1u);
    EXPECT_NE(kept[0].find("taken in the file's order"), std::string::npos);
}
