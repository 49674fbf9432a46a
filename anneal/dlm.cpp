#include "anneal/dlm.hpp"

#include "anneal/chainrun.hpp"
#include "anneal/prepare.hpp"
#include "anneal/trial_point.hpp"
#include "base/config.hpp"
#include "measures/shift.hpp"

namespace morlan {

namespace {

constexpr int kNvar = cfg::kNvar;
constexpr int kNcon = cfg::kNcon;
constexpr int kNtot = cfg::kNtot;

// A point is feasible when its largest unrelaxed violation is below this.
constexpr double kFeasTol = 1.0e-5;
// Sweeps over the variables per outer iteration.
constexpr int kSweeps = 50;
// The descent ends after this many outer iterations at the latest...
constexpr int kMaxIterations = 1000;
// ... or once the stall count left by the previous iteration exceeds this,
// that is after eleven iterations in a row without an accepted move.
constexpr int kMaxStall = 9;

}  // namespace

void by_dlm(int& ifeas, Vec y, double& fobj, double& vmax, int& iters) {
  Array1<double, kNtot> best;
  Array1<double, kNtot> trial;
  Array1<double, kNvar> xl;
  Array1<double, kNvar> xu;
  Array1<double, kNvar> step;
  Array1<int, kNvar> accepted;

  for (int i = kNvar + 1; i <= kNtot; ++i) y(i) = 0.0;

  double fbest;
  if (sh_oviomax(y) < kFeasTol) {
    fbest = sh_obj(kNvar, y);
    for (int i = 1; i <= kNtot; ++i) best(i) = y(i);
  } else {
    fbest = 1.0e20;
    for (int i = 1; i <= kNtot; ++i) best(i) = 0.0;
  }

  double lag;
  fcn(kNvar, y, lag);

  xbound(kNvar, xl, xu);
  for (int i = 1; i <= kNvar; ++i) {
    step(i) = 0.01 * (xu(i) - xl(i));
    accepted(i) = 0;
  }

  int iter = 0;
  int stall = 0;
  for (;;) {
    int nimprove = 0;
    for (int i = 1; i <= kNtot; ++i) trial(i) = y(i);
    bool moved = false;

    for (int sweep = 1; sweep <= kSweeps; ++sweep) {
      for (int i = 1; i <= kNvar; ++i) {
        // First trial uniform, second Cauchy: the trial number is the
        // distribution selector.
        for (int idist = kUniform; idist <= kCauchy; ++idist) {
          trial(i) = xpi(idist, i, y(i), step(i), xl(i), xu(i));
          double l;
          fcn(kNvar, trial, l);
          if (l < lag) {
            lag = l;
            y(i) = trial(i);
            if (idist == kUniform) accepted(i) = accepted(i) + 1;
            moved = true;
            if (sh_oviomax(y) < kFeasTol) {
              const double o = sh_obj(kNvar, y);
              if (o < fbest) {
                for (int k = 1; k <= kNtot; ++k) best(k) = y(k);
                fbest = o;
                nimprove = nimprove + 1;
              }
            }
          } else {
            trial(i) = y(i);
          }
        }
      }
    }

    iter = iter + 1;

    for (int i = 1; i <= kNvar; ++i) {
      const double r = static_cast<double>(accepted(i)) / static_cast<double>(kSweeps);
      if (r > 0.2) {
        step(i) = step(i) * 1.5;
      } else if (r < 0.1) {
        step(i) = step(i) / 1.5;
      }
      if (step(i) > xu(i) - xl(i)) step(i) = xu(i) - xl(i);
      accepted(i) = 0;
    }

    if (iter > kMaxIterations - 1 || stall > kMaxStall) break;

    if (moved) {
      stall = 0;
    } else {
      // Stalled: raise each multiplier by its constraint's violation.
      stall = stall + 1;
      for (int i = 1; i <= kNcon; ++i) y(kNvar + i) = y(kNvar + i) + sh_ocst(i, kNvar, y);
    }

    if (nimprove > 0) {
      for (int i = 1; i <= kNvar; ++i) y(i) = best(i);
    }
  }

  iters = iter;
  vmax = sh_oviomax(best);
  if (vmax < kFeasTol) {
    ifeas = 1;
    fobj = sh_obj(kNvar, best);
    for (int i = 1; i <= kNtot; ++i) y(i) = best(i);
  } else {
    ifeas = 0;
    fobj = sh_obj(kNvar, y);
    vmax = sh_oviomax(y);
  }
}

}  // namespace morlan
