// Polishing of annealing results (the --polish option of morlan): a local
// SQP solve from each successful run's best point, with one line per run
// and the best polished objective in the summary.
#pragma once

#include <vector>

#include "base/one_based.hpp"
#include "sqp/orvale.hpp"

namespace morlan {

class Polisher {
 public:
  // Solve from the run's best point x (the problem variables; x is left
  // unchanged) with the objective scaled by `scale`, analytic gradients and
  // the limits, and print
  //   " polished: Obj = <f> maxvio = <v> iters = <k>".
  void polish_run(CVec x, double scale, const SolveLimits& limits);
  // Print " best polished Obj = <f>" over the polished points that are
  // feasible (largest violation below 1.0e-5), or
  // " best polished Obj = none feasible".
  void print_summary() const;

  int runs() const { return runs_; }
  // The point of the last polish_run: its objective and largest violation.
  double last_objective() const { return last_objective_; }
  double last_violation() const { return last_violation_; }
  // The polished point of the last polish_run (the problem variables).
  const std::vector<double>& last_point() const { return last_point_; }
  int feasible_runs() const { return feasible_; }
  double best() const { return best_; }

 private:
  int runs_ = 0;
  int feasible_ = 0;
  double best_ = 0.0;
  double last_objective_ = 0.0;
  double last_violation_ = 0.0;
  std::vector<double> last_point_;
};

}  // namespace morlan
