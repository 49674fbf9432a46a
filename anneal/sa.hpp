// The core constrained simulated annealing loop over variables and
// multipliers.
#pragma once

#include "anneal/run_records.hpp"
#include "base/one_based.hpp"

namespace morlan {

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

// Settings of the loop that are fixed when the system is built. sa runs with
// the defaults; the alternatives stay available to sa_with_settings.
struct SaSettings {
  // Trial distribution passed to xpi: 0 uniform, 1 Cauchy, 2 Gaussian,
  // 3 logarithmic. Anything else stops the program at entry.
  int idist = 1;
  // Acceptance rule: 1 Metropolis, 3 generalised Metropolis, 0 logistic,
  // 2 logistic with correction term. Anything else stops the program at the
  // first variable trial.
  int irule = 1;
  // Step-length schedule: 0 adaptive, 1 proportional to the temperature.
  int isched = 0;
  // Times a run may be reheated instead of stopping with a violation left.
  int nreheat = 0;
};
inline constexpr SaSettings kSaSettings{};

void sa_with_settings(const SaSettings& settings, int ntot, int ncon, Vec lamfac, int nvar, Vec x,
                      bool maximize, double rt, double eps, int ncyc, int nt, int nhist,
                      int maxevl, CVec xlow, CVec xupp, CVec cfac, int itrace, int seed1,
                      int seed2, double& t, Vec vm, Vec xbest, double& fbest, int& naccept,
                      int& nevals, int& noutb, int& ier, Vec fhist, Vec xtrial, IVec naccv);

}  // namespace morlan
