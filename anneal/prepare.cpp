#include "anneal/prepare.hpp"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "anneal/random.hpp"
#include "io/console.hpp"
#include "problem/adaptor.hpp"

namespace morlan {

namespace {

constexpr int kTemperatureSamples = 100;
// The second sample point lies at least this far above the first in every
// variable, and is pulled this far inside a bound it crosses.
constexpr double kMinSampleOffset = 0.01;
constexpr double kSampleOffsetScale = 0.001;
constexpr double kInsideBound = 1.0e-6;
constexpr double kMultiplierAtSample = 1.0;
constexpr double kLowestT0 = 1.0;
constexpr double kHighestT0 = 1000.0;
constexpr double kStopRatio = 1000.0;
constexpr double kHighestTf = 0.001;
// Guards the truncation of range x points per unit against a product that
// falls just below a whole number.
constexpr double kCountGuard = 1.0e-6;

// Variables handled: prbcsa.n, never more than the arrays hold.
int variable_count(int capacity) { return std::clamp(prbcsa.n, 0, capacity); }

}  // namespace

void xdiscrete(int /*n*/, IVec isdx_out) {
  const int n = variable_count(isdx_out.size());
  for (int i = 1; i <= n; ++i) isdx_out(i) = 1;
}

void xbound(int /*n*/, Vec xl, Vec xu) {
  const int n = variable_count(std::min({xl.size(), xu.size(), cfg::kBoundCapacity}));
  for (int i = 1; i <= n; ++i) {
    xl(i) = xbnd.xl(i);
    xu(i) = xbnd.xu(i);
  }
}

void lay_out_grid(CIVec on_grid, Vec points, Vec spacing, Vec shift) {
  Array1<double, cfg::kNvar> xl, xu;
  xbound(cfg::kNvar, xl, xu);
  io::say("number of discretized points per unit =", kGridPointsPerUnit);
  for (int i = 1; i <= cfg::kNvar; ++i) {
    const double w = xu(i) - xl(i);
    if (w >= 1.0) {
      points(i) = std::trunc(w * kGridPointsPerUnit + kCountGuard);
    } else {
      points(i) = kGridPointsPerUnit;
    }
    spacing(i) = on_grid(i) == 1 ? w / (points(i) - 1.0) : 0.0;
  }
  for (int i = 1; i <= cfg::kNvar; ++i) shift(i) = 0.0;
}

Grid prepare_grid() {
  Grid grid;
  xdiscrete(cfg::kNvar, grid.on_grid);
  for (int i = 1; i <= cfg::kNvar; ++i) {
    if (grid.on_grid(i) == 1) grid.any = true;
  }
  lay_out_grid(grid.on_grid, grid.points, grid.spacing, grid.shift);
  grid.shifted = false;
  return grid;
}

Temperatures initial_temperature(Measure& measure) {
  // The population operators draw from the C library generator.
  std::srand(123);
  (void)std::rand();
  rmarin(3, 4);

  double dmax = 0.0;
  Array1<double, cfg::kNvar> xl, xu;
  xbound(cfg::kNvar, xl, xu);
  Array1<double, cfg::kNtot> x1, x2;
  for (int sample = 1; sample <= kTemperatureSamples; ++sample) {
    for (int i = 1; i <= cfg::kNvar; ++i) {
      const double r1 = ranmar();
      x1(i) = xl(i) + r1 * (xu(i) - xl(i));
      const double r2 = ranmar();
      double d = (2.0 * r2 - 1.0) * (xu(i) - xl(i)) * kSampleOffsetScale;
      if (d < kMinSampleOffset) d = kMinSampleOffset;
      x2(i) = x1(i) + d;
      if (x2(i) < xl(i)) {
        x2(i) = xl(i) + kInsideBound;
      } else if (x2(i) > xu(i)) {
        x2(i) = xu(i) - kInsideBound;
      }
    }
    for (int i = cfg::kNvar + 1; i <= cfg::kNtot; ++i) {
      x1(i) = kMultiplierAtSample;
      x2(i) = kMultiplierAtSample;
    }
    // A NaN difference (form 1 without a penalty weight) never raises the
    // estimate.
    const double l2 = measure.lagrangian(x2);
    const double l1 = measure.lagrangian(x1);
    if (std::fabs(l2 - l1) > dmax) dmax = std::fabs(l2 - l1);
    for (int k = 1; k <= cfg::kNcon; ++k) {
      const double v = measure.unrelaxed_violation(k, x1);
      if (v > dmax) dmax = v;
    }
  }
  Temperatures t;
  t.t0 = dmax;
  if (t.t0 < kLowestT0) t.t0 = kLowestT0;
  if (t.t0 > kHighestT0) t.t0 = kHighestT0;
  t.tf = dmax / kStopRatio;
  if (t.tf > kHighestTf) t.tf = kHighestTf;
  io::say("Initial temperature t0 = ", t.t0, "  Stop tf = ", t.tf);
  return t;
}

}  // namespace morlan
