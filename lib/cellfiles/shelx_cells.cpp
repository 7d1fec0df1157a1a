#include "cellfiles/shelx_cells.hpp"

#include <cmath>
#include <optional>
#include <sstream>
#include <string_view>
#include <vector>

#include "cellfiles/block_ties.hpp"
#include "cellfiles/cell_file_text.hpp"
#include "formats/measured_number.hpp"
#include "formats/number_field.hpp"

namespace cellfiles {

namespace {

constexpr double celsius_zero = 273.15;  // K
constexpr std::string_view default_temp = "20";

std::string upper(std::string_view s) {
    std::string u(s);
    for (char& c : u)
        if (c >= 'a' && c <= 'z') c = char(c - 'a' + 'A');
    return u;
}

// The numbers after the instruction; nullopt when one is no number.
std::optional<std::vector<formats::Estimate>> numbers(const std::vector<std::string_view>& words) {
    std::vector<formats::Estimate> out;
    for (std::size_t i = 1; i < words.size(); ++i) {
        formats::Estimate m;
        if (formats::read_measured(words[i], m) != formats::Measured::number) return std::nullopt;
        out.push_back(m);
    }
    return out;
}

// Digits after the decimal point of a number's text ("-173.15(5)" has 2).
int decimals_of(std::string_view text) {
    const auto point = text.find('.');
    if (point == std::string_view::npos) return 0;
    int n = 0;
    for (std::size_t i = point + 1; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) ++n;
    return n;
}

// Celsius to kelvin, rounded to the digits the text gives (at least the two
// of 273.15, at most ten), so that -173.15 gives 100 and not
// 100.00000000000003.  The place is capped: 10^306 would overflow.
double kelvin(std::string_view celsius_text, double celsius) {
    const double k = celsius + celsius_zero;
    if (celsius_text.find_first_of("eE") != std::string_view::npos) return k;
    const double scale = std::pow(10.0, std::min(std::max(decimals_of(celsius_text), 2), 10));
    const double rounded = std::round(k * scale) / scale;
    return std::isfinite(rounded) ? rounded : k;
}

// A logical line: '=' at the end of a line continues it on the next.
bool next_instruction(std::istream& in, std::string& text, int& line_number, int& first_line) {
    text.clear();
    std::string line;
    bool any = false;
    while (std::getline(in, line)) {
        ++line_number;
        if (!any) first_line = line_number;
        any = true;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        const std::vector<std::string_view> words = formats::split_blanks(line);
        const std::string keyword = words.empty() ? "" : upper(words[0].substr(0, 4));
        const bool remark = keyword == "REM";
        // TITL is no continued instruction: "a=b=" ends a title, and the
        // CELL below is read.
        const bool title = keyword == "TITL" && text.empty();
        if (!remark && !title) {
            const auto bang = line.find('!');
            if (bang != std::string::npos) line.erase(bang);
        }
        const std::string_view t = formats::trim(line);
        if (!remark && !title && !t.empty() && t.back() == '=') {
            text += std::string(t.substr(0, t.size() - 1)) + " ";
            continue;
        }
        text += line;
        return true;
    }
    return any;
}

}  // namespace

FoundCells read_shelx_cells(std::istream& in, const std::string& name) {
    FoundCells out;
    FoundCell found;
    found.source = name;
    bool cell = false;
    bool zerr = false;
    std::optional<formats::Estimate> temp;
    std::string temp_text;
    std::string text;
    int line_number = 0;
    int first_line = 0;
    int cell_line = 0, zerr_line = 0, temp_line = 0;
    // An instruction given again: named, and the first kept.
    const auto again = [&](const std::string& keyword, int first) {
        out.notes.push_back(name + ":" + std::to_string(first_line) + ": " + keyword + " given again (first at line " +
                            std::to_string(first) + "); the first is used");
    };
    while (next_instruction(in, text, line_number, first_line)) {
        const std::vector<std::string_view> words = formats::split_blanks(text);
        if (words.empty()) continue;
        const std::string keyword = upper(words[0].substr(0, 4));
        const std::string where = name + ":" + std::to_string(first_line) + ": ";
        if (keyword == "END") break;
        if (keyword == "TITL") {
            const std::string_view t = formats::trim(text);
            found.title = std::string(formats::trim(t.substr(std::min<std::size_t>(t.size(), words[0].size()))));
        } else if (keyword == "CELL" && cell) {
            again(keyword, cell_line);
        } else if (keyword == "ZERR" && zerr) {
            again(keyword, zerr_line);
        } else if (keyword == "TEMP" && temp) {
            again(keyword, temp_line);
        } else if (keyword == "CELL") {
            cell_line = first_line;
            const auto v = numbers(words);
            if (!v || v->size() != 7) throw CellFileError(where + "CELL needs the wavelength and six cell parameters");
            found.cell = {(*v)[1].value, (*v)[2].value, (*v)[3].value, (*v)[4].value, (*v)[5].value, (*v)[6].value};
            for (const formats::Estimate& m : *v)
                if (!(m.value > 0) || !std::isfinite(m.value))
                    throw CellFileError(where + "CELL holds a value that is not positive");
            if (!formats::is_cell(found.cell)) throw CellFileError(where + "CELL: the angles close no cell");
            cell = true;
        } else if (keyword == "ZERR") {
            const auto v = numbers(words);
            if (!v || v->size() != 7) throw CellFileError(where + "ZERR needs Z and the six ESDs of the cell");
            zerr_line = first_line;
            found.esd = {(*v)[1].value, (*v)[2].value, (*v)[3].value, (*v)[4].value, (*v)[5].value, (*v)[6].value};
            zerr = true;
            for (const formats::Estimate& m : *v)
                if (m.value < 0) throw CellFileError(where + "ZERR holds a negative ESD");
        } else if (keyword == "TEMP") {
            const auto v = numbers(words);
            if (!v || v->size() > 1) throw CellFileError(where + "TEMP needs one temperature in degrees Celsius");
            // A bare TEMP is SHELX's default.
            temp_text = v->empty() ? std::string(default_temp) : std::string(words[1]);
            formats::Estimate m;
            formats::read_measured(temp_text, m);
            if (!std::isfinite(m.value) || (m.has_sigma() && !std::isfinite(m.sigma)))
                throw CellFileError(where + "TEMP is no finite temperature");
            temp = m;
            temp_line = first_line;
        }
    }
    if (in.bad()) throw CellFileError(name + ": read error after line " + std::to_string(line_number));
    if (!cell) return out;
    if (!zerr) out.notes.push_back(name + ": no ZERR; the cell is taken without ESDs");
    if (!temp) {
        temp_text = default_temp;
        temp = formats::Estimate{20, std::nan("")};
        out.notes.push_back(name + ": no TEMP; SHELX's default of 20 degrees Celsius (293.15 K) taken");
    }
    found.t = kelvin(temp_text, temp->value);
    found.sigma_t = temp->has_sigma() ? temp->sigma : 0;
    if (!(found.t > 0)) {
        out.notes.push_back(name + ":" + std::to_string(temp_line) + ": TEMP " + temp_text.substr(0, 40) +
                            " degrees Celsius is at or below 0 K; no row");
        return out;
    }
    found.ties = ties_in_one_cell(found.cell, found.esd);
    out.cells.push_back(found);
    return out;
}

FoundCells read_shelx_cells(const std::string& path) {
    std::istringstream in(read_cell_file(path));
    return read_shelx_cells(in, path);
}

}  // namespace cellfiles
