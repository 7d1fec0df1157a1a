// celltrend: unit cell, volume and mosaicity of one crystal against
// temperature, from the HTML reports of a temperature series.

#include <unistd.h>

#include <csignal>
#include <iostream>
#include <string_view>

#include "celltrend.hpp"
#include "console.hpp"
#include "failure.hpp"

namespace {

constexpr std::string_view usage =
    "Usage: celltrend [--help | --version]\n"
    "\n"
    "Reads the HTML reports of a temperature series named in a buffer file and\n"
    "writes the unit cell, volume and mosaicity against temperature, as one table\n"
    "(TK_parameters_HTML.xy) or one plot file per quantity (TK_*.pgf), which it\n"
    "then offers to xyviewer.  Everything else is asked on the console:\n"
    "the buffer file's name, then what to extract.\n"
    "\n"
    "Buffer file: a title line, a free second line, then one line per temperature:\n"
    "  report.html TK                      (plain)\n"
    "  report.html TK m11 m12 ... m33      (cell re-expressed in new axes)\n";

// Written to a file, standard output is the record of what was asked and
// done: a write to it that failed (a full disk) is no success.
int checked_output(int status) {
    if (std::cout.flush()) return status;
    std::cerr << "celltrend: standard output: a write failed; its text is incomplete\n";
    return status == 0 ? 1 : status;
}

}  // namespace

int main(int argc, char** argv) {
    // A write past a file-size limit (ulimit -f) then fails with EFBIG, and
    // one to a pipe whose reader has gone with EPIPE, instead of killing the
    // run mid-line: each takes the path of a full disk, the files completed
    // to their last whole line, one message, status 1.
    std::signal(SIGXFSZ, SIG_IGN);
    std::signal(SIGPIPE, SIG_IGN);
    if (argc > 1) {
        const std::string_view arg = argv[1];
        if (argc == 2 && arg == "--help") {
            std::cout << usage;
            return checked_output(0);
        }
        if (argc == 2 && arg == "--version") {
            std::cout << "celltrend " << CELLTREND_VERSION << '\n';
            return checked_output(0);
        }
        std::cerr << "celltrend: unknown argument '" << arg << "'\n"
                  << "Usage: celltrend [--help | --version]\n";
        return 2;
    }

    std::ios::sync_with_stdio(false);
    celltrend::Console console(std::cin, std::cout, isatty(0) != 0 && isatty(1) != 0);
    int status = 0;
    try {
        celltrend::run_celltrend(console);
    } catch (const celltrend::RunFailure& failure) {
        // The run's files were completed on the way here; only the reason is left to show.
        std::string_view text = failure.what();
        while (!text.empty()) {
            const auto nl = text.find('\n');
            console.message({text.substr(0, nl)});
            text = nl == std::string_view::npos ? std::string_view{} : text.substr(nl + 1);
        }
        if (!failure.notice.empty()) console.notice(failure.notice);
        status = failure.exit_status;
    } catch (const std::exception& e) {
        console.message({" !! celltrend stopped: ", e.what(), " !!"});
        status = 1;
    }
    console.finish();
    return checked_output(status);
}
