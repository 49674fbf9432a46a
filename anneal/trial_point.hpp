// Trial-point generation: a new value for one variable, inside its bounds,
// on the variable's grid when it is a grid variable.
#pragma once

#include <cstdint>

#include "measures/grid.hpp"

namespace morlan {

// The normal-deviate store: flag 1 means `cached` holds a deviate ready for
// the next call of gasdev.
struct GausssetRecord {
  std::int32_t flag;
  double cached;
};
extern GausssetRecord gaussset;

// Distributions of xpi.
inline constexpr int kUniform = 0;
inline constexpr int kCauchy = 1;
inline constexpr int kGaussian = 2;
inline constexpr int kLogarithmic = 3;

// How far outside a bound a grid candidate may lie: the grid's points are
// reached by adding steps, and their rounding can carry a point a little
// past the bound it should meet. Points the search keeps can lie outside by
// this much.
inline constexpr double kGridBoundSlack = 1.0e-6;

// Proposed value for variable i (1-based) from its current value, step
// length and bounds; on the grid when the grid has i on it (then within
// kGridBoundSlack of the bounds).
double xpi(const Grid& grid, int idist, int i, double x, double vm, double lower, double upper);

// Standard normal deviate (polar method, one deviate cached).
double gasdev();

}  // namespace morlan
