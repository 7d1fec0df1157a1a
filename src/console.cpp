#include "console.hpp"

#include <istream>
#include <ostream>

#include "failure.hpp"

namespace celltrend {

Console::Console(std::istream& in, std::ostream& out, bool interactive, std::ostream& err)
    : in_(in), out_(out), interactive_(interactive), err_(err) {}

void Console::record(std::string_view rec) {
    if (line_pending_) out_.put('\n');
    line_pending_ = true;
    if (rec.empty()) return;
    if (rec[0] == '0') out_.put('\n');
    else if (rec[0] == '1') out_.put('\f');
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

bool Console::next_input_line(std::string& line) {
    flush();
    if (!std::getline(in_, line)) return false;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return true;
}

void Console::answer_into(std::span<char> target) {
    std::string first;
    const std::function<bool(std::string&)> more = [this](std::string& l) { return next_input_line(l); };
    const ListItem item = target;
    if (!next_input_line(first) ||
        list_read(first, std::span<const ListItem>(&item, 1), more) == ListStatus::end)
        throw RunFailure(" !! The console input has ended while an answer was awaited !!");
}

void Console::pause() {
    message({"Press Enter to Continue."});
    flush();
    if (interactive_) {
        std::string ignored;
        std::getline(in_, ignored);
    }
}

void Console::notice(std::string_view line) {
    flush();
    err_ << line << '\n';
    err_.flush();
}

void Console::finish() {
    if (line_pending_) out_.put('\n');
    line_pending_ = false;
    flush();
}

void Console::flush() { out_.flush(); }

}  // namespace celltrend
