#pragma once
// The console as records with line control.  The first character of every
// record is line control and is not shown (a blank starts a new line, "0" adds
// an empty line first, "1" a page break); the line feed that ends a record is
// written only when the next record begins, so an answer is typed on the line
// of its prompt.  Output is flushed before every read.

#include <iostream>
#include <string>
#include <string_view>

#include "fixed_text.hpp"
#include "list_input.hpp"
#include "record_format.hpp"

namespace celltrend {

class Console {
public:
    // `err` receives the notices, standard error in the program.
    Console(std::istream& in, std::ostream& out, bool interactive, std::ostream& err = std::cerr);

    // One record, its first character taken as line control.
    void record(std::string_view rec);
    // A list-style message: a line of its own holding the texts back to back;
    // the leading blank of list-directed output is the first text's to give.
    void message(std::initializer_list<std::string_view> texts);
    // A formatted record under a field list.
    void formatted(std::string_view field_list, std::initializer_list<FormatItem> items);

    // Reads one value into a text variable by list-style input.  Empty lines
    // are passed over; a slash or a null value leaves the text as it was.
    // Of a line longer than 65,536 characters only that much is read, with a
    // notice.  The end of the input throws RunFailure.
    template <std::size_t N>
    void answer(Text<N>& text) {
        answer_into(text.span());
    }
    // The same, taking the whole value, as a file name needs.
    void answer(std::string& text) { answer_into(&text); }

    // A line break, "Press Enter to Continue.", then, when keyboard and screen
    // are both a terminal, waits for Enter.
    void pause();

    // One line on the error stream, outside the console's records: what the
    // user should learn beyond the console texts (see notice_line).  The
    // console's pending line is ended and flushed first, so the notice follows
    // what the console showed before it, on a line of its own.  Control
    // characters in the line are shown as "?".
    void notice(std::string_view line);

    // Ends the pending line, so the shell's prompt starts on its own line.
    void finish();
    void flush();

private:
    void answer_into(const ListItem& target);
    bool next_input_line(std::string& line);
    // One line of input without its LF, at most `keep` characters of it kept;
    // `length` is the whole line's.  False at the end of the input.
    bool read_line(std::string& line, std::size_t keep, std::size_t& length);

    std::istream& in_;
    std::ostream& out_;
    bool interactive_;
    std::ostream& err_;
    bool line_pending_ = false;
    long line_number_ = 0;  // input lines read so far
};

}  // namespace celltrend
