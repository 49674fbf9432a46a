// An observer of the annealing loops: what a run looks like from outside
// while it goes on (the progress line, the convergence log).
//
// The loops tell the observer of their call (LoopCall::watch) when a loop
// call begins, at the end of every cycle block (only when the observer asks
// for a report then) and at the end of every temperature stage. With no
// observer this costs one test of a pointer per cycle block and per stage. A report reads
// the current vector's objective and largest violation through the same
// measures the loops use (the value cache gives the same bits whatever it
// was asked before); it never draws a random number and never writes a
// record, so a watched run is the same run to the last bit.
#pragma once

#include <cstdint>

namespace morlan {

// The state of a loop call at the end of a cycle block or a stage.
struct StageReport {
  double temperature = 0.0;       // of the stage
  double lagrangian = 0.0;        // at the current vector, in the caller's sign
  double objective = 0.0;         // at the current vector
  double violation = 0.0;         // its largest unrelaxed violation (the search's measure)
  double problem_violation = 0.0; // and as the data file states the problem (no band, bounds)
  double best_objective = 0.0;    // of the best feasible vector; kNoneFeasible while none
  double acceptance = 0.0;        // accepted share of the stage's variable trials so far
  std::int64_t evaluations = 0;   // counted evaluations of the loop call so far
  // Lagrangians the run's measure has counted so far (the multiplier trials
  // too), as --count-evaluations counts them and --max-evaluations limits them.
  std::int64_t counted_evaluations = 0;
};

// best_objective of a loop that has no feasible vector yet.
inline constexpr double kNoneFeasible = 1.0e20;

class StageWatch {
 public:
  virtual ~StageWatch() = default;
  // A loop call begins at temperature t0, cooling by rt, with nt cycle
  // blocks per stage.
  virtual void loop_started(int nt, double t0, double rt) = 0;
  // Asked at the end of every cycle block: true when block_ended wants a
  // report now (the observer's own clock decides; this must be cheap).
  virtual bool block_report_due() = 0;
  virtual void block_ended(const StageReport& report) = 0;
  // At the end of every temperature stage, before the stopping test.
  virtual void stage_ended(const StageReport& report) = 0;
};

// Stages a loop call runs from t0, cooling by rt, until the temperature
// falls below the loops' floor: the most it runs without a reheat (the
// stopping test may end it sooner). 0 when the temperature is not positive;
// at most `cap` when the ratio does not cool.
int stages_to_floor(double t0, double rt, int cap);

}  // namespace morlan
