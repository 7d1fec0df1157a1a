#include "strain_options.hpp"

namespace celltrend_analyse {

std::optional<crystal::StrainMeasure> strain_measure(const cli::CommandLine& cl, std::string& why) {
    crystal::StrainMeasure measure;
    const std::string kind = cl.value("strain").value_or("eulerian");
    if (kind == "lagrangian") {
        measure.kind = crystal::StrainKind::lagrangian;
    } else if (kind != "eulerian") {
        why = "--strain '" + kind + "': eulerian or lagrangian";
        return std::nullopt;
    }
    measure.finite = !cl.has("infinitesimal");
    return measure;
}

}  // namespace celltrend_analyse
