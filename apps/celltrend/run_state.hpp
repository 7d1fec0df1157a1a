#pragma once
// What a run has settled before its temperature loop, and the data of one
// temperature.  The driver fills them; the buffer-file reader and the writers
// read them, so they live below both.

#include <array>
#include <string>

#include "fixed_text.hpp"
#include "quantities.hpp"
#include "transf_cell.hpp"

namespace celltrend {

struct RunState {
    bool all_parameters = false;
    std::array<bool, quantity_count> selected{};
    bool transformed = false;  // found by the first pass; decides the whole run
    std::string buffer_name;   // as typed, whatever its length
    Text<3> answer;            // shared by the nine y/n questions, so "/" keeps the last one
    Text<16> plot_answer;      // shared by the plot offers, likewise
    Text<128> title;
    int point_count = 0;  // the buffer file's lines after its second one, up to its last line of text

    bool wants(std::size_t q) const { return all_parameters || selected[q]; }
};

// The data of one buffer-file line; reset before each line is read.
struct TemperaturePoint {
    float tk = 0.0f;
    std::string report;  // as written on the line, whatever its length
    std::array<float, quantity_count> value{};
    std::array<float, quantity_count> esd{};
    Matrix matrix = identity_matrix;
};

}  // namespace celltrend
