// The shift layer the search calls: each routine shifts the variables of a
// point by the grid's shift vector, when that is switched on, and forwards
// to the inner routine of the same name (measures/lagrangian.hpp). The
// caller's point is never changed (except the multipliers that
// sh_lambda_rule updates).
#pragma once

#include "base/one_based.hpp"

namespace morlan {

double sh_obj(int n, CVec x);
double sh_cst(int i, int n, CVec x);
double sh_dlag(CVec y);
void sh_lambda_rule(Vec y);
double sh_viomax(CVec x);
double sh_ocst(int i, int n, CVec x);
double sh_oviomax(CVec x);
bool sh_viomax_below(CVec x, double tol);
bool sh_oviomax_below(CVec x, double tol);
double sh_problem_violation(CVec x);

}  // namespace morlan
