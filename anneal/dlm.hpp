// Discrete Lagrangian descent: coordinate moves that must lower the
// Lagrangian, multipliers raised by the violations when the descent stalls.
#pragma once

#include "base/one_based.hpp"
#include "measures/measure.hpp"

namespace morlan {

// One descent from y with the measures of `measure`: ifeas = 1 when it
// ends at a feasible point (largest unrelaxed violation below 1e-5), fobj
// and vmax that point's objective and violation, iters the outer
// iterations.
void by_dlm(Measure& measure, int& ifeas, Vec y, double& fobj, double& vmax, int& iters);

}  // namespace morlan
