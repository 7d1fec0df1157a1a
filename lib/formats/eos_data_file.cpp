#include "formats/eos_data_file.hpp"

#include <array>
#include <cctype>
#include <charconv>
#include <cmath>
#include <limits>
#include <optional>
#include <tuple>
#include <vector>

#include "formats/measured_number.hpp"
#include "formats/number_field.hpp"

namespace formats {

namespace {

constexpr double not_a_number = std::numeric_limits<double>::quiet_NaN();

// The quantities a column may hold; `none` for one passed over.
enum Slot { p, v, a, b, c, alpha, beta, gamma, t, none };
constexpr int slots = 9;

struct Column {
    Slot slot = none;
    bool esd = false;
};

std::string upper(std::string_view s) {
    std::string u(s);
    for (char& ch : u) ch = char(std::toupper(static_cast<unsigned char>(ch)));
    return u;
}

Column column_named(std::string_view word) {
    static constexpr std::array<std::string_view, slots> values{"P", "V", "A", "B", "C", "ALPHA", "BETA", "GAMMA", "T"};
    static constexpr std::array<std::string_view, slots> esds{"SIGP",  "SIGV",  "SIGA",  "SIGB", "SIGC",
                                                              "SIGAL", "SIGBE", "SIGGA", "SIGT"};
    static constexpr std::array<std::string_view, slots> long_esds{
        "SIGMAP", "SIGMAV", "SIGMAA", "SIGMAB", "SIGMAC", "SIGMAALPHA", "SIGMABETA", "SIGMAGAMMA", "SIGMAT"};
    const std::string u = upper(word);
    for (int i = 0; i < slots; ++i) {
        if (u == values[std::size_t(i)]) return {Slot(i), false};
        if (u == esds[std::size_t(i)] || u == long_esds[std::size_t(i)]) return {Slot(i), true};
    }
    if (u.starts_with("PRESS")) return {p, false};
    if (u.starts_with("VOL")) return {v, false};
    if (u.starts_with("TEM")) return {t, false};
    return {};
}

// The words of a line, its comment cut off; commas and tabs separate like
// blanks.
std::vector<std::string_view> words_of(std::string_view line) {
    const auto hash = line.find('#');
    if (hash != std::string_view::npos) line = line.substr(0, hash);
    std::vector<std::string_view> words;
    std::size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t' || line[i] == ',' || line[i] == '\r')) ++i;
        const std::size_t start = i;
        while (i < line.size() && line[i] != ' ' && line[i] != '\t' && line[i] != ',' && line[i] != '\r') ++i;
        if (i > start) words.push_back(line.substr(start, i - start));
    }
    return words;
}

bool starts_with_number(std::string_view word) {
    double x = 0;
    Estimate m;
    return read_field(word, x) == Field::number || read_measured(word, m) == Measured::number;
}

// Lines of the text with their 1-based numbers.
struct Line {
    int number = 0;
    std::string_view text;
};

std::vector<Line> lines_of(std::string_view text) {
    std::vector<Line> lines;
    int n = 0;
    while (!text.empty()) {
        const auto end = text.find('\n');
        lines.push_back({++n, text.substr(0, end)});
        if (end == std::string_view::npos) break;
        text.remove_prefix(end + 1);
    }
    return lines;
}

bool is_format_line(const std::vector<std::string_view>& words) {
    return !words.empty() && upper(words.front()) == "FORMAT";
}

}  // namespace

bool is_eos_data_file(std::string_view text) {
    for (const Line& line : lines_of(text)) {
        const auto words = words_of(line.text);
        if (words.empty()) continue;
        if (is_format_line(words)) return true;
        if (starts_with_number(words.front())) return false;
    }
    return false;
}

