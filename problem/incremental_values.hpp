// The fast evaluation path of the linked problem.
#pragma once

#include "problem/raw_values.hpp"

namespace morlan {

// The source of raw values of the Lagrangian layer. With `on`: a cache that
// the problem keeps up to date incrementally (bit for bit the values of obj,
// ceq and cineq), emptied here; without: none, so that every value comes
// from those routines (the reference path).
RawValueSource incremental_values(bool on);

}  // namespace morlan
