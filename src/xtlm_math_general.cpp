#include "xtlm_math_general.hpp"

#include <cmath>

namespace celltrend {

float cosd_sp(float x) {
    // The double factor keeps the argument reduction exact enough that
    // cos(90) comes out at about 6e-17 rather than the 4e-8 a single-precision
    // pi would give, so a right-angled cell has a clean volume.
    return static_cast<float>(std::cos(static_cast<double>(x) * 0.017453292519943295));
}

}  // namespace celltrend
