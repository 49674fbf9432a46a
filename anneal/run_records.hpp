// Records of a run's settings: the annealing rule, set by the driver's
// dialogue, and the feasibility tolerance, set by the run control; both are
// read by the run control and the annealing loops.
#pragma once

#include <cstdint>

namespace morlan {

// Annealing rule: 0 plain, 1 population, 10 relaxed-equality.
struct MsaRecord {
  std::int32_t value;
};
extern MsaRecord msa;

inline constexpr int kRulePlain = 0;
inline constexpr int kRulePopulation = 1;
inline constexpr int kRuleRelaxed = 10;

// Feasibility tolerance of the loops and the verdict.
struct VtolRecord {
  double value;
};
extern VtolRecord vtol;

}  // namespace morlan
