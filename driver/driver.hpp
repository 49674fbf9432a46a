// The program's main routine: start-up, dialogue, preparation, the runs and
// the summary. Ends through a stop.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "base/one_based.hpp"

namespace morlan {

struct RunRecord;
class Series;

// Options beyond the dialogue, from the command line. Defaults leave the
// program's behaviour and output exactly as without options.
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
  // A run ends when its counted evaluations reach this (0: no limit).
  std::int64_t max_evaluations = 0;
};

// The options given to run_driver, for the parts that act on them.
const DriverOptions& driver_options();

// Work that a command-line option adds to the runs (polishing). Without
// one, nothing is called and the output is exactly the plain program's.
class RunExtension {
 public:
  virtual ~RunExtension() = default;
  // After each run, in the process that ran it: in a series after its run
  // line, in the single run after the run. isucc = 1 marks a successful run;
  // x is then its best point (variables, then multipliers). What the summary
  // needs goes into the run's record.
  virtual void after_run(int isucc, CVec x, RunRecord& record) = 0;
  // Each run's record, in run order, in the process that prints the series.
  virtual void fold(const RunRecord& record) = 0;
  // After the summary block of a series.
  virtual void after_summary() = 0;
};

// Where the runs of a series happen: in order in this process, in worker
// processes, on MPI ranks.
class SeriesExecutor {
 public:
  virtual ~SeriesExecutor() = default;
  // Runs every run; prints each in run order and folds it into the series.
  virtual void execute(Series& series) = 0;
  // The CPU seconds of the whole program so far, over every process that
  // ran a run, for the final line.
  virtual float total_cpu_time() = 0;
};

// Runs the whole program: start-up, dialogue, preparation, the runs, the
// final line, and the stop. A series runs in `executor` when one is given,
// else in options.jobs worker processes, or here.
[[noreturn]] void run_driver(const DriverOptions& options, RunExtension* extension = nullptr,
                             SeriesExecutor* executor = nullptr);

// The index of the run in progress in this process (from 1; 1 in the
// single run), 0 between runs.
std::int32_t run_in_progress();

// Dialogue prompts, also used to name the value in input diagnostics.
namespace prompt {
inline constexpr std::string_view kScale = "Input scale slobj for obj (obj/slobj) =";
inline constexpr std::string_view kLagrangian = "Lagrange function/(0,1,2,3,4,5,10)";
inline constexpr std::string_view kRelaxedSize = "Input initial relaxed size for equality = ";
inline constexpr std::string_view kRule = "cSA rule/(0 - cSA, 1 - pSA)";
inline constexpr std::string_view kMultiLevel = "Multi-level CSA/(0,1)";
inline constexpr std::string_view kConsecutive = "Input #consecutive NTs for stop";
inline constexpr std::string_view kMultiStart = "Multi start /(0,1)";
inline constexpr std::string_view kRuns = "Input number of runs = ";
inline constexpr std::string_view kRatio = "Input ratio of reducing T =";
inline constexpr std::string_view kStartFile = "Input file name for starting point:";
}  // namespace prompt

// Width of the starting-point file name field.
inline constexpr int kFileNameWidth = 20;
// Unit the starting-point file is read on.
inline constexpr int kStartUnit = 20;

}  // namespace morlan
