#pragma once
// What every subcommand that draws needs: the figure's format checked on
// the command line, and the figure written like any result.

#include <array>
#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "cli/command_line.hpp"
#include "cli/figure_options.hpp"
#include "figures/expansion_tensor.hpp"
#include "figures/page.hpp"
#include "figures/temperature_figure.hpp"
#include "figures/tensor_figures.hpp"
#include "input_error.hpp"

namespace celltrend_analyse {

// The format of a figure named on the command line by `option` (e.g.
// "--surface"); a one-line reason in `why` when it has none (standard output
// holds the summary, and the extension says the format).
std::optional<figures::Format> figure_format(const std::string& option, const std::string& path, std::string& why);

// Draws the figure in `format` and writes it to `path` as write_result
// does (complete or not there, never over the input).  Throws InputError
// "FILE: why" when it cannot be drawn or written.
void write_figure(const std::string& path, figures::Format format, const std::string& input,
                  const std::function<std::string(figures::Format)>& draw);

// The options of a subcommand that draws: its own and the figure options
// (--title, --no-title, --size, --dpi) that every figure takes.
template <std::size_t N>
constexpr std::array<cli::OptionSpec, N + std::size(cli::figure_option_specs)> with_figure_options(
    const cli::OptionSpec (&own)[N]) {
    std::array<cli::OptionSpec, N + std::size(cli::figure_option_specs)> all{};
    std::size_t k = 0;
    for (const cli::OptionSpec& o : own) all[k++] = o;
    for (const cli::OptionSpec& o : cli::figure_option_specs) all[k++] = o;
    return all;
}

// The help lines of the figure options, the same in every subcommand.
extern const char* const figure_options_help;
// Those of the figures against pressure, which have no surface.
extern const char* const pressure_figure_options_help;

// The file a drawing option names (`option` "figure" for --figure) and the
// format its extension says; none without the option.  Throws UsageError
// for a name that says no format or is standard output.
struct NamedFigure {
    std::string path;
    figures::Format format;
};
std::optional<NamedFigure> named_figure(const cli::CommandLine& cl, const std::string& option);

// The figure's own page, with the size and resolution asked for.
figures::Page page_of(const cli::FigureOptions& look, figures::Page page);

// The figure options of the command line; a UsageError when one is given
// and no figure is drawn (`figure_options` names those that draw).
cli::FigureOptions figure_look(const cli::CommandLine& cl, bool drawing, const std::string& figure_options);

// The figures a subcommand was asked for by --figure, --surface and
// --section with --plane (X1X3 by default), and how to draw them.
struct FigureRequests {
    enum class Kind { against_t, surface, section };
    struct File {
        Kind kind;
        std::string path;
        figures::Format format;  // from the name's extension
    };
    std::vector<File> files;
    figures::PlaneChoice plane = figures::read_plane("X1X3");
    cli::FigureOptions look;    // title, size and resolution; unset: each figure's own
    figures::SurfaceView view;  // --view AZIMUTH,ELEVATION of the surface
};

// The requests of the command line, every name and the plane checked before
// any work; a one-line reason in `why` (a wrong argument) when one is wrong.
std::optional<FigureRequests> figure_requests(const cli::CommandLine& cl, std::string& why);

// Draws each requested file in turn, the figure against temperature from
// `against_t` and the surface and section from `tensor` (each called only
// when its figure is asked for), the tensor's under `tensor_title`; a
// --title or --no-title replaces every title.  Throws at the first failure,
// as write_figure does.
void write_figures(const FigureRequests& requests, const std::string& input, std::string_view program,
                   const std::string& tensor_title, const std::function<figures::TemperatureFigure()>& against_t,
                   const std::function<figures::ExpansionTensor()>& tensor);

}  // namespace celltrend_analyse
