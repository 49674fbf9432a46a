#include "series/polish_budget.hpp"

#include <algorithm>

#include "sqp/local_solve.hpp"

namespace morlan {

namespace {

// The largest share of --max-evaluations kept back for the polish: 1/20.
constexpr std::int64_t kReserveShare = 20;

}  // namespace

std::int64_t polish_reserve(std::int64_t limit, int variables) {
  const std::int64_t worst = std::int64_t{kSolveIterations + 1} * (variables + 1);
  return std::min(worst, limit / kReserveShare);
}

int polish_iterations(std::int64_t left, int variables) {
  const std::int64_t gradients = left / (variables + 1);
  if (gradients < 1) return 0;
  return static_cast<int>(std::min<std::int64_t>(gradients - 1, kSolveIterations));
}

}  // namespace morlan
