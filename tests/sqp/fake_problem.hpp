// A three-variable problem standing in for the problem evaluation, so that
// the SQP binding can be tested without the data file:
//   f  = (x1 - 2)^2 + (x2 - 1)^2 + x3^2 + x1 x3
//   c1 = x1 + x2 + x3 - 1        equality
//   c2 = x1 x2                   range [-1, 2]
//   c3 = x3^2                    upper bound only (cu settable, 4 by default)
//   c4 = x1 - x2                 lower bound only (0)
// Bounds: x1 in (-inf, 5], x2 in [-2, +inf), x3 in [-1.0e19, 3] (the lower
// bound exactly at the infinity threshold, so it stays and counts infinite).
#pragma once

namespace morlan::fake {

struct Calls {
  int input_unit = 0;
  int message_unit = 0;
};
extern Calls calls;
extern double c3_upper;  // cu of c3

}  // namespace morlan::fake
