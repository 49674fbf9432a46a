// Raw problem values at one point, kept by a problem that can track them
// incrementally (the linked problem), and the hook through which the
// Lagrangian layer asks for them.
//
// With no source registered (the reference path, the small configuration,
// the test problems) every value comes from the problem routines obj, ceq
// and cineq, one call per value.
#pragma once

#include "problem/config.hpp"
#include "problem/one_based.hpp"

namespace morlan {

// The objective (unscaled) and every constraint value in constraint order:
// c(i) = h_i for the equalities 1..neq, c(neq + j) = g_j for the one-sided
// inequalities. Each is bit for bit what obj, ceq and cineq return at the
// same point.
struct RawValues {
  double objective;
  Array1<double, cfg::kNcon> c;
};

// at(x): the values at the variables x(1..nvar) (x may be longer; the rest
// is ignored), or nullptr when the source cannot supply them; the result
// stays valid until the next call. nullptr in `at` means no source.
struct RawValueSourceRecord {
  const RawValues* (*at)(CVec x);
};
extern RawValueSourceRecord raw_value_source;

}  // namespace morlan
