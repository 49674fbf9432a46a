// The module swarmer.o: the population loop on the records of its
// interface, and its choice of a member.
#include "anneal/swarmer.hpp"

#include "anneal/module_records.hpp"
#include "anneal/population_loop.hpp"
#include "base/config.hpp"

namespace morlan {

void psa(Vec lamfac, int nvar, Vec xpop, bool maximize, double rt, double eps, int ncyc, int nt,
         int nhist, int /*maxevl*/, CVec xlow, CVec xupp, CVec cfac, int itrace, int seed1,
         int seed2, double& t, Vec vm, Vec xbest, double& fbest, int& naccept, int& nevals,
         int& noutb, int& ier, Vec fhist, Vec /*xtrial*/, IVec naccv) {
  Measure measure = module_records::measure();
  const LoopCall call{cfg::kNtot, cfg::kNcon, lamfac, nvar, maximize, rt, eps, ncyc, nt, nhist,
                      xlow, xupp, cfac, itrace, seed1, seed2, t, vm, xbest, fbest, naccept,
                      nevals, noutb, ier, fhist, naccv, measure, vtol.value};
  population_loop(call, xpop);
}

void newpick(int& mpick, CVec fpop, CVec xpop, Vec xcur, double t) {
  pick_member(mpick, fpop, xpop, xcur, t);
}

}  // namespace morlan
