#include "options.hpp"

#include <iterator>

#include "cli/command_line.hpp"
#include "cli/figure_options.hpp"

namespace xyviewer {

const char* const usage_text =
    "Usage: xyviewer [OPTION]... PLOTFILE...\n"
    "  or:  xyviewer --column NAME[,NAME]... [OPTION]... TABLE...\n"
    "Plots .pgf files of celltrend (one or more X Y [SIGY] series each) with a\n"
    "weighted straight-line fit and its legend, and prints a summary of the\n"
    "points and the fit of each file.  The expansion coefficient of a length or\n"
    "volume is the slope over the mean value.\n"
    "\n"
    "  (no -o)          show the plot in a window and return when it is closed:\n"
    "                   q or Enter, or the window's close button (a mouse click\n"
    "                   does not close it); where no display opens, write the\n"
    "                   first PLOTFILE's name with .png instead\n"
    "  -o, --output=FILE  write FILE only, as PNG, SVG or PDF after its extension\n"
    "      --size=WxH   the page size in cm, mm or in, e.g. 8.5x6cm or 3.3x2.5in\n"
    "                   (default: 8.5x6.5cm per panel for SVG and PDF, 800x600\n"
    "                   pixels per panel for PNG and the window)\n"
    "      --dpi=N      pixels per inch of a PNG (default 100, 300 with --size);\n"
    "                   alone it scales the default page: --dpi 300 gives\n"
    "                   2400x1800 pixels per panel, the same picture finer\n"
    "      --column=NAME[,NAME]...  read each input as a table of celltrend\n"
    "                   (plain or transformed) or of celltrend-analyse transform,\n"
    "                   and draw its column NAME (a, b, c, alpha, beta, gamma,\n"
    "                   volume or V, mosaicity) with its ESD where it has one;\n"
    "                   several names give one panel each\n"
    "      --title=TEXT the title above each panel instead of the file's\n"
    "      --no-title   no title above the panels\n"
    "      --normalise  (or --normalize) draw every series divided by its first\n"
    "                   value (x/x0) on one figure, with a legend per series;\n"
    "                   without it several files give one panel each on one page\n"
    "      --no-fit     leave out the fitted lines and their legend\n"
    "  -h, --help       show this text\n"
    "      --version    show the version\n"
    "\n"
    "Exit status: 0 when shown or written, 1 when a file cannot be read, drawn\n"
    "or written, 2 for a wrong command line.\n";

Options parse_options(const std::vector<std::string>& args) {
    static constexpr cli::OptionSpec own[] = {
        {"output", 'o', true}, {"normalise", 0, false}, {"normalize", 0, false}, {"no-fit", 0, false},
        {"help", 'h', false},  {"version", 0, false},   {"column", 0, true},
    };
    std::vector<cli::OptionSpec> specs(std::begin(own), std::end(own));
    specs.insert(specs.end(), std::begin(cli::figure_option_specs), std::end(cli::figure_option_specs));
    const cli::CommandLine cl = cli::parse_command_line(args, specs);
    Options o;
    o.inputs = cl.operands;
    o.help = cl.has("help");
    o.version = cl.has("version");
    o.normalise = cl.has("normalise") || cl.has("normalize");
    o.fit = !cl.has("no-fit");
    if (const auto output = cl.value("output")) o.output = *output;
    const cli::FigureOptions figure = cli::figure_options(cl);
    o.title = figure.title;
    o.width_mm = figure.width_mm;
    o.height_mm = figure.height_mm;
    o.dpi = figure.dpi;
    if (const auto columns = cl.value("column")) {
        std::string_view rest = *columns;
        while (true) {
            const auto comma = rest.find(',');
            const std::string_view name = rest.substr(0, comma);
            if (name.empty()) throw UsageError("--column " + *columns + ": an empty name; give a,b or beta");
            o.columns.emplace_back(name);
            if (comma == std::string_view::npos) break;
            rest.remove_prefix(comma + 1);
        }
    }
    return o;
}

}  // namespace xyviewer
