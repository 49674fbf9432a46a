#include "sqp/orvale.hpp"

#include <nlopt.h>

#include <cfloat>
#include <cmath>

#include "measures/records.hpp"
#include "sqp/nlcalls.hpp"
#include "sqp/protocol.hpp"
#include "sqp/solver_records.hpp"
#include "sqp/sqpglue.hpp"
#include "sqp/sqpstart.hpp"

namespace morlan {

namespace {

// Stopping rules of SLSQP. The constraint tolerances decide which points
// NLopt counts as feasible when it keeps its best point; they are far below
// the 1.0e-5 at which the run entry calls a point feasible.
constexpr double kFtolRel = 1.0e-12;
constexpr double kXtolRel = 1.0e-10;
constexpr double kConstraintTol = 1.0e-9;
// Evaluations allowed per iteration (line-search trial points included),
// a guard beside the iteration limit.
constexpr int kEvaluationsPerIteration = 20;

struct Solve {
  nlopt_opt opt = nullptr;
  Protocol protocol;
  int iteration_limit = 0;
  int n = 0;
  int tightened = 0;    // the first inequalities, tightened by margin
  double margin = 0.0;  // (the constraints' own; the bounds' never are)
  int gradients = 0;  // points at which the gradient was asked for
  Array1<double, kO8MaxVariables> x;
  Array1<double, kO8MaxVariables> g;
};

Solve solve_state;

// NLopt hands a const point; the protocol's gradient routines may move and
// restore entries of theirs, so they get a copy.
Vec load_point(Solve& s, const double* x) {
  for (int k = 1; k <= s.n; ++k) s.x(k) = x[k - 1];
  return s.x.slice(1, s.n);
}

// Every gradient request after the first starts a new iteration; past the
// limit the point is still evaluated (so NLopt's record of it is right) and
// the solve is stopped.
void count_iteration(Solve& s) {
  ++s.gradients;
  const int iterations = s.gradients - 1;
  if (iterations > s.iteration_limit) {
    nlopt_force_stop(s.opt);
    return;
  }
  o8itin(2) = iterations;
}

double objective(unsigned, const double* x, double* grad, void* data) {
  Solve& s = *static_cast<Solve*>(data);
  Vec p = load_point(s, x);
  double fx = 0.0;
  protocol::objective(s.protocol, p, fx);
  if (grad != nullptr) {
    count_iteration(s);
    Vec gv = s.g.slice(1, s.n);
    protocol::objective_gradient(s.protocol, p, gv);
    for (int k = 1; k <= s.n; ++k) grad[k - 1] = gv(k);
  }
  return fx;
}

// Equalities as they are: h_i(x) = 0.
void equalities(unsigned m, double* result, unsigned, const double* x, double* grad, void* data) {
  Solve& s = *static_cast<Solve*>(data);
  Vec p = load_point(s, x);
  for (int i = 1; i <= static_cast<int>(m); ++i) {
    protocol::equality(i, p, result[i - 1]);
    if (grad != nullptr) {
      Vec gv = s.g.slice(1, s.n);
      protocol::equality_gradient(s.protocol, i, p, gv);
      for (int k = 1; k <= s.n; ++k) grad[(i - 1) * s.n + (k - 1)] = gv(k);
    }
  }
}

// The protocol's inequalities hold at g_i(x) >= 0; NLopt's at -g_i(x) <= 0,
// those of the constraints at -g_i(x) + margin <= 0 when a margin is set.
void inequalities(unsigned m, double* result, unsigned, const double* x, double* grad, void* data) {
  Solve& s = *static_cast<Solve*>(data);
  Vec p = load_point(s, x);
  for (int i = 1; i <= static_cast<int>(m); ++i) {
    double gx = 0.0;
    protocol::inequality(i, p, gx);
    result[i - 1] = i <= s.tightened ? s.margin - gx : -gx;
    if (grad != nullptr) {
      Vec gv = s.g.slice(1, s.n);
      protocol::inequality_gradient(s.protocol, i, p, gv);
      for (int k = 1; k <= s.n; ++k) grad[(i - 1) * s.n + (k - 1)] = -gv(k);
    }
  }
}

bool all_finite(const double* x, int n) {
  for (int k = 0; k < n; ++k) {
    if (!std::isfinite(x[k])) return false;
  }
  return true;
}

}  // namespace

void orvale() { solve({slobj.value, isslopefd.value != 0}, {noiter.value, 0.0}); }

void solve(const Protocol& protocol, const SolveLimits& limits) {
  o8mpar(1) = DBL_EPSILON;
  setup0();
  o8itin(2) = 0;
  setup();

  Solve& s = solve_state;
  s.protocol = protocol;
  s.iteration_limit = limits.iterations;
  s.n = o8dim(1);
  s.gradients = 0;
  const int n = s.n;
  const int neq = o8dim(2);
  const int nineq = o8dim(3);
  if (limits.iterations < 1 || n < 1) {
    solchk();
    return;
  }

  // The variable bounds reach SLSQP as box constraints as well (they are
  // also among the inequalities), so that no trial point leaves the box.
  static Array1<double, kO8MaxVariables> lower, upper, x;
  xxbound(n, lower.slice(1, n), upper.slice(1, n));
  for (int k = 1; k <= n; ++k) {
    double v = o8xdat(k);
    if (v < lower(k)) v = lower(k);
    if (v > upper(k)) v = upper(k);
    x(k) = v;
  }

  // With a margin, NLopt may keep a point as feasible only when it is
  // within half the margin of the tightened inequalities, so strictly inside
  // the problem's own.
  s.margin = limits.margin;
  s.tightened = s.margin > 0.0 ? bbdinfo.ncineq : 0;
  static Array1<double, kO8MaxConstraints> tolerances, inequality_tolerances;
  for (int i = 1; i <= kO8MaxConstraints; ++i) {
    tolerances(i) = kConstraintTol;
    inequality_tolerances(i) = i <= s.tightened ? std::fmin(kConstraintTol, 0.5 * s.margin)
                                                : kConstraintTol;
  }

  s.opt = nlopt_create(NLOPT_LD_SLSQP, static_cast<unsigned>(n));
  nlopt_set_lower_bounds(s.opt, lower.data());
  nlopt_set_upper_bounds(s.opt, upper.data());
  nlopt_set_min_objective(s.opt, objective, &s);
  if (neq > 0) {
    nlopt_add_equality_mconstraint(s.opt, static_cast<unsigned>(neq), equalities, &s,
                                   tolerances.data());
  }
  if (nineq > 0) {
    nlopt_add_inequality_mconstraint(s.opt, static_cast<unsigned>(nineq), inequalities, &s,
                                     inequality_tolerances.data());
  }
  nlopt_set_ftol_rel(s.opt, kFtolRel);
  nlopt_set_xtol_rel(s.opt, kXtolRel);
  nlopt_set_maxeval(s.opt, kEvaluationsPerIteration * (limits.iterations + 1));

  double fmin = 0.0;
  nlopt_optimize(s.opt, x.data(), &fmin);
  nlopt_destroy(s.opt);
  s.opt = nullptr;

  // On a breakdown without any usable point the start point stays. With a
  // margin the solution is also held within the bounds exactly.
  if (all_finite(x.data(), n)) {
    for (int k = 1; k <= n; ++k) {
      o8xdat(k) = s.margin > 0.0 ? std::fmin(std::fmax(x(k), lower(k)), upper(k)) : x(k);
    }
  }
  solchk();
}

}  // namespace morlan
