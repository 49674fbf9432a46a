// Population annealing (the delivered module swarmer.o): a small population
// with Boltzmann selection of the member to anneal and multipliers shared
// by all members.
#pragma once

#include "base/one_based.hpp"

namespace morlan {

// The population loop (population_loop.hpp) on the records of the module's
// interface: the measures' records and the tolerance vtol. The arguments
// are a loop call's (loop_call.hpp; maxevl and xtrial are not used). xpop holds
// cfg::kNpop members of cfg::kNtot entries, member index fastest: entry
// (k, i) at position (i - 1) * kNpop + k.
void psa(Vec lamfac, int nvar, Vec xpop, bool maximize, double rt, double eps, int ncyc, int nt,
         int nhist, int maxevl, CVec xlow, CVec xupp, CVec cfac, int itrace, int seed1, int seed2,
         double& t, Vec vm, Vec xbest, double& fbest, int& naccept, int& nevals, int& noutb,
         int& ier, Vec fhist, Vec xtrial, IVec naccv);

// Choose a member by Boltzmann weights at temperature t and copy it to xcur.
void newpick(int& mpick, CVec fpop, CVec xpop, Vec xcur, double t);

}  // namespace morlan
