#include "formats/plot_file_reader.hpp"

#include "formats/bounded_line.hpp"

#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string_view>

#include "formats/display_text.hpp"
#include "formats/layouts.hpp"
#include "formats/number_field.hpp"

namespace formats {

namespace {

using formats::Field;
using formats::read_field;
using formats::trim;

constexpr std::size_t max_line_length = 4096;

// The layout the program writes: TK, the value and, when present, the ESD
// (formats/layouts.hpp).
bool split_fixed(std::string_view line, std::vector<double>& fields) {
    const std::size_t used = line.find_last_not_of(' ') + 1;  // trailing blanks may be lost
    if (used <= layout::plot_field_start(1) || used > layout::plot_field_start(3)) return false;
    fields.clear();
    for (std::size_t i = 0; i < 3 && layout::plot_field_start(i) < used; ++i) {
        double value = 0;
        if (read_field(line.substr(layout::plot_field_start(i), layout::plot_field_size(i)), value) == Field::invalid)
            return false;
        fields.push_back(value);
    }
    return fields.size() >= 2;
}

bool split_hand_written(std::string_view line, std::vector<double>& fields) {
    fields.clear();
    for (const std::string_view word : formats::split_blanks(line)) {
        double value = 0;
        if (read_field(word, value) == Field::invalid) return false;
        fields.push_back(value);
    }
    return fields.size() == 2 || fields.size() == 3;
}

std::string line_ref(const std::string& name, int line_number) { return name + ":" + std::to_string(line_number); }

int to_int(std::string_view s, int fallback) {
    s = trim(s);
    int value = 0;
    const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), value);
    return (ec == std::errc() && end == s.data() + s.size()) ? value : fallback;
}

struct Header {
    std::string_view key;
    std::string_view value;
};

// "# KEY : value" -> key and value, both without blanks around them.  Comment
// lines without a colon (column titles, the ruler) give an empty key.
Header split_header(std::string_view comment) {
    const auto colon = comment.find(':');
    if (colon == std::string_view::npos) return {};
    return {trim(comment.substr(0, colon)), trim(comment.substr(colon + 1))};
}

}  // namespace

std::size_t PlotFile::point_count() const {
    std::size_t n = 0;
    for (const Pattern& p : patterns) n += p.points.size();
    return n;
}

bool split_data_line(const std::string& line, std::vector<double>& fields) {
    return split_fixed(line, fields) || split_hand_written(line, fields);
}

PlotFile read_plot_file(std::istream& in, const std::string& name) {
    PlotFile file;
    file.name = name;
    std::vector<Pattern> patterns;
    bool data_header_seen = false;  // of the current pattern
    int skipped_points = 0;
    auto current = [&]() -> Pattern& {
        if (patterns.empty()) {
            patterns.emplace_back();
            data_header_seen = false;
        }
        return patterns.back();
    };

    std::string line;
    std::vector<double> fields;
    int line_number = 0;
    bool too_long = false;
    while (read_bounded_line(in, line, max_line_length, too_long)) {
        ++line_number;
        if (too_long)
            throw ReadError(line_ref(name, line_number) + ": not a plot file line: longer than " +
                            std::to_string(max_line_length) + " characters");
        if (!line.empty() && line.back() == '\r') line.pop_back();
        // A text editor's byte-order mark is not part of the first header.
        if (line_number == 1 && line.starts_with("\xEF\xBB\xBF")) line.erase(0, 3);
        const std::string_view text = trim(line);
        if (text.empty()) continue;
        if (text.front() == '#') {
            const std::string_view comment = text.substr(1);
            if (trim(comment) == trim(layout::end_line.substr(1))) {
                file.has_end_line = true;
                break;
            }
            const Header h = split_header(comment);
            if (h.key == layout::header_key(layout::main_legend_line)) {
                file.main_legend = displayable(h.value);
            } else if (h.key == layout::header_key(layout::x_legend_line)) {
                file.x_legend = displayable(h.value);
            } else if (h.key == layout::header_key(layout::y_legend_line)) {
                file.y_legend = displayable(h.value);
            } else if (h.key.starts_with(">") && h.key.find("PATTERN") != std::string_view::npos) {
                patterns.emplace_back();
                data_header_seen = false;
            } else if (h.key == layout::header_key(layout::pattern_title_line)) {
                current().title = displayable(h.value);
            } else if (h.key == layout::header_key(layout::point_count_line)) {
                current().announced_points = to_int(h.value, -1);
            } else if (h.key == layout::header_key(layout::marker_line)) {
                current().marker = to_int(h.value, 1);
            } else if (h.key == layout::header_key(layout::size_line)) {
                double size = 0;
                if (read_field(h.value, size) == Field::number && size > 0) current().size = size;
            } else if (h.key == "DATA") {
                current().declares_sigy = h.value.find("SIGY") != std::string_view::npos;
                data_header_seen = true;
            }
            continue;
        }

        if (!split_data_line(line, fields))
            throw ReadError(line_ref(name, line_number) + ": not a data line: \"" + displayable(text) + "\"");
        Pattern& pattern = current();
        // A third column is SIGY when the header says so, or when there is no
        // header to say anything (a file written by hand).
        const bool sigy_column = fields.size() == 3 && (pattern.declares_sigy || !data_header_seen);
        int unreadable = 0;
        for (std::size_t i = 0; i < (sigy_column ? 3u : 2u); ++i)
            if (std::isnan(fields[i])) ++unreadable;
        file.skipped_fields += unreadable;
        if (std::isnan(fields[0]) || std::isnan(fields[1])) {
            ++skipped_points;
            continue;
        }
        Point p = point_without_sigma(fields[0], fields[1]);
        if (sigy_column && !std::isnan(fields[2])) {
            p.y.sigma = fields[2];
        }
        pattern.points.push_back(p);
    }
    if (in.bad()) throw ReadError(name + ": read error after line " + std::to_string(line_number));

    for (Pattern& p : patterns)
        if (!p.points.empty()) file.patterns.push_back(std::move(p));

    if (file.skipped_fields > 0) {
        std::string w = name + ": " + std::to_string(file.skipped_fields) +
                        (file.skipped_fields == 1 ? " field" : " fields") + " of asterisks or NaN skipped";
        if (skipped_points > 0)
            w += " (" + std::to_string(skipped_points) + (skipped_points == 1 ? " point" : " points") + " left out)";
        file.warnings.push_back(w);
    }
    if (file.patterns.empty())
        throw ReadError(name + ": no data point to plot" +
                        (skipped_points > 0 ? " (every point has a field of asterisks or NaN)" : ""));
    if (!file.has_end_line)
        file.warnings.push_back(name + ": no \"" + std::string(layout::end_line) +
                                "\" line; the file may be incomplete");
    return file;
}

PlotFile read_plot_file(const std::string& path) {
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec)) throw ReadError(path + ": is a directory, not a plot file");
    std::ifstream in(path);
    if (!in) throw ReadError(path + ": cannot open: " + std::strerror(errno));
    return read_plot_file(in, path);
}

}  // namespace formats
