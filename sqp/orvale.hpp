// The SQP solver core: one local solve from the point in o8xdat, with the
// problem seen only through the solver protocol (sqp/protocol.hpp). The
// iteration is NLopt's SLSQP (sequential least-squares quadratic
// programming).
#pragma once

#include "sqp/protocol.hpp"

namespace morlan {

// What one solve may do: at most `iterations` iterations, and a margin by
// which the constraints' one-sided inequalities are tightened (g <= -margin),
// so that a solution on an active inequality ends strictly inside it rather
// than on it within round-off; with a margin the solution is also held
// within the variable bounds exactly (0: the inequalities as they are).
struct SolveLimits {
  int iterations = 0;
  double margin = 0.0;
};

// Calls setup0 and setup, solves with the protocol's settings within the
// limits, leaves the final point in o8xdat(1..n) and the number of
// iterations in o8itin(2), and calls solchk. Writes nothing.
void solve(const Protocol& protocol, const SolveLimits& limits);

// solve on the records of the delivered modules' interface: the objective
// scale slobj, isslopefd and the iteration limit noiter, with no margin.
void orvale();

}  // namespace morlan
