// What the options add to the runs besides the console: the files of
// --log, --results, --best and --points, the progress line, and the observer of the
// loops that feeds them.
//
// The process that runs a run (this one, a worker, an MPI rank) keeps the
// run's stage rows and best point in the run's record; the process that
// prints the series folds the records in run order into the files. Neither
// changes a byte of the console output.
#pragma once

#include <chrono>
#include <cstdint>
#include <memory>

#include "series/answers.hpp"
#include "series/driver_options.hpp"
#include "series/run_record.hpp"
#include "series/run_storage.hpp"
#include "series/series_watching.hpp"
#include "watch/run_watch.hpp"
#include "watch/watch_files.hpp"

namespace morlan {

class Watching final : public SeriesWatching {
 public:
  // Opens the files the options name (when options.writes_files): one that
  // cannot be opened ends the program before anything is asked.
  explicit Watching(const DriverOptions& options);

  // The runs begin; `progress_here`: the runs happen in this process, which
  // shows the progress line of the run in progress; otherwise the line shows
  // the series as its runs are taken in order.
  void start(const Answers& answers, bool progress_here);
  // Run k of `runs` through the run control on the storage's points,
  // watched when the log or the progress line needs it; the run's stage
  // rows go into `record`.
  RunOutcome run(const RunPlan& plan, Storage& storage, std::int32_t k, std::int32_t runs,
                 RunRecord& record) override;
  // After the run and its extension: a successful run's point x (and its
  // polished point) goes into `record` when --best or --points asks,
  // within its bounds (keep_within_bounds).
  void keep_point(RunRecord& record, CVec x) const override;
  // The next record in run order, into the files (and the series' progress
  // line).
  void fold(const RunRecord& record) override;
  // In a series whose runs happen elsewhere: `running` runs are in flight;
  // `quiet`: only time has passed. Redraws the series' progress line when
  // what it shows has changed, and as time passes at most once a second on
  // a terminal, every two seconds elsewhere.
  void show_in_flight(std::int32_t running, bool quiet) override;
  // After the last run: false when a file could not be written.
  bool finish();

 private:
  const DriverOptions& options_;
  WatchFiles files_;
  TerminalProgress terminal_;
  std::unique_ptr<RunWatch> watch_;  // nullptr: the loops are not watched
  // The series' progress line, when its runs happen elsewhere.
  void show_series_progress();
  bool series_progress_ = false;
  std::int32_t runs_ = 0;
  std::int32_t done_ = 0;       // runs taken in order
  std::int32_t shown_done_ = 0;  // as the line shows them
  std::int32_t running_ = -1;    // runs in flight as the line shows them; -1: not shown yet
  double best_objective_ = kNoneFeasible;
  std::chrono::steady_clock::time_point began_{};
  std::chrono::steady_clock::time_point next_tick_{};  // time passed shows from here
};

}  // namespace morlan
