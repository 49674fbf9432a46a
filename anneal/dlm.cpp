#include "anneal/dlm.hpp"

#include "anneal/loop_steps.hpp"
#include "anneal/prepare.hpp"
#include "anneal/trial_point.hpp"
#include "base/config.hpp"
#include "measures/measure.hpp"

namespace morlan {

namespace {

// A point is feasible when its largest unrelaxed violation is below this.
constexpr double kFeasTol = 1.0e-5;
// Sweeps over the variables per outer iteration.
constexpr int kSweeps = 50;
// The descent ends after this many outer iterations at the latest...
constexpr int kMaxIterations = 1000;
// ... or once the stall count left by the previous iteration exceeds this,
// that is after eleven iterations in a row without an accepted move.
constexpr int kMaxStall = 9;

// One descent from the point y: coordinate moves that must lower the
// Lagrangian, the best feasible point met, and the step of each variable.
class Descent {
 public:
  Descent(Measure& measure, Vec y) : measure_(measure), y_(y) {}

  // Outer iterations until the limit or a long stall; returns their number.
  int run() {
    start();
    int iter = 0;
    int stall = 0;
    for (;;) {
      const bool moved = sweeps();
      iter = iter + 1;
      adapt_steps();
      if (iter > kMaxIterations - 1 || stall > kMaxStall) return iter;
      if (moved) {
        stall = 0;
      } else {
        stall = stall + 1;
        raise_multipliers();
      }
      // A new best point: the next iteration starts from its variables.
      if (nimprove_ > 0) {
        for (int i = 1; i <= cfg::kNvar; ++i) y_(i) = best_(i);
      }
    }
  }

  // The best point when it is feasible, otherwise the current point, with
  // its objective and largest unrelaxed violation.
  void result(int& ifeas, double& fobj, double& vmax) {
    vmax = measure_.largest_unrelaxed_violation(best_);
    if (vmax < kFeasTol) {
      ifeas = 1;
      fobj = measure_.objective(best_);
      for (int i = 1; i <= cfg::kNtot; ++i) y_(i) = best_(i);
    } else {
      ifeas = 0;
      fobj = measure_.objective(y_);
      vmax = measure_.largest_unrelaxed_violation(y_);
    }
  }

 private:
  bool feasible(CVec y) { return measure_.largest_unrelaxed_violation(y) < kFeasTol; }

  // Multipliers at zero, the start as the first best point when feasible,
  // and every step a hundredth of its variable's range.
  void start() {
    for (int i = cfg::kNvar + 1; i <= cfg::kNtot; ++i) y_(i) = 0.0;
    fbest_ = loop_steps::first_best(measure_, y_, feasible(y_), cfg::kNtot, best_);
    lag_ = measure_.lagrangian(y_);
    xbound(cfg::kNvar, xl_, xu_);
    for (int i = 1; i <= cfg::kNvar; ++i) {
      step_(i) = 0.01 * (xu_(i) - xl_(i));
      accepted_(i) = 0;
    }
  }

  // kSweeps sweeps over the variables, two trials each; true when a move
  // was accepted.
  bool sweeps() {
    nimprove_ = 0;
    for (int i = 1; i <= cfg::kNtot; ++i) trial_(i) = y_(i);
    bool moved = false;
    for (int sweep = 1; sweep <= kSweeps; ++sweep) {
      for (int i = 1; i <= cfg::kNvar; ++i) {
        // First trial uniform, second Cauchy: the trial number is the
        // distribution selector.
        for (int idist = kUniform; idist <= kCauchy; ++idist) {
          if (try_move(i, idist)) moved = true;
        }
      }
    }
    return moved;
  }

  // One trial of variable i, taken only when it lowers the Lagrangian.
  bool try_move(int i, int idist) {
    trial_(i) = xpi(measure_.grid(), idist, i, y_(i), step_(i), xl_(i), xu_(i));
    const double l = measure_.lagrangian(trial_);
    if (!(l < lag_)) {
      trial_(i) = y_(i);
      return false;
    }
    lag_ = l;
    y_(i) = trial_(i);
    if (idist == kUniform) accepted_(i) = accepted_(i) + 1;
    if (feasible(y_)) {
      const double o = measure_.objective(y_);
      if (o < fbest_) {
        for (int k = 1; k <= cfg::kNtot; ++k) best_(k) = y_(k);
        fbest_ = o;
        nimprove_ = nimprove_ + 1;
      }
    }
    return true;
  }

  // Steps grow by half above a fifth of accepted first trials and shrink
  // below a tenth, never wider than the range.
  void adapt_steps() {
    for (int i = 1; i <= cfg::kNvar; ++i) {
      const double r = static_cast<double>(accepted_(i)) / static_cast<double>(kSweeps);
      if (r > 0.2) {
        step_(i) = step_(i) * 1.5;
      } else if (r < 0.1) {
        step_(i) = step_(i) / 1.5;
      }
      if (step_(i) > xu_(i) - xl_(i)) step_(i) = xu_(i) - xl_(i);
      accepted_(i) = 0;
    }
  }

  // Stalled: each multiplier rises by its constraint's unrelaxed violation.
  void raise_multipliers() {
    for (int i = 1; i <= cfg::kNcon; ++i) {
      y_(cfg::kNvar + i) = y_(cfg::kNvar + i) + measure_.unrelaxed_violation(i, y_);
    }
  }

  Measure& measure_;
  Vec y_;
  double lag_ = 0.0;    // Lagrangian of y
  double fbest_ = 0.0;  // objective of the best point
  int nimprove_ = 0;    // improvements of the best point in this iteration
  Array1<double, cfg::kNtot> best_;
  Array1<double, cfg::kNtot> trial_;
  Array1<double, cfg::kNvar> xl_;
  Array1<double, cfg::kNvar> xu_;
  Array1<double, cfg::kNvar> step_;
  Array1<int, cfg::kNvar> accepted_;  // accepted first trials per variable
};

}  // namespace

void by_dlm(Measure& measure, int& ifeas, Vec y, double& fobj, double& vmax, int& iters) {
  Descent descent(measure, y);
  iters = descent.run();
  descent.result(ifeas, fobj, vmax);
}

}  // namespace morlan
