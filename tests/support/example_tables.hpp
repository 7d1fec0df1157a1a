#pragma once
// celltrend's tables of the example series as committed with its golden
// files: what the readers' tests read without running celltrend (its own
// tests hold celltrend to these bytes).

#include <filesystem>
#include <string>

namespace celltrend::testing {

inline std::string example_table(bool transformed = false) {
    const std::filesystem::path golden = std::filesystem::path(CELLTREND_SOURCE_DIR) / "tests/celltrend/golden";
    return (transformed ? golden / "matrix_all/TK_parameters_transf_HTML.xy"
                        : golden / "plain_all/TK_parameters_HTML.xy")
        .string();
}

}  // namespace celltrend::testing
