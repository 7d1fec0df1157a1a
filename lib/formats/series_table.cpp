#include "formats/series_table.hpp"

#include "formats/bounded_line.hpp"
#include "formats/eos_data_file.hpp"
#include "formats/layouts.hpp"
#include "formats/number_field.hpp"
#include "formats/series_csv.hpp"
#include "formats/strain_row.hpp"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <limits>
#include <span>
#include <sstream>
#include <string_view>

namespace formats {

namespace {

constexpr double not_a_number = std::numeric_limits<double>::quiet_NaN();

// Field counts of a data line in each layout.
constexpr std::size_t plain_fields = layout::plain_field_count;
constexpr std::size_t transformed_fields = layout::transformed_field_count;
constexpr std::size_t strain_fields = 8;  // T sigmaT a b c alpha beta gamma

// One number with no blank inside; a field that a writer could not fill
// (asterisks, NaN or Inf) reads as NaN.  False for text that is no number.
bool parse_number(std::string_view s, double& value) { return read_field(s, value) != Field::invalid; }

// celltrend's fixed columns (formats/layouts.hpp).
constexpr std::size_t field_start(std::size_t i) { return layout::table_field_start(i); }
constexpr std::size_t field_width(std::size_t i) { return layout::table_field_size(i); }

// Where a row does not fit the fixed columns: the first field that is empty
// or holds no single number (npos when all do), and whether text runs past
// the last column.
struct ColumnFit {
    std::size_t bad_field = std::string_view::npos;
    bool text_past_end = false;
    bool fits() const { return bad_field == std::string_view::npos && !text_past_end; }
};

// The row cut by position into `count` fields.  Every field must hold one
// number (or asterisks, NaN, Inf: NaN here) within its columns, and nothing
// may follow the last one.
ColumnFit split_fixed(std::string_view line, std::size_t count, std::vector<double>& values) {
    values.assign(count, not_a_number);
    ColumnFit fit;
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t start = field_start(i);
        const std::string_view field = start < line.size() ? trim(line.substr(start, field_width(i))) : "";
        if (field.empty() || read_field(field, values[i]) == Field::invalid) {
            fit.bad_field = i;
            break;
        }
    }
    const std::size_t end = field_start(count);
    fit.text_past_end = end < line.size() && !trim(line.substr(end)).empty();
    return fit;
}

// Blank-separated numbers, exactly `count` of them.
bool split_numbers(std::string_view line, std::size_t count, std::vector<double>& values) {
    const std::vector<std::string_view> words = split_blanks(line);
    if (words.size() != count) return false;
    values.assign(count, not_a_number);
    for (std::size_t i = 0; i < count; ++i)
        if (!parse_number(words[i], values[i])) return false;
    return true;
}

constexpr const auto& plain_titles = layout::plain_column_titles;
constexpr const auto& transformed_titles = layout::transformed_column_titles;

std::size_t field_count(SeriesLayout layout) {
    switch (layout) {
        case SeriesLayout::celltrend_table:
            return plain_fields;
        case SeriesLayout::celltrend_transformed_table:
            return transformed_fields;
        case SeriesLayout::strain_rows:
            return strain_fields;
        case SeriesLayout::csv:
        case SeriesLayout::eos_data:
            break;
    }
    return 0;
}

// The strain calculators' rows end at a '#'.
std::string_view without_comment(std::string_view line) {
    const auto hash = line.find('#');
    return hash == std::string_view::npos ? line : line.substr(0, hash);
}

bool is_table_comment(std::string_view line) {
    const std::string_view t = trim(line);
    return !t.empty() && (t.front() == '!' || t.front() == '#');
}

// The layout of a file whose header (if any) is `header`, from the header's
// column titles when celltrend wrote them, else from the first data line.
// The column titles are the last header line that holds the whole set of a
// layout's titles: the title above them is the user's own text and may name
// columns too.  `titled` tells whether they were found.
bool recognise(const std::vector<std::string>& header, std::string_view first_data, SeriesLayout& layout,
               bool& titled) {
    titled = false;
    bool table_header = false;
    for (auto h = header.rbegin(); h != header.rend(); ++h) {
        std::string_view t = trim(*h);
        if (t.empty() || t.front() != '!') continue;
        table_header = true;
        t = trim(t.substr(1));
        const std::vector<std::string_view> words = split_blanks(t);
        if (std::ranges::equal(words, plain_titles)) {
            layout = SeriesLayout::celltrend_table;
            titled = true;
            return true;
        }
        if (std::ranges::equal(words, transformed_titles)) {
            layout = SeriesLayout::celltrend_transformed_table;
            titled = true;
            return true;
        }
    }
    std::vector<double> values;
    SeriesRow row;
    StrainRowGives gives;
    if (!table_header && read_strain_row(without_comment(first_data), 0, row, gives)) {
        layout = SeriesLayout::strain_rows;
        return true;
    }
    // A table whose column titles were cut off: its field count, or its
    // line length when asterisks have run fields together.  Its rows are then
    // read by column, or else by blanks (re-spaced by a script).
    const std::size_t words = split_blanks(first_data).size();
    const std::size_t length = first_data.find_last_not_of(" \t") + 1;
    for (const SeriesLayout table : {SeriesLayout::celltrend_table, SeriesLayout::celltrend_transformed_table}) {
        const std::size_t count = field_count(table);
        if (words == count || (words < count && length == field_start(count))) {
            layout = table;
            return split_fixed(first_data, count, values).fits() || split_numbers(first_data, count, values);
        }
    }
    return false;
}

SeriesRow make_row(SeriesLayout layout, const std::vector<double>& v) {
    SeriesRow row;
    row.t = v[0];
    row.sigma_t = not_a_number;
    row.esd = CellSu::not_given();
    row.volume = row.volume_esd = row.mosaicity = row.mosaicity_esd = not_a_number;
    switch (layout) {
        case SeriesLayout::celltrend_table:
            row.cell = {v[1], v[3], v[5], v[7], v[9], v[11]};
            row.esd = {v[2], v[4], v[6], v[8], v[10], v[12]};
            row.volume = v[13];
            row.volume_esd = v[14];
            row.mosaicity = v[15];
            row.mosaicity_esd = v[16];
            break;
        case SeriesLayout::celltrend_transformed_table:
            row.cell = {v[1], v[2], v[3], v[4], v[5], v[6]};
            row.volume = v[7];
            row.mosaicity = v[8];
            row.mosaicity_esd = v[9];
            break;
        case SeriesLayout::strain_rows:
        case SeriesLayout::csv:
        case SeriesLayout::eos_data:
            break;  // read_strain_row, read_series_csv, read_eos_data
    }
    for (double x : v)
        if (std::isnan(x)) row.complete = false;
    return row;
}

std::string describe(SeriesLayout layout, SeriesVariable variable) {
    switch (layout) {
        case SeriesLayout::celltrend_table:
            return "a row of celltrend's all-parameters table";
        case SeriesLayout::celltrend_transformed_table:
            return "a row of celltrend's transformed table";
        case SeriesLayout::strain_rows:
            return "a row \"" + strain_row_form(variable) + "\"";
        case SeriesLayout::csv:
            return "a CSV row";
        case SeriesLayout::eos_data:
            return "a data line";
    }
    return {};
}

// Why a row does not fit the fixed columns of `layout`, for a message.
std::string misfit(std::string_view line, const ColumnFit& fit, SeriesLayout layout) {
    const std::size_t count = field_count(layout);
    const std::size_t words = split_blanks(line).size();
    if (words != count)
        return std::to_string(words) + (words == 1 ? " field" : " fields") + " where the table has " +
               std::to_string(count);
    const std::size_t i = fit.bad_field;
    if (i == std::string_view::npos) return "text past the table's last column, " + std::to_string(field_start(count));
    const auto& titles = layout == SeriesLayout::celltrend_table
                             ? std::span<const std::string_view>(plain_titles)
                             : std::span<const std::string_view>(transformed_titles);
    const std::size_t start = field_start(i);
    const std::string held = start < line.size() ? std::string(trim(line.substr(start, field_width(i)))) : "";
    return "the fields are not in their columns: columns " + std::to_string(start + 1) + "-" +
           std::to_string(start + field_width(i)) + " (" + std::string(titles[i]) + ") hold \"" + held + "\"";
}

// The start of a line for a message; control characters (a binary file, a
// stray carriage return or escape) become '?', so the message stays one line
// and cannot steer the terminal.
std::string shown_text(std::string_view text) {
    constexpr std::size_t shown = 60;
    const std::string_view t = trim(text);
    std::string start(t.substr(0, shown));
    for (char& c : start)
        if ((static_cast<unsigned char>(c) < 0x20 && c != '\t') || c == 0x7f) c = '?';
    return "\"" + start + (t.size() > shown ? "...\"" : "\"");
}

// celltrend's tables carry fixed columns; rows "T sigmaT a b c ..." what
// their rows gave: a file without sigmaT or ESDs has NaN there, as it would
// have without those columns.
void set_carried_columns(Series& series) {
    SeriesColumns& c = series.carried;
    switch (series.layout) {
        case SeriesLayout::celltrend_table:
            c = {false, true, true, true, true};
            return;
        case SeriesLayout::celltrend_transformed_table:
            c = {false, false, true, false, true};
            return;
        case SeriesLayout::strain_rows:
            for (SeriesRow& row : series.rows) {
                if (!c.sigma_t) row.sigma_t = not_a_number;
                if (!c.cell_esd) row.esd = CellSu::not_given();
            }
            return;
        case SeriesLayout::csv:
        case SeriesLayout::eos_data:
            return;
    }
}

// The longest line taken: a megabyte is generous for any table, and an
// endless line (a device or a program that writes no line end) ends here.
constexpr std::size_t longest_line = 1 << 20;

}  // namespace

