#include "buffer_file.hpp"

#include <algorithm>
#include <string>

#include "failure.hpp"
#include "list_input.hpp"
#include "macros.hpp"

namespace celltrend {

namespace {

constexpr std::size_t data_line_length = 256;

[[noreturn]] void read_failed(const InputFile& buffer, ReadStatus status, int line_number) {
    throw RunFailure(" !! Cannot read line " + std::to_string(line_number) + " of the buffer file " + buffer.name() +
                     ": " + (status == ReadStatus::end ? std::string("end of file") : buffer.error_text()) + " !!");
}

// A read error (EIO from a failing disk, say) is no end of the file: taken
// for one, it would end the data early without a word.
[[noreturn]] void read_error(const InputFile& buffer, std::string_view what_is_done) {
    const std::string why = buffer.error_text();
    throw RunFailure(" !! Cannot read the buffer file " + buffer.name() + ": " + why + " !!", 1,
                     notice_line(buffer.name(), buffer.line_number() + 1,
                                 "read error (" + why + "); " + std::string(what_is_done)));
}

}  // namespace

BufferSurvey first_pass(InputFile& buffer) {
    buffer.rewind();
    BufferSurvey survey;
    int lines = 0;
    Text<data_line_length> line;
    ReadStatus status;
    while ((status = buffer.read(line)) == ReadStatus::ok) {
        ++lines;
        line.adjustl();
        if (line[0] == '!') continue;
        if (nombre_de_colonnes(line.view()) == 11) survey.transformed = true;
    }
    if (status == ReadStatus::error) read_error(buffer, "the run stops before any output is created");
    survey.lines_after_header = std::max(lines - 2, 0);
    return survey;
}

void read_header_lines(InputFile& buffer, Text<128>& title) {
    buffer.rewind();
    Text<128> second;
    if (const ReadStatus s = buffer.read(title); s != ReadStatus::ok) read_failed(buffer, s, 1);
    if (const ReadStatus s = buffer.read(second); s != ReadStatus::ok) read_failed(buffer, s, 2);
}

DataLine read_data_line(InputFile& buffer, TemperaturePoint& point, Console& console) {
    std::string_view line;
    const ReadStatus status = buffer.next_line(line, data_line_length);
    if (status == ReadStatus::end) return DataLine::end;
    if (status == ReadStatus::error) read_error(buffer, "the run stops");

    const int columns = nombre_de_colonnes(line);
    if (columns == 11) {
        Matrix& m = point.matrix;
        const ListItem items[] = {point.report.span(), &point.tk, &m[0][0], &m[0][1], &m[0][2], &m[1][0],
                                  &m[1][1],           &m[1][2], &m[2][0], &m[2][1], &m[2][2]};
        if (list_read(line, items) != ListStatus::ok) return DataLine::end;
        console.formatted("(2X,A,F8.2,5X,A,3(1X,3F3.0),A)",
                          {std::string_view(" TK = "), point.tk, std::string_view("M = ["), m[0][0], m[0][1],
                           m[0][2], m[1][0], m[1][1], m[1][2], m[2][0], m[2][1], m[2][2], std::string_view("]")});
        return DataLine::matrix;
    }
    if (columns == 2) {
        const ListItem items[] = {point.report.span(), &point.tk};
        if (list_read(line, items) != ListStatus::ok) return DataLine::end;
        point.matrix = identity_matrix;
        return DataLine::plain;
    }
    return DataLine::malformed;
}

}  // namespace celltrend
