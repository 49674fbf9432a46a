// The single decisions of the annealing loops: the thresholds and the
// adaptive rule of a variable's step length, the multiplier step-factor
// rule, the Metropolis decisions of a loop that maximises its value, and the
// message for a temperature that is not positive. The steps of a run that
// use them are in loop_steps.hpp.
//
// Everything here is inline so that each loop's object module carries its
// own copy; the floating-point operations are written in the order the loops
// rely on for bit-identical runs.
#pragma once

#include "anneal/random.hpp"
#include "anneal/trial_point.hpp"
#include "io/console.hpp"

namespace morlan::loop_steps {

// Acceptance-ratio thresholds of the step-length adjustment: a step grows
// above ratup and shrinks below ratlow.
struct Thresholds {
  double ratup;
  double ratlow;
};

// The thresholds of a trial distribution; false for a distribution the loops
// do not know.
inline bool thresholds_for(int idist, Thresholds& th) {
  switch (idist) {
    case kUniform:
    case kGaussian:
      th = {0.6, 0.4};
      return true;
    case kCauchy:
      th = {0.3, 0.2};
      return true;
    case kLogarithmic:
      th = {0.2, 0.05};
      return true;
    default:
      return false;
  }
}

// New step length of one variable after a cycle block with `naccv` accepted
// trials out of `ncyc`: grow when the acceptance ratio is above ratup,
// shrink when below ratlow (by the rule of the distribution), then never
// wider than the variable's range.
inline double adjusted_step(int idist, double vm, int naccv, int ncyc, double cfac, Thresholds th,
                            double width) {
  const double ratio = static_cast<double>(naccv) / static_cast<double>(ncyc);
  if (ratio > th.ratup) {
    if (idist == kCauchy) {
      vm = vm * (1.0 + 3.5 * cfac * (ratio - th.ratup) / (1.0 - th.ratup));
    } else if (idist == kLogarithmic) {
      vm = 2.0 * vm;
    } else {
      vm = vm * (1.0 + cfac * (ratio - th.ratup) / (1.0 - th.ratup));
    }
  } else if (ratio < th.ratlow) {
    if (idist == kLogarithmic) {
      vm = 0.5 * vm;
    } else {
      vm = vm / (1.0 + cfac * (th.ratlow - ratio) / th.ratlow);
    }
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

// What a loop makes of one variable trial.
enum class Verdict {
  kRejected,   // undone
  kImproving,  // taken without a draw: the value did not get worse
  kWorse,      // taken by the Metropolis draw although worse
  kDrawn,      // taken by the draw of a rule that draws for every move
};

// Metropolis decision on a variable trial of a loop that maximises its value
// f: a trial that does not lower it is taken; otherwise (also for a value
// that is not a number) one draw against exp((ftrial - f) / t).
inline Verdict metropolis_variable(double ftrial, double f, double t) {
  if (ftrial >= f) return Verdict::kImproving;
  const double p = exprep((ftrial - f) / t);
  const double r = static_cast<double>(ranmar());
  return r < p ? Verdict::kWorse : Verdict::kRejected;
}

// The same for a multiplier trial, which moves the other way: a trial that
// does not raise f is taken; otherwise one draw against exp((f - ftrial) / t).
inline bool metropolis_multiplier(double ftrial, double f, double t) {
  if (ftrial <= f) return true;
  const double p = exprep((f - ftrial) / t);
  const double r = static_cast<double>(ranmar());
  return r < p;
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