std::string strain_row_form(SeriesVariable variable) {
    return variable == SeriesVariable::pressure ? "P sigmaP a b c alpha beta gamma" : "T sigmaT a b c alpha beta gamma";
}

namespace {

Series read_series_text(std::istream& in, const std::string& name, SeriesVariable variable) {
    Series series;
    series.name = name;
    series.variable = variable;
    bool recognised = false;
    bool titled = false;  // celltrend's column titles head the rows
    std::vector<double> values;
    std::size_t strain_words = 0;  // the form of the first row "T sigmaT a b c ..."
    std::string line;
    int line_number = 0;
    bool too_long = false;
    while (read_bounded_line(in, line, longest_line, too_long)) {
        ++line_number;
        if (too_long)
            throw SeriesError(name + ":" + std::to_string(line_number) + ": a line longer than " +
                              std::to_string(longest_line) + " characters: no table has one");
        if (!line.empty() && line.back() == '\r') line.pop_back();
        // A text editor's byte-order mark is not part of the first number.
        if (line_number == 1 && line.starts_with("\xEF\xBB\xBF")) line.erase(0, 3);
        if (trim(line).empty()) continue;
        if (!recognised) {
            // Header lines: celltrend's '!' lines, or the strain calculators'
            // comment lines.
            const std::string_view t = trim(line);
            if (series.header.empty() && is_series_csv_header(t, variable)) {
                read_series_csv(in, t, line_number, series);
                return series;
            }
            if (t.front() == '!' || trim(without_comment(t)).empty()) {
                series.header.push_back(line);
                continue;
            }
            if (!recognise(series.header, line, series.layout, titled))
                throw SeriesError(name + ":" + std::to_string(line_number) +
                                  ": neither a celltrend table nor rows of \"" + strain_row_form(variable) +
                                  "\": " + shown_text(line));
            recognised = true;
        } else if (series.layout == SeriesLayout::strain_rows ? trim(without_comment(line)).empty()
                                                              : is_table_comment(line)) {
            continue;
        }

        const std::size_t count = field_count(series.layout);
        const std::string where = name + ":" + std::to_string(line_number) + ": ";
        SeriesRow row;
        if (series.layout == SeriesLayout::strain_rows) {
            StrainRowGives gives;
            if (!read_strain_row(without_comment(line), strain_words, row, gives))
                throw SeriesError(where + "not " + describe(series.layout, variable) + ": " + shown_text(line));
            strain_words = gives.words;
            series.carried.sigma_t = series.carried.sigma_t || gives.sigma_t;
            series.carried.cell_esd = series.carried.cell_esd || gives.cell_esd;
        } else {
            // Under celltrend's column titles a row is read by position only:
            // a field out of its columns, one too many or too few is a damaged
            // row, never a row to guess at.
            const ColumnFit fit = split_fixed(line, count, values);
            if (!fit.fits() && (titled || !split_numbers(line, count, values)))
                throw SeriesError(where + misfit(line, fit, series.layout) + ": " + shown_text(line));
            row = make_row(series.layout, values);
        }
        row.line = line_number;
        series.rows.push_back(std::move(row));
    }
    if (in.bad()) throw SeriesError(name + ": read error after line " + std::to_string(line_number));
    if (!recognised) {
        SeriesLayout layout{};
        if (series.header.empty() || !recognise(series.header, "", layout, titled))
            throw SeriesError(name + ": no data rows: neither a celltrend table nor rows of \"" +
                              strain_row_form(variable) + "\"");
        series.layout = layout;  // celltrend's table of a run that accepted no temperature
    }
    set_carried_columns(series);
    if (!series.header.empty()) {
        std::string_view first = series.header.front();
        if (first.starts_with('!')) {
            first.remove_prefix(first.starts_with("! ") ? 2 : 1);
            series.title = std::string(first.substr(0, first.find_last_not_of(" \t") + 1));
        }
    }
    return series;
}

}  // namespace

