// xyviewer: shows .pgf plot files and sums them up.
//
//   xyviewer PLOTFILE...          a window when a display opens, else the
//                                 first PLOTFILE's name with .png
//   xyviewer -o OUT PLOTFILE...   OUT only, in the format of its extension
//
// Status: 0 when the plot was shown or written, 1 when a file cannot be read,
// drawn or written, 2 for a wrong command line.

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <string>
#include <string_view>

#include "celltrend_version.hpp"
#include "cli/output_file.hpp"
#include "cli/write_signals.hpp"
#include "figures/figure.hpp"
#include "figures/plot.hpp"
#include "formats/display_text.hpp"
#include "formats/plot_file_reader.hpp"
#include "formats/printed.hpp"
#include "formats/series_table.hpp"
#include "formats/table_column.hpp"
#include "options.hpp"
#include "summary.hpp"
#include "window.hpp"

namespace {

using namespace xyviewer;
using namespace formats;
using namespace fit;
using namespace figures;
using cli::check_output;
using cli::same_file;
using cli::write_output;

// One line and where to look, as the other programs say it.
int wrong_usage(const std::string& why) {
    std::cerr << "xyviewer: " << displayable(why) << "\nTry 'xyviewer --help'.\n";
    return 2;
}

int failure(const std::string& message) {
    std::cout << std::flush;
    std::cerr << "xyviewer: " << displayable(message) << "\n";
    return 1;
}

// Text on standard output, flushed at once, so that a full disk or a closed
// pipe is seen and said where it happens.  False after the message.
bool print(const std::string& text) {
    errno = 0;
    std::cout << text << std::flush;
    if (std::cout) return true;
    std::cerr << "xyviewer: cannot write to standard output: " << std::strerror(errno != 0 ? errno : EIO) << "\n";
    return false;
}

// The plot files to draw: each input as it is, or with --column the named
// columns of each input read as a table.  False after the message.
bool read_inputs(const Options& options, std::vector<PlotFile>& files, int& status) {
    for (const std::string& input : options.inputs) {
        if (options.columns.empty()) {
            try {
                files.push_back(read_plot_file(input));
            } catch (const ReadError& e) {
                std::string why = e.what();
                try {  // a table is drawn a column at a time
                    read_series(input);
                    why += " (it reads as a table: name its columns with --column, e.g. --column b)";
                } catch (const std::runtime_error&) {
                }
                status = failure(why);
                return false;
            }
        } else {
            try {
                const formats::Series table = read_series(input);
                for (const std::string& column : options.columns) files.push_back(table_column(table, column));
            } catch (const std::runtime_error& e) {
                status = failure(e.what());
                return false;
            }
        }
    }
    return true;
}

bool names_an_input(const std::string& output, const std::vector<std::string>& inputs) {
    for (const std::string& input : inputs)
        if (output == input || same_file(output, input)) return true;
    return false;
}

// The picture written where no window can be shown: the first plot file's
// name with .png, or with .png added when that is the plot file itself.
std::string png_beside(const std::vector<std::string>& inputs) {
    std::string path = std::filesystem::path(inputs.front()).replace_extension(".png").string();
    if (names_an_input(path, inputs)) path = inputs.front() + ".png";
    return path;
}

}  // namespace

