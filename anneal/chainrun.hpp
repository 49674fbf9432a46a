// Single-level CSA run control (the delivered module chainrun.o): one loop
// call from one starting point and the verdict on its best point; and the
// search value of the loops.
#pragma once

#include "base/one_based.hpp"

namespace morlan {

// chain_run (run_control.hpp) on the records of the module's interface: the
// rule msa and the measures' records; it leaves the penalty weight, the
// tolerance vtol and the cycle-block count nsaiter in them. pop: cfg::kNpop
// members of cfg::kNtot entries, member index fastest (used by the
// population rule only); x: the starting point, on success the best; objval
// and maxvio are set on success.
void chainrun(int& isucc, CVec pop, Vec x, double& objval, double& maxvio, double t0, double rt);

// Search value of an extended point: the Lagrangian of the records' form.
void fcn(int n, CVec x, double& f);

}  // namespace morlan
