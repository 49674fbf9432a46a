// The solver protocol: the (scaled) objective, the equality constraints and
// the inequality constraints in the solver's form (holding at or above
// zero), with their gradients, analytic or by numerical differences, as the
// settings of one solve say. The solver core calls these; the delivered
// modules' protocol routines (nlcalls.hpp, slopefd.hpp) are the same on the
// records of their interface. Each call counts in o8cnt as the solver's
// records say. x may be changed during a numerical gradient; it is restored
// before the routine returns.
#pragma once

#include "base/one_based.hpp"

namespace morlan {

// What one solve sets: the objective scale (the protocol's objective is
// objective / scale) and how gradients are made.
struct Protocol {
  double scale = 1.0;
  bool numerical_gradients = false;
};

namespace protocol {

void objective(const Protocol& p, CVec x, double& fx);
void objective_gradient(const Protocol& p, Vec x, Vec g);
void equality(int i, CVec x, double& hxi);
void equality_gradient(const Protocol& p, int i, Vec x, Vec g);
void inequality(int i, CVec x, double& gxi);
void inequality_gradient(const Protocol& p, int i, Vec x, Vec g);

// The numerical gradients: a sixth-order extrapolation of central
// differences of the routines above; x(k) is moved and restored for each
// variable in turn.
void objective_differences(const Protocol& p, Vec x, Vec g);
void equality_differences(int i, Vec x, Vec g);
void inequality_differences(int i, Vec x, Vec g);

}  // namespace protocol

// Base step delta = 0.25 * eps^(1/7) for the relative precision eps.
double difference_base_step(double eps);

}  // namespace morlan
