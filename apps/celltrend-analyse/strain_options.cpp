#include "strain_options.hpp"

namespace celltrend_analyse {

crystal::StrainMeasure strain_measure(const cli::CommandLine& cl) {
    crystal::StrainMeasure measure;
    if (cl.value("strain") == "lagrangian") measure.kind = crystal::StrainKind::lagrangian;
    measure.finite = !cl.has("infinitesimal");
    return measure;
}

}  // namespace celltrend_analyse
