// The core constrained simulated annealing loop over variables and
// multipliers.
#pragma once

#include "anneal/loop_call.hpp"
#include "base/one_based.hpp"

namespace morlan {

// Result codes of the annealing loops in `ier`.
inline constexpr int kIerRunning = 99;
inline constexpr int kIerNormal = 0;
inline constexpr int kIerOutsideBounds = 2;
inline constexpr int kIerTemperature = 3;

// One annealing run of the plain loop from x (ntot = nvar + ncon entries)
// at temperature call.t, with the arguments of `call` (loop_call.hpp):
// the common interface of the three loops. Returns the cycle blocks it
// performed, or kNoBlocks when it did not run (a temperature that is not
// positive).
inline constexpr int kNoBlocks = -1;
int sa(const LoopCall& call, Vec x, Vec xtrial);

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

int sa_with_settings(const SaSettings& settings, const LoopCall& call, Vec x, Vec xtrial);

}  // namespace morlan