Series read_eos_data(std::string_view text, const std::string& name) {
    Series series;
    series.name = name;
    series.layout = SeriesLayout::eos_data;
    series.variable = SeriesVariable::pressure;
    const std::vector<Line> lines = lines_of(text);
    std::size_t i = 0;
    std::vector<std::string_view> words;
    for (; i < lines.size(); ++i) {
        words = words_of(lines[i].text);
        if (is_format_line(words)) break;
        if (!words.empty()) series.header.emplace_back(lines[i].text);
    }
    if (i == lines.size()) throw SeriesError(name + ": no Format line naming the columns");
    const int format_line = lines[i].number;
    std::size_t first = 1;
    int lines_per_datum = 1;
    if (words.size() > 1) {
        const std::string_view w = words[1];
        int n = 0;
        if (std::from_chars(w.data(), w.data() + w.size(), n).ptr == w.data() + w.size()) {
            if (n < 1 || n > 100)
                throw SeriesError(name + ":" + std::to_string(format_line) + ": " + std::string(w) +
                                  " lines per datum: from 1 to 100");
            lines_per_datum = n;
            first = 2;
        }
    }
    std::vector<Column> columns;
    std::array<bool, slots> named{}, esd_named{};
    for (std::size_t w = first; w < words.size(); ++w) {
        const Column col = column_named(words[w]);
        if (col.slot != none) {
            bool& seen = col.esd ? esd_named[col.slot] : named[col.slot];
            if (seen)
                throw SeriesError(name + ":" + std::to_string(format_line) + ": the column " + std::string(words[w]) +
                                  " is named twice");
            seen = true;
        }
        columns.push_back(col);
    }
    if (!named[p]) throw SeriesError(name + ":" + std::to_string(format_line) + ": the Format line names no P column");
    series.carried.sigma_t = esd_named[p];
    series.carried.volume = named[v];
    series.carried.volume_esd = esd_named[v];

    bool every_cell_esd = true;
    std::vector<std::string_view> datum;
    int datum_line = 0, datum_lines = 0;
    for (++i; i < lines.size(); ++i) {
        const auto w = words_of(lines[i].text);
        if (w.empty()) continue;
        if (datum_lines == 0) datum_line = lines[i].number;
        datum.insert(datum.end(), w.begin(), w.end());
        if (++datum_lines < lines_per_datum) continue;
        const std::string where = name + ":" + std::to_string(datum_line) + ": ";
        if (datum.size() != columns.size())
            throw SeriesError(where + std::to_string(datum.size()) + (datum.size() == 1 ? " value" : " values") +
                              " where the Format line names " + std::to_string(columns.size()));
        std::array<double, slots> value, esd;
        value.fill(not_a_number);
        esd.fill(not_a_number);
        for (std::size_t k = 0; k < datum.size(); ++k) {
            const Column col = columns[k];
            Estimate m;
            double x = 0;
            if (read_field(datum[k], x) == Field::invalid) {
                if (read_measured(datum[k], m) != Measured::number || col.esd)
                    throw SeriesError(where + "not a number: \"" + std::string(datum[k].substr(0, 60)) + "\"");
                x = m.value;
                if (col.slot != none && !esd_named[col.slot]) esd[col.slot] = m.sigma;
            }
            if (col.slot == none) continue;
            (col.esd ? esd : value)[col.slot] = x;
        }
        SeriesRow row;
        row.line = datum_line;
        row.t = value[p];
        row.sigma_t = esd[p];
        row.volume = value[v];
        row.volume_esd = esd[v];
        row.mosaicity = row.mosaicity_esd = not_a_number;
        row.cell = {value[a], value[b], value[c], value[alpha], value[beta], value[gamma]};
        row.esd = {esd[a], esd[b], esd[c], esd[alpha], esd[beta], esd[gamma]};
        // An angle not given is 90 degrees, exactly.
        for (auto [angle, su, slot] :
             {std::tuple{&row.cell.alpha, &row.esd.alpha, alpha}, std::tuple{&row.cell.beta, &row.esd.beta, beta},
              std::tuple{&row.cell.gamma, &row.esd.gamma, gamma}})
            if (!named[slot]) *angle = 90, *su = 0;
        for (double e : {row.esd.a, row.esd.b, row.esd.c, row.esd.alpha, row.esd.beta, row.esd.gamma})
            every_cell_esd = every_cell_esd && std::isfinite(e);
        row.complete = !std::isnan(row.t);
        series.rows.push_back(row);
        datum.clear();
        datum_lines = 0;
    }
    if (datum_lines != 0)
        throw SeriesError(name + ":" + std::to_string(datum_line) + ": the last datum runs over " +
                          std::to_string(datum_lines) + " of its " + std::to_string(lines_per_datum) + " lines");
    series.carried.cell_esd = every_cell_esd && named[a] && !series.rows.empty();
    return series;
}

}  // namespace formats
