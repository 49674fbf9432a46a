#include "sqp/local_solve.hpp"

#include "sqp/orvale.hpp"
#include "sqp/solver_records.hpp"
#include "sqp/sqpglue.hpp"

namespace morlan {

LocalSolution local_solve(const Protocol& protocol, const SolveLimits& limits, Vec x) {
  const int n = o8dim(1);
  for (int i = 1; i <= n; ++i) o8xdat(i) = x(i);
  solve(protocol, limits);
  LocalSolution s;
  s.iters = o8itin(2);
  const CVec solution = o8xdat.slice(1, n);
  s.vmax = vviomax(n, solution);
  s.fobj = oobj(n, solution);
  s.ifeas = s.vmax < kSqpFeasible ? 1 : 0;
  for (int i = 1; i <= n; ++i) x(i) = o8xdat(i);
  return s;
}

}  // namespace morlan
