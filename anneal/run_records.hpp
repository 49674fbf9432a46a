// Records of a run: the annealing rule, set by the driver's dialogue, and
// the feasibility tolerance, set by the run control, both read by the run
// control and the annealing loops; and the cycle blocks of the last plain
// annealing loop, read by the driver.
#pragma once

#include <cstdint>

namespace morlan {

struct MsaRecord {  // annealing rule: 0 plain, 1 population, 10 relaxed-equality
  std::int32_t value;
};
struct VtolRecord {  // feasibility tolerance of the loops and the verdict
  double value;
};
struct NsaiterRecord {  // cycle blocks performed by the last plain annealing loop
  std::int32_t value;
};

extern MsaRecord msa;
extern VtolRecord vtol;
extern NsaiterRecord nsaiter;

inline constexpr int kRulePlain = 0;
inline constexpr int kRulePopulation = 1;
inline constexpr int kRuleRelaxed = 10;

}  // namespace morlan
