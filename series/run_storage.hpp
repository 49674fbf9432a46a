// The points of a run and the steps of one run that the single run and the
// series share: the block that shows the start and the call of the run
// control.
#pragma once

#include "anneal/run_control.hpp"
#include "base/config.hpp"
#include "base/one_based.hpp"

namespace morlan {

class StageWatch;
struct RunPlan;

// The points of one run.
struct Storage {
  Array1<double, cfg::kNtot> x;                 // starting point, then the run's result
  Array1<double, cfg::kNpop * cfg::kNtot> pop;  // population, member index fastest
  Array1<double, cfg::kNvar> shown;             // the point the "x0 = " line shows

  // Entry (k, i) of the population: member k, position i.
  double& member(int k, int i) { return pop((i - 1) * cfg::kNpop + k); }
};

// Prints a line of two blanks, then "x0 = " and the point in `shown`.
void print_start(const Storage& storage);

// One call of the run control on the storage's point or population:
// single-level, or multi-level when the answers ask for it. `watch` is
// told how its loops go (nullptr: nobody watches).
RunOutcome run_once(const RunPlan& plan, Storage& storage, StageWatch* watch);

}  // namespace morlan
