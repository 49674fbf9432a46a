// The series of runs from random starting points.
//
// Series::run(k) does one run exactly as the serial program's loop body
// does it: it draws run k's start (the k-th draw of the starting-point
// stream), prints the "x0 = " block, runs the run control, prints the
// "run_id =" line and the extension's line, and returns the run's record.
// Series::fold takes the records in run order into the statistics and the
// extension's summary. Who calls run(k) decides where the run happens: in
// order in this process, in worker processes (-j N), on MPI ranks.
#pragma once

#include <cstdint>

#include "series/driver_options.hpp"
#include "series/preparation.hpp"
#include "series/run_extension.hpp"
#include "series/run_record.hpp"
#include "series/run_storage.hpp"
#include "series/series_executor.hpp"
#include "series/series_watching.hpp"

namespace morlan {

// Objective reported for a failed run, and the initial best/worst values.
inline constexpr double kNoObjective = 1.0e20;

// Statistics over the successful runs.
struct Statistics {
  std::int32_t nsucc = 0;
  std::int64_t itersum = 0;  // wide: a long series must not wrap the sum
  double bestobj = kNoObjective;
  double worstobj = -kNoObjective;
  double sumobj = 0.0;
};

class Series {
 public:
  // Seeds the starting-point stream and reads the variable bounds. The runs
  // are watched through `watching` when it is given.
  Series(const RunPlan& plan, const DriverOptions& options, RunExtension* extension,
         SeriesWatching* watching = nullptr);

  std::int32_t runs() const { return plan_.answers.nruns; }
  const RunPlan& plan() const { return plan_; }
  const DriverOptions& options() const { return options_; }

  // Draws the starts of the runs before k that other processes run, so that
  // the next draw is run k's; starts again from the seeding when this
  // process has drawn past them.
  void skip_to(std::int32_t k);
  // Run k; the starts of the runs before it must be drawn already.
  RunRecord run(std::int32_t k);
  // The next record in run order.
  void fold(const RunRecord& record);
  // The summary block and the extension's summary.
  void print_summary() const;
  // In a parallel series: `running` runs are handed out and not yet back;
  // `quiet`: only time has passed since the last call. For the progress
  // line.
  void show_in_flight(std::int32_t running, bool quiet);

  const Statistics& statistics() const { return statistics_; }

 private:
  void draw_start();
  template <class Put>
  void draw_point(Put put);

  const RunPlan& plan_;
  const DriverOptions& options_;
  RunExtension* extension_;
  SeriesWatching* watching_;
  Statistics statistics_;
  std::int32_t drawn_ = 0;  // starts drawn so far
  Array1<double, cfg::kNvar> xl_, xu_;  // the variable bounds
  Storage storage_;                     // the points of the run in progress
};

// --count-evaluations: the run's Lagrangian evaluations, one line on
// standard error after the run's lines (standard output stays as without
// the option).
void report_evaluations(const DriverOptions& options, const RunRecord& record);

// The index of the run in progress in this process (from 1; 1 in the
// single run), 0 between runs.
std::int32_t run_in_progress();
// Marks the run in progress.
void set_run_in_progress(std::int32_t run);

// The series in order in this process: each run prints as it goes.
class InOrder final : public SeriesExecutor {
 public:
  void execute(Series& series) override;
  float total_cpu_time() override;
};

}  // namespace morlan
