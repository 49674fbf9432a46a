// Raw problem values at one point, kept by a problem that can track them
// incrementally (the linked problem), and the source through which the
// Lagrangian layer asks for them. Header only.
//
// With no source (the reference path, the small configuration, the test
// problems) every value comes from the problem routines obj, ceq and cineq,
// one call per value.
#pragma once

#include <cstdint>

#include "base/config.hpp"
#include "base/one_based.hpp"

namespace morlan {

// The objective (unscaled) and every constraint value in constraint order:
// c(i) = h_i for the equalities 1..neq, c(neq + j) = g_j for the one-sided
// inequalities. Each is bit for bit what obj, ceq and cineq return at the
// same point.
//
// Bookkeeping for readers that keep results derived from the values:
// `version` moves whenever the values may have changed; when it moved by
// exactly one and `all_changed` is false, only the constraints listed in
// changed(1..nchanged) (and perhaps the objective) can differ from the
// values of the previous version.
struct RawValues {
  double objective;
  Array1<double, cfg::kNcon> c;
  std::uint64_t version;
  bool all_changed;
  int nchanged;
  Array1<int, cfg::kNcon> changed;
};

// A source of raw values: source(x) gives the values at the variables
// x(1..nvar) (x may be longer; the rest is ignored), or nullptr when it
// cannot supply them; the result stays valid until the next call. A null
// source means none: every value comes from the problem routines.
using RawValueSource = const RawValues* (*)(CVec x);

}  // namespace morlan
