#pragma once
// What every subcommand does before its own work: its options read, --help
// answered, its one table operand named and read; and the two ways a run
// ends early.  A subcommand throws where it finds the fault, and main alone
// turns it into "celltrend-analyse NAME: why" and the status: UsageError for
// a wrong command line (2, with the hint to --help), InputError for bad input
// or a failed read or write (1).

#include <functional>
#include <optional>
#include <ostream>
#include <span>
#include <string>
#include <string_view>

#include "cli/command_line.hpp"
#include "commands.hpp"
#include "formats/series_table.hpp"
#include "input_error.hpp"

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

// The command line; nullopt when --help was asked and written.  Throws
// UsageError for a wrong one: exactly one operand, the table, must remain.
std::optional<CommandLine> start(const Subcommand& sub, const Arguments& args);

// The table named by the operand, "-" being standard input, its notes on
// standard error.  Throws InputError "FILE:LINE: why" for one that cannot be
// read.  A pressure series reads P in place of T (series_table.hpp).
formats::Series read_table(const Subcommand& sub, const std::string& file,
                           formats::SeriesVariable variable = formats::SeriesVariable::temperature);

// The table's rows sorted by temperature (stable), unless `keep_file_order`;
// on standard error, "celltrend-analyse NAME: FILE: note: ..." when they were
// not in that order, and another naming the lines where the temperature
// turns.  A pressure series likewise by pressure.
void order_rows(const Subcommand& sub, formats::Series& series, bool keep_file_order);

}  // namespace celltrend_analyse
