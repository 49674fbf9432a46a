// The core constrained simulated annealing loop over variables and
// multipliers.
#pragma once

#include <cstdint>

#include "problem/one_based.hpp"

namespace morlan {

// Cycle blocks performed by the last plain annealing loop.
struct NsaiterRecord {
  std::int32_t value;
};
extern NsaiterRecord nsaiter;

// Result codes of the annealing loops in `ier`.
inline constexpr int kIerRunning = 99;
inline constexpr int kIerNormal = 0;
inline constexpr int kIerOutsideBounds = 2;
inline constexpr int kIerTemperature = 3;

// One annealing run from x (ntot = nvar + ncon entries) at temperature t.
// The argument list is the common interface of the three loops.
void sa(int ntot, int ncon, Vec lamfac, int nvar, Vec x, bool maximize, double rt, double eps,
        int ncyc, int nt, int nhist, int maxevl, CVec xlow, CVec xupp, CVec cfac, int itrace,
        int seed1, int seed2, double& t, Vec vm, Vec xbest, double& fbest, int& naccept,
        int& nevals, int& noutb, int& ier, Vec fhist, Vec xtrial, IVec naccv);

}  // namespace morlan
