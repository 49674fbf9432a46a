// Single-level CSA run control: one loop call from one starting point and
// the verdict on its best point; and the search value of the loops.
#pragma once

#include "base/one_based.hpp"

namespace morlan {

// pop: cfg::kNpop members of cfg::kNtot entries, member index fastest (used
// by the population rule only); x: the starting point, on success the best.
void chainrun(int& isucc, CVec pop, Vec x, double& objval, double& maxvio, double t0, double rt);

// Search value of an extended point: the Lagrangian of the selected form.
void fcn(int n, CVec x, double& f);

}  // namespace morlan
