// celltrend: unit cell, volume and mosaicity of one crystal against
// temperature, from the HTML reports of a temperature series.

#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <iostream>
#include <sstream>
#include <string_view>
#include <vector>

#include "batch.hpp"
#include "celltrend.hpp"
#include "celltrend_version.hpp"
#include "console.hpp"
#include "failure.hpp"
#include "text_files.hpp"

namespace {

constexpr std::string_view short_usage =
    "Usage: celltrend [--help | --version]\n"
    "       celltrend --buffer FILE (--all | --quantities LIST [--plot])\n";

constexpr std::string_view usage =
    "Usage: celltrend [--help | --version]\n"
    "       celltrend --buffer FILE (--all | --quantities LIST [--plot])\n"
    "\n"
    "Reads the HTML reports of a temperature series named in a buffer file and\n"
    "writes the unit cell, volume and mosaicity against temperature, as one table\n"
    "(TK_parameters_HTML.xy) or one plot file per quantity (TK_*.pgf), which it\n"
    "then offers to xyviewer.  Without options everything is asked on the\n"
    "console: the buffer file's name, then what to extract.  From a script the\n"
    "options give the answers, and the console and files are those of the\n"
    "dialogue with those answers:\n"
    "\n"
    "  --buffer FILE       the buffer file\n"
    "  --all               one table with every quantity\n"
    "  --quantities LIST   a plot file for each of LIST, names separated by\n"
    "                      commas: a,b,c,alpha,beta,gamma,volume (or V),mosaicity\n"
    "  --plot              start xyviewer on each plot file (else none)\n"
    "  --help              show this text\n"
    "  --version           show the version\n"
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
    const celltrend::Invocation run = celltrend::read_invocation(std::vector<std::string_view>(argv + 1, argv + argc));
    switch (run.kind) {
        case celltrend::Invocation::help:
            std::cout << usage;
            return checked_output(0);
        case celltrend::Invocation::version:
            std::cout << "celltrend " << celltrend_version << '\n';
            return checked_output(0);
        case celltrend::Invocation::wrong:
            std::cerr << "celltrend: " << run.why << '\n' << short_usage;
            return 2;
        case celltrend::Invocation::batch:
        case celltrend::Invocation::dialogue:
            break;
    }
    // The dialogue would ask again for a buffer file that cannot be read; a
    // script has nobody to answer.
    if (run.kind == celltrend::Invocation::batch) {
        celltrend::InputFile buffer;
        std::string why;
        std::error_code ec;
        if (std::filesystem::is_directory(run.buffer, ec)) {
            std::cerr << "celltrend: " << run.buffer << ": is a directory, not a buffer file\n";
            return 1;
        }
        if (!celltrend::file_exists(run.buffer)) {
            std::cerr << "celltrend: " << run.buffer << ": does not exist\n";
            return 1;
        }
        if (!buffer.open(run.buffer, why)) {
            std::cerr << "celltrend: " << run.buffer << ": cannot be read: " << why << '\n';
            return 1;
        }
    }

    std::ios::sync_with_stdio(false);
    std::istringstream script(run.kind == celltrend::Invocation::batch ? celltrend::scripted_answers(run) : "");
    celltrend::Console console(run.kind == celltrend::Invocation::batch ? static_cast<std::istream&>(script) : std::cin,
                               std::cout,
                               run.kind == celltrend::Invocation::dialogue && isatty(0) != 0 && isatty(1) != 0);
    int status = 0;
    try {
        // A script that asked for the plots learns when a viewer failed; in
        // the dialogue the person saw it.
        const int viewers_failed = celltrend::run_celltrend(console);
        if (viewers_failed > 0 && run.kind == celltrend::Invocation::batch) status = 1;
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
