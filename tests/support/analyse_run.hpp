#pragma once
// End-to-end support for celltrend-analyse: runs it in a scratch directory
// with what it printed on each stream, and makes celltrend's tables of the
// example series there.

#include <filesystem>
#include <string>

#include "support/run_dir.hpp"

namespace celltrend::testing {

struct AnalyseResult {
    int status = -1;
    std::string out;
    std::string err;
};

// Runs `celltrend-analyse ARGS` in the directory, `input` on its standard
// input.  `shell_prefix` goes before the command in the same shell (e.g.
// "ulimit -f 1;"); `redirect_out` replaces "> .out" (e.g. "> /dev/full").
inline AnalyseResult run_analyse(const RunDir& dir, const std::string& args, const std::string& input = "",
                                 const std::string& shell_prefix = "", const std::string& redirect_out = "> .out") {
    dir.write(".in", input);
    const std::string cmd = "cd '" + dir.path().string() + "' && " + shell_prefix + " '" + ANALYSE_EXE + "' " + args +
                            " < .in " + redirect_out + " 2> .err";
    const int raw = std::system(cmd.c_str());
    AnalyseResult r;
    r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    r.out = dir.read(".out");
    r.err = dir.read(".err");
    std::filesystem::remove(dir.path() / ".out");
    return r;
}

// Copies the example series into the directory and runs celltrend on
// `buffer` with "y" (all parameters): the plain table TK_parameters_HTML.xy,
// or TK_parameters_transf_HTML.xy for a buffer file with matrices.  Returns
// celltrend's exit status.
inline int make_example_table(const RunDir& dir, const std::string& buffer) {
    const std::filesystem::path examples = std::filesystem::path(CELLTREND_SOURCE_DIR) / "examples";
    for (const auto& entry : std::filesystem::directory_iterator(examples))
        if (entry.is_regular_file())
            std::filesystem::copy_file(entry.path(), dir.path() / entry.path().filename(),
                                       std::filesystem::copy_options::overwrite_existing);
    return dir.run(buffer + "\ny\n").status;
}

// "damaged.xy": the plain example table with asterisks for the 140 K
// temperature, on line 8, as celltrend writes a value too wide for its field.
inline void write_damaged_table(const RunDir& dir) {
    std::string table = dir.read("TK_parameters_HTML.xy");
    table.replace(table.find("140.00"), 6, "******");
    dir.write("damaged.xy", table);
}

}  // namespace celltrend::testing