int main(int argc, char** argv) {
    cli::ignore_write_signals();
    Options options;
    try {
        options = parse_options(std::vector<std::string>(argv + 1, argv + argc));
    } catch (const UsageError& e) {
        return wrong_usage(e.what());
    }
    if (options.help) return print(usage_text) ? 0 : 1;
    if (options.version) return print(std::string("xyviewer ") + celltrend_version + "\n") ? 0 : 1;
    if (options.inputs.empty()) return wrong_usage("no plot file named");

    Format format = Format::png;
    if (!options.output.empty()) {
        const std::optional<Format> asked = format_of(options.output);
        if (!asked) return wrong_usage("cannot tell the format of " + options.output + ": use .png, .svg or .pdf");
        format = *asked;
        if (names_an_input(options.output, options.inputs))
            return wrong_usage("will not overwrite the plot file " + options.output + " with its picture");
    }

    for (const std::string& column : options.columns)
        if (!table_column_index(column))
            return wrong_usage("--column " + column + ": give a, b, c, alpha, beta, gamma, volume (or V) or mosaicity");

    // The page is checked before any input is read: a page that cannot be
    // drawn is a wrong command line, said before any summary.  Each plot
    // file, or each column of each table, is a panel; --normalise draws one.
    const int count =
        options.normalise ? 1 : int(options.inputs.size() * std::max<std::size_t>(1, options.columns.size()));
    std::string path = options.output, why_no_window;
    _XDisplay* display = nullptr;
    if (path.empty()) {
        display = open_display(why_no_window);
        if (display == nullptr) path = png_beside(options.inputs);
    }
    const bool window = display != nullptr;
    const int columns = int(std::ceil(std::sqrt(double(count))));
    const int rows = (count + columns - 1) / columns;
    const bool vector_page = !window && format != Format::png;
    Page page;
    // A window shows the page at the screen's 100 pixels per inch; a PNG at
    // the resolution asked for, the same page finer.
    page.dpi = window ? 100 : options.dpi.value_or(options.width_mm && !vector_page ? 300 : 100);
    if (options.width_mm) {
        page.width_mm = *options.width_mm;
        page.height_mm = *options.height_mm;
    } else if (vector_page) {  // a one-column journal figure per panel
        page.width_mm = 85.0 * columns;
        page.height_mm = 65.0 * rows;
    } else {  // 800 x 600 pixels per panel at 100 dpi: 20.32 x 15.24 cm
        page.width_mm = 203.2 * columns;
        page.height_mm = 152.4 * rows;
    }
    // Below this a panel's axis numbers, titles and legend no longer fit,
    // and PLplot draws an empty or garbled frame.  The pixels count too: a
    // low --dpi makes a large page a few dots.
    constexpr double min_panel_mm[2] = {20, 15};
    constexpr int min_panel_px[2] = {160, 120};
    const double panel_mm[2] = {page.width_mm / columns, page.height_mm / rows};
    if (panel_mm[0] < min_panel_mm[0] - 1e-9 || panel_mm[1] < min_panel_mm[1] - 1e-9)
        return wrong_usage(
            printed("the page gives each panel %.0f x %.0f mm, less than the %.0f x %.0f mm "
                    "a panel needs: a larger --size",
                    panel_mm[0], panel_mm[1], min_panel_mm[0], min_panel_mm[1]));
    if (!vector_page && (page.width_px() / columns < min_panel_px[0] || page.height_px() / rows < min_panel_px[1]))
        return wrong_usage(
            printed("the picture gives each panel %d x %d pixels, less than the %d x %d a "
                    "panel needs: a larger --dpi or --size",
                    page.width_px() / columns, page.height_px() / rows, min_panel_px[0], min_panel_px[1]));
    if (!vector_page && double(page.width_px()) * page.height_px() > 1e8)
        return wrong_usage("the picture would have more than 100 million pixels: lower --size or --dpi");
    std::vector<PlotFile> files;
    int status = 0;
    if (!read_inputs(options, files, status)) return status;
    std::vector<std::string> left_out;
    std::vector<Panel> panels = panels_for(files, options.normalise, &left_out);
    if (options.title)
        for (Panel& panel : panels) panel.title = *options.title;
    const DrawOptions draw_options{options.fit};
    // Labels that run together make a page unreadable: that is a wrong
    // --size, said before any summary.  The layout is the one every format
    // draws.
    PageCheck check;
    if (std::all_of(panels.begin(), panels.end(), [](const Panel& p) { return out_of_range(p).empty(); })) {
        try {
            check = check_page(panels, page, draw_options);
        } catch (const std::runtime_error& e) {
            return failure(e.what());
        }
        if (!check.unreadable.empty())
            return wrong_usage("the page is too small for its labels (" + check.unreadable +
                               " run together): a larger --size");
    }
    bool stdout_ok = true;
    for (const PlotFile& file : files) {
        for (const std::string& w : file.warnings) std::cerr << "xyviewer: warning: " << displayable(w) << "\n";
        // A closed standard output (a pipe whose reader has gone) loses the
        // summary, not the picture: the run goes on and ends with status 1.
        if (stdout_ok) stdout_ok = print(summary(file));
    }

    for (const std::string& w : left_out) std::cerr << "xyviewer: warning: " << displayable(w) << "\n";
    if (panels.empty()) return failure("nothing to plot: no series can be divided by its first value");
    for (std::size_t i = 0; i < panels.size(); ++i)
        if (const std::string why = out_of_range(panels[i]); !why.empty())
            return failure((options.normalise ? std::string("the normalised figure") : files[i].name) + ": " + why +
                           "; nothing drawn");
    for (const std::string& w : check.left_out)
        std::cerr << "xyviewer: warning: " << w << ": left out; a larger --size shows it\n";
    try {
        if (window) {
            if (stdout_ok)
                stdout_ok = print("    plot             : in a window; close it with q, Enter or its close button\n");
            show_window(display, "xyviewer: " + displayable(options.inputs.front()), page.width_px(), page.height_px(),
                        [&](int width, int height) {
                            Page shown = page;
                            shown.width_mm = width * 25.4 / page.dpi;
                            shown.height_mm = height * 25.4 / page.dpi;
                            return render_pixels(panels, shown, draw_options);
                        });
            return stdout_ok ? 0 : 1;
        }
        check_output(path);
        write_output(path, render_file(panels, format, page, draw_options));
    } catch (const std::runtime_error& e) {
        return failure(e.what());
    }
    return stdout_ok && print("    plot             : written to " + displayable(path) +
                              (why_no_window.empty() ? "" : " (" + why_no_window + ")") + "\n")
               ? 0
               : 1;
}
