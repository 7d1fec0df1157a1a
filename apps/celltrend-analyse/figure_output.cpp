#include "figure_output.hpp"

#include <iostream>

#include "figures/tensor_figures.hpp"
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

std::optional<FigureRequests> figure_requests(const cli::CommandLine& cl, std::string& why) {
    FigureRequests requests;
    for (const char* option : {"figure", "surface", "section"})
        if (const auto path = cl.value(option)) {
            if (!figure_format(std::string("--") + option, *path, why)) return std::nullopt;
            requests.files.push_back({option, *path});
        }
    if (cl.has("plane") && !cl.has("section")) {
        why = "--plane goes with --section FILE";
        return std::nullopt;
    }
    requests.plane = cl.value("plane").value_or(requests.plane);
    if (const std::string problem = plane_problem(requests.plane); !problem.empty()) {
        why = "--plane: " + problem;
        return std::nullopt;
    }
    return requests;
}

bool write_figures(const FigureRequests& requests, const std::string& input, std::string_view program,
                   const std::string& title, const std::function<figures::TemperatureFigure()>& against_t,
                   const std::function<figures::ExpansionTensor()>& tensor) {
    for (const FigureRequests::File& f : requests.files) {
        const bool written = write_figure(f.path, input, program, [&](figures::Format format) {
            if (f.option == "figure")
                return figures::temperature_figure_file(against_t(), format, figures::temperature_page);
            const figures::ExpansionTensor t = tensor();
            if (f.option == "surface") return figures::surface_file(t, title, format, figures::tensor_page);
            return figures::section_file(t, figures::section_plane(requests.plane, t), title, format,
                                         figures::tensor_page);
        });
        if (!written) return false;
    }
    return true;
}

}  // namespace analyse
