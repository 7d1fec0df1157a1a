// The --matrix of transform and expansion, as typed, on any bytes.
//
// What must hold: no crash and no undefined behaviour; text that is refused
// is refused with a UsageError of one line; a matrix read has nine entries
// as typed, a text of one line, and a singularity test that does not depend
// on the scale of the entries.

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "cli/command_line.hpp"
#include "setting_matrix.hpp"

namespace {

void check(bool ok) {
    if (!ok) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(bytes), size);
    celltrend_analyse::SettingMatrix matrix;
    try {
        matrix = celltrend_analyse::read_setting_matrix(text);
    } catch (const cli::UsageError& e) {
        check(std::string(e.what()).find('\n') == std::string::npos);
        return 0;
    }
    for (const std::string& entry : matrix.entries) check(!entry.empty());
    check(matrix.text.find('\n') == std::string::npos);
    const bool singular = celltrend_analyse::is_singular(matrix);
    const std::string axes = celltrend_analyse::axes_text(matrix);
    check(axes.find('\n') == std::string::npos);
    // Scaled by a power of two, exactly: the same verdict.
    celltrend_analyse::SettingMatrix scaled = matrix;
    scaled.m *= 1024.0;
    if (scaled.m.allFinite() && matrix.m.allFinite()) check(celltrend_analyse::is_singular(scaled) == singular);
    return 0;
}
