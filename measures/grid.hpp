// The grid the variables live on, as the run preparation lays it out: which
// variables are grid variables, their spacing and number of grid points,
// and the shift of points before they are evaluated. The measures read
// whether there is a grid and the shift; trial points and starting points
// read the rest. Header only.
#pragma once

#include <cstdint>

#include "base/config.hpp"
#include "base/one_based.hpp"

namespace morlan {

struct Grid {
  // Some variable lives on a grid: equality residuals up to the discrete
  // tolerance count as met.
  bool any = false;
  // Points are shifted by `shift` before they are evaluated (only when
  // `any` is set too).
  bool shifted = false;
  Array1<double, cfg::kNvar> shift;
  Array1<double, cfg::kNvar> spacing;        // of each grid variable; 0 otherwise
  Array1<std::int32_t, cfg::kNvar> on_grid;  // 1 marks a grid variable
  Array1<double, cfg::kNvar> points;         // grid points of each variable (a whole number)

  // The points the measures evaluate are shifted.
  bool shifts() const { return any && shifted; }
};

}  // namespace morlan
