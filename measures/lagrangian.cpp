#include "measures/lagrangian.hpp"

#include <cmath>

#include "io/console.hpp"
#include "measures/lagrangian_terms.hpp"
#include "measures/partial_sums.hpp"
#include "measures/records.hpp"
#include "problem/adaptor.hpp"

namespace morlan {

using namespace lagrangian_detail;

namespace {

constexpr int kSlots = 4;

// Finite-difference descent: difference step, stop below this slope, and
// the line search's first step (doubled five times).
constexpr double kDescentStep = 1.0e-6;
constexpr double kFlatSlope = 1.0e-5;
constexpr double kFirstLineStep = 0.01;
constexpr int kLineSteps = 6;
// The descent is kept when its largest violation is below this, or below
// twice the violation it started from.
constexpr double kDescentViolationFloor = 1.0e-4;

// Values of one slot of the cache of dlagru. The slot holds the unscaled
// objective and the raw constraint values of the point it was filled at;
// while its flag is set they are taken from storage. Whoever moves the
// variables of the point must clear the flag (ruindex(1 + slot) = 0).
class SlotValues {
 public:
  explicit SlotValues(int slot) : slot_(slot), filled_(ruindex.v(1 + slot) != 0) {}

  double objective(CVec x) const {
    if (!filled_) rudata.objective(slot_) = raw_objective(x);
    return rudata.objective(slot_);
  }
  double equality(int i, CVec x) const { return constraint(i, [&] { return raw_equality(i, x); }); }
  double inequality(int j, CVec x) const {
    return constraint(cfg::kNeq + j, [&] { return raw_inequality(j, x); });
  }

