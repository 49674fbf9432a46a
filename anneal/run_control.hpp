// CSA run control: one run (chainrun) or a ladder of runs with growing
// effort (ladderrun) from one starting point, and the verdict on it.
#pragma once

#include "problem/one_based.hpp"

namespace morlan {

// Feasibility tolerance of the loops and the verdict.
struct VtolRecord {
  double value;
};
extern VtolRecord vtol;

// pop: cfg::kNpop members of cfg::kNtot entries, member index fastest (used
// by the population rule only); x: the starting point, on success the best.
void chainrun(int& isucc, CVec pop, Vec x, double& objval, double& maxvio, double t0, double rt);
void ladderrun(int& isucc, int nconsec, CVec pop, Vec x, double& objval, double& maxvio, double t0,
               double rt);

// Search value of an extended point: the Lagrangian of the selected form.
void fcn(int n, CVec x, double& f);

}  // namespace morlan
