// Relaxed-equality annealing: the core loop with a shrinking radius on the
// equality constraints.
#pragma once

#include "base/one_based.hpp"

namespace morlan {

// As sa, with xrelax (the vector at the last radius reduction) inserted as
// the fourth argument.
void relaxer(int ntot, int ncon, Vec lamfac, Vec xrelax, int nvar, Vec x, bool maximize, double rt,
             double eps, int ncyc, int nt, int nhist, int maxevl, CVec xlow, CVec xupp, CVec cfac,
             int itrace, int seed1, int seed2, double& t, Vec vm, Vec xbest, double& fbest,
             int& naccept, int& nevals, int& noutb, int& ier, Vec fhist, Vec xtrial, IVec naccv);

}  // namespace morlan
