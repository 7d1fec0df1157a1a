#include "xtlm_math_general.hpp"

#include <cmath>

namespace celltrend {

float cosd_sp(float x) {
    // The factor is pi/180 in double precision, so the argument carries no
    // single-precision error and the only rounding to single is the result's:
    // cos(90) comes out at about 6e-17 rather than the -4.4e-8 a
    // single-precision pi would give.
    return static_cast<float>(std::cos(static_cast<double>(x) * 0.017453292519943295));
}

}  // namespace celltrend
