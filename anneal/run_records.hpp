// Records of a run in the delivered modules' interface: the annealing rule
// and the feasibility tolerance, which the run control modules and the loop
// modules read, and the cycle blocks of the last plain annealing loop,
// which the run control modules leave. The program passes these as values
// (anneal/run_control.hpp).
#pragma once

#include <cstdint>

#include "anneal/run_control.hpp"

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

}  // namespace morlan
