#include "sqp/polish.hpp"

#include "io/console.hpp"
#include "sqp/local_solve.hpp"
#include "sqp/solver_records.hpp"

namespace morlan {

void Polisher::polish_run(CVec x, double scale, const SolveLimits& limits) {
  Array1<double, kO8MaxVariables> point;
  const int n = x.size() < kO8MaxVariables ? x.size() : kO8MaxVariables;
  for (int i = 1; i <= n; ++i) point(i) = x(i);
  const LocalSolution s = local_solve({scale, false}, limits, point.slice(1, n));
  const int ifeas = s.ifeas;
  const double fobj = s.fobj;
  const double vmax = s.vmax;
  const int iters = s.iters;
  io::say("polished: Obj = ", fobj, " maxvio = ", vmax, " iters = ", iters);
  ++runs_;
  last_objective_ = fobj;
  last_violation_ = vmax;
  const CVec solution = point.slice(1, n);
  last_point_.assign(solution.begin(), solution.end());
  if (ifeas == 1) {
    if (feasible_ == 0 || fobj < best_) best_ = fobj;
    ++feasible_;
  }
}

void Polisher::print_summary() const {
  if (feasible_ == 0) {
    io::say("best polished Obj = none feasible");
    return;
  }
  io::say("best polished Obj = ", best_);
}

}  // namespace morlan
