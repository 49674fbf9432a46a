#include "measures/problem_violation.hpp"

#include <cmath>

#include "base/config.hpp"
#include "measures/lagrangian_terms.hpp"
#include "problem/adaptor.hpp"

namespace morlan {

namespace {

using namespace lagrangian_detail;

// The larger of the two, a NaN winning over anything.
double worse(double largest, double v) {
  if (std::isnan(largest) || std::isnan(v)) return std::nan("");
  return v > largest ? v : largest;
}

}  // namespace

double problem_violation(CVec x) {
  double largest = 0.0;
  const RawValues* cached = cached_values(x);
  for (int i = 1; i <= cfg::kNeq; ++i) {
    const double h = cached != nullptr ? cached->c(i) : raw_equality(i, x);
    largest = worse(largest, std::fabs(h));
  }
  for (int j = 1; j <= cfg::kNineq; ++j) {
    const double g = cached != nullptr ? cached->c(cfg::kNeq + j) : raw_inequality(j, x);
    largest = worse(largest, g);
  }
  for (int i = 1; i <= cfg::kNvar; ++i) {
    largest = worse(largest, xbnd.xl(i) - x(i));
    largest = worse(largest, x(i) - xbnd.xu(i));
  }
  return largest;
}

}  // namespace morlan
