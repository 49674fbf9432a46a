#include "driver/program.hpp"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "base/config.hpp"
#include "driver/dialogue.hpp"
#include "io/console.hpp"
#include "io/cpu_time.hpp"
#include "series/fork_workers.hpp"
#include "series/preparation.hpp"
#include "series/run_storage.hpp"
#include "series/series.hpp"
#include "watch/watching.hpp"

namespace morlan {

namespace {

// The final line: `total` is the CPU seconds of the whole program, every
// process that ran a run included; `status` is the exit status.
[[noreturn]] void final_line(const Answers& a, const Statistics& st, float total, int status) {
  const float per_run = total / static_cast<float>(a.nruns);
  if (st.nsucc < 1) {
    io::say("0 success run, time per Obj = ", per_run);
  } else {
    const double iterations =
        std::log(static_cast<double>(st.itersum) / static_cast<double>(st.nsucc)) / std::log(2.0);
    io::say(st.nsucc, " success run, time per Obj = ", per_run, " sec,  ", "iter = ", iterations);
  }
  io::stop(status);
}

// The runs of the program, once the answers are known and the problem is
// prepared.
class Runs {
 public:
  Runs(const RunPlan& plan, const DriverOptions& options, RunExtension* extension,
       SeriesExecutor* executor, Watching& watching)
      : plan_(plan), options_(options), extension_(extension), executor_(executor),
        watching_(watching) {}

  // True when the runs happen in this process (the single run, or a series
  // in order here), which may then show their progress line.
  bool here() const {
    return plan_.answers.runmode != 1 || (executor_ == nullptr && series_workers() <= 1);
  }

  // The runs of a series: in the executor given, in worker processes when
  // more than one job is asked for and there is more than one run, else in
  // order here. Returns the statistics and the CPU seconds of every process.
  Statistics series(float& total) {
    Series series(plan_, options_, extension_, &watching_);
    InOrder in_order;
    WorkerProcesses workers(series_workers());
    SeriesExecutor* executor = executor_;
    if (executor == nullptr && workers.count() > 1) executor = &workers;
    if (executor == nullptr) executor = &in_order;
    executor->execute(series);
    series.print_summary();
    total = executor->total_cpu_time();
    return series.statistics();
  }

  // The single run from the starting-point file.
  Statistics single() {
    Storage storage;
    read_start_point(storage.x);
    for (int i = cfg::kNvar + 1; i <= cfg::kNtot; ++i) storage.x(i) = 0.0;
    for (int i = 1; i <= cfg::kNvar; ++i) storage.shown(i) = storage.x(i);
    // Under the population rule every member starts from the file's point.
    for (int k = 1; k <= cfg::kNpop; ++k) {
      for (int i = 1; i <= cfg::kNtot; ++i) storage.member(k, i) = storage.x(i);
    }
    print_start(storage);
    set_run_in_progress(1);
    // The single run takes no reading of the run-time clock; its record has
    // its CPU time all the same.
    const double began = io::cpu_seconds();
    RunRecord record;
    record.run = 1;
    const RunOutcome r = watching_.run(plan_, storage, 1, 1, record);
    record.time = static_cast<float>(io::cpu_seconds() - began);
    record.isucc = r.isucc;
    record.objval = r.objval;
    record.maxvio = r.maxvio;
    Statistics st;
    if (r.isucc == 1) {
      st.nsucc = 1;
      st.itersum += r.blocks == kNoBlocks ? 0 : r.blocks;
    }
    record.evaluations = r.evaluations;  // before the polish, which may spend what is left
    if (extension_ != nullptr) extension_->after_run(plan_.answers, r.isucc, storage.x, record);
    watching_.keep_point(record, storage.x);
    watching_.fold(record);
    report_evaluations(options_, record);
    set_run_in_progress(0);
    return st;
  }

 private:
  // Worker processes a series runs in: more than one when more than one
  // job is asked for and there is more than one run.
  int series_workers() const { return std::min(jobs_wanted(options_.jobs), plan_.answers.nruns); }

  const RunPlan& plan_;
  const DriverOptions& options_;
  RunExtension* extension_;
  SeriesExecutor* executor_;
  Watching& watching_;
};

}  // namespace

void run_program(const DriverOptions& options, RunExtension* extension, SeriesExecutor* executor) {
  // The files are opened first: one that cannot be written is refused
  // before anything is asked.
  Watching watching(options);
  Prepared prepared;
  load_problem(options, prepared);
  Answers answers = ask_answers();
  estimate(answers, prepared);
  ask_ratio(answers);
  prepare_runs(answers, prepared);
  const RunPlan plan = plan_of(answers, prepared, options);
  Runs runs(plan, options, extension, executor, watching);
  watching.start(answers, runs.here());
  float total = 0.0f;
  Statistics stats;
  if (answers.runmode == 1) {
    stats = runs.series(total);
  } else {
    stats = runs.single();
    total = io::cpu_time_total();
  }
  const bool written = watching.finish();
  final_line(answers, stats, total, written ? io::kExitNormal : io::kExitError);
}

}  // namespace morlan
