#include "anneal/prepare.hpp"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "anneal/random.hpp"
#include "io/console.hpp"
#include "problem/adaptor.hpp"
#include "measures/lagrangian.hpp"
#include "measures/records.hpp"

namespace morlan {

IsdxRecord isdx;
NdsampleRecord ndsample;

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

void dxinfo(int /*n*/, Vec gspace, Vec shift) {
  Array1<double, cfg::kNvar> xl, xu;
  xbound(cfg::kNvar, xl, xu);
  io::say("number of discretized points per unit =", kGridPointsPerUnit);
  for (int i = 1; i <= cfg::kNvar; ++i) {
    const double w = xu(i) - xl(i);
    if (w >= 1.0) {
      ndsample(i) = std::trunc(w * kGridPointsPerUnit + kCountGuard);
    } else {
      ndsample(i) = kGridPointsPerUnit;
    }
    gspace(i) = isdx(i) == 1 ? w / (ndsample(i) - 1.0) : 0.0;
  }
  hasdiscrete.needshift = false;
  for (int i = 1; i <= cfg::kNvar; ++i) shift(i) = 0.0;
}

void init_t(double& t0, double& tf) {
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
    // A NaN difference (form 1 before any run has set the penalty) never
    // raises the estimate.
    const double l2 = dlag(x2);
    const double l1 = dlag(x1);
    if (std::fabs(l2 - l1) > dmax) dmax = std::fabs(l2 - l1);
    for (int k = 1; k <= cfg::kNcon; ++k) {
      const double v = ocst(k, cfg::kNvar, x1);
      if (v > dmax) dmax = v;
    }
  }
  t0 = dmax;
  if (t0 < kLowestT0) t0 = kLowestT0;
  if (t0 > kHighestT0) t0 = kHighestT0;
  tf = dmax / kStopRatio;
  if (tf > kHighestTf) tf = kHighestTf;
  io::say("Initial temperature t0 = ", t0, "  Stop tf = ", tf);
}

}  // namespace morlan
