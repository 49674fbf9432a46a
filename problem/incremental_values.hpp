// The fast evaluation path of the linked problem.
#pragma once

namespace morlan {

// With `on`, the Lagrangian layer takes the objective and constraint values
// from a cache that the problem keeps up to date incrementally (bit for bit
// the values of obj, ceq and cineq); without, every value comes from those
// routines (the reference path).
void use_incremental_values(bool on);

}  // namespace morlan
