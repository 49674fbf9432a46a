// Records of a run: the annealing rule, set by the driver's dialogue, and
// the feasibility tolerance, set by the run control, both read by the run
// control and the annealing loops; the cycle blocks of the last plain
// annealing loop, read by the driver; and whether the last loop call found
// a feasible vector, read by the run control.
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
// Whether the last loop call ended with a best vector: without one its
// xbest holds zeros, which are no result even where they happen to be
// feasible.
struct BestfoundRecord {
  bool found;
};

extern MsaRecord msa;
extern VtolRecord vtol;
extern NsaiterRecord nsaiter;
extern BestfoundRecord bestfound;

inline constexpr int kRulePlain = 0;
inline constexpr int kRulePopulation = 1;
inline constexpr int kRuleRelaxed = 10;

}  // namespace morlan
