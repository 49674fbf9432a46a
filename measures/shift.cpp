#include "measures/shift.hpp"

#include <algorithm>

#include "base/config.hpp"
#include "measures/lagrangian.hpp"
#include "measures/lagrangian_terms.hpp"
#include "measures/problem_violation.hpp"
#include "measures/records.hpp"
#include "problem/adaptor.hpp"

namespace morlan {

using lagrangian_detail::problem_objective;

namespace {

using Buffer = Array1<double, cfg::kNtot>;

bool shift_on() { return hasdiscrete.hasdiscrete && hasdiscrete.needshift; }

// Private copy of x (a point or an extended point) with the variables
// shifted; the multipliers are copied unchanged.
CVec shifted(CVec x, Buffer& buffer) {
  const int length = std::min(x.size(), cfg::kNtot);
  for (int i = 1; i <= length; ++i) {
    buffer(i) = i <= cfg::kNvar ? x(i) + discrete(i) : x(i);
  }
  return CVec(buffer.data(), length);
}

}  // namespace

double sh_obj(int n, CVec x) {
  if (!shift_on()) return problem_objective(n, x);
  Buffer b;
  return problem_objective(n, shifted(x, b));
}

double sh_cst(int i, int n, CVec x) {
  if (!shift_on()) return cst(i, n, x);
  Buffer b;
  return cst(i, n, shifted(x, b));
}

double sh_ocst(int i, int n, CVec x) {
  if (!shift_on()) return ocst(i, n, x);
  Buffer b;
  return ocst(i, n, shifted(x, b));
}

double sh_dlag(CVec y) {
  if (evaluation_limit_reached()) throw EvaluationLimitReached{};
  ++lagcount.value;
  const bool cached = reuse.value != 0;
  if (!shift_on()) return cached ? dlagru(y) : dlag(y);
  Buffer b;
  const CVec copy = shifted(y, b);
  return cached ? dlagru(copy) : dlag(copy);
}

void sh_lambda_rule(Vec y) {
  if (!shift_on()) {
    lambda_rule(y);
    return;
  }
  Buffer b;
  shifted(y, b);
  lambda_rule(b.view());
  for (int i = cfg::kNvar + 1; i <= cfg::kNtot; ++i) y(i) = b(i);
}

double sh_viomax(CVec x) {
  if (!shift_on()) return viomax(x);
  Buffer b;
  return viomax(shifted(x, b));
}

double sh_oviomax(CVec x) {
  if (!shift_on()) return oviomax(x);
  Buffer b;
  return oviomax(shifted(x, b));
}

bool sh_viomax_below(CVec x, double tol) {
  if (!shift_on()) return viomax_below(x, tol);
  Buffer b;
  return viomax_below(shifted(x, b), tol);
}

bool sh_oviomax_below(CVec x, double tol) {
  if (!shift_on()) return oviomax_below(x, tol);
  Buffer b;
  return oviomax_below(shifted(x, b), tol);
}

double sh_problem_violation(CVec x) {
  if (!shift_on()) return problem_violation(x);
  Buffer b;
  return problem_violation(shifted(x, b));
}

}  // namespace morlan
