#pragma once
// General mathematics: the degree cosine.

namespace celltrend {

// cos(x degrees), evaluated in double precision and rounded to single.
float cosd_sp(float x);

}  // namespace celltrend
