// Numerical gradients for the solver protocol (the delivered module
// slopefd.o), by a sixth-order extrapolation of central differences: of
// the scaled objective (ef, with the records' objective scale), of equality
// constraint i (eh) and of inequality constraint i in the solver's form
// (eg). x(k) is moved and restored for each variable in turn.
#pragma once

#include "base/one_based.hpp"
#include "sqp/protocol.hpp"

namespace morlan {

void egradf1(Vec x, Vec g);
void egradh1(int i, Vec x, Vec g);
void egradg1(int i, Vec x, Vec g);

}  // namespace morlan
