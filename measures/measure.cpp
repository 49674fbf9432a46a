#include "measures/measure.hpp"

#include <algorithm>
#include <cmath>

#include "io/console.hpp"
#include "problem/adaptor.hpp"

namespace morlan {

using namespace lagrangian_detail;

namespace {

// Finite-difference descent: difference step, stop below this slope, and
// the line search's first step (doubled five times).
constexpr double kDescentStep = 1.0e-6;
constexpr double kFlatSlope = 1.0e-5;
constexpr double kFirstLineStep = 0.01;
constexpr int kLineSteps = 6;
// The descent is kept when its largest violation is below this, or below
// twice the violation it started from.
constexpr double kDescentViolationFloor = 1.0e-4;

// Values of one slot of the cached Lagrangian. The slot holds the unscaled
// objective and the raw constraint values of the point it was filled at;
// while its flag is set they are taken from storage.
class SlotValues {
 public:
  SlotValues(const LagrangianSlots& slots, int slot)
      : slots_(slots), slot_(slot), filled_((*slots.index)(1 + slot) != 0) {}

  double objective(CVec x) const {
    if (!filled_) (*slots_.objective)(slot_) = raw_objective(x);
    return (*slots_.objective)(slot_);
  }
  double equality(int i, CVec x) const { return constraint(i, [&] { return raw_equality(i, x); }); }
  double inequality(int j, CVec x) const {
    return constraint(cfg::kNeq + j, [&] { return raw_inequality(j, x); });
  }

