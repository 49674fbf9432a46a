// Objective and single-constraint evaluation from the group partially
// separable structure laid out by csetup.
#pragma once

#include "base/one_based.hpp"

namespace morlan {

// Objective value f at x; gradient g(1..n) when grad is true.
void cofg(int n, CVec x, double& f, Vec g, bool grad);

// Value ci of constraint icon (1..M, in set-up order) at x; gradient gci
// when grad is true.
void ccifg(int n, int icon, CVec x, double& ci, Vec gci, bool grad);

// The argument of group ig at x: -B(ig), plus A(j)*x(ICNA(j)) over its
// linear entries with ICNA(j) <= n, plus ESCALE(k)*FUVALS(IELING(k)) over its
// element slots, in that order (the element values must be current). Stored
// in GRPARG(ig) and returned.
double group_argument(int ig, int n, CVec x);

// The same sum with the element values taken from `fuvals` (entry e: value
// of element e), not stored: the incremental evaluation keeps its own.
double group_argument_of(int ig, int n, CVec x, CVec fuvals);

}  // namespace morlan
