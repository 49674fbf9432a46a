// Multi-level CSA run control (the delivered module ladderrun.o): loop
// calls with growing effort (10, 20, 40, ... cycle blocks per temperature)
// from one starting point, until nconsec levels agree on the objective.
#pragma once

#include "base/one_based.hpp"

namespace morlan {

// ladder_run (run_control.hpp) on the records of the module's interface,
// as chainrun (chainrun.hpp), with the number of agreeing levels that ends
// the ladder.
void ladderrun(int& isucc, int nconsec, CVec pop, Vec x, double& objval, double& maxvio, double t0,
               double rt);

}  // namespace morlan
