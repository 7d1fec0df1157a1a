#include "figure_output.hpp"

#include <iostream>

#include "write_result.hpp"

namespace analyse {

std::optional<figures::Format> figure_format(const std::string& option, const std::string& path, std::string& why) {
    if (path == "-") {
        why = option + " needs a file name, not standard output (the summary goes there)";
        return std::nullopt;
    }
    const std::optional<figures::Format> format = figures::format_of(path);
    if (!format) why = option + " " + path + ": name a .png, .svg or .pdf file";
    return format;
}

std::string plane_problem(const std::string& text) {
    // Any cell and any axes tell the form: directions parallel in one cell
    // are parallel in every cell.
    figures::ExpansionTensor probe;
    probe.cell = probe.principal_directions = {{{1, 0, 0}, {0, 1, 0}, {0, 0, 1}}};
    try {
        figures::section_plane(text, probe);
    } catch (const figures::PlaneError& e) {
        return e.what();
    }
    return {};
}

bool write_figure(const std::string& path, const std::string& input, std::string_view program,
                  const std::function<std::string(figures::Format)>& draw) {
    std::string bytes;
    try {
        bytes = draw(*figures::format_of(path));
    } catch (const std::exception& e) {
        std::cerr << program << ": " << path << ": " << e.what() << "\n";
        return false;
    }
    return write_result(bytes, path, input, program);
}

}  // namespace analyse
