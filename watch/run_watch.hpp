// Watching a run while it goes on: the observer of the annealing loops that
// collects the run's rows of the convergence log and feeds its progress
// line.
//
// The rows stay with the run (they are part of what a run reports, wherever
// it ran) and are written to the log by the process that prints the series,
// in run order. Progress goes to a sink: the terminal of this process, or
// the process that prints the series.
#pragma once

#include <chrono>
#include <cstdint>
#include <vector>

#include "anneal/stage_watch.hpp"
#include "series/run_record.hpp"
#include "watch/progress_line.hpp"

namespace morlan {

// Where the progress of a run goes.
class ProgressSink {
 public:
  virtual ~ProgressSink() = default;
  // Shortest time between two updates.
  virtual std::chrono::milliseconds interval() const = 0;
  virtual void show(const RunProgress& progress) = 0;
  // The run has ended: its progress is no longer shown.
  virtual void run_ended(std::int32_t run) = 0;
};

// The progress line on this process's standard error (io/status_line):
// redrawn four times a second on a terminal; elsewhere one line every two
// seconds.
class TerminalProgress final : public ProgressSink {
 public:
  std::chrono::milliseconds interval() const override;
  void show(const RunProgress& progress) override;
  void run_ended(std::int32_t run) override;
};

class RunWatch final : public StageWatch {
 public:
  // keep_rows: collect the convergence log's rows; progress: where the
  // progress goes (nullptr: nowhere); multilevel: the runs use the
  // multi-level scheme (their levels are numbered, and the estimate of the
  // time left counts the levels to come).
  RunWatch(bool keep_rows, ProgressSink* progress, bool multilevel);

  // Run `run` of `runs` begins: the loops of its run control report to
  // this observer from here.
  void begin_run(std::int32_t run, std::int32_t runs);
  // The run has ended. Returns its rows.
  std::vector<StageRow> end_run();

  void loop_started(int nt, double t0, double rt) override;
  bool block_report_due() override;
  void block_ended(const StageReport& report) override;
  void stage_ended(const StageReport& report) override;

 private:
  using Clock = std::chrono::steady_clock;

  void take_values(const StageReport& report);
  double remaining_seconds(double elapsed) const;
  void show_progress(Clock::time_point now);

  const bool keep_rows_;
  ProgressSink* const progress_;
  const bool multilevel_;

  std::vector<StageRow> rows_;
  RunProgress state_;
  Clock::time_point run_began_{};
  Clock::time_point next_show_{};
  double cpu_began_ = 0.0;
  int nt_ = 0;                         // cycle blocks per stage of the level
  std::int64_t blocks_in_run_ = 0;     // cycle blocks ended in the run
  std::int64_t blocks_in_level_ = 0;   // and in the level
  std::int64_t evaluations_before_ = 0;  // counted evaluations of the earlier levels
  std::int64_t evaluations_ = 0;         // of the level so far
};

}  // namespace morlan
