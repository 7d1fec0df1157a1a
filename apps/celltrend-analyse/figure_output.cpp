#include "figure_output.hpp"

#include <cmath>
#include <filesystem>
#include <iostream>
#include <system_error>

#include "figures/tensor_figures.hpp"
#include "formats/number_field.hpp"
#include "write_result.hpp"

namespace celltrend_analyse {

namespace {

// Whether two names reach one file, as far as the names tell: "f.svg",
// "./f.svg" and "dir/../f.svg" do, and so do two links to one file.
bool same_file_name(const std::string& a, const std::string& b) {
    std::error_code e;
    if (std::filesystem::equivalent(a, b, e)) return true;
    const auto normal = [](const std::string& p) {
        std::error_code ignored;
        return std::filesystem::absolute(p, ignored).lexically_normal();
    };
    return normal(a) == normal(b);
}

const char* option_name(FigureRequests::Kind kind) {
    switch (kind) {
        case FigureRequests::Kind::against_t:
            return "figure";
        case FigureRequests::Kind::surface:
            return "surface";
        case FigureRequests::Kind::section:
            break;
    }
    return "section";
}

// "AZIMUTH,ELEVATION" in degrees.
bool read_view(const std::string& text, figures::SurfaceView& view) {
    const std::size_t comma = text.find(',');
    if (comma == std::string::npos) return false;
    double azimuth = 0, elevation = 0;
    if (formats::read_field(text.substr(0, comma), azimuth) != formats::Field::number ||
        formats::read_field(text.substr(comma + 1), elevation) != formats::Field::number)
        return false;
    if (!std::isfinite(azimuth) || !(std::fabs(elevation) < 90)) return false;
    view = {azimuth, elevation};
    return true;
}

}  // namespace

const char* const figure_options_help =
    "      --title TEXT       the title above each figure (default: the table's\n"
    "                         title, with the temperature on a tensor's figure)\n"
    "      --no-title         no title above the figures\n"
    "      --size WxH         the page of each figure in cm, mm or in, e.g. 8.5x6cm\n"
    "                         (default 8.5x11cm against T, 8.5x7.5cm a section,\n"
    "                         8.5cm wide and as tall as it needs a surface)\n"
    "      --dpi N            pixels per inch of a PNG figure (default 300)\n"
    "      --view AZ,EL       see the surface from AZ degrees round from a* towards\n"
    "                         b and EL degrees above the a*-b plane (default 35,22)\n";

std::optional<figures::Format> figure_format(const std::string& option, const std::string& path, std::string& why) {
    if (path == "-") {
        why = option + " needs a file name, not standard output (the summary goes there)";
        return std::nullopt;
    }
    const std::optional<figures::Format> format = figures::format_of(path);
    if (!format) why = option + " " + path + ": name a .png, .svg or .pdf file";
    return format;
}

void write_figure(const std::string& path, figures::Format format, const std::string& input,
                  const std::function<std::string(figures::Format)>& draw) {
    std::string bytes;
    try {
        bytes = draw(format);
    } catch (const std::exception& e) {
        throw InputError(path + ": " + e.what());
    }
    write_result(bytes, path, input);
}

std::optional<FigureRequests> figure_requests(const cli::CommandLine& cl, std::string& why) {
    FigureRequests requests;
    using Kind = FigureRequests::Kind;
    constexpr std::pair<const char*, Kind> kinds[] = {
        {"figure", Kind::against_t}, {"surface", Kind::surface}, {"section", Kind::section}};
    for (const auto& [option, kind] : kinds)
        if (const auto path = cl.value(option)) {
            const std::optional<figures::Format> format = figure_format(std::string("--") + option, *path, why);
            if (!format) return std::nullopt;
            // One file for two figures would keep the second alone.
            for (const FigureRequests::File& f : requests.files)
                if (same_file_name(f.path, *path)) {
                    why = "--" + std::string(option_name(f.kind)) + " and --" + option + " both name " + *path +
                          ": give each its own file";
                    return std::nullopt;
                }
            requests.files.push_back({kind, *path, *format});
        }
    if (cl.has("plane") && !cl.has("section")) {
        why = "--plane goes with --section FILE";
        return std::nullopt;
    }
    if (const auto view = cl.value("view")) {
        if (!cl.has("surface")) {
            why = "--view goes with --surface FILE";
            return std::nullopt;
        }
        if (!read_view(*view, requests.view)) {
            why =
                "--view " + *view + ": give AZIMUTH,ELEVATION in degrees, the elevation between -90 and 90, e.g. 35,22";
            return std::nullopt;
        }
    }
    try {
        requests.look = cli::figure_options(cl);
    } catch (const cli::UsageError& e) {
        why = e.what();
        return std::nullopt;
    }
    for (const char* option : {"title", "no-title", "size", "dpi"})
        if (cl.has(option) && requests.files.empty()) {
            why = std::string("--") + option + " goes with --figure, --surface or --section FILE";
            return std::nullopt;
        }
    if (const auto plane = cl.value("plane")) {
        try {
            requests.plane = figures::read_plane(*plane);
        } catch (const figures::PlaneError& e) {
            why = std::string("--plane: ") + e.what();
            return std::nullopt;
        }
    }
    return requests;
}

std::optional<NamedFigure> named_figure(const cli::CommandLine& cl, const std::string& option) {
    const std::optional<std::string> path = cl.value(option);
    if (!path) return std::nullopt;
    std::string why;
    const std::optional<figures::Format> format = figure_format("--" + option, *path, why);
    if (!format) throw cli::UsageError(why);
    return NamedFigure{*path, *format};
}

figures::Page page_of(const cli::FigureOptions& look, figures::Page page) {
    if (look.width_mm && look.height_mm) page.width_mm = *look.width_mm, page.height_mm = *look.height_mm;
    if (look.dpi) page.dpi = *look.dpi;
    return page;
}

cli::FigureOptions figure_look(const cli::CommandLine& cl, bool drawing, const std::string& figure_options) {
    const cli::FigureOptions look = cli::figure_options(cl);
    for (const char* option : {"title", "no-title", "size", "dpi"})
        if (cl.has(option) && !drawing)
            throw cli::UsageError(std::string("--") + option + " goes with " + figure_options);
    return look;
}

const char* const pressure_figure_options_help =
    "      --title TEXT       the title above each figure (default: the file's name)\n"
    "      --no-title         no title above the figures\n"
    "      --size WxH         the page of each figure in cm, mm or in, e.g. 8.5x6cm\n"
    "      --dpi N            pixels per inch of a PNG figure (default 300)\n";

void write_figures(const FigureRequests& requests, const std::string& input, std::string_view program,
                   const std::string& tensor_title, const std::function<figures::TemperatureFigure()>& against_t,
                   const std::function<figures::ExpansionTensor()>& tensor) {
    const std::string title = requests.look.title.value_or(tensor_title);
    for (const FigureRequests::File& f : requests.files) {
        write_figure(f.path, f.format, input, [&](figures::Format format) {
            if (f.kind == FigureRequests::Kind::against_t) {
                figures::TemperatureFigure figure = against_t();
                if (requests.look.title) figure.title = *requests.look.title;
                return figures::temperature_figure_file(figure, format,
                                                        page_of(requests.look, figures::temperature_page));
            }
            const figures::ExpansionTensor t = tensor();
            if (figures::is_zero(t))
                std::cerr << program << ": " << f.path
                          << ": note: the expansion is zero within its rounding and uncertainty: drawn without lobes\n";
            // A surface's own page is as tall as the surface needs.
            const figures::Page page = page_of(requests.look, f.kind == FigureRequests::Kind::surface
                                                                  ? figures::surface_page(t, title, requests.view)
                                                                  : figures::tensor_page);
            if (f.kind == FigureRequests::Kind::surface)
                return figures::surface_file(t, title, format, page, requests.view);
            return figures::section_file(t, figures::section_plane(requests.plane, t), title, format, page);
        });
    }
}

}  // namespace celltrend_analyse
