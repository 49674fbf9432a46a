// The Lagrangian and violation measures over the extended point (variables,
// then one multiplier per constraint), as one object: built from the
// Lagrangian form and its weights and from the grid, it owns the caches of
// its evaluations and counts the Lagrangians the search asks for.
//
// Points are shifted by the grid's shift vector before they are evaluated,
// when the grid says so; the caller's point is never changed (except the
// multipliers that update_multipliers moves).
#pragma once

#include <cstdint>

#include "base/config.hpp"
#include "base/one_based.hpp"
#include "measures/grid.hpp"
#include "measures/lagrangian_terms.hpp"
#include "measures/partial_sums.hpp"
#include "problem/raw_values.hpp"

namespace morlan {

// The count of a measure that has no evaluation limit.
inline constexpr std::int64_t kNoEvaluationLimit = INT64_MAX;

// What Measure::lagrangian throws instead of an evaluation past the limit;
// the annealing loops catch it and end where they stand, as at a normal end.
struct EvaluationLimitReached {};

// What the answers choose of a measure.
struct MeasureForm {
  std::int32_t form = 0;  // Lagrangian form: 0, 1, 2, 3, 4, 5 or 10
  double scale = 1.0;     // objective scale: the forms use objective / scale
  double penalty = 0.0;   // penalty weight p of the forms
  double radius = 0.0;    // relaxed radius of the equalities (form 10)
};

// The slots of the cached Lagrangian: index(1) is the slot in use (1..4;
// anything else means no slot), index(1 + s) is set while slot s holds the
// values of its point. Whoever moves the variables of a slot's point must
// clear its flag.
struct LagrangianSlots {
  static constexpr int kSlots = 4;
  Array1<std::int32_t, 5>* index;
  Array1<double, kSlots>* objective;                         // per slot
  Array1<double, kSlots * (cfg::kNcon + 1)>* constraint;   // per slot and constraint
};

class Measure {
 public:
  // `source` supplies raw values when it can (the fast path); without one
  // every value comes from the problem routines.
  Measure(const MeasureForm& form, const Grid& grid, RawValueSource source = nullptr);

  const Grid& grid() const { return grid_; }
  std::int32_t form() const { return terms_.form; }
  double scale() const { return terms_.scale; }
  double radius() const { return terms_.radius; }
  // The relaxed-equality loop moves the radius while it runs.
  void set_radius(double radius) { terms_.radius = radius; }
  // The run control weighs the penalty terms of its runs.
  void set_penalty(double penalty) { terms_.penalty = penalty; }
  // Evaluations of the cached Lagrangian instead of the plain one (never in
  // the program; the delivered modules offer it).
  void use_slots(const LagrangianSlots& slots);

  // Lagrangians asked for since the count was last cleared.
  std::int64_t evaluations() const { return evaluations_; }
  void clear_evaluations() { evaluations_ = 0; }
  // The most Lagrangians the count may reach (kNoEvaluationLimit: no
  // limit); a copy keeps it.
  void set_evaluation_limit(std::int64_t limit) { limit_ = limit; }
  std::int64_t evaluation_limit() const { return limit_; }
  bool evaluation_limit_reached() const { return evaluations_ >= limit_; }

  // The Lagrangian of the form at y, counted. An unknown form stops the
  // program with its message; a count at the limit throws
  // EvaluationLimitReached instead of evaluating.
  double lagrangian(CVec y);
  // The unscaled objective at x.
  double objective(CVec x);
  // Violation of constraint i (1..ncon) at x: as the search sees it
  // (relaxed under form 10), and unrelaxed. An index past the constraints
  // stops the program.
  double violation(int i, CVec x);
  double unrelaxed_violation(int i, CVec x);
  // The largest violation of the problem as its data file states it:
  // |h| of every equality, the excess over zero of every one-sided
  // inequality, and the distance outside every variable bound, with no band
  // (the unrelaxed violation counts an equality only beyond the grid's
  // 0.001 and leaves the bounds out, since trial points stay within them).
  // A NaN value makes it NaN, so that such a point never reads as feasible.
  double problem_violation(CVec x) const;
  // The largest violation, relaxed and unrelaxed (0 when none).
  double largest_violation(CVec x);
  double largest_unrelaxed_violation(CVec x);
  // largest_violation(x) < tol and largest_unrelaxed_violation(x) < tol,
  // answered at the first constraint whose violation reaches tol when the
  // values are cached.
  bool largest_violation_below(CVec x, double tol);
  bool largest_unrelaxed_violation_below(CVec x, double tol);
  // The multiplier rule of forms 0 to 3 on the multipliers of y (other
  // forms leave them), from the violations at y's variables.
  void update_multipliers(Vec y);
  // The gradient of the raw constraint i at x (no shift).
  void constraint_gradient(int i, CVec x, Vec g) const;
  // Finite-difference descent of the Lagrangian in the variables of y (no
  // shift, not counted), kept when its violation is small enough.
  void descend(int iterations, Vec y);

 private:
  using Buffer = Array1<double, cfg::kNtot>;

  CVec shifted(CVec x, Buffer& buffer) const;
  template <class F>
  auto at_point(CVec x, F f) const;
  // The violation of an equality residual, relaxed (as the search sees it)
  // and unrelaxed, as function objects that the templates inline.
  auto relaxed() const {
    return [this](double h) { return lagrangian_detail::equality_violation(terms_, h); };
  }
  auto unrelaxed() const {
    return [this](double h) { return lagrangian_detail::unrelaxed_equality_violation(terms_, h); };
  }
  double plain_lagrangian(CVec y);
  void update_unshifted(Vec y);
  double slot_lagrangian(CVec y);
  template <class Equality>
  double violation_at(int i, CVec x, Equality equality, const char* wrong_index) const;
  template <class Equality>
  double largest(CVec x, Equality equality) const;
  template <class Equality>
  bool largest_below(CVec x, double tol, Equality equality) const;

  Terms terms_;
  Grid grid_;
  RawValueSource source_;
  LagrangianSlots slots_{nullptr, nullptr, nullptr};
  lagrangian_detail::PartialSums sums_;
  std::int64_t evaluations_ = 0;
  std::int64_t limit_ = kNoEvaluationLimit;
};

}  // namespace morlan
