#include "sqp/binding.hpp"

namespace morlan {

// Placeholders until the SQP binding is built.
void initial_orvale() {}
void sqpstart(int& ifeas, Vec, double& fobj, double& vmax, int& iters) {
  ifeas = 0;
  fobj = 0.0;
  vmax = 0.0;
  iters = 0;
}

}  // namespace morlan
