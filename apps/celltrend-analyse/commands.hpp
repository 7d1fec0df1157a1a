#pragma once
// The subcommands of celltrend-analyse.  Each receives the arguments that
// follow its name, writes results on standard output and messages on
// standard error, and returns the exit status: 0 when it reached its end,
// 1 on bad input or a failed write, 2 on a wrong argument.

#include <string>
#include <vector>

namespace celltrend_analyse {

using Arguments = std::vector<std::string>;

int run_expansion(const Arguments& args);
int run_alpha(const Arguments& args);
int run_transform(const Arguments& args);
int run_export(const Arguments& args);
int run_collect(const Arguments& args);
int run_eos(const Arguments& args);
int run_compression(const Arguments& args);

}  // namespace celltrend_analyse
