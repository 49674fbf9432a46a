#include "sqp/sqpstart.hpp"

#include "sqp/orvale.hpp"
#include "sqp/solver_records.hpp"
#include "sqp/sqpglue.hpp"

namespace morlan {

IsslopefdRecord isslopefd;
NoiterRecord noiter;
PolishLimitsRecord polish_limits;

void sqpstart(int& ifeas, Vec x, double& fobj, double& vmax, int& iters) {
  noiter.value = polish_limits.iterations;
  isslopefd.value = 0;
  const int n = o8dim(1);
  for (int i = 1; i <= n; ++i) o8xdat(i) = x(i);
  orvale();
  iters = o8itin(2);
  const CVec solution = o8xdat.slice(1, n);
  vmax = vviomax(n, solution);
  fobj = oobj(n, solution);
  ifeas = vmax < kSqpFeasible ? 1 : 0;
  for (int i = 1; i <= n; ++i) x(i) = o8xdat(i);
}

void setup0() {}

}  // namespace morlan
