// Relaxed-equality annealing (the delivered module relaxer.o): the core
// loop with a shrinking radius on the equality constraints.
#pragma once

#include "base/one_based.hpp"

namespace morlan {

// The relaxed-equality loop (relaxed_loop.hpp) on the records of the
// module's interface: the measures' records, the tolerance vtol, and the
// radius rleq, which it starts from and leaves shrunk. The arguments are a
// loop call's (loop_call.hpp), with xrelax (the vector at the last radius
// reduction) inserted as the fourth; maxevl is not used.
void relaxer(int ntot, int ncon, Vec lamfac, Vec xrelax, int nvar, Vec x, bool maximize, double rt,
             double eps, int ncyc, int nt, int nhist, int maxevl, CVec xlow, CVec xupp, CVec cfac,
             int itrace, int seed1, int seed2, double& t, Vec vm, Vec xbest, double& fbest,
             int& naccept, int& nevals, int& noutb, int& ier, Vec fhist, Vec xtrial, IVec naccv);

}  // namespace morlan
