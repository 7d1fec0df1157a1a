#pragma once
// The result writers: the temperature tables, the plot files and the offer
// to plot them.

#include <array>
#include <string_view>

#include "console.hpp"
#include "formats/layouts.hpp"
#include "run_state.hpp"
#include "text_files.hpp"

namespace celltrend {

// The files a run writes: one table, or one plot file per selected quantity.
struct Outputs {
    OutputFile table;
    std::array<OutputFile, quantity_count> plots;
};

inline constexpr std::string_view plain_table_name = layout::plain_table_name;
inline constexpr std::string_view transf_table_name = layout::transformed_table_name;

// The plot file of a quantity in this run.
std::string_view plot_file_name(std::size_t q, bool transformed);

// Creates the run's outputs with their headers, from the title and point
// count the state holds.  An output that would replace the buffer file itself
// ends the run before anything is created.
void open_xy_files(const RunState& state, const InputFile& buffer, Outputs& outputs);

// The twelve header lines of the plot file of quantity q.
void write_plot_header(OutputFile& file, std::size_t q, std::string_view title, int point_count, bool transformed);

// One data line: TK, the value and, when not transformed, the ESD.
void fill_pgf(OutputFile& file, bool transformed, float tk, float value, float esd);

// One table line of an accepted temperature.
void write_table_line(OutputFile& table, bool transformed, const TemperaturePoint& point);

// Offers a plot file; on "y" or "Y" runs "xyviewer NAME" and waits for it.
// `answer` is the run's answer to the offers: a line holding only "/" leaves
// it as the previous offer left it, as with the other questions.  False,
// after a notice naming the viewer and its status, when the viewer could not
// be started or ended with a status other than 0.
bool plot_it(Console& console, std::string_view file_name, Text<16>& answer);

}  // namespace celltrend
