// The module relaxer.o: the relaxed-equality loop on the records of its
// interface.
#include "anneal/relaxer.hpp"

#include "anneal/module_records.hpp"
#include "anneal/relaxed_loop.hpp"

namespace morlan {

void relaxer(int ntot, int ncon, Vec lamfac, Vec xrelax, int nvar, Vec x, bool maximize, double rt,
             double eps, int ncyc, int nt, int nhist, int /*maxevl*/, CVec xlow, CVec xupp,
             CVec cfac, int itrace, int seed1, int seed2, double& t, Vec vm, Vec xbest,
             double& fbest, int& naccept, int& nevals, int& noutb, int& ier, Vec fhist, Vec xtrial,
             IVec naccv) {
  Measure measure = module_records::measure();
  const LoopCall call{ntot, ncon, lamfac, nvar, maximize, rt, eps, ncyc, nt, nhist, xlow, xupp,
                      cfac, itrace, seed1, seed2, t, vm, xbest, fbest, naccept, nevals, noutb, ier,
                      fhist, naccv, measure, vtol.value};
  rleq.value = relaxed_loop(call, xrelax, x, xtrial);
}

}  // namespace morlan
