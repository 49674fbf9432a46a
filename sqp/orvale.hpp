// The SQP solver core: one local solve from the point in o8xdat, with the
// problem seen only through the solver protocol (sqp/protocol.hpp). The
// iteration is NLopt's SLSQP (sequential least-squares quadratic
// programming).
#pragma once

#include "sqp/protocol.hpp"

namespace morlan {

// Calls setup0 and setup, solves with the protocol's settings and at most
// iteration_limit iterations, leaves the final point in o8xdat(1..n) and
// the number of iterations in o8itin(2), and calls solchk. Writes nothing.
void solve(const Protocol& protocol, int iteration_limit);

// solve on the records of the delivered modules' interface: the objective
// scale slobj, isslopefd and the iteration limit noiter.
void orvale();

}  // namespace morlan
