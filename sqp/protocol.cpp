#include "sqp/protocol.hpp"

#include <cmath>

#include "sqp/solver_records.hpp"
#include "sqp/sqpglue.hpp"

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

namespace protocol {

void objective(const Protocol& p, CVec x, double& fx) {
  ++o8cnt(1);
  fx = oobj(o8dim(1), x) / p.scale;
}

void objective_gradient(const Protocol& p, Vec x, Vec g) {
  ++o8cnt(2);
  if (p.numerical_gradients) {
    objective_differences(p, x, g);  // already the gradient of the scaled objective
    return;
  }
  doobj(o8dim(1), x, g);
  for (int k = 1; k <= o8dim(1); ++k) g(k) = g(k) / p.scale;
}

void equality(int i, CVec x, double& hxi) {
  ++o8cnt(kO8CntValue + i);
  hxi = cceq(i, o8dim(1), x);
}

void equality_gradient(const Protocol& p, int i, Vec x, Vec g) {
  ++o8cnt(kO8CntGradient + i);
  if (p.numerical_gradients) {
    equality_differences(i, x, g);
    return;
  }
  dcceq(i, o8dim(1), x, g);
}

void inequality(int i, CVec x, double& gxi) { gxi = -ccineq(i, o8dim(1), x); }

void inequality_gradient(const Protocol& p, int i, Vec x, Vec g) {
  if (p.numerical_gradients) {
    inequality_differences(i, x, g);
    return;
  }
  dccineq(i, o8dim(1), x, g);
  for (int k = 1; k <= o8dim(1); ++k) g(k) = -g(k);
}

void objective_differences(const Protocol& p, Vec x, Vec g) {
  differences(x, g, 2, [&p](CVec point, double& f) { objective(p, point, f); });
}

void equality_differences(int i, Vec x, Vec g) {
  differences(x, g, kO8CntGradient + i, [i](CVec point, double& f) { equality(i, point, f); });
}

void inequality_differences(int i, Vec x, Vec g) {
  differences(x, g, kO8CntGradient + o8dim(2) + i,
              [i](CVec point, double& f) { inequality(i, point, f); });
}

}  // namespace protocol

}  // namespace morlan
