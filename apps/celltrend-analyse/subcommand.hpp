#pragma once
// What every subcommand does before its own work: its options read, --help
// answered, its one table operand named and read.

#include <functional>
#include <optional>
#include <ostream>
#include <span>
#include <string>
#include <string_view>
#include <variant>

#include "cli/command_line.hpp"
#include "commands.hpp"
#include "formats/series_table.hpp"

namespace celltrend_analyse {

using cli::CommandLine;
using cli::OptionSpec;
using cli::parse_command_line;
using cli::UsageError;

struct Subcommand {
    std::string_view name;                    // "transform"
    std::span<const OptionSpec> options;      // --help among them
    std::function<void(std::ostream&)> help;  // the --help text
};

// "celltrend-analyse NAME: why" and the hint to --help on standard error;
// returns 2, the status of a wrong argument.
int usage_error(const Subcommand& sub, const std::string& why);

// The command line, or the exit status when the run ends here: 2 after a
// wrong argument, 0 (1 if standard output failed) after --help.  Exactly one
// operand, the table, must remain.
std::variant<CommandLine, int> start(const Subcommand& sub, const Arguments& args);

// The table named by the operand, "-" being standard input; nullopt after
// the reader's message "celltrend-analyse NAME: FILE:LINE: why" on standard
// error.  A pressure series reads P in place of T (series_table.hpp).
std::optional<formats::Series> read_table(const Subcommand& sub, const std::string& file,
                                          formats::SeriesVariable variable = formats::SeriesVariable::temperature);

// The table's rows sorted by temperature (stable), unless `keep_file_order`;
// on standard error, "celltrend-analyse NAME: FILE: note: ..." when they were
// not in that order, and another naming the lines where the temperature
// turns.  A pressure series likewise by pressure.
void order_rows(const Subcommand& sub, formats::Series& series, bool keep_file_order);

}  // namespace celltrend_analyse
