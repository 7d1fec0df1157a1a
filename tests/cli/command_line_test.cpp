#include "cli/command_line.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace cli;

namespace {

constexpr std::string_view models[] = {"auto", "poly1", "poly2"};
constexpr OptionSpec specs[] = {{"model", 'm', true, models}, {"at", 0, true}, {"tsv", 0, false}};

std::string error_of(const std::vector<std::string>& args) {
    try {
        parse_command_line(args, specs);
    } catch (const UsageError& e) {
        return e.what();
    }
    return "(no error)";
}

}  // namespace

// An option with allowed words takes exactly one of them, however it is
// written; any other value is a wrong command line that lists the words.
TEST(CommandLine, AllowedWords) {
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"--model", "poly2"}, {"--model=poly2"}, {"-m", "poly2"}, {"-mpoly2"}}) {
        EXPECT_EQ(parse_command_line(args, specs).value("model"), "poly2");
    }
    EXPECT_EQ(error_of({"--model", "poly4"}), "--model 'poly4': auto, poly1 or poly2");
    EXPECT_EQ(error_of({"-mPOLY1"}), "--model 'POLY1': auto, poly1 or poly2");
    EXPECT_EQ(error_of({"--model="}), "option '--model' needs a value");
    // Without allowed words any value goes.
    EXPECT_EQ(parse_command_line({"--at", "poly4", "t.xy"}, specs).value("at"), "poly4");
    EXPECT_EQ(error_of({"--tsv=yes"}), "option '--tsv' takes no value");
    EXPECT_EQ(error_of({"--unknown"}), "unknown option '--unknown'");
}
