// The evaluations a polished run and its polish share under
// --max-evaluations.
#pragma once

#include <cstdint>

namespace morlan {

// Under --max-evaluations N the run and its polish share N evaluations, a
// gradient evaluation of the polish counting n + 1. The search keeps back
// the polish's worst case, (1000 iterations + 1) (n + 1), but at most N/20,
// so that a search cut by the limit still leaves most polishes room (one of
// up to N / (20 (n + 1)) - 1 iterations always fits) while it loses at most
// a twentieth of its evaluations.
std::int64_t polish_reserve(std::int64_t limit, int variables);
// The iterations a polish may make with `left` evaluations: one gradient
// evaluation at the start and one per iteration, at most the solve's own
// limit, none when not even the first fits.
int polish_iterations(std::int64_t left, int variables);

}  // namespace morlan
