#include "anneal/trial_point.hpp"

#include <algorithm>
#include <cmath>

#include "anneal/random.hpp"
#include "base/config.hpp"

namespace morlan {

GausssetRecord gaussset;

namespace {

// Rounds toward zero: floor for s >= 0, minus the floor of -s otherwise.
// That is std::trunc to the bit (-0.0 for -1 < s <= -0.0, NaN and
// infinities unchanged), which the compiler inlines without a branch on
// the sign, a coin toss for a Cauchy deviate.
double trunc_toward_zero(double s) { return std::trunc(s); }

// A fresh deviate of the main stream, widened to double.
double draw() { return static_cast<double>(ranmar()); }

// A grid candidate may lie a little outside a bound (rounding of the grid).
bool within_grid_bounds(double y, double lo, double hi) {
  return lo - kGridBoundSlack <= y && y <= hi + kGridBoundSlack;
}

// Cauchy proposal: the ratio of two coordinates of a uniform point of the
// unit disc, scaled by the step length; the pair is drawn again until the
// candidate lies inside the bounds.
double cauchy(const Grid& grid_of, int i, double x, double vm, double lo, double hi) {
  // A variable whose range is negligible against its magnitude is fixed.
  // Equal bounds are fixed too: at lo = hi = 0 the relative width is 0/0,
  // and redrawing for a candidate inside [0, 0] would never end.
  if (hi == lo || std::fabs(hi - lo) / (std::fabs(hi) + std::fabs(lo)) < 1.0e-8) {
    return (hi + lo) * 0.5;
  }

  const bool grid = grid_of.on_grid(i) != 0;
  const double d = grid ? grid_of.spacing(i) : 0.0;
  for (;;) {
    double u1;
    double u2;
    do {
      u1 = 2.0 * draw() - 1.0;
      u2 = 2.0 * draw() - 1.0;
    } while (!(u1 * u1 + u2 * u2 < 1.0));
    const double c = u2 / u1;

    if (!grid) {
      const double y = x + c * vm;
      if (lo <= y && y <= hi) return y;
      // With a zero step every candidate is x itself; redrawing could never
      // bring an out-of-bounds value back inside.
      if (vm == 0.0) return std::clamp(x, lo, hi);
    } else {
      double k = trunc_toward_zero(c * vm / d);
      if (std::fabs(k) < 1.0e-8) k = u1 > 0.0 ? 1.0 : -1.0;
      const double y = x + k * d;
      if (within_grid_bounds(y, lo, hi)) return y;
      // Dead ends that redrawing cannot leave: a zero spacing (a variable
      // of zero range) never moves the value (or makes it undefined), and a
      // zero step only ever proposes the two neighbouring grid points.
      if (d == 0.0) return std::clamp(x, lo, hi);
      if (vm == 0.0 && !within_grid_bounds(x + d, lo, hi) && !within_grid_bounds(x - d, lo, hi)) {
        return std::clamp(x, lo, hi);
      }
    }
  }
}

}  // namespace

double gasdev() {
  if (gaussset.flag == 1) {
    gaussset.flag = 0;
    return gaussset.cached;
  }
  double w1;
  double w2;
  double s;
  do {
    w1 = 2.0 * draw() - 1.0;
    w2 = 2.0 * draw() - 1.0;
    s = w1 * w1 + w2 * w2;
  } while (s >= 1.0 || s == 0.0);
  const double f = std::sqrt(-2.0 * std::log(s) / s);
  gaussset.cached = w1 * f;
  gaussset.flag = 1;
  return w2 * f;
}

double xpi(const Grid& grid, int idist, int i, double x, double vm, double lower, double upper) {
  const double lo = lower;
  const double hi = upper;
  if (idist != kUniform && idist != kGaussian && idist != kLogarithmic) {
    return cauchy(grid, i, x, vm, lo, hi);
  }

  // The deviate is held in single precision (a deviate 2r - 1 of the
  // single-precision stream is exact there; a normal deviate is rounded).
  float u;
  if (idist == kGaussian) {
    u = static_cast<float>(gasdev());
  } else {
    u = static_cast<float>(2.0 * draw() - 1.0);
  }
  const double ud = static_cast<double>(u);
  const double step = ud * vm;

  if (grid.on_grid(i) == 0) {
    double y = idist == kLogarithmic ? x * std::pow(10.0, step) : x + step;
    if (y < lo || y > hi) y = lo + (hi - lo) * draw();
    return y;
  }

  const double d = grid.spacing(i);
  double y;
  if (idist == kLogarithmic) {
    const double y0 = x * std::pow(10.0, step);
    y = lo + d * trunc_toward_zero((y0 - lo) / d);
  } else {
    double k = trunc_toward_zero(step / d);
    // A step that rounds to no grid move still moves one grid point.
    if (std::fabs(k) < 1.0e-8) k = ud > 0.0 ? 1.0 : -1.0;
    y = x + k * d;
  }
  if (y < lo - kGridBoundSlack || y > hi + kGridBoundSlack) {
    y = lo + d * trunc_toward_zero(draw() * grid.points(i));
  }
  return y;
}

}  // namespace morlan
