// The module nlcalls.o: the solver protocol on the records of its
// interface.
#include "sqp/nlcalls.hpp"

#include "measures/records.hpp"
#include "sqp/protocol.hpp"
#include "sqp/sqpstart.hpp"

namespace morlan {

namespace {

// The protocol of the records: the scale slobj, gradients as isslopefd says.
Protocol records() { return {slobj.value, isslopefd.value != 0}; }

}  // namespace

void setup() {}

void ef(CVec x, double& fx) { protocol::objective(records(), x, fx); }

void egradf(Vec x, Vec gradf) { protocol::objective_gradient(records(), x, gradf); }

void eh(int i, CVec x, double& hxi) { protocol::equality(i, x, hxi); }

void egradh(int i, Vec x, Vec gradhi) { protocol::equality_gradient(records(), i, x, gradhi); }

void eg(int i, CVec x, double& gxi) { protocol::inequality(i, x, gxi); }

void egradg(int i, Vec x, Vec gradgi) { protocol::inequality_gradient(records(), i, x, gradgi); }

void solchk() {}

}  // namespace morlan
