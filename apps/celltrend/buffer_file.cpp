#include "buffer_file.hpp"

#include <algorithm>
#include <charconv>
#include <iterator>
#include <string>

#include "column_count.hpp"
#include "failure.hpp"
#include "list_input.hpp"
#include "transf_cell.hpp"

namespace celltrend {

namespace {

// Buffer-file lines are read whole, so that a long report name or a value
// beyond any column is never cut into another name or another number.
constexpr std::size_t whole_line = std::string_view::npos;

// Blanks, tabs and a carriage return are all a line can hold and still be
// empty to the eye, as the last lines an editor leaves.
bool looks_empty(std::string_view line) { return line.find_first_not_of(" \t\r") == std::string_view::npos; }

std::string shortest_text(double x) {
    char text[32];
    const auto end = std::to_chars(text, text + sizeof text, x).ptr;
    return std::string(text, end);
}

std::string plural(long n, std::string_view word) {
    return std::to_string(n) + " " + std::string(word) + (n == 1 ? "" : "s");
}

// What a data line's value is called, by its place on the line.
std::string value_name(std::size_t item) {
    static constexpr std::string_view names[] = {
        "the report name", "TK", "m11", "m12", "m13", "m21", "m22", "m23", "m31", "m32", "m33"};
    return item < std::size(names) ? std::string(names[item]) : "a value";
}

// A line of 2 or 11 columns that cannot be read ends the data without a
// console word, as it always has; standard error says what was lost.
void notice_unreadable(Console& console, const InputFile& buffer, int data_lines, const ListStop& stop,
                       ListStatus status) {
    const long line = buffer.line_number();
    const long left = std::max(2L + data_lines - line, 0L);
    const std::string found = status == ListStatus::bad
                                  ? "'" + stop.text + "' cannot be read as " + value_name(stop.item)
                                  : "the line ends before " + value_name(stop.item);
    console.notice(notice_line(buffer.name(), line,
                               found + "; the data end here, " + plural(left, "line") + " after it left unread"));
}

void notice_malformed(Console& console, const InputFile& buffer, std::string_view text, int columns) {
    const std::string found = looks_empty(text) ? std::string("a blank line among the data lines")
                                                : plural(columns, "column") + " where a data line has 2 or 11";
    console.notice(notice_line(buffer.name(), buffer.line_number(), found + "; the run stops"));
}

// A singular matrix, or one that turns the axes into a left-handed set, is
// most often a typing error; its rows are still computed as given.
void notice_odd_matrix(Console& console, const InputFile& buffer, const Matrix& m) {
    const double det = determinant(m);
    if (det > 0.0 || det != det) return;
    const std::string found = det == 0.0 ? "the matrix is singular (determinant 0)"
                                         : "the matrix has a negative determinant (" + shortest_text(det) + ")";
    console.notice(notice_line(buffer.name(), buffer.line_number(), found + "; its rows are computed as given"));
}

[[noreturn]] void read_failed(const InputFile& buffer, ReadStatus status, int line_number) {
    throw RunFailure(" !! Cannot read line " + std::to_string(line_number) + " of the buffer file " + buffer.name() +
                     ": " + (status == ReadStatus::end ? std::string("end of file") : buffer.error_text()) + " !!");
}

// A read error (EIO from a failing disk, say) is no end of the file: taken
// for one, it would end the data early without a word.
[[noreturn]] void read_error(const InputFile& buffer, std::string_view what_is_done) {
    const std::string why = buffer.error_text();
    throw RunFailure(
        " !! Cannot read the buffer file " + buffer.name() + ": " + why + " !!", 1,
        notice_line(buffer.name(), buffer.line_number() + 1, "read error (" + why + "); " + std::string(what_is_done)));
}

}  // namespace

BufferSurvey first_pass(InputFile& buffer, Console& console) {
    buffer.rewind();
    BufferSurvey survey;
    long last_with_text = 0;
    long header_with_matrix = 0;  // line 1 or 2 with 11 columns
    bool data_with_matrix = false;
    std::string_view line;
    ReadStatus status;
    while ((status = buffer.next_line(line, whole_line)) == ReadStatus::ok) {
        if (looks_empty(line)) continue;
        last_with_text = buffer.line_number();
        if (line[line.find_first_not_of(' ')] == '!') continue;
        if (column_count(line) != 11) continue;
        survey.transformed = true;
        if (buffer.line_number() <= 2 && header_with_matrix == 0)
            header_with_matrix = buffer.line_number();
        else if (buffer.line_number() > 2)
            data_with_matrix = true;
    }
    if (status == ReadStatus::error) read_error(buffer, "the run stops before any output is created");
    survey.lines_after_header = static_cast<int>(std::max(last_with_text - 2, 0L));
    if (header_with_matrix > 0 && !data_with_matrix)
        console.notice(notice_line(buffer.name(), header_with_matrix,
                                   "line " + std::to_string(header_with_matrix) +
                                       " has 11 columns: the outputs are the transformed ones; start the line "
                                       "with ! to keep the run plain"));
    return survey;
}

void read_header_lines(InputFile& buffer, Text<128>& title, Console& console) {
    buffer.rewind();
    std::string_view line;
    if (const ReadStatus s = buffer.next_line(line, whole_line); s != ReadStatus::ok) read_failed(buffer, s, 1);
    constexpr std::size_t kept = 128;  // the length of the title text
    if (line.size() > kept) {
        // Cut before the character that the 128th byte falls inside, so that
        // every output's title stays valid UTF-8.
        std::size_t cut = kept;
        while (cut > 0 && (static_cast<unsigned char>(line[cut]) & 0xC0) == 0x80) --cut;
        const std::size_t whole = line.size();
        line = line.substr(0, cut);
        console.notice(notice_line(buffer.name(), 1,
                                   "a title of " + std::to_string(whole) + " characters; its first " +
                                       std::to_string(cut) + " are kept" +
                                       (cut < kept ? ", so that no character is cut in two" : "")));
    }
    title.assign(line);
    Text<128> second;
    if (const ReadStatus s = buffer.read(second); s != ReadStatus::ok) read_failed(buffer, s, 2);
}

DataLine read_data_line(InputFile& buffer, int data_lines, TemperaturePoint& point, Console& console) {
    if (buffer.line_number() >= 2L + data_lines) return DataLine::end;
    std::string_view line;
    const ReadStatus status = buffer.next_line(line, whole_line);
    if (status == ReadStatus::end) return DataLine::end;
    if (status == ReadStatus::error) read_error(buffer, "the run stops");

    // Lines are read whole but columns are counted only so far: a line with
    // text beyond would be judged by its first part alone.
    if (line.size() > column_count_limit && line.find_first_not_of(' ', column_count_limit) != std::string_view::npos) {
        console.notice(notice_line(buffer.name(), buffer.line_number(),
                                   "text beyond character " + std::to_string(column_count_limit) +
                                       ", where columns are no longer counted; the run stops"));
        return DataLine::malformed;
    }
    const int columns = column_count(line);
    ListStop stop;
    if (columns == 11) {
        Matrix& m = point.matrix;
        const ListItem items[] = {&point.report, &point.tk, &m[0][0], &m[0][1], &m[0][2], &m[1][0],
                                  &m[1][1],      &m[1][2],  &m[2][0], &m[2][1], &m[2][2]};
        if (const ListStatus s = list_read(line, items, stop); s != ListStatus::ok) {
            notice_unreadable(console, buffer, data_lines, stop, s);
            return DataLine::end;
        }
        console.formatted("(2X,A,F8.2,5X,A,3(1X,3F3.0),A)",
                          {std::string_view(" TK = "), point.tk, std::string_view("M = ["), m[0][0], m[0][1], m[0][2],
                           m[1][0], m[1][1], m[1][2], m[2][0], m[2][1], m[2][2], std::string_view("]")});
        notice_odd_matrix(console, buffer, m);
        return DataLine::matrix;
    }
    if (columns == 2) {
        const ListItem items[] = {&point.report, &point.tk};
        if (const ListStatus s = list_read(line, items, stop); s != ListStatus::ok) {
            notice_unreadable(console, buffer, data_lines, stop, s);
            return DataLine::end;
        }
        point.matrix = identity_matrix;
        return DataLine::plain;
    }
    notice_malformed(console, buffer, line, columns);
    return DataLine::malformed;
}

}  // namespace celltrend
