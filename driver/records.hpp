// Records set by the driver's dialogue and read by the run control.
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

}  // namespace morlan
