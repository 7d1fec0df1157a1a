#pragma once
// The readings of the buffer file: a title line, a free second line, then one
// data line per temperature, "report TK" or "report TK m11 m12 ... m33".

#include "celltrend.hpp"
#include "console.hpp"
#include "text_files.hpp"

namespace celltrend {

// Reads the whole file from its first line; true when a line that does not
// begin with "!" (after its leading blanks) has 11 columns.
bool first_pass(InputFile& buffer);

// From the start: line 1 into the title, line 2 read and dropped.  A file of
// fewer than two lines ends the run.
void read_header_lines(InputFile& buffer, Text<128>& title);

// The number of lines from the current position to the end of the file.
int count_remaining_lines(InputFile& buffer);

enum class DataLine {
    plain,      // report and TK read, matrix the identity
    matrix,     // report, TK and the nine elements read; echoed on the console
    end,        // end of file, or a line of 2 or 11 columns that cannot be read in its form
    malformed,  // any other number of columns
};

// Reads the next data line into the point (which the caller has reset).
DataLine read_data_line(InputFile& buffer, TemperaturePoint& point, Console& console);

}  // namespace celltrend
