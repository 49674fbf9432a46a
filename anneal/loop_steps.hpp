// Small steps that several annealing loops perform identically: the
// adaptive step length of a variable under the Cauchy trial distribution,
// the multiplier step-factor rule, and the message for a temperature that is
// not positive.
//
// Everything here is inline so that each loop's object module carries its
// own copy; the floating-point operations are written in the order the loops
// rely on for bit-identical runs.
#pragma once

#include "io/console.hpp"

namespace morlan::loop_steps {

// Acceptance-ratio thresholds of the Cauchy distribution and of the uniform
// one (the latter kept for a loop built with the uniform distribution).
inline constexpr double kCauchyRatup = 0.3;
inline constexpr double kCauchyRatlow = 0.2;
inline constexpr double kUniformRatup = 0.6;
inline constexpr double kUniformRatlow = 0.4;

// New step length of one variable after a cycle block with `naccv` accepted
// trials out of `ncyc`: grow when the acceptance ratio is above ratup,
// shrink when below ratlow, then never wider than the variable's range.
inline double cauchy_step(double vm, int naccv, int ncyc, double cfac, double ratup,
                          double ratlow, double width) {
  const double ratio = static_cast<double>(naccv) / static_cast<double>(ncyc);
  if (ratio > ratup) {
    vm = vm * (1.0 + 3.5 * cfac * (ratio - ratup) / (1.0 - ratup));
  } else if (ratio < ratlow) {
    vm = vm / (1.0 + cfac * (ratlow - ratio) / ratlow);
  }
  if (vm > width) vm = width;
  return vm;
}

// Multiplier step-factor rule for one constraint with violation c at
// temperature t: the factor shrinks (floor 0.001) after every third
// consecutive block with c below 0.01 t, and grows (no ceiling) after every
// third consecutive block with c above t.
inline void adapt_lamfac(double c, double t, int& nsmall, int& nlarge, double& lamfac) {
  if (c < 0.01 * t) {
    nsmall = nsmall + 1;
    nlarge = 0;
    if (nsmall > 2) {
      nsmall = 0;
      lamfac = 0.8 * lamfac;
      if (lamfac < 0.001) lamfac = 0.001;
    }
  } else if (c > t) {
    nlarge = nlarge + 1;
    nsmall = 0;
    if (nlarge > 2) {
      nlarge = 0;
      lamfac = 1.25 * lamfac;
    }
  } else {
    nsmall = 0;
    nlarge = 0;
  }
}

// The four lines written when a loop is entered with a temperature that is
// not positive.
inline void write_temperature_not_positive() {
  io::line("");
  io::line("  THE INITIAL TEMPERATURE IS NOT POSITIVE. ");
  io::line("  RESET THE VARIABLE T. ");
  io::line("");
}

}  // namespace morlan::loop_steps
