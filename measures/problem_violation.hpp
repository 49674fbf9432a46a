// The largest violation of the problem as its data file states it, at a
// point: |h| of every equality, the excess over zero of every one-sided
// inequality, and the distance outside every variable bound. No band
// applies: the search's own measure (oviomax) counts an equality only
// beyond the grid's 0.001 and leaves the bounds out, since trial points
// stay within them. A NaN value makes the measure NaN, so that such a point
// never reads as feasible.
#pragma once

#include "base/one_based.hpp"

namespace morlan {

double problem_violation(CVec x);

}  // namespace morlan
