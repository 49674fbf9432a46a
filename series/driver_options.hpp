// Options beyond the dialogue, from the command line. Header only.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace morlan {

// Defaults leave the program's behaviour and output exactly as without
// options.
struct DriverOptions {
  bool polish = false;          // polish each successful run with the SQP solver
  bool reference_eval = false;  // evaluate through the literal reference path
  // The progress line on standard error while runs go on.
  enum class Progress { kOnTerminal, kAlways, kNever };
  Progress progress = Progress::kOnTerminal;
  std::optional<std::string> log_file;      // the convergence log
  std::optional<std::string> results_file;  // one row per run
  std::optional<std::string> best_file;     // the best feasible point
  std::optional<std::string> points_file;   // every run's best (and polished) point
  int jobs = 1;  // processes that run a series's runs; 0: one per online core
  // False in a process that only runs runs for another (an MPI rank other
  // than 0): it keeps what the files need in each run's record and opens
  // none of them.
  bool writes_files = true;
  bool count_evaluations = false;  // one line per run on standard error
  // A run ends when its counted evaluations reach this (0: no limit); under
  // --polish the run and its polish together stay within it.
  std::int64_t max_evaluations = 0;
  // Under --polish, the margin by which the polish tightens the one-sided
  // inequalities of the constraints (0: as they are).
  double polish_margin = 0.0;
};

}  // namespace morlan
