// The SQP side's problem binding: start-up and the run entry of a local
// solve.
#pragma once

#include "problem/one_based.hpp"

namespace morlan {

// Initialise the SQP side's copy of the problem (second set-up of the data
// file, message unit 7).
void initial_orvale();

// One local solve from x (144 values): x becomes the solution, fobj its
// (unscaled) objective, vmax its largest violation, iters the solver's
// iteration count; ifeas = 1 when vmax < 1.0e-5, else 0.
void sqpstart(int& ifeas, Vec x, double& fobj, double& vmax, int& iters);

}  // namespace morlan
