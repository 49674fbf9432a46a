// The arithmetic of the Lagrangian and of the violation measures, written
// once over a source of raw problem values.
//
// A value source provides objective(x) (unscaled), equality(i, x) (h_i, raw
// and signed) and inequality(j, x) (g_j, at or below zero when it holds).
// DirectValues asks the problem routines every time (the reference path);
// CachedValues reads the values that the linked problem keeps up to date
// incrementally (the fast path), and the cached Lagrangian reads its slots.
// Each supplies the same numbers and, running through the same code below,
// gets the same bits.
//
// The order of the operations is part of the result: L starts at the scaled
// objective, then each equality term and then each inequality term is
// computed and added to L at once, in constraint order.
#pragma once

#include <cmath>

#include "base/config.hpp"
#include "base/one_based.hpp"
#include "measures/lagrangian.hpp"
#include "measures/records.hpp"
#include "problem/adaptor.hpp"
#include "problem/raw_values.hpp"

namespace morlan::lagrangian_detail {

// Raw values straight from the problem routines. Every evaluation of the
// layer goes through these three accessors.
inline double raw_objective(CVec x) { return obj(cfg::kNvar, x); }
inline double scaled_objective(CVec x) { return raw_objective(x) / slobj.value; }
inline double raw_equality(int i, CVec x) { return ceq(i, cfg::kNvar, x); }
inline double raw_inequality(int j, CVec x) { return cineq(j, cfg::kNvar, x); }

struct DirectValues {
  double objective(CVec x) const { return raw_objective(x); }
  double equality(int i, CVec x) const { return raw_equality(i, x); }
  double inequality(int j, CVec x) const { return raw_inequality(j, x); }
};

// The values at x kept by the registered source, or nullptr (no source, or
// the source cannot supply them): then the problem routines are asked.
inline const RawValues* cached_values(CVec x) {
  return raw_value_source.at != nullptr ? raw_value_source.at(x) : nullptr;
}

struct CachedValues {
  const RawValues& v;
  double objective(CVec) const { return v.objective; }
  double equality(int i, CVec) const { return v.c(i); }
  double inequality(int j, CVec) const { return v.c(cfg::kNeq + j); }
};

// The unscaled objective, from the cache when there is one.
inline double problem_objective(int n, CVec x) {
  if (const RawValues* v = cached_values(x)) return v->objective;
  return obj(n, x);
}

inline double positive_part(double v) { return v < 0.0 ? 0.0 : v; }

// Violation of an equality without the relaxation of form 10: a residual up
// to the discrete tolerance counts as zero when the problem has grid
// variables.
inline double unrelaxed_equality_violation(double h) {
  if (hasdiscrete.hasdiscrete) return positive_part(std::fabs(h) - kDiscreteTolerance);
  return std::fabs(h);
}

// Violation of an equality as the search sees it: under form 10 only the
// part beyond the relaxed radius counts.
inline double equality_violation(double h) {
  if (mlag.value == 10) return positive_part(std::fabs(h) - rleq.value);
  return unrelaxed_equality_violation(h);
}

inline double inequality_violation(double g) { return positive_part(g); }

inline bool known_form(int form) {
  return (form >= 0 && form <= 5) || form == 10;
}

// Equality multipliers sit at y(nvar + i), inequality multipliers at
// y(nvar + neq + j).
inline double equality_multiplier(CVec y, int i) { return y(cfg::kNvar + i); }
inline double inequality_multiplier(CVec y, int j) { return y(cfg::kNvar + cfg::kNeq + j); }

// Term of equality i in the Lagrangian of form `form` (not 4), from its
// multiplier and raw value.
inline double equality_term(int form, double lambda, double h, double p) {
  switch (form) {
    case 0:
      return lambda * equality_violation(h);
    case 1:
    case 2:
      return lambda * h + p * (h * h) / 2.0;
    case 3:
      return lambda * std::fabs(h) + p * (h * h) / 2.0;
    case 5:
      return std::fabs(lambda * h) + p * (h * h) / 2.0;
    default:  // 10: relaxed multiplier term, unrelaxed penalty term
      return lambda * positive_part(std::fabs(h) - rleq.value) + p * (h * h) / 2.0;
  }
}

// Term of one-sided inequality j in the Lagrangian of form `form` (not 4).
inline double inequality_term(int form, double mu, double g, double p) {
  if (form == 0) return mu * inequality_violation(g);
  if (form == 1) {
    const double t = mu + p * g;
    if (t > 0.0) return (t * t - mu * mu) / (2.0 * p);
    return -(mu * mu) / (2.0 * p);
  }
  const double gp = positive_part(g);
  return mu * gp + p * (gp * gp) / 2.0;
}

// The Lagrangian of form mlag at the extended point y. The caller has
// checked that the form is known. A cache of terms reproduces this value
// exactly by adding the same terms to the scaled objective in this order.
template <class Values>
double lagrangian(const Values& values, CVec y) {
  const CVec x = y.slice(1, cfg::kNvar);
  const int form = mlag.value;
  const double p = penalty.value;
  double lag = values.objective(x) / slobj.value;

  if (form == 4) {
    // Largest raw residual, multipliers ignored.
    double v = 0.0;
    for (int i = 1; i <= cfg::kNeq; ++i) {
      const double a = std::fabs(values.equality(i, x));
      if (a > v) v = a;
    }
    for (int j = 1; j <= cfg::kNineq; ++j) {
      const double g = values.inequality(j, x);
      if (g > v) v = g;
    }
    return lag + p * v;
  }

  for (int i = 1; i <= cfg::kNeq; ++i) {
    lag = lag + equality_term(form, equality_multiplier(y, i), values.equality(i, x), p);
  }
  for (int j = 1; j <= cfg::kNineq; ++j) {
    lag = lag + inequality_term(form, inequality_multiplier(y, j), values.inequality(j, x), p);
  }
  return lag;
}

}  // namespace morlan::lagrangian_detail
