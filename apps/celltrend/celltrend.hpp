#pragma once
// celltrend_module: the run itself, from the banner to the last plot offer.

#include "console.hpp"

namespace celltrend {

// The whole dialogue and run.  Failures that end the run are thrown as
// RunFailure after every file written so far has been completed.  Returns
// the number of offered plots whose viewer failed (it said so on the way).
int run_celltrend(Console& console);

}  // namespace celltrend
