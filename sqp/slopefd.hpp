// Numerical gradients for the solver protocol, by a sixth-order
// extrapolation of central differences: of the scaled objective (ef), of
// equality constraint i (eh) and of inequality constraint i in the solver's
// form (eg). x(k) is moved and restored for each variable in turn.
#pragma once

#include "base/one_based.hpp"

namespace morlan {

void egradf1(Vec x, Vec g);
void egradh1(int i, Vec x, Vec g);
void egradg1(int i, Vec x, Vec g);

// Base step delta = 0.25 * eps^(1/7) for the relative precision eps.
double difference_base_step(double eps);

}  // namespace morlan
