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
    // The lines after the second, whatever they hold, up to the last line that
    // holds more than blanks, tabs and carriage returns: the empty lines an
    // editor leaves at the end are no lines of the file.
    int lines_after_header = 0;
};

// Reads the whole file from its first line, each line whole.  A read error
// ends the run (RunFailure).  When only the title or the free line has 11
// columns, they alone make the run a transformed one, as they always have:
// a notice on standard error says so.
BufferSurvey first_pass(InputFile& buffer, Console& console);

// From the start: line 1 into the title, line 2 read and dropped.  A title
// longer than the 128 characters kept is cut on a UTF-8 character boundary,
// never inside a character, with a notice.  A file of fewer than two lines
// ends the run.
void read_header_lines(InputFile& buffer, Text<128>& title, Console& console);

enum class DataLine {
    plain,      // report and TK read, matrix the identity
    matrix,     // report, TK and the nine elements read; echoed on the console
    end,        // end of the data lines, or a line of 2 or 11 columns that cannot be read in its form
    malformed,  // any other number of columns, or text beyond the characters whose columns are counted
};

// Reads the next data line, whole, into the point (which the caller has
// reset).  `data_lines` is the first pass's lines_after_header: the lines
// after it are not read.  Besides the console echo of a matrix, one notice
// goes to standard error for a line that cannot be read (what, and how many
// lines are left unread), a malformed line, and a matrix whose determinant is
// 0 or negative.  A read error ends the run (RunFailure).
DataLine read_data_line(InputFile& buffer, int data_lines, TemperaturePoint& point, Console& console);

}  // namespace celltrend
