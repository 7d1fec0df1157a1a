#include "console.hpp"

#include <cerrno>
#include <cstring>
#include <istream>
#include <ostream>
#include <string>

#include "failure.hpp"

namespace celltrend {

Console::Console(std::istream& in, std::ostream& out, bool interactive, std::ostream& err)
    : in_(in), out_(out), interactive_(interactive), err_(err) {}

void Console::record(std::string_view rec) {
    if (line_pending_) out_.put('\n');
    line_pending_ = true;
    if (rec.empty()) return;
    if (rec[0] == '0')
        out_.put('\n');
    else if (rec[0] == '1')
        out_.put('\f');
    out_.write(rec.data() + 1, static_cast<std::streamsize>(rec.size() - 1));
}

void Console::message(std::initializer_list<std::string_view> texts) {
    if (line_pending_) out_.put('\n');
    line_pending_ = true;
    for (std::string_view t : texts) out_.write(t.data(), static_cast<std::streamsize>(t.size()));
}

void Console::formatted(std::string_view field_list, std::initializer_list<FormatItem> items) {
    record(format_record(field_list, items));
}

namespace {

// The most of one input line that is kept.  Every answer goes into a text of
// a few dozen characters, and no system takes a file name of more than a few
// thousand, so this holds any answer with room for quotes and blanks; the
// rest of a longer line is read and dropped, so that a line without end
// cannot exhaust memory.
constexpr std::size_t kept_line_length = 1 << 16;

}  // namespace

bool Console::read_line(std::string& line, std::size_t keep, std::size_t& length) {
    line.clear();
    length = 0;
    std::streambuf* source = in_.rdbuf();
    if (!in_.good() || source == nullptr) {
        in_.setstate(std::ios::failbit);
        return false;
    }
    for (bool any = false;; any = true) {
        std::char_traits<char>::int_type c;
        try {
            c = source->sbumpc();
        } catch (const std::exception&) {
            // A read error (a closed or failing standard input) ends the
            // input as its end does, but says what happened.
            const int why = errno;
            in_.setstate(std::ios::badbit);
            throw RunFailure(" !! The console input has ended while an answer was awaited !!", 1,
                             notice_line("standard input", line_number_ + 1,
                                         std::string("cannot be read: ") + std::strerror(why != 0 ? why : EIO)));
        }
        if (c == std::char_traits<char>::eof()) {
            in_.setstate(any ? std::ios::eofbit : std::ios::eofbit | std::ios::failbit);
            if (any) ++line_number_;
            return any;
        }
        if (c == '\n') break;
        if (line.size() < keep) line.push_back(std::char_traits<char>::to_char_type(c));
        ++length;
    }
    ++line_number_;
    return true;
}

bool Console::next_input_line(std::string& line) {
    flush();
    std::size_t length = 0;
    if (!read_line(line, kept_line_length, length)) return false;
    if (length > line.size()) {
        notice(notice_line("standard input", line_number_,
                           "a line of " + std::to_string(length) + " characters; only its first " +
                               std::to_string(line.size()) + " are read"));
        return true;
    }
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return true;
}

void Console::answer_into(const ListItem& target) {
    std::string first;
    const std::function<bool(std::string&)> more = [this](std::string& l) { return next_input_line(l); };
    if (!next_input_line(first) || list_read(first, std::span<const ListItem>(&target, 1), more) == ListStatus::end)
        throw RunFailure(" !! The console input has ended while an answer was awaited !!");
}

void Console::pause() {
    message({"Press Enter to Continue."});
    flush();
    if (interactive_) {
        std::string ignored;
        std::size_t length = 0;
        read_line(ignored, 0, length);
    }
}

void Console::notice(std::string_view line) {
    // The pending line's end is written now rather than with the next record:
    // the same bytes, but a log of both streams shows the notice on a line of
    // its own instead of at the end of a prompt.
    if (line_pending_) out_.put('\n');
    line_pending_ = false;
    flush();
    // Names and text quoted from files may hold control characters; each is
    // shown as "?", so the notice stays one line and never drives the terminal.
    std::string shown(line);
    for (char& c : shown)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f) c = '?';
    err_ << shown << '\n';
    err_.flush();
}

void Console::finish() {
    if (line_pending_) out_.put('\n');
    line_pending_ = false;
    flush();
}

void Console::flush() { out_.flush(); }

}  // namespace celltrend
