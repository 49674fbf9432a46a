// The solver's user-function protocol: the routines the SQP solver calls for
// the (scaled) objective, the equality constraints and the inequality
// constraints, here in the solver's form (holding at or above zero), with
// their gradients. Gradients are analytic or numerical as isslopefd says,
// decided on every call. x may be changed during a numerical gradient; it
// is restored before the routine returns.
#pragma once

#include "base/one_based.hpp"

namespace morlan {

void setup();
void ef(CVec x, double& fx);
void egradf(Vec x, Vec gradf);
void eh(int i, CVec x, double& hxi);
void egradh(int i, Vec x, Vec gradhi);
void eg(int i, CVec x, double& gxi);
void egradg(int i, Vec x, Vec gradgi);
void solchk();

}  // namespace morlan
