#include "cellfiles/cif_cells.hpp"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <gemmi/cif.hpp>
#include <initializer_list>
#include <iterator>
#include <optional>

#include "formats/measured_number.hpp"

namespace analysis {

namespace {

namespace cif = gemmi::cif;

// A value as the block gives it: the tag that held it and its text, quotes
// removed; "?" and "." kept as they are.
struct Item {
    std::string tag;
    std::string text;
};

std::optional<Item> find_item(cif::Block& block, std::initializer_list<std::string_view> tags) {
    for (std::string_view tag : tags) {
        const cif::Column column = block.find_values(std::string(tag));
        if (column.item() == nullptr || column.length() < 1) continue;
        const std::string& raw = column.at(0);
        return Item{std::string(tag), cif::is_null(raw) ? raw : cif::as_string(raw)};
    }
    return std::nullopt;
}

enum class Got { absent, missing, number, invalid };

// A value, its uncertainty from the parentheses or else from an su item.
Got read_value(cif::Block& block, std::initializer_list<std::string_view> tags,
               std::initializer_list<std::string_view> su_tags, Item& item, MeasuredNumber& m) {
    const std::optional<Item> found = find_item(block, tags);
    if (!found) return Got::absent;
    item = *found;
    switch (read_measured(item.text, m)) {
        case Measured::missing:
            return Got::missing;
        case Measured::invalid:
            return Got::invalid;
        case Measured::number:
            break;
    }
    if (!m.su) {
        MeasuredNumber su;
        if (const std::optional<Item> s = find_item(block, su_tags))
            if (read_measured(s->text, su) == Measured::number && !su.su && su.value >= 0) m.su = su.value;
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
    MeasuredNumber value;
};

Temperature cell_temperature(cif::Block& block) {
    Temperature t;
    t.got = read_value(
        block, {"_cell_measurement_temperature", "_cell_measurement.temperature", "_cell_measurement.temp"},
        {"_cell_measurement_temperature_su", "_cell_measurement.temperature_su", "_cell_measurement.temp_esd"}, t.item,
        t.value);
    return t;
}

Temperature ambient_temperature(cif::Block& block) {
    Temperature t;
    t.got = read_value(block, {"_diffrn_ambient_temperature", "_diffrn.ambient_temperature", "_diffrn.ambient_temp"},
                       {"_diffrn_ambient_temperature_su", "_diffrn.ambient_temperature_su", "_diffrn.ambient_temp_esd"},
                       t.item, t.value);
    return t;
}

// The block's cell into `found`; false (with a note, unless the block has
// no cell at all) when it gives none that can be used.
bool read_block(cif::Block& block, const std::string& source, FoundCell& found, std::vector<std::string>& notes) {
    bool any = false;
    for (const Parameter& p : parameters) any = any || find_item(block, {p.name, p.dotted});
    if (!any) return false;
    std::array<double, 6> values{};
    std::array<double, 6> sus{};
    for (const Parameter& p : parameters) {
        Item item{std::string(p.name), ""};
        MeasuredNumber m;
        const Got got = read_value(block, {p.name, p.dotted}, {p.su, p.esd}, item, m);
        if (got != Got::number || !(m.value > 0)) {
            const std::string why = got == Got::absent    ? "missing"
                                    : got == Got::number  ? "not positive (" + item.text.substr(0, 40) + ")"
                                    : got == Got::missing ? "not known (" + item.text + ")"
                                                          : "no number (" + item.text.substr(0, 40) + ")";
            notes.push_back(source + ": " + item.tag + " " + why + "; cell left out");
            return false;
        }
        values[p.index] = m.value;
        sus[p.index] = m.su.value_or(0);
    }
    found.cell = Cell::from(values);
    found.esd = CellSu::from(sus);

    const Temperature cell = cell_temperature(block);
    const Temperature ambient = ambient_temperature(block);
    const Temperature* used = cell.got == Got::number ? &cell : ambient.got == Got::number ? &ambient : nullptr;
    if (used == nullptr) {
        notes.push_back(source + ": a cell but no temperature (_cell_measurement_temperature or " +
                        "_diffrn_ambient_temperature); left out");
        return false;
    }
    if (used == &cell && ambient.got == Got::number && ambient.value.value != cell.value.value)
        notes.push_back(source + ": " + cell.item.tag + " " + cell.item.text + " K and " + ambient.item.tag + " " +
                        ambient.item.text + " K differ; the cell's is used");
    found.t = used->value.value;
    found.sigma_t = used->value.su.value_or(0);
    return true;
}

// The first line of a parser's message.
std::string first_line(const std::string& s) { return s.substr(0, s.find('\n')); }

}  // namespace

FoundCells read_cif_text(std::string_view text, const std::string& name) {
    cif::Document doc;
    try {
        doc = cif::read_memory(text.data(), text.size(), name.c_str());
    } catch (const std::exception& e) {
        throw CellFileError(name + ": not a CIF: " + first_line(e.what()));
    }
    FoundCells out;
    for (cif::Block& block : doc.blocks) {
        FoundCell found;
        found.source = name + " data_" + block.name;
        if (read_block(block, found.source, found, out.notes)) out.cells.push_back(found);
    }
    return out;
}

FoundCells read_cif_cells(const std::string& path) {
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec)) throw CellFileError(path + ": is a directory");
    errno = 0;
    std::ifstream in(path, std::ios::binary);
    if (!in) throw CellFileError(path + ": cannot open: " + std::strerror(errno != 0 ? errno : ENOENT));
    const std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    if (in.bad()) throw CellFileError(path + ": read error");
    return read_cif_text(text, path);
}

}  // namespace analysis