Series read_series(std::istream& in, const std::string& name, SeriesVariable variable) {
    if (variable == SeriesVariable::temperature) return read_series_text(in, name, variable);
    // A pressure series may also be an equation-of-state program's data
    // file, known by its Format line, which can follow any keyword lines:
    // the whole text is read first to look for it.
    std::string text;
    std::string line;
    bool too_long = false;
    int line_number = 0;
    while (read_bounded_line(in, line, longest_line, too_long)) {
        ++line_number;
        if (too_long)
            throw SeriesError(name + ":" + std::to_string(line_number) + ": a line longer than " +
                              std::to_string(longest_line) + " characters: no table has one");
        text += line;
        text += '\n';
    }
    if (in.bad()) throw SeriesError(name + ": read error after line " + std::to_string(line_number));
    if (is_eos_data_file(text)) return read_eos_data(text, name);
    std::istringstream again(text);
    return read_series_text(again, name, variable);
}

Series read_series(const std::string& path, SeriesVariable variable) {
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec)) throw SeriesError(path + ": is a directory, not a table");
    // A device such as /dev/zero is one endless line; a FIFO is a table
    // another program writes, <(...) in a shell.
    const std::filesystem::file_status st = std::filesystem::status(path, ec);
    if (std::filesystem::is_character_file(st) || std::filesystem::is_block_file(st))
        throw SeriesError(path + ": is a device, not a table");
    errno = 0;
    std::ifstream in(path, std::ios::binary);
    if (!in) throw SeriesError(path + ": cannot open: " + std::strerror(errno != 0 ? errno : ENOENT));
    return read_series(in, path, variable);
}

}  // namespace formats
