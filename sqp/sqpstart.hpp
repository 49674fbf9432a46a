// The run entry of one local solve and the solver's parameter routine (the
// delivered module sqpstart.o), with the records of its interface.
#pragma once

#include <cstdint>

#include "base/one_based.hpp"
#include "sqp/local_solve.hpp"

namespace morlan {

// One local solve from x (the problem variables) with the records' objective
// scale slobj, analytic gradients and at most 1000 iterations (it sets
// isslopefd and noiter so): x becomes the solution, fobj its (unscaled)
// objective, vmax its largest violation, iters the solver's iteration
// count; ifeas = 1 when vmax < 1.0e-5, else 0.
void sqpstart(int& ifeas, Vec x, double& fobj, double& vmax, int& iters);

// Nonzero: gradients by numerical differences; zero: analytic gradients.
struct IsslopefdRecord {
  std::int32_t value;
};
extern IsslopefdRecord isslopefd;

// Iteration limit handed to the solver.
struct NoiterRecord {
  std::int32_t value;
};
extern NoiterRecord noiter;

// The solver calls it before it starts. The solver takes its parameters
// from the protocol's settings; there is nothing else to set.
void setup0();

}  // namespace morlan
