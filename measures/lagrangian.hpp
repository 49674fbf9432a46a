// Lagrangian and violation measures over the extended point (variables,
// then one multiplier per constraint). The search calls them through the
// shift layer (measures/shift.hpp).
#pragma once

#include "base/config.hpp"
#include "base/one_based.hpp"
#include "measures/records.hpp"

namespace morlan {

// Tolerance on equality residuals when the problem has grid variables.
inline constexpr double kDiscreteTolerance = 0.001;

// Inner routines.
double cst(int i, int n, CVec x);
double ocst(int i, int n, CVec x);
void dcst(int i, int n, CVec x, Vec g);
// The largest violation at x (relaxed as the search sees equalities, and
// unrelaxed); a constraint whose value is NaN counts as infinitely violated.
double viomax(CVec x);
double oviomax(CVec x);
// viomax(x) < tol and oviomax(x) < tol, answered at the first constraint
// whose violation reaches tol when the values are cached.
bool viomax_below(CVec x, double tol);
bool oviomax_below(CVec x, double tol);
double dlag(CVec y);
void lambda_rule(Vec y);
void gdesc_inx(int iterations, Vec y);
double dlagru(CVec y);

}  // namespace morlan
