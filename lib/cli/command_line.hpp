#pragma once
// GNU-style options of a program or subcommand: --name VALUE, --name=VALUE, -x VALUE,
// -xVALUE, flags without a value, "--" ending the options; "-" alone is an
// operand (standard input).

#include <map>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace cli {

struct OptionSpec {
    std::string_view long_name;  // without "--"
    char short_name = 0;         // 0: none
    bool takes_value = false;
    // The words the value may be ("auto", "poly1", ...); empty: any value.
    std::span<const std::string_view> allowed = {};
};

struct CommandLine {
    std::map<std::string, std::string, std::less<>> options;  // by long name; a flag maps to ""
    std::vector<std::string> operands;

    bool has(std::string_view name) const { return options.find(name) != options.end(); }
    std::optional<std::string> value(std::string_view name) const;
};

// A wrong command line; what() is one line naming the option.
struct UsageError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// An option given twice keeps its last value.  Throws UsageError for an
// unknown option, a missing or empty value, a value given to a flag, or a
// value that is none of the option's allowed words ("--model 'x': auto,
// poly1 or poly2").
CommandLine parse_command_line(const std::vector<std::string>& args, std::span<const OptionSpec> specs);

}  // namespace cli
