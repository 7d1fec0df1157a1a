// celltrend-analyse: the temperature series that celltrend writes, taken
// further.  The first argument names the subcommand.

#include <array>
#include <iostream>
#include <new>
#include <string>
#include <string_view>

#include "celltrend_version.hpp"
#include "cli/command_line.hpp"
#include "cli/write_signals.hpp"
#include "commands.hpp"
#include "input_error.hpp"

namespace {

struct SubcommandEntry {
    std::string_view name;
    std::string_view summary;
    int (*run)(const celltrend_analyse::Arguments&);
};

constexpr std::array<SubcommandEntry, 7> subcommands{{
    {"expansion", "principal axes and coefficients of thermal expansion", celltrend_analyse::run_expansion},
    {"alpha", "coefficients of expansion as functions of temperature", celltrend_analyse::run_alpha},
    {"transform", "the cells and their ESDs in new axes", celltrend_analyse::run_transform},
    {"export", "the series for other programs (strain calculators, EosFit, CSV)", celltrend_analyse::run_export},
    {"collect", "the series from CIF or SHELX files, one per temperature", celltrend_analyse::run_collect},
    {"compression", "principal compressibilities of a pressure series", celltrend_analyse::run_compression},
    {"eos", "equations of state of a pressure series", celltrend_analyse::run_eos},
}};

void print_usage(std::ostream& out) {
    out << "Usage: celltrend-analyse SUBCOMMAND [OPTION]... FILE\n"
           "Analyses the temperature series of a unit cell written by celltrend, and\n"
           "pressure series of cells.\n"
           "\n"
           "Subcommands:\n";
    for (const SubcommandEntry& s : subcommands) {
        std::string name(s.name);
        name.resize(12, ' ');
        out << "  " << name << s.summary << "\n";
    }
    out << "\n"
           "  --help        show this text\n"
           "  --version     show the version\n"
           "\n"
           "celltrend-analyse SUBCOMMAND --help explains one subcommand.\n";
}

}  // namespace

int main(int argc, char** argv) {
    cli::ignore_write_signals();
    // Standard input then reads through the same file buffer as a named
    // file, which reports a read error (a failing disk under "< FILE")
    // instead of ending the table there as C stdio's end of file would.
    std::ios::sync_with_stdio(false);
    if (argc < 2) {
        std::cerr << "celltrend-analyse: no subcommand named\n";
        print_usage(std::cerr);
        return 2;
    }
    const std::string_view first = argv[1];
    if (first == "--help" || first == "-h") {
        print_usage(std::cout);
        return std::cout.flush() ? 0 : 1;
    }
    if (first == "--version") {
        std::cout << "celltrend-analyse " << celltrend_version << "\n";
        return std::cout.flush() ? 0 : 1;
    }
    for (const SubcommandEntry& s : subcommands) {
        if (s.name != first) continue;
        // The one place a subcommand's failure becomes a message and a
        // status: each throws where it finds the fault.
        const std::string prefix = "celltrend-analyse " + std::string(s.name) + ": ";
        try {
            return s.run(celltrend_analyse::Arguments(argv + 2, argv + argc));
        } catch (const cli::UsageError& e) {
            std::cerr << prefix << e.what() << "\n"
                      << "Try 'celltrend-analyse " << s.name << " --help'.\n";
            return 2;
        } catch (const celltrend_analyse::InputError& e) {
            std::cerr << prefix << e.what() << "\n";
            return 1;
        } catch (const std::bad_alloc&) {
            // An input beyond the memory ends in one line, not an abort.
            std::cerr << "celltrend-analyse " << s.name << ": out of memory; nothing more done\n";
            return 1;
        }
    }
    std::cerr << "celltrend-analyse: unknown subcommand '" << first << "'\n";
    print_usage(std::cerr);
    return 2;
}
