// xyviewer: shows a .pgf plot file and sums it up.
//
//   xyviewer PLOTFILE           a window when a display opens, else PLOTFILE's
//                               name with .png beside it
//   xyviewer -o OUT PLOTFILE    OUT only, in the format of its extension
//
// Status: 0 when the plot was shown or written, 1 when the file cannot be read
// or plotted, 2 for a wrong command line.

#include <filesystem>
#include <iostream>
#include <string>
#include <string_view>

#include "pgf_reader.hpp"
#include "plot.hpp"
#include "summary.hpp"

namespace {

constexpr std::string_view usage =
    "Usage: xyviewer [-o OUTPUT] PLOTFILE\n"
    "Plots a .pgf file of celltrend (one or more X Y [SIGY] series) with a\n"
    "weighted straight-line fit, and prints a summary of the points and the fit.\n"
    "\n"
    "  (no option)   show the plot in a window and return when it is closed;\n"
    "                where no display opens, write PLOTFILE with .png instead\n"
    "  -o OUTPUT     write OUTPUT only, as PNG, SVG or PDF after its extension\n"
    "  --help        show this text\n"
    "  --version     show the version\n";

bool ends_with_ignoring_case(const std::string& s, std::string_view tail) {
    if (s.size() < tail.size()) return false;
    for (std::size_t i = 0; i < tail.size(); ++i) {
        char c = s[s.size() - tail.size() + i];
        if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
        if (c != tail[i]) return false;
    }
    return true;
}

int wrong_usage(const std::string& why) {
    std::cerr << "xyviewer: " << why << "\n" << usage;
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    std::string input, output;
    bool have_output = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            std::cout << usage;
            return 0;
        }
        if (arg == "--version") {
            std::cout << "xyviewer " << XYVIEWER_VERSION << "\n";
            return 0;
        }
        if (arg == "-o") {
            if (i + 1 >= argc) return wrong_usage("-o needs a file name");
            output = argv[++i];
            have_output = true;
        } else if (arg.size() > 1 && arg.front() == '-' && arg != "--") {
            return wrong_usage("unknown option " + arg);
        } else {
            if (arg == "--") {
                if (i + 1 >= argc) break;
                ++i;
            }
            if (!input.empty()) return wrong_usage("only one plot file at a time");
            input = argv[i];
        }
    }
    if (input.empty()) return wrong_usage("no plot file named");

    xyviewer::PlotRequest request;
    if (have_output) {
        request.path = output;
        if (ends_with_ignoring_case(output, ".png"))
            request.output = xyviewer::Output::png;
        else if (ends_with_ignoring_case(output, ".svg"))
            request.output = xyviewer::Output::svg;
        else if (ends_with_ignoring_case(output, ".pdf"))
            request.output = xyviewer::Output::pdf;
        else
            return wrong_usage("cannot tell the format of " + output + ": use .png, .svg or .pdf");
    }

    xyviewer::PlotFile file;
    try {
        file = xyviewer::read_plot_file(input);
    } catch (const xyviewer::ReadError& e) {
        std::cerr << "xyviewer: " << e.what() << "\n";
        return 1;
    }
    for (const std::string& w : file.warnings) std::cerr << "xyviewer: warning: " << w << "\n";
    std::cout << xyviewer::summary(file);

    std::string why_no_window;
    if (!have_output) {
        // PLplot's Qt window blocks until it is closed and then ends cleanly;
        // its X cairo window aborts without a display and reports a failure
        // when closed by the window manager, so Qt or nothing.
        if (!xyviewer::display_opens())
            why_no_window = "no display to show it on";
        else if (!xyviewer::plplot_has_device("qtwidget"))
            why_no_window = "PLplot's Qt device is not installed (plplot-driver-qt)";
        if (why_no_window.empty()) {
            request.output = xyviewer::Output::window;
        } else {
            request.output = xyviewer::Output::png;
            request.path = std::filesystem::path(input).replace_extension(".png").string();
        }
    }

    if (request.output == xyviewer::Output::window)
        std::cout << "    plot             : in a window; close it to go on\n";
    std::cout << std::flush;
    try {
        xyviewer::draw(file, request);
    } catch (const xyviewer::PlotError& e) {
        std::cerr << "xyviewer: " << input << ": " << e.what() << "\n";
        return 1;
    }
    if (request.output != xyviewer::Output::window) {
        std::cout << "    plot             : written to " << request.path;
        if (!why_no_window.empty()) std::cout << " (" << why_no_window << ")";
        std::cout << "\n";
    }
    return 0;
}
