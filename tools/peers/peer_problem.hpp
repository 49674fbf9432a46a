// The problem of a folder as the peers see it: set up from OUTSDIF.d in the
// current directory through the folder's own evaluation (the set-up, cofg
// and ccifg linked with its decoded routines), and every value at a point.
#pragma once

#include <utility>
#include <vector>

#include "base/one_based.hpp"

namespace morlan::peers {

inline constexpr int kCapacity = 1000;

// The problem as the set-up delivers it: bounds, and for each constraint
// whether it is an equality and its bounds.
struct Problem {
  int n = 0, m = 0;
  Array1<double, kCapacity> x0, xl, xu, v, cl, cu;
  Array1<bool, kCapacity> equatn, linear;
  std::vector<int> equalities;              // constraint numbers
  std::vector<std::pair<int, bool>> sides;  // one-sided: constraint, lower side
};
extern Problem problem;

// Reads OUTSDIF.d from the current directory (exit status 2 when it cannot).
void set_up();

// Every value at one point: objective, equalities, one-sided inequalities
// (holding at or below zero), and the largest violation of each kind.
struct Values {
  std::vector<double> x;
  double f = 0.0;
  std::vector<double> h, g;
  double hmax = 0.0;  // largest |h|
  double gmax = 0.0;  // largest excess of a one-sided inequality over zero
  double bmax = 0.0;  // largest distance outside a variable bound
  double violation = 0.0;  // the largest of the three
  // The largest violation beyond the tolerances of the published protocols
  // (1e-4 on |h|, none on inequalities and bounds): 0 when the point is
  // feasible by their definition. A NaN value makes it NaN.
  double excess = 0.0;
  bool feasible() const { return excess <= 0.0; }
};

void evaluate(const double* x, Values& out);

// The equality tolerance of the published protocols.
inline constexpr double kEqualityTolerance = 1.0e-4;

double cpu_seconds();

}  // namespace morlan::peers
