#pragma once
// The readings of the buffer file: a title line, a free second line, then one
// data line per temperature, "report TK" or "report TK m11 m12 ... m33".

#include "console.hpp"
#include "run_state.hpp"
#include "text_files.hpp"

namespace celltrend {

// What one reading of the whole file tells before the run begins.
struct BufferSurvey {
    bool transformed = false;  // a line not beginning with "!" (after its leading blanks) has 11 columns
    int lines_after_header = 0;  // the lines after the second, whatever they hold
};

// Reads the whole file from its first line.
BufferSurvey first_pass(InputFile& buffer);

// From the start: line 1 into the title, line 2 read and dropped.  A file of
// fewer than two lines ends the run.
void read_header_lines(InputFile& buffer, Text<128>& title);

enum class DataLine {
    plain,      // report and TK read, matrix the identity
    matrix,     // report, TK and the nine elements read; echoed on the console
    end,        // end of file, or a line of 2 or 11 columns that cannot be read in its form
    malformed,  // any other number of columns
};

// Reads the next data line into the point (which the caller has reset).
DataLine read_data_line(InputFile& buffer, TemperaturePoint& point, Console& console);

}  // namespace celltrend
