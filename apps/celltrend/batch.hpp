#pragma once
// celltrend from a script: the command line answers the dialogue's
// questions.  The answers are given to the very dialogue a person runs, as
// if typed, so that the console and the files are those of a dialogue run
// with the same answers; standard input is not read.

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "quantities.hpp"

namespace celltrend {

struct Invocation {
    enum Kind { dialogue, batch, help, version, wrong } kind = dialogue;
    std::string why;                              // wrong: what is wrong, one line
    std::string buffer;                           // batch: the buffer file
    bool all_parameters = false;                  // --all
    std::array<bool, quantity_count> selected{};  // --quantities
    bool plot = false;                            // --plot
};

// The arguments after the program's name: none is the dialogue; --help,
// --version; --buffer FILE with --all, or with --quantities LIST (names a,
// b, c, alpha, beta, gamma, volume, mosaicity separated by commas) and
// optionally --plot.  Values go after a blank or '='.
Invocation read_invocation(const std::vector<std::string_view>& args);

// The lines a person would type for `run`: the buffer file's name quoted
// list-style, then y/n to every question the dialogue asks, in its order.
std::string scripted_answers(const Invocation& run);

}  // namespace celltrend
