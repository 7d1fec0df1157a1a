#pragma once
// The failure that ends a subcommand's run with status 1: bad input, or a
// file that cannot be read or written.  Thrown where it is found; main alone
// writes "celltrend-analyse NAME: what()" and returns 1.

#include <stdexcept>

namespace celltrend_analyse {

struct InputError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

}  // namespace celltrend_analyse
