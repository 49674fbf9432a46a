// The run control: one run of the search from one starting point, with a
// single level (one loop call) or with the multi-level scheme (loop calls
// with growing effort until levels agree), and the verdict on its best
// point, printed.
#pragma once

#include <cstdint>

#include "anneal/sa.hpp"
#include "base/one_based.hpp"
#include "measures/measure.hpp"

namespace morlan {

class StageWatch;

// The annealing rules.
inline constexpr int kRulePlain = 0;
inline constexpr int kRulePopulation = 1;
inline constexpr int kRuleRelaxed = 10;

// The penalty weight of the Lagrangian forms in every run.
inline constexpr double kRunPenalty = 1.0;

// How the runs go, from the answers and the preparation.
struct RunSettings {
  std::int32_t rule = kRulePlain;  // the loop: kRulePlain, kRulePopulation, kRuleRelaxed
  std::int32_t nconsec = 0;        // the multi-level scheme: levels that must agree
  double t0 = 0.0;                 // initial temperature of every loop call
  double rt = 0.0;                 // cooling ratio
};

// What a run leaves.
struct RunOutcome {
  std::int32_t isucc = 0;  // 1: a feasible best point, now in x
  double objval = 0.0;     // its objective and largest unrelaxed violation
  double maxvio = 0.0;     //   (set on success only)
  // Cycle blocks of the run's last plain loop call; kNoBlocks when none ran.
  std::int32_t blocks = kNoBlocks;
  std::int64_t evaluations = 0;  // Lagrangians its search asked for
  double tolerance = 0.0;        // the feasibility tolerance it was judged by
};

// One run from x (the starting point; on success the best point) or, under
// the population rule, from the population pop (cfg::kNpop members of
// cfg::kNtot entries, member index fastest). The run measures with a copy
// of `measure` that carries the run's penalty weight; `watch` is told how
// its loops go (nullptr: nobody watches). Under the measure's evaluation
// limit the run's loops end where they stand when it is reached, as at a
// normal end, and the multi-level scheme begins no level after it.
RunOutcome chain_run(const RunSettings& settings, const Measure& measure, StageWatch* watch,
                     CVec pop, Vec x);
// The same under the multi-level scheme: levels with 10, 20, 40, ... cycle
// blocks per temperature, until settings.nconsec levels agree on the
// objective.
RunOutcome ladder_run(const RunSettings& settings, const Measure& measure, StageWatch* watch,
                      CVec pop, Vec x);

}  // namespace morlan
