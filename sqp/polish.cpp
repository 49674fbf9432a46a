#include "sqp/polish.hpp"

#include "io/console.hpp"
#include "sqp/solver_records.hpp"
#include "sqp/sqpstart.hpp"

namespace morlan {

void Polisher::polish_run(CVec x) {
  Array1<double, kO8MaxVariables> point;
  const int n = x.size() < kO8MaxVariables ? x.size() : kO8MaxVariables;
  for (int i = 1; i <= n; ++i) point(i) = x(i);
  int ifeas = 0;
  int iters = 0;
  double fobj = 0.0;
  double vmax = 0.0;
  sqpstart(ifeas, point.slice(1, n), fobj, vmax, iters);
  io::say("polished: Obj = ", fobj, " maxvio = ", vmax, " iters = ", iters);
  ++runs_;
  last_objective_ = fobj;
  last_violation_ = vmax;
  last_point_.assign(point.data(), point.data() + n);
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
