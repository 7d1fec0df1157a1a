// celltrend-analyse export: the series in the form the next program reads,
// instead of retyping it from the fixed-width table.

#include <cmath>
#include <iostream>
#include <limits>
#include <string>

#include "commands.hpp"
#include "formats/number_field.hpp"
#include "formats/series_export.hpp"
#include "formats/series_table.hpp"
#include "subcommand.hpp"
#include "write_result.hpp"

namespace celltrend_analyse {

namespace {

constexpr std::string_view program = "celltrend-analyse export";

constexpr std::string_view format_words[] = {"pascal", "eosfit", "csv"};
constexpr OptionSpec options[] = {
    {"format", 'f', true, format_words},
    {"sigma-t", 0, true},
    {"system", 0, true},
    {"output", 'o', true},
    {"help", 'h', false},
};

void print_help(std::ostream& out) {
    out << "Usage: celltrend-analyse export --format pascal|eosfit|csv FILE [-o OUT]\n"
           "Writes a celltrend all-parameters table (plain or transformed) for another\n"
           "program.\n"
           "\n"
           "  -f, --format pascal   rows \"T sigmaT a b c alpha beta gamma\" for the\n"
           "                        principal-axis strain calculators\n"
           "               eosfit   an EosFit7 data file (Title, TScale K, Format, data)\n"
           "               csv      RFC 4180, a header row of names with units\n"
           "      --sigma-t K       pascal: sigmaT of every row (default 1 K; a constant\n"
           "                        sigmaT does not change those programs' results)\n"
           "      --system NAME     eosfit: the System line (e.g. monoclinic)\n"
           "  -o, --output OUT      write to OUT (complete or not at all) instead of\n"
           "                        standard output; \"-\" is standard output\n"
           "  -h, --help            show this text\n"
           "FILE \"-\" reads standard input.  Rows with asterisks or NaN are named on\n"
           "standard error; pascal and eosfit leave them out, csv leaves the fields empty.\n";
}

const Subcommand export_sub{"export", options, print_help};

}  // namespace

int run_export(const Arguments& args) {
    const std::optional<CommandLine> started = start(export_sub, args);
    if (!started) return 0;  // --help
    const CommandLine& cl = *started;
    const std::string format = cl.value("format").value_or("");
    if (format.empty()) throw UsageError("no --format given (pascal, eosfit or csv)");
    if (cl.has("sigma-t") && format != "pascal") throw UsageError("--sigma-t goes with --format pascal");
    if (cl.has("system") && format != "eosfit") throw UsageError("--system goes with --format eosfit");
    double sigma_t = std::numeric_limits<double>::quiet_NaN();
    if (const auto s = cl.value("sigma-t")) {
        if (formats::read_field(*s, sigma_t) != formats::Field::number || !(sigma_t > 0))
            throw UsageError("--sigma-t '" + *s + "' is not a positive number of kelvin");
    }
    const std::string system = cl.value("system").value_or("");
    if (system.find_first_of("\r\n") != std::string::npos) throw UsageError("--system takes a name on one line");
    const std::string& file = cl.operands.front();
    formats::Series series = read_table(export_sub, file);
    order_rows(export_sub, series, false);

    const formats::ExportText out = format == "pascal"   ? formats::export_strain_rows(series, sigma_t)
                                    : format == "eosfit" ? formats::export_eosfit(series, system)
                                                         : formats::export_csv(series);
    for (const std::string& w : out.warnings) std::cerr << program << ": warning: " << w << "\n";
    if (out.rows == 0) throw InputError(series.name + ": no row with a temperature and a cell; nothing written");
    write_result(out.text, cl.value("output").value_or(""), file);
    return 0;
}

}  // namespace celltrend_analyse
