// Small vector helpers of the evaluation (header only).
#pragma once

#include "base/one_based.hpp"

namespace morlan {

// w(list(k)) = value for k = 1..n.
inline void dsetvi(int n, Vec w, CIVec list, double value) {
  for (int k = 1; k <= n; ++k) w(list(k)) = value;
}

// n entries of v, stride apart, set to value; a negative stride walks from
// the far end (the same entries).
inline void dsetvl(int n, Vec v, int stride, double value) {
  if (n <= 0) return;
  const int step = stride < 0 ? -stride : stride;
  for (int k = 1, i = 1; k <= n; ++k, i += step) v(i) = value;
}

}  // namespace morlan
