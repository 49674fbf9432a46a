// The solver's user-function protocol (the delivered module nlcalls.o): the
// protocol routines (sqp/protocol.hpp) on the records of the module's
// interface: the objective scale slobj, and isslopefd (nonzero: numerical
// gradients), decided on every call. Holding at or above zero, as the
// solver sees them. x may be changed during a numerical gradient; it is
// restored before the routine returns.
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
