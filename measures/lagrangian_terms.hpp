// The arithmetic of the Lagrangian and of the violation measures, written
// once over a source of raw problem values. Header only.
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
#include <cstdint>

#include "base/config.hpp"
#include "base/one_based.hpp"
#include "problem/adaptor.hpp"
#include "problem/raw_values.hpp"

namespace morlan {

// Tolerance on equality residuals when the problem has grid variables.
inline constexpr double kDiscreteTolerance = 0.001;

// What the arithmetic reads: the Lagrangian form and its weights, and
// whether equality residuals up to kDiscreteTolerance count as met (the
// problem has grid variables).
struct Terms {
  std::int32_t form = 0;  // 0, 1, 2, 3, 4, 5 or 10
  double scale = 1.0;     // the forms use objective / scale
  double penalty = 0.0;   // penalty weight p of the forms
  double radius = 0.0;    // relaxed radius of the equalities (form 10)
  bool grid = false;      // the discrete tolerance applies to equalities
};

namespace lagrangian_detail {

// Raw values straight from the problem routines. Every evaluation of the
// layer goes through these three accessors.
inline double raw_objective(CVec x) { return obj(cfg::kNvar, x); }
inline double raw_equality(int i, CVec x) { return ceq(i, cfg::kNvar, x); }
inline double raw_inequality(int j, CVec x) { return cineq(j, cfg::kNvar, x); }

struct DirectValues {
  double objective(CVec x) const { return raw_objective(x); }
  double equality(int i, CVec x) const { return raw_equality(i, x); }
  double inequality(int j, CVec x) const { return raw_inequality(j, x); }
};

// The values at x kept by `source`, or nullptr (no source, or the source
// cannot supply them): then the problem routines are asked.
inline const RawValues* cached_values(RawValueSource source, CVec x) {
  return source != nullptr ? source(x) : nullptr;
}

struct CachedValues {
  const RawValues& v;
  double objective(CVec) const { return v.objective; }
  double equality(int i, CVec) const { return v.c(i); }
  double inequality(int j, CVec) const { return v.c(cfg::kNeq + j); }
};

inline double positive_part(double v) { return v < 0.0 ? 0.0 : v; }

// Violation of an equality without the relaxation of form 10: a residual up
// to the discrete tolerance counts as zero when the problem has grid
// variables.
inline double unrelaxed_equality_violation(const Terms& t, double h) {
  if (t.grid) return positive_part(std::fabs(h) - kDiscreteTolerance);
  return std::fabs(h);
}

// Violation of an equality as the search sees it: under form 10 only the
// part beyond the relaxed radius counts.
inline double equality_violation(const Terms& t, double h) {
  if (t.form == 10) return positive_part(std::fabs(h) - t.radius);
  return unrelaxed_equality_violation(t, h);
}

inline double inequality_violation(double g) { return positive_part(g); }

inline bool known_form(int form) {
  return (form >= 0 && form <= 5) || form == 10;
}

// Equality multipliers sit at y(nvar + i), inequality multipliers at
// y(nvar + neq + j).
inline double equality_multiplier(CVec y, int i) { return y(cfg::kNvar + i); }
inline double inequality_multiplier(CVec y, int j) { return y(cfg::kNvar + cfg::kNeq + j); }

// Term of equality i in the Lagrangian of form t.form (not 4), from its
// multiplier and raw value.
inline double equality_term(const Terms& t, double lambda, double h) {
  const double p = t.penalty;
  switch (t.form) {
    case 0:
      return lambda * equality_violation(t, h);
    case 1:
    case 2:
      return lambda * h + p * (h * h) / 2.0;
    case 3:
      return lambda * std::fabs(h) + p * (h * h) / 2.0;
    case 5:
      return std::fabs(lambda * h) + p * (h * h) / 2.0;
    default:  // 10: relaxed multiplier term, unrelaxed penalty term
      return lambda * positive_part(std::fabs(h) - t.radius) + p * (h * h) / 2.0;
  }
}

// Term of one-sided inequality j in the Lagrangian of form t.form (not 4).
inline double inequality_term(const Terms& t, double mu, double g) {
  const double p = t.penalty;
  if (t.form == 0) return mu * inequality_violation(g);
  if (t.form == 1) {
    const double s = mu + p * g;
    if (s > 0.0) return (s * s - mu * mu) / (2.0 * p);
    return -(mu * mu) / (2.0 * p);
  }
  const double gp = positive_part(g);
  return mu * gp + p * (gp * gp) / 2.0;
}

// The Lagrangian of form t.form at the extended point y. The caller has
// checked that the form is known. A cache of terms reproduces this value
// exactly by adding the same terms to the scaled objective in this order.
template <class Values>
double lagrangian(const Terms& t, const Values& values, CVec y) {
  const CVec x = y.slice(1, cfg::kNvar);
  double lag = values.objective(x) / t.scale;

  if (t.form == 4) {
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
    return lag + t.penalty * v;
  }

  for (int i = 1; i <= cfg::kNeq; ++i) {
    lag = lag + equality_term(t, equality_multiplier(y, i), values.equality(i, x));
  }
  for (int j = 1; j <= cfg::kNineq; ++j) {
    lag = lag + inequality_term(t, inequality_multiplier(y, j), values.inequality(j, x));
  }
  return lag;
}

}  // namespace lagrangian_detail
}  // namespace morlan