 private:
  template <class Compute>
  double constraint(int k, Compute compute) const {
    double& stored = rudata.constraint((slot_ - 1) * (cfg::kNcon + 1) + k);
    if (!filled_) stored = compute();
    return stored;
  }
  int slot_;
  bool filled_;
};

// Running sums of the Lagrangian on the fast path.
PartialSums partial_sums;

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
double largest_violation(const RawValues& values, Equality equality) {
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

// Whether largest_violation(values, equality) < tol, stopping at the first
// violation that reaches tol. Exact: the largest violation is 0.0 or the
// largest positive counted violation, so it is below tol just when 0.0 < tol
// and no counted violation v has v >= tol; with tol > 0 such a v is positive
// (an infinite one for a NaN value), while a zero of either sign fails the
// test as it never counts. A NaN tol fails 0.0 < tol, as it fails
// largest < tol.
template <class Equality>
bool violation_below(const RawValues& values, Equality equality, double tol) {
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

void check_form() {
  if (!known_form(mlag.value)) {
    io::say("Wrong Lagrangian function in dlag()");
    io::error_stop();
  }
}

}  // namespace

namespace {

// Violation of constraint i at x, `equality` giving the violation of an
// equality residual: from the cache when there is one, else from the
// problem routines. An index past the constraints stops with `wrong_index`.
template <class Equality>
double violation(int i, CVec x, Equality equality, const char* wrong_index) {
  if (i > cfg::kNcon) {
    io::say(wrong_index);
    io::error_stop();
  }
  if (i >= 1) {
    if (const RawValues* v = cached_values(x)) {
      return i > cfg::kNeq ? inequality_violation(v->c(i)) : equality(v->c(i));
    }
  }
  if (i > cfg::kNeq) return inequality_violation(raw_inequality(i - cfg::kNeq, x));
  return equality(raw_equality(i, x));
}

// The largest violation at x, `equality` as above and `single` the
// routine of one constraint (cst or ocst) when there is no cache.
template <class Equality, class Single>
double largest(CVec x, Equality equality, Single single) {
  if (const RawValues* values = cached_values(x)) return largest_violation(*values, equality);
  double v = 0.0;
  for (int i = 1; i <= cfg::kNcon; ++i) {
    const double c = counted(single(i, cfg::kNvar, x));
    if (c > v) v = c;
  }
  return v;
}

// Whether the largest violation at x is below tol, as largest(...) < tol.
template <class Equality, class Single>
bool largest_below(CVec x, double tol, Equality equality, Single single) {
  if (const RawValues* values = cached_values(x)) return violation_below(*values, equality, tol);
  return largest(x, equality, single) < tol;
}

// Equality violations as function objects, so that the templates above
// inline them.
constexpr auto relaxed = [](double h) { return equality_violation(h); };
constexpr auto unrelaxed = [](double h) { return unrelaxed_equality_violation(h); };

}  // namespace

double cst(int i, int /*n*/, CVec x) {
  return violation(i, x, relaxed, "Wrong constraint index in cst");
}

double ocst(int i, int /*n*/, CVec x) {
  return violation(i, x, unrelaxed, "Wrong constraint index in ocst");
}

void dcst(int i, int n, CVec x, Vec g) {
  if (i > cfg::kNcon) {
    io::say("Wrong constraint index in dcst");
    io::error_stop();
  }
  if (i > cfg::kNeq) {
    dcineq(i - cfg::kNeq, n, x, g);
  } else {
    dceq(i, n, x, g);
  }
}

double viomax(CVec x) { return largest(x, relaxed, cst); }

double oviomax(CVec x) { return largest(x, unrelaxed, ocst); }

bool viomax_below(CVec x, double tol) { return largest_below(x, tol, relaxed, cst); }

bool oviomax_below(CVec x, double tol) { return largest_below(x, tol, unrelaxed, ocst); }

double dlag(CVec y) {
  check_form();
  if (const RawValues* v = cached_values(y.slice(1, cfg::kNvar))) {
    // Form 4 is a largest residual, not a sum: no partial sums to keep.
    if (mlag.value == 4) return lagrangian(CachedValues{*v}, y);
    return partial_sums.lagrangian(*v, y);
  }
  return lagrangian(DirectValues{}, y);
}

// The cached Lagrangian. With a slot s = ruindex(1) in 1..4 it evaluates
// through the slot's stored values (filling them first when the slot's flag
// is clear, then setting the flag), with exactly the arithmetic of dlag, for
// every form. Any other slot number, such as the 0 that the records start
// with, means no cache: the result is dlag's.
double dlagru(CVec y) {
  check_form();
  const int slot = ruindex.v(1);
  if (slot < 1 || slot > kSlots) return lagrangian(DirectValues{}, y);
  const double lag = lagrangian(SlotValues(slot), y);
  ruindex.v(1 + slot) = 1;
  return lag;
}

namespace {

template <class Values>
void update_multipliers(const Values& values, Vec y) {
  const CVec x = CVec(y).slice(1, cfg::kNvar);
  const int form = mlag.value;
  const double p = penalty.value;
  for (int i = 1; i <= cfg::kNeq; ++i) {
    double& lambda = y(cfg::kNvar + i);
    const double h = values.equality(i, x);
    if (form == 0) {
      lambda = lambda + equality_violation(h);
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

}  // namespace

void lambda_rule(Vec y) {
  const int form = mlag.value;
  if (form < 0 || form > 3) return;
  if (const RawValues* v = cached_values(CVec(y).slice(1, cfg::kNvar))) {
    update_multipliers(CachedValues{*v}, y);
  } else {
    update_multipliers(DirectValues{}, y);
  }
}

void gdesc_inx(int iterations, Vec y) {
  Array1<double, cfg::kNtot> w;
  Array1<double, cfg::kNtot> trial;
  Array1<double, cfg::kNvar> d;
  for (int i = 1; i <= cfg::kNtot; ++i) {
    w(i) = y(i);
    trial(i) = y(i);
  }
  for (int iter = 1; iter <= iterations; ++iter) {
    for (int i = 1; i <= cfg::kNvar; ++i) trial(i) = w(i);
    const double l0 = dlag(w);
    double largest = 0.0;
    for (int i = 1; i <= cfg::kNvar; ++i) {
      trial(i) = w(i) + kDescentStep;
      d(i) = (l0 - dlag(trial)) / kDescentStep;
      trial(i) = w(i);
      if (std::fabs(d(i)) > largest) largest = std::fabs(d(i));
    }
    if (largest < kFlatSlope) break;
    if (largest > 1.0) {
      for (int i = 1; i <= cfg::kNvar; ++i) d(i) = d(i) / largest;
    }
    double best = -1.0e20;
    double best_step = 0.0;
    double step = kFirstLineStep;
    for (int k = 0; k < kLineSteps; ++k) {
      for (int i = 1; i <= cfg::kNvar; ++i) trial(i) = w(i) + step * d(i);
      const double decrease = l0 - dlag(trial);
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
  const double v_new = viomax(w);
  const double v_old = viomax(CVec(y));
  if (v_new < kDescentViolationFloor || v_new < 2.0 * v_old) {
    for (int i = 1; i <= cfg::kNtot; ++i) y(i) = w(i);
  }
}

}  // namespace morlan
