// The small test problem of the small build configuration (2 variables,
// 1 constraint), linked in place of the problem adaptor:
//
//   minimise   f(x) = x1^2 + x2^2        over  -2 <= x1, x2 <= 2
//   subject to x1 + x2 = b               (when the constraint is an equality)
//           or b - x1 - x2 <= 0          (when it is a one-sided inequality)
//
// with the right-hand side b = 1 unless a test sets `rhs` (then the
// optimum is x1 = x2 = b/2; at x = 0 the violation is exactly |b|).
//
// Either way the constrained optimum is x = (0.5, 0.5) with f = 0.5. Which
// kind the one constraint is follows the configuration (cfg::kNeq,
// cfg::kNineq); the problem offers both and the records say which.
//
// With the discrete tolerance switched on (the grid setting of the system),
// an equality residual up to 0.001 counts as satisfied, and the best
// feasible objective drops to 0.999^2 / 2 = 0.4990005 at x1 = x2 = 0.4995.
#pragma once

namespace morlan::small_problem {

inline constexpr double kLower = -2.0;
inline constexpr double kUpper = 2.0;
inline constexpr double kOptimumX = 0.5;          // both coordinates
inline constexpr double kOptimumObjective = 0.5;  // exact problem

// Right-hand side b of the constraint.
extern double rhs;
// Number of objective evaluations (obj) since the last install().
extern long evaluations;

// Store the sizes in prbcsa and run the start-up (fills xbnd, cbnd, bdinfo),
// as the driver does before a run.
void install();

}  // namespace morlan::small_problem
