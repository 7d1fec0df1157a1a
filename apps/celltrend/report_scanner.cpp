#include "report_scanner.hpp"

#include <cstdio>

#include "failure.hpp"
#include "list_input.hpp"

namespace celltrend {

namespace {

constexpr std::size_t report_line_length = 256;
// Every row label begins with it, so one search finds the candidates of all eight.
constexpr std::string_view label_head = "<TR><TH ALIGN='LEFT'>";
constexpr std::string_view esd_marker = "+/-";
constexpr std::string_view cell_end = "</TD></TR>";

// Characters from..to-1 of the line (0-based), empty when to lies before from.
std::string_view part(std::string_view line, std::size_t from, std::size_t to) {
    if (to <= from || from >= line.size()) return {};
    return line.substr(from, to - from);
}

// Reads one real from a text; false when the text holds no readable number.
// A text that starts with a slash, or a null value, leaves the target as it is.
bool read_real(std::string_view text, float& target) {
    const ListItem item = &target;
    return list_read(text, std::span<const ListItem>(&item, 1)) == ListStatus::ok;
}

std::string_view trimmed(std::string_view text) {
    const std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

bool is_digits(std::string_view s) { return !s.empty() && s.find_first_not_of("0123456789") == std::string_view::npos; }

// "7,50122", "-0,5", "1,25E-3": digits, one comma, digits, perhaps an
// exponent: a number in a locale whose decimal mark is the comma.  List
// input would read it as two values, 7 and 50122.
bool has_decimal_comma(std::string_view t) {
    if (!t.empty() && (t.front() == '+' || t.front() == '-')) t.remove_prefix(1);
    const std::size_t comma = t.find(',');
    if (comma == std::string_view::npos || !is_digits(t.substr(0, comma))) return false;
    std::string_view rest = t.substr(comma + 1);
    const std::size_t e = rest.find_first_of("eEdD");
    if (e != std::string_view::npos) {
        std::string_view exponent = rest.substr(e + 1);
        if (!exponent.empty() && (exponent.front() == '+' || exponent.front() == '-')) exponent.remove_prefix(1);
        if (!is_digits(exponent)) return false;
        rest = rest.substr(0, e);
    }
    return is_digits(rest);
}

// The words of a value text, as list input separates them.
std::size_t word_count(std::string_view t) {
    std::size_t words = 0;
    bool in_word = false;
    for (char c : t) {
        const bool separator = c == ' ' || c == '\t' || c == ',';
        if (!separator && !in_word) ++words;
        in_word = !separator;
    }
    return words;
}

// One number of a report row, `what` naming it for a notice ("the value of a").
bool read_report_real(Console& console, ScannedReport& report, std::size_t q, std::string_view text,
                      std::string_view what, float& target) {
    std::string t(trimmed(text));
    if (has_decimal_comma(t)) {
        const std::string written = t;
        t[t.find(',')] = '.';
        if (!report.decimal_comma_told)
            console.notice(notice_line(report.name, report.line_number[q],
                                       "'" + written +
                                           "' is written with a decimal comma; in this report the comma "
                                           "is read as the decimal point"));
        report.decimal_comma_told = true;
    }
    if (!read_real(t, target)) return false;
    if (t.front() != '/' && word_count(t) > 1) {
        char shown[32];
        std::snprintf(shown, sizeof shown, "%g", static_cast<double>(target));
        console.notice(notice_line(report.name, report.line_number[q],
                                   std::string(what) + " is '" + t + "', more than one number; " + shown + " is read"));
    }
    return true;
}

void problem(Console& console, float tk, std::string_view text, std::string_view key = {}, std::string_view tail = {}) {
    console.formatted("(A,F6.2,3A)", {std::string_view("  T = "), tk, text, key, tail});
}

}  // namespace

ScannedReport scan_report(InputFile& report, const std::array<bool, quantity_count>& wanted) {
    ScannedReport scanned;
    scanned.name = report.name();
    std::size_t missing = 0;
    for (bool w : wanted) missing += w ? 1 : 0;
    std::string_view line;
    while (missing > 0) {
        const ReadStatus status = report.next_line(line, report_line_length);
        if (status == ReadStatus::end) break;
        if (status == ReadStatus::error)
            throw RunFailure(" !! " + report.name() + " cannot be read: " + report.error_text() + " !!\n ", 1,
                             notice_line(report.name(), report.line_number() + 1,
                                         "read error (" + report.error_text() + "); the run stops"));
        for (std::size_t at = line.find(label_head); at != std::string_view::npos; at = line.find(label_head, at + 1)) {
            for (std::size_t q = 0; q < quantity_count; ++q) {
                if (!wanted[q] || scanned.found[q] ||
                    line.compare(at, quantities[q].row_label.size(), quantities[q].row_label) != 0)
                    continue;
                scanned.found[q] = true;
                scanned.line[q].assign(line);
                scanned.line_number[q] = report.line_number();
                --missing;
            }
        }
    }
    return scanned;
}

void find_in_report(Console& console, ScannedReport& report, float tk, std::size_t q, float& value, float& esd) {
    const std::string_view key = quantities[q].key;
    if (!report.found[q]) {
        if (q == cell_a)
            problem(console, tk, " K:  unit cell parameters not found");
        else
            problem(console, tk, " K:  ", key, " not found");
        return;
    }

    const std::string_view line = report.line[q];
    const std::string_view label = quantities[q].row_label;
    // Mosaicity is the last row of the results table, so where rows share a
    // line the rows before it come first and its markers are the last ones.
    const bool from_end = q == mosaicity;
    const std::size_t p = line.find(label);
    const std::size_t esd_at = from_end ? line.rfind(esd_marker) : line.find(esd_marker);
    const std::size_t e_at = from_end ? line.rfind(cell_end) : line.find(cell_end);
    const std::size_t e = e_at == std::string_view::npos ? 0 : e_at;
    const std::size_t value_from = p + label.size();

    const std::string value_name = "the value of " + std::string(trimmed(key));
    const std::string esd_name = "the ESD of " + std::string(trimmed(key));
    if (esd_at != std::string_view::npos && esd_at >= p) {
        if (!read_report_real(console, report, q, part(line, value_from, esd_at), value_name, value))
            problem(console, tk, " K:  Value not found for: ", key);
        if (!read_report_real(console, report, q, part(line, esd_at + esd_marker.size(), e), esd_name, esd))
            problem(console, tk, " K:   Standart deviation not found for: ", key);
        return;
    }
    problem(console, tk, " K:  Standart deviation not found for: ", key);
    if (!read_report_real(console, report, q, part(line, value_from, e), value_name, value))
        problem(console, tk, " K:   Value not found for: ", key);
}

}  // namespace celltrend
