// One local solve from a point of the problem's variables, and what it
// found: the polishing of the program, and the run entry of the delivered
// module sqpstart.o on its records.
#pragma once

#include "base/one_based.hpp"
#include "sqp/orvale.hpp"
#include "sqp/protocol.hpp"

namespace morlan {

// A final largest violation below this counts as feasible.
inline constexpr double kSqpFeasible = 1.0e-5;
// The iterations a polish (and sqpstart) allows the solver.
inline constexpr int kSolveIterations = 1000;

struct LocalSolution {
  int ifeas = 0;      // 1 when vmax < kSqpFeasible
  double fobj = 0.0;  // the (unscaled) objective of the solution
  double vmax = 0.0;  // its largest violation
  int iters = 0;      // the solver's iterations
};

// Solves from x with the protocol's settings within the limits; x becomes
// the solution.
LocalSolution local_solve(const Protocol& protocol, const SolveLimits& limits, Vec x);

}  // namespace morlan
