// The run entry of one local solve and the solver's parameter routine.
#pragma once

#include <cstdint>

#include "base/one_based.hpp"

namespace morlan {

// One local solve from x (the problem variables): x becomes the solution, fobj its
// (unscaled) objective, vmax its largest violation, iters the solver's
// iteration count; ifeas = 1 when vmax < 1.0e-5, else 0.
void sqpstart(int& ifeas, Vec x, double& fobj, double& vmax, int& iters);

// Nonzero: gradients by numerical differences; zero: analytic gradients.
struct IsslopefdRecord {
  std::int32_t value;
};
extern IsslopefdRecord isslopefd;

// The solve's own iteration limit.
inline constexpr std::int32_t kSqpIterations = 1000;

// Iteration limit handed to the solver.
struct NoiterRecord {
  std::int32_t value;
};
extern NoiterRecord noiter;

// What a polish may do, set by its caller before sqpstart: at most
// `iterations` iterations (the solve's own limit is 1000), and a margin by
// which the one-sided inequalities of the constraints are tightened, so that
// a solution on an active inequality ends strictly inside it rather than on
// it within round-off (0: the inequalities as they are).
struct PolishLimitsRecord {
  std::int32_t iterations = kSqpIterations;
  double margin = 0.0;
};
extern PolishLimitsRecord polish_limits;

// A final largest violation below this counts as feasible.
inline constexpr double kSqpFeasible = 1.0e-5;

// The solver calls it before it starts. The solver core takes its
// parameters from noiter and isslopefd; there is nothing else to set.
void setup0();

}  // namespace morlan
