#include "sqp/slopefd.hpp"

#include <cmath>

#include "sqp/nlcalls.hpp"
#include "sqp/solver_records.hpp"

namespace morlan {

double difference_base_step(double eps) { return 0.25 * std::exp(std::log(eps) / 7.0); }

namespace {

// phi is evaluated at x(k) = v - d, v + d, v - 2d, v + 2d, v - 4d, v + 4d in
// that order; the three central quotients are combined by Richardson
// extrapolation.
template <class Phi>
void differences(Vec x, Vec g, int counter, Phi phi) {
  const double delta = difference_base_step(o8mpar(1));
  o8mpar(3) = delta;
  ++o8cnt(counter);
  for (int k = 1; k <= o8dim(1); ++k) {
    const double v = x(k);
    const double d = (std::fabs(v) + 1.0) * delta;
    double fm1 = 0.0, fp1 = 0.0, fm2 = 0.0, fp2 = 0.0, fm4 = 0.0, fp4 = 0.0;
    x(k) = v - d;
    phi(x, fm1);
    x(k) = v + d;
    phi(x, fp1);
    x(k) = v - 2.0 * d;
    phi(x, fm2);
    x(k) = v + 2.0 * d;
    phi(x, fp2);
    x(k) = v - 4.0 * d;
    phi(x, fm4);
    x(k) = v + 4.0 * d;
    phi(x, fp4);
    x(k) = v;
    const double s1 = (fp1 - fm1) / (2.0 * d);
    double s2 = (fp2 - fm2) / (4.0 * d);
    double s3 = (fp4 - fm4) / (8.0 * d);
    s3 = s2 - s3;
    s2 = s1 - s2;
    s3 = s2 - s3;
    g(k) = s1 + 0.4 * s2 + s3 / 45.0;
  }
}

}  // namespace

void egradf1(Vec x, Vec g) {
  differences(x, g, 2, [](CVec p, double& f) { ef(p, f); });
}

void egradh1(int i, Vec x, Vec g) {
  differences(x, g, kO8CntGradient + i, [i](CVec p, double& f) { eh(i, p, f); });
}

void egradg1(int i, Vec x, Vec g) {
  differences(x, g, kO8CntGradient + o8dim(2) + i, [i](CVec p, double& f) { eg(i, p, f); });
}

}  // namespace morlan
