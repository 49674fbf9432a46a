#include "sqp/sqpglue.hpp"

#include <cmath>

#include "base/config.hpp"
#include "problem/linked_problem.hpp"
#include "sqp/solver_records.hpp"

namespace morlan {

PrbsqpRecord prbsqp;
XxbndRecord xxbnd;
CcbndRecord ccbnd;
BbdinfoRecord bbdinfo;
HhasdiscreteRecord hhasdiscrete;

namespace {

constexpr int kDataUnit = 66;
constexpr int kMessageUnit = 7;

// The solver's inequalities: the one-sided ones of the constraints, then
// the variable bounds, two per variable (after the replacement of infinite
// bounds every variable bound is finite).
constexpr int kSqpInequalities = cfg::kNineq + 2 * cfg::kNvar;
static_assert(cfg::kNvar <= kO8MaxVariables);
static_assert(cfg::kNeq + kSqpInequalities <= kO8MaxConstraints);

BoundRecords records() { return bound_records(xxbnd, ccbnd, bbdinfo.idineq, bbdinfo.idbd); }

ProblemSide side() { return {prbsqp.n, prbsqp.neq, records()}; }

// The variable whose bound is bound inequality b (1-based among them), and
// whether it is its lower bound; stops with the routine's messages when b is
// out of range.
struct BoundSide {
  int i;
  bool lower;
};
BoundSide locate_bound(int b, const char* wrong_m, const char* wrong_idbd) {
  const WalkEnd end = walk_kinds_or_stop(b, 0, bbdinfo.idbd, wrong_m);
  return {end.at, lower_side_or_stop(end, b, bbdinfo.idbd, xxbnd.xl, wrong_idbd)};
}

}  // namespace

void initial_orvale() {
  o8dim(1) = cfg::kNvar;
  o8dim(2) = cfg::kNeq;
  o8dim(3) = kSqpInequalities;
  prbsqp = {cfg::kNvar, cfg::kNeq + kSqpInequalities, cfg::kNeq, kSqpInequalities};
  init_sqp_pd();
}

void init_sqp_pd() { iinit_sif(); }

std::vector<NamedBytes> binding_records() {
  return {named_bytes("prbsqp", prbsqp), named_bytes("xxbnd", xxbnd),
          named_bytes("ccbnd", ccbnd),   named_bytes("bbdinfo", bbdinfo),
          named_bytes("hhasdiscrete", hhasdiscrete), named_bytes("o8dim", o8dim)};
}

void iinit_sif() {
  const LoadedSizes sizes = read_problem(kDataUnit, kMessageUnit, records());
  bbdinfo.ncineq = classify_problem(sizes, records());
}

void xxbound(int, Vec xl, Vec xu) {
  for (int i = 1; i <= prbsqp.n; ++i) {
    xl(i) = xxbnd.xl(i);
    xu(i) = xxbnd.xu(i);
  }
}

double oobj(int, CVec x) { return objective(prbsqp.n, x); }

void doobj(int, CVec x, Vec g) { objective_gradient(prbsqp.n, x, g); }

double cceq(int i, int, CVec x) {
  const double c = constraint(prbsqp.n, i, x);
  if (hhasdiscrete.relaxed != 0) return std::fmax(std::fabs(c) - hhasdiscrete.tolerance, 0.0);
  return c;
}

void dcceq(int i, int, CVec x, Vec g) { constraint_gradient(prbsqp.n, i, x, g); }

double ccineq(int j, int, CVec x) {
  if (j <= bbdinfo.ncineq) {
    return one_sided(side(), j, x, {"wrong m in ccineq()", "wrong idineq(k) in ccineq()"});
  }
  const BoundSide bound =
      locate_bound(j - bbdinfo.ncineq, "wrong m in ccineq()", "wrong idbd(k) in ccineq()");
  if (bound.lower) return xxbnd.xl(bound.i) - x(bound.i);
  return x(bound.i) - xxbnd.xu(bound.i);
}

void dccineq(int j, int, CVec x, Vec g) {
  if (j <= bbdinfo.ncineq) {
    one_sided_gradient(side(), j, x, g, {"wrong m in dccineq()", "wrong idineq(k) in dccineq()"});
    return;
  }
  const BoundSide bound =
      locate_bound(j - bbdinfo.ncineq, "wrong m in dccineq()", "wrong idbd(k) in dccineq()");
  for (int k = 1; k <= prbsqp.n; ++k) g(k) = 0.0;
  g(bound.i) = bound.lower ? -1.0 : 1.0;
}

double vviomax(int, CVec x) {
  // A NaN value makes the whole measure NaN: such a point is never taken for
  // feasible (a plain "strictly greater" test would skip it).
  double vmax = 0.0;
  for (int i = 1; i <= prbsqp.neq; ++i) {
    const double v = std::fabs(cceq(i, prbsqp.n, x));
    if (v > vmax || std::isnan(v)) vmax = v;
    if (std::isnan(vmax)) return vmax;
  }
  for (int j = 1; j <= prbsqp.nineq; ++j) {
    const double c = ccineq(j, prbsqp.n, x);
    const double v = std::isnan(c) ? c : (c > 0.0 ? c : 0.0);
    if (v > vmax || std::isnan(v)) vmax = v;
    if (std::isnan(vmax)) return vmax;
  }
  return vmax;
}

void xxdiscrete(int, IVec flags) {
  for (int i = 1; i <= prbsqp.n; ++i) flags(i) = 0;
}

}  // namespace morlan
