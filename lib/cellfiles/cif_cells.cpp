#include "cellfiles/cif_cells.hpp"

#include <cmath>
#include <cstdio>
#include <gemmi/cif.hpp>
#include <initializer_list>
#include <iterator>
#include <optional>

#include "cellfiles/block_ties.hpp"
#include "cellfiles/cell_file_text.hpp"
#include "formats/measured_number.hpp"

namespace cellfiles {

namespace {

namespace cif = gemmi::cif;

// A value as the block gives it: the tag that held it and its text, quotes
// removed; "?" and "." kept as they are.
struct Item {
    std::string tag;
    std::string text;
};

// Where the block gives a name more than once or under two names, what
// was used and what was passed over, one line each.
struct BlockNotes {
    std::string source;
    std::vector<std::string>& notes;
    void add(const std::string& what) { notes.push_back(source + ": " + what); }
};

// The first of `tags` the block gives.  A loop of several values is no
// single value: `several` then holds how many.
std::optional<Item> find_item(cif::Block& block, std::initializer_list<std::string_view> tags,
                              std::size_t* several = nullptr, BlockNotes* notes = nullptr) {
    std::optional<Item> found;
    for (std::string_view tag : tags) {
        const cif::Column column = block.find_values(std::string(tag));
        if (column.item() == nullptr || column.length() < 1) continue;
        const std::string& raw = column.at(0);
        Item item{std::string(tag), cif::is_null(raw) ? raw : cif::as_string(raw)};
        if (found) {
            // CIF 1.1 and dotted names for one item: the first is used.
            if (notes != nullptr && item.text != found->text)
                notes->add(found->tag + " " + found->text.substr(0, 40) + " and " + item.tag + " " +
                           item.text.substr(0, 40) + " differ; " + found->tag + " is used");
            continue;
        }
        if (several != nullptr && column.length() > 1) *several = column.length();
        found = item;
    }
    return found;
}

enum class Got { absent, missing, number, invalid };

// A value, its uncertainty from the parentheses or else from an su item.
// `several` as for find_item.
Got read_value(cif::Block& block, std::initializer_list<std::string_view> tags,
               std::initializer_list<std::string_view> su_tags, Item& item, formats::Estimate& m,
               std::size_t* several = nullptr, BlockNotes* notes = nullptr) {
    const std::optional<Item> found = find_item(block, tags, several, notes);
    if (!found) return Got::absent;
    item = *found;
    switch (formats::read_measured(item.text, m)) {
        case formats::Measured::missing:
            return Got::missing;
        case formats::Measured::invalid:
            return Got::invalid;
        case formats::Measured::number:
            break;
    }
    if (!m.has_sigma()) {
        for (std::string_view su_tag : su_tags) {
            const std::optional<Item> s = find_item(block, {su_tag});
            if (!s) continue;
            formats::Estimate su;
            if (formats::read_measured(s->text, su) == formats::Measured::number && !su.has_sigma() && su.value >= 0 &&
                std::isfinite(su.value)) {
                m.sigma = su.value;
                break;
            }
            if (notes != nullptr && !cif::is_null(s->text))
                notes->add(s->tag + " " + s->text.substr(0, 40) + " is no s.u.; passed over");
        }
    }
    return Got::number;
}

struct Parameter {
    std::string_view name;
    std::string_view dotted;
    std::string_view su;
    std::string_view esd;  // the macromolecular dictionary's name
    int index;             // a, b, c, alpha, beta, gamma: 0 to 5
};

constexpr Parameter parameters[] = {
    {"_cell_length_a", "_cell.length_a", "_cell.length_a_su", "_cell.length_a_esd", 0},
    {"_cell_length_b", "_cell.length_b", "_cell.length_b_su", "_cell.length_b_esd", 1},
    {"_cell_length_c", "_cell.length_c", "_cell.length_c_su", "_cell.length_c_esd", 2},
    {"_cell_angle_alpha", "_cell.angle_alpha", "_cell.angle_alpha_su", "_cell.angle_alpha_esd", 3},
    {"_cell_angle_beta", "_cell.angle_beta", "_cell.angle_beta_su", "_cell.angle_beta_esd", 4},
    {"_cell_angle_gamma", "_cell.angle_gamma", "_cell.angle_gamma_su", "_cell.angle_gamma_esd", 5},
};

struct Temperature {
    Got got = Got::absent;
    Item item;
    formats::Estimate value;
};

Temperature cell_temperature(cif::Block& block, BlockNotes& notes) {
    Temperature t;
    t.got = read_value(
        block, {"_cell_measurement_temperature", "_cell_measurement.temperature", "_cell_measurement.temp"},
        {"_cell_measurement_temperature_su", "_cell_measurement.temperature_su", "_cell_measurement.temp_esd"}, t.item,
        t.value, nullptr, &notes);
    return t;
}

Temperature ambient_temperature(cif::Block& block, BlockNotes& notes) {
    Temperature t;
    t.got = read_value(block, {"_diffrn_ambient_temperature", "_diffrn.ambient_temperature", "_diffrn.ambient_temp"},
                       {"_diffrn_ambient_temperature_su", "_diffrn.ambient_temperature_su", "_diffrn.ambient_temp_esd"},
                       t.item, t.value, nullptr, &notes);
    return t;
}

// Why a value is of no use, for a note.
std::string why_not(Got got, const Item& item) {
    return got == Got::absent    ? "missing"
           : got == Got::missing ? "not known (" + item.text + ")"
                                 : "no number (" + item.text.substr(0, 40) + ")";
}

// The block's temperature into `found`; false with a note where it has none
// that can be used.
bool read_temperature(cif::Block& block, BlockNotes& notes, FoundCell& found) {
    const Temperature cell = cell_temperature(block, notes);
    const Temperature ambient = ambient_temperature(block, notes);
    const Temperature* used = cell.got == Got::number ? &cell : ambient.got == Got::number ? &ambient : nullptr;
    if (used == nullptr) {
        // A temperature written in a way no reader takes ("100(2)K") is not
        // the same as none at all.
        const Temperature& given = cell.got != Got::absent ? cell : ambient;
        if (given.got == Got::absent)
            notes.add(
                "a cell but no temperature (_cell_measurement_temperature or _diffrn_ambient_temperature); "
                "left out");
        else
            notes.add(given.item.tag + " " + why_not(given.got, given.item) + "; left out");
        return false;
    }
    if (used == &cell && ambient.got == Got::number && ambient.value.value != cell.value.value)
        notes.add(cell.item.tag + " " + cell.item.text + " K and " + ambient.item.tag + " " + ambient.item.text +
                  " K differ; the cell's is used");
    const double t = used->value.value;
    if (!(t > 0) || !std::isfinite(t)) {
        const bool celsius = t > -273.15 && t <= 0;
        notes.add(used->item.tag + " " + used->item.text.substr(0, 40) + " is no temperature in kelvin" +
                  (celsius ? " (it looks like degrees Celsius)" : "") + "; left out");
        return false;
    }
    found.t = t;
    found.sigma_t = used->value.has_sigma() ? used->value.sigma : 0;
    return true;
}

// The refinement's own volume, its pressure and the compound's name: what a
// block may add to its cell.
void read_extras(cif::Block& block, BlockNotes& notes, FoundCell& found) {
    Item item;
    formats::Estimate m;
    if (read_value(block, {"_cell_volume", "_cell.volume"}, {"_cell.volume_su", "_cell.volume_esd"}, item, m, nullptr,
                   &notes) == Got::number) {
        if (m.value > 0 && std::isfinite(m.value)) {
            found.volume = m.value;
            found.volume_su = m.sigma;
        } else {
            notes.add(item.tag + " " + item.text.substr(0, 40) + " is no volume; the cell's is used");
        }
    }
    if (read_value(block, {"_diffrn_ambient_pressure", "_diffrn.ambient_pressure"},
                   {"_diffrn_ambient_pressure_su", "_diffrn.ambient_pressure_su", "_diffrn.ambient_pressure_esd"}, item,
                   m, nullptr, &notes) == Got::number) {
        // kPa in the file, GPa in the table.
        if (m.value >= 0 && std::isfinite(m.value)) {
            found.pressure = m.value * 1e-6;
            found.pressure_su = m.has_sigma() ? m.sigma * 1e-6 : 0;
        } else {
            notes.add(item.tag + " " + item.text.substr(0, 40) + " is no pressure; none taken");
        }
    }
    for (std::string_view tag :
         {"_chemical_name_common", "_chemical.name_common", "_chemical_formula_sum", "_chemical_formula.sum"}) {
        const std::optional<Item> name = find_item(block, {tag});
        if (name && !cif::is_null(name->text) && !name->text.empty()) {
            found.name = name->text;
            break;
        }
    }
}

// The block's cell into `found`; false (with a note, unless the block has
// no cell at all) when it gives none that can be used.
bool read_block(cif::Block& block, const std::string& source, FoundCell& found, std::vector<std::string>& all_notes) {
    BlockNotes notes{source, all_notes};
    bool any = false;
    for (const Parameter& p : parameters) any = any || find_item(block, {p.name, p.dotted});
    if (!any) return false;
    std::array<double, 6> values{};
    std::array<double, 6> sus{};
    for (const Parameter& p : parameters) {
        Item item{std::string(p.name), ""};
        formats::Estimate m;
        std::size_t several = 0;
        const Got got = read_value(block, {p.name, p.dotted}, {p.su, p.esd}, item, m, &several, &notes);
        if (several > 1) {
            notes.add(item.tag + " is a loop of " + std::to_string(several) +
                      " values: one cell per block is read; cell left out");
            return false;
        }
        if (got != Got::number || !(m.value > 0) || !std::isfinite(m.value)) {
            const std::string why =
                got == Got::number ? "not positive (" + item.text.substr(0, 40) + ")" : why_not(got, item);
            notes.add(item.tag + " " + why + "; cell left out");
            return false;
        }
        values[p.index] = m.value;
        sus[p.index] = m.has_sigma() ? m.sigma : 0;
    }
    found.cell = formats::Cell::from(values);
    found.esd = formats::CellSu::from(sus);
    if (!formats::is_cell(found.cell)) {
        char angles[128];
        std::snprintf(angles, sizeof angles, "%.10g, %.10g, %.10g", found.cell.alpha, found.cell.beta,
                      found.cell.gamma);
        notes.add(std::string("the angles ") + angles + " close no cell (each between 0 and 180, a volume); left out");
        return false;
    }
    found.ties = ties_in_one_cell(found.cell, found.esd);
    if (!read_temperature(block, notes, found)) return false;
    read_extras(block, notes, found);
    return true;
}

// The first line of a parser's message.
std::string first_line(const std::string& s) { return s.substr(0, s.find('\n')); }

// What a file that gemmi cannot parse may be instead, or "".
std::string what_else(std::string_view text) {
    if (text.size() >= 2 && ((text[0] == '\xFF' && text[1] == '\xFE') || (text[0] == '\xFE' && text[1] == '\xFF')))
        return "UTF-16, which CIF is not written in; save it as UTF-8";
    if (text.substr(0, std::min<std::size_t>(text.size(), 200)).find('\0') != std::string_view::npos)
        return "NUL bytes (UTF-16 or a binary file); a CIF is text in UTF-8";
    if (text.substr(0, 10) == "#\\#CIF_2.0") return "a CIF 2.0 file; CIF 2.0 is not read";
    return "";
}

// A CIF 2.0 list or table ("_tag [1 2]") in a file without CIF 2.0's
// magic line, which a CIF 1.1 parser stops on.
bool has_cif2_value(std::string_view text) {
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = std::min(text.find('\n', start), text.size());
        const std::string_view line = text.substr(start, end - start);
        start = end + 1;
        const std::size_t tag = line.find_first_not_of(" \t");
        if (tag == std::string_view::npos || line[tag] != '_') continue;
        const std::size_t gap = line.find_first_of(" \t", tag);
        if (gap == std::string_view::npos) continue;
        const std::size_t value = line.find_first_not_of(" \t", gap);
        if (value != std::string_view::npos && (line[value] == '[' || line[value] == '{')) return true;
    }
    return false;
}

}  // namespace

FoundCells read_cif_text(std::string_view text, const std::string& name) {
    // A byte-order mark before the first block, as some editors write it.
    if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
    cif::Document doc;
    try {
        doc = cif::read_memory(text.data(), text.size(), name.c_str());
    } catch (const std::exception& e) {
        const std::string other = what_else(text);
        if (!other.empty()) throw CellFileError(name + ": " + other);
        const std::string why = first_line(e.what());
        const bool bracket = has_cif2_value(text);
        throw CellFileError(name + ": not a CIF: " + why +
                            (bracket ? " (a CIF 2.0 list or table: CIF 2.0 is not read)" : ""));
    }
    FoundCells out;
    for (cif::Block& block : doc.blocks) {
        FoundCell found;
        found.source = name + " data_" + block.name;
        if (read_block(block, found.source, found, out.notes)) out.cells.push_back(found);
    }
    return out;
}

FoundCells read_cif_cells(const std::string& path) { return read_cif_text(read_cell_file(path), path); }

}  // namespace cellfiles
