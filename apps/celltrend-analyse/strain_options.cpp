#include "strain_options.hpp"

namespace analyse {

std::optional<analysis::StrainMeasure> strain_measure(const cli::CommandLine& cl, std::string& why) {
    analysis::StrainMeasure measure;
    const std::string kind = cl.value("strain").value_or("eulerian");
    if (kind == "lagrangian") {
        measure.kind = analysis::StrainKind::lagrangian;
    } else if (kind != "eulerian") {
        why = "--strain '" + kind + "': eulerian or lagrangian";
        return std::nullopt;
    }
    measure.finite = !cl.has("infinitesimal");
    return measure;
}

}  // namespace analyse