 private:
  template <class Compute>
  double constraint(int k, Compute compute) const {
    double& stored = (*slots_.constraint)((slot_ - 1) * (cfg::kNcon + 1) + k);
    if (!filled_) stored = compute();
    return stored;
  }
  const LagrangianSlots& slots_;
  int slot_;
  bool filled_;
};

// A violation as the largest-violation measures count it: a constraint whose
// value is not a number (a formula undefined at the point, such as 0/0) is
// not met, so its violation counts as infinite.
inline double counted(double v) { return std::isnan(v) ? HUGE_VAL : v; }

// The largest violation over cached raw values, `equality` giving the
// violation of an equality. Counted violations are +0.0, -0.0, positive or
// infinite, and the strict comparison from 0.0 keeps the largest positive
// one (a zero never replaces), whatever the order of the comparisons: four
// independent lanes give the bits of the one-by-one loop.
constexpr int kLanes = 4;

// Folds the violations of c[from .. to-1] into the lanes, four at a time,
// the rest into lane 0.
template <class Violation>
void fold_into_lanes(double (&lane)[kLanes], const double* c, int from, int to,
                     Violation violation) {
  int i = from;
  for (; i + kLanes <= to; i += kLanes) {
    for (int l = 0; l < kLanes; ++l) {
      const double v = counted(violation(c[i + l]));
      if (v > lane[l]) lane[l] = v;
    }
  }
  for (; i < to; ++i) {
    const double v = counted(violation(c[i]));
    if (v > lane[0]) lane[0] = v;
  }
}

template <class Equality>
double largest_of(const RawValues& values, Equality equality) {
  double lane[kLanes] = {0.0, 0.0, 0.0, 0.0};
  const double* c = values.c.data();
  fold_into_lanes(lane, c, 0, cfg::kNeq, equality);
  fold_into_lanes(lane, c, cfg::kNeq, cfg::kNcon,
                  [](double g) { return inequality_violation(g); });
  double largest = 0.0;
  for (int l = 0; l < kLanes; ++l) {
    if (lane[l] > largest) largest = lane[l];
  }
  return largest;
}

// Whether largest_of(values, equality) < tol, stopping at the first
// violation that reaches tol. Exact: the largest violation is 0.0 or the
// largest positive counted violation, so it is below tol just when 0.0 < tol
// and no counted violation v has v >= tol; with tol > 0 such a v is positive
// (an infinite one for a NaN value), while a zero of either sign fails the
// test as it never counts. A NaN tol fails 0.0 < tol, as it fails
// largest < tol.
template <class Equality>
bool largest_of_below(const RawValues& values, Equality equality, double tol) {
  if (!(0.0 < tol)) return false;
  const double* c = values.c.data();
  for (int i = 0; i < cfg::kNeq; ++i) {
    if (counted(equality(c[i])) >= tol) return false;
  }
  for (int i = cfg::kNeq; i < cfg::kNcon; ++i) {
    if (counted(inequality_violation(c[i])) >= tol) return false;
  }
  return true;
}

void check_form(int form) {
  if (!known_form(form)) {
    io::say("Wrong Lagrangian function in dlag()");
    io::error_stop();
  }
}

// The multiplier rule of forms 0 to 3 over a source of raw values.
template <class Values>
void update_multipliers_from(const Terms& t, const Values& values, Vec y) {
  const CVec x = CVec(y).slice(1, cfg::kNvar);
  const int form = t.form;
  const double p = t.penalty;
  for (int i = 1; i <= cfg::kNeq; ++i) {
    double& lambda = y(cfg::kNvar + i);
    const double h = values.equality(i, x);
    if (form == 0) {
      lambda = lambda + equality_violation(t, h);
    } else {
      lambda = lambda + p * (form == 3 ? std::fabs(h) : h);
    }
  }
  for (int j = 1; j <= cfg::kNineq; ++j) {
    double& mu = y(cfg::kNvar + cfg::kNeq + j);
    const double g = values.inequality(j, x);
    if (form == 0) {
      mu = mu + inequality_violation(g);
    } else if (form == 1) {
      const double moved = mu + p * g;
      mu = moved < 0.0 ? 0.0 : moved;
    } else {
      mu = mu + p * positive_part(g);
    }
  }
}

// The limit's stop is out of line, so that the evaluation's own path stays
// as it is.
[[noreturn, gnu::noinline, gnu::cold]] void stop_at_the_limit() { throw EvaluationLimitReached{}; }

}  // namespace

Measure::Measure(const MeasureForm& form, const Grid& grid, RawValueSource source)
    : terms_{form.form, form.scale, form.penalty, form.radius, grid.any},
      grid_(grid),
      source_(source) {}

void Measure::use_slots(const LagrangianSlots& slots) { slots_ = slots; }

// A private copy of x (a point or an extended point) with the variables
// shifted; the multipliers are copied unchanged.
CVec Measure::shifted(CVec x, Buffer& buffer) const {
  const int length = std::min(x.size(), cfg::kNtot);
  for (int i = 1; i <= length; ++i) {
    buffer(i) = i <= cfg::kNvar ? x(i) + grid_.shift(i) : x(i);
  }
  return CVec(buffer.data(), length);
}

// f at x as the measures see it: x itself, or its shifted copy when the
// grid shifts points (the copy's storage only then).
template <class F>
auto Measure::at_point(CVec x, F f) const {
  if (!grid_.shifts()) return f(x);
  Buffer b;
  return f(shifted(x, b));
}

double Measure::plain_lagrangian(CVec y) {
  check_form(terms_.form);
  if (const RawValues* v = cached_values(source_, y.slice(1, cfg::kNvar))) {
    // Form 4 is a largest residual, not a sum: no partial sums to keep.
    if (terms_.form == 4) return lagrangian_detail::lagrangian(terms_, CachedValues{*v}, y);
    return sums_.lagrangian(terms_, *v, y);
  }
  return lagrangian_detail::lagrangian(terms_, DirectValues{}, y);
}

// The cached Lagrangian. With a slot s = index(1) in 1..4 it evaluates
// through the slot's stored values (filling them first when the slot's flag
// is clear, then setting the flag), with exactly the arithmetic of the plain
// Lagrangian, for every form. Any other slot number, such as the 0 that the
// slots start with, means no cache.
double Measure::slot_lagrangian(CVec y) {
  check_form(terms_.form);
  const int slot = (*slots_.index)(1);
  if (slot < 1 || slot > LagrangianSlots::kSlots) {
    return lagrangian_detail::lagrangian(terms_, DirectValues{}, y);
  }
  const double lag = lagrangian_detail::lagrangian(terms_, SlotValues(slots_, slot), y);
  (*slots_.index)(1 + slot) = 1;
  return lag;
}

double Measure::lagrangian(CVec y) {
  if (evaluations_ >= limit_) [[unlikely]] stop_at_the_limit();
  ++evaluations_;
  return at_point(y, [this](CVec point) {
    return slots_.index != nullptr ? slot_lagrangian(point) : plain_lagrangian(point);
  });
}

double Measure::problem_violation(CVec x) const {
  return at_point(x, [this](CVec point) {
    const RawValues* cached = cached_values(source_, point);
    double largest = 0.0;
    // The larger of the two, a NaN winning over anything.
    const auto take = [&largest](double v) {
      largest = std::isnan(largest) || std::isnan(v) ? std::nan("") : (v > largest ? v : largest);
    };
    for (int i = 1; i <= cfg::kNeq; ++i) {
      take(std::fabs(cached != nullptr ? cached->c(i) : raw_equality(i, point)));
    }
    for (int j = 1; j <= cfg::kNineq; ++j) {
      take(cached != nullptr ? cached->c(cfg::kNeq + j) : raw_inequality(j, point));
    }
    for (int i = 1; i <= cfg::kNvar; ++i) {
      take(xbnd.xl(i) - point(i));
      take(point(i) - xbnd.xu(i));
    }
    return largest;
  });
}

double Measure::objective(CVec x) {
  return at_point(x, [this](CVec point) {
    if (const RawValues* v = cached_values(source_, point)) return v->objective;
    return obj(cfg::kNvar, point);
  });
}

// Violation of constraint i at x, `equality` giving the violation of an
// equality residual: from the cache when there is one, else from the
// problem routines. An index past the constraints stops with `wrong_index`.
template <class Equality>
double Measure::violation_at(int i, CVec x, Equality equality, const char* wrong_index) const {
  if (i > cfg::kNcon) {
    io::say(wrong_index);
    io::error_stop();
  }
  if (i >= 1) {
    if (const RawValues* v = cached_values(source_, x)) {
      return i > cfg::kNeq ? inequality_violation(v->c(i)) : equality(v->c(i));
    }
  }
  if (i > cfg::kNeq) return inequality_violation(raw_inequality(i - cfg::kNeq, x));
  return equality(raw_equality(i, x));
}

double Measure::violation(int i, CVec x) {
  return at_point(x, [this, i](CVec point) {
    return violation_at(i, point, relaxed(), "Wrong constraint index in cst");
  });
}

double Measure::unrelaxed_violation(int i, CVec x) {
  return at_point(x, [this, i](CVec point) {
    return violation_at(i, point, unrelaxed(), "Wrong constraint index in ocst");
  });
}

// The largest violation at x (already shifted), `equality` as above: from
// the cache when there is one, else constraint by constraint.
template <class Equality>
double Measure::largest(CVec x, Equality equality) const {
  if (const RawValues* values = cached_values(source_, x)) return largest_of(*values, equality);
  double v = 0.0;
  for (int i = 1; i <= cfg::kNcon; ++i) {
    const double c = counted(violation_at(i, x, equality, ""));
    if (c > v) v = c;
  }
  return v;
}

// Whether the largest violation at x (already shifted) is below tol, as
// largest(...) < tol.
template <class Equality>
bool Measure::largest_below(CVec x, double tol, Equality equality) const {
  if (const RawValues* values = cached_values(source_, x)) {
    return largest_of_below(*values, equality, tol);
  }
  return largest(x, equality) < tol;
}

double Measure::largest_violation(CVec x) {
  return at_point(x, [this](CVec point) { return largest(point, relaxed()); });
}

double Measure::largest_unrelaxed_violation(CVec x) {
  return at_point(x, [this](CVec point) { return largest(point, unrelaxed()); });
}

bool Measure::largest_violation_below(CVec x, double tol) {
  return at_point(x, [this, tol](CVec point) { return largest_below(point, tol, relaxed()); });
}

bool Measure::largest_unrelaxed_violation_below(CVec x, double tol) {
  return at_point(x, [this, tol](CVec point) { return largest_below(point, tol, unrelaxed()); });
}

// The update on a point of its own (the shifted copy of y) takes the
// multipliers back to y.
void Measure::update_multipliers(Vec y) {
  if (!grid_.shifts()) {
    update_unshifted(y);
    return;
  }
  Buffer b;
  shifted(y, b);
  update_unshifted(b.view());
  for (int i = cfg::kNvar + 1; i <= cfg::kNtot; ++i) y(i) = b(i);
}

void Measure::update_unshifted(Vec y) {
  const int form = terms_.form;
  if (form < 0 || form > 3) return;
  if (const RawValues* v = cached_values(source_, CVec(y).slice(1, cfg::kNvar))) {
    update_multipliers_from(terms_, CachedValues{*v}, y);
  } else {
    update_multipliers_from(terms_, DirectValues{}, y);
  }
}

void Measure::constraint_gradient(int i, CVec x, Vec g) const {
  if (i > cfg::kNcon) {
    io::say("Wrong constraint index in dcst");
    io::error_stop();
  }
  if (i > cfg::kNeq) {
    dcineq(i - cfg::kNeq, cfg::kNvar, x, g);
  } else {
    dceq(i, cfg::kNvar, x, g);
  }
}

void Measure::descend(int iterations, Vec y) {
  Array1<double, cfg::kNtot> w;
  Array1<double, cfg::kNtot> trial;
  Array1<double, cfg::kNvar> d;
  for (int i = 1; i <= cfg::kNtot; ++i) {
    w(i) = y(i);
    trial(i) = y(i);
  }
  for (int iter = 1; iter <= iterations; ++iter) {
    for (int i = 1; i <= cfg::kNvar; ++i) trial(i) = w(i);
    const double l0 = plain_lagrangian(w);
    double largest_slope = 0.0;
    for (int i = 1; i <= cfg::kNvar; ++i) {
      trial(i) = w(i) + kDescentStep;
      d(i) = (l0 - plain_lagrangian(trial)) / kDescentStep;
      trial(i) = w(i);
      if (std::fabs(d(i)) > largest_slope) largest_slope = std::fabs(d(i));
    }
    if (largest_slope < kFlatSlope) break;
    if (largest_slope > 1.0) {
      for (int i = 1; i <= cfg::kNvar; ++i) d(i) = d(i) / largest_slope;
    }
    double best = -1.0e20;
    double best_step = 0.0;
    double step = kFirstLineStep;
    for (int k = 0; k < kLineSteps; ++k) {
      for (int i = 1; i <= cfg::kNvar; ++i) trial(i) = w(i) + step * d(i);
      const double decrease = l0 - plain_lagrangian(trial);
      if (decrease > best) {
        best = decrease;
        best_step = step;
      }
      step = step * 2.0;
    }
    if (best > 0.0) {
      for (int i = 1; i <= cfg::kNvar; ++i) w(i) = w(i) + best_step * d(i);
    }
  }
  const double v_new = largest(w, relaxed());
  const double v_old = largest(CVec(y), relaxed());
  if (v_new < kDescentViolationFloor || v_new < 2.0 * v_old) {
    for (int i = 1; i <= cfg::kNtot; ++i) y(i) = w(i);
  }
}

}  // namespace morlan
