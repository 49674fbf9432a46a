// Options beyond the dialogue, from the command line. Header only.
#pragma once

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
  int jobs = 1;  // processes that run a series's runs; 0: one per online core
  // False in a process that only runs runs for another (an MPI rank other
  // than 0): it keeps what the files need in each run's record and opens
  // none of them.
  bool writes_files = true;
  bool count_evaluations = false;  // one line per run on standard error
};

}  // namespace morlan
