// Values of the hand-made problem computed directly from its description,
// independently of the set-up and the evaluation.
#pragma once

#include <array>
#include <cmath>

namespace morlan::testing {

struct ToyValues {
  double objective;
  std::array<double, 4> constraint;  // in the equalities-first order
};

inline double toy_pipe(double y1, double y2, double y3, double q) {
  return (y1 * y1 - y2 * y2) - q * y3 * std::pow(std::fabs(y3), 1.8539 - 1.0);
}

inline double toy_compressor(double x1, double x2, double x3, double x4, double p1, double p2) {
  const double d = x1 - p1 * x4;
  const double s = x2 + p2 * x4;
  return x3 * (203.712 * (std::pow(s / d, 0.23077) - 1.0));
}

inline ToyValues toy_values(const std::array<double, 5>& x) {
  const double e1 = toy_pipe(x[0], x[1], x[2], 0.5);
  const double e2 = toy_compressor(x[0], x[1], x[3], x[4], 0.1, 0.2);
  const double e3 = toy_compressor(x[1], x[0], x[3], x[2], 0.3, 0.1);
  ToyValues v;
  v.objective = 1.0 * (-1.0 + 3.0 * x[4] + 2.0 * e1 + 0.5 * e2) +
                0.5 * (1.0 + 2.0 * x[3] - x[0]) + 1.5 * (3.0 * e1);
  v.constraint[0] = x[0] + x[1] + x[2] + x[3] + x[4] - 5.0;  // group 6
  v.constraint[1] = -x[2] + e3;                               // group 3
  v.constraint[2] = e2;                                       // group 5
  v.constraint[3] = 2.0 * (-0.5 + x[0] + x[1] - e1);          // group 2
  return v;
}

}  // namespace morlan::testing
