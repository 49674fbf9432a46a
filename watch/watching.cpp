#include "watch/watching.hpp"

#include "anneal/prepare.hpp"
#include "io/status_line.hpp"
#include "series/preparation.hpp"
#include "watch/progress_line.hpp"

namespace morlan {

namespace {

// A process that does not write the files opens none of them.
DriverOptions files_of(const DriverOptions& options) {
  if (options.writes_files) return options;
  DriverOptions none = options;
  none.log_file.reset();
  none.results_file.reset();
  none.best_file.reset();
  none.points_file.reset();
  return none;
}

}  // namespace

Watching::Watching(const DriverOptions& options) : options_(options), files_(files_of(options)) {}

void Watching::start(const Answers& answers, bool progress_here) {
  const bool wanted = options_.progress == DriverOptions::Progress::kAlways ||
                      (options_.progress == DriverOptions::Progress::kOnTerminal &&
                       io::status_on_terminal());
  const bool progress = progress_here && wanted;
  series_progress_ = !progress_here && wanted;
  runs_ = answers.nruns;
  began_ = std::chrono::steady_clock::now();
  const bool keep_rows = options_.log_file.has_value();
  if (progress || keep_rows) {
    watch_ = std::make_unique<RunWatch>(keep_rows, progress ? &terminal_ : nullptr,
                                        answers.multilevel != 0);
  }
  files_.begin(options_.polish);
}

RunOutcome Watching::run(const RunPlan& plan, Storage& storage, std::int32_t k, std::int32_t runs,
                         RunRecord& record) {
  if (watch_ != nullptr) watch_->begin_run(k, runs);
  const RunOutcome r = run_once(plan, storage, watch_.get());
  if (watch_ != nullptr) record.stages = watch_->end_run();
  // The best point as the data file states the problem, for --results.
  if (r.isucc == 1 && options_.results_file.has_value()) {
    record.problem_violation = plan.measure.problem_violation(storage.x);
  }
  return r;
}

void Watching::keep_point(RunRecord& record, CVec x) const {
  if (record.isucc != 1 || !(options_.best_file || options_.points_file)) return;
  const CVec variables = x.slice(1, cfg::kNvar);
  record.point.assign(variables.begin(), variables.end());
  Array1<double, cfg::kNvar> xl, xu;
  xbound(cfg::kNvar, xl, xu);
  keep_within_bounds(record.point, xl, xu);
  keep_within_bounds(record.polish.point, xl, xu);
}

void Watching::fold(const RunRecord& record) {
  files_.fold(record);
  // The line follows when the coordinator tells the runs in flight.
  done_ = record.run;
  if (record.isucc == 1 && record.objval < best_objective_) best_objective_ = record.objval;
}

void Watching::show_in_flight(std::int32_t running, bool quiet) {
  if (!series_progress_) return;
  const bool changed = running != running_ || done_ != shown_done_;
  if (!changed && (!quiet || std::chrono::steady_clock::now() < next_tick_)) return;
  running_ = running;
  shown_done_ = done_;
  show_series_progress();
}

void Watching::show_series_progress() {
  const auto now = std::chrono::steady_clock::now();
  SeriesProgress p;
  p.done = done_;
  p.runs = runs_;
  p.running = running_;
  p.elapsed = std::chrono::duration<double>(now - began_).count();
  // Runs differ in length; the pace so far is the estimate there is.
  if (p.done > 0) p.remaining = p.elapsed / p.done * (p.runs - p.done);
  p.best_objective = best_objective_;
  io::show_status(series_progress_text(p, io::status_room()));
  next_tick_ = now + std::chrono::seconds(io::status_on_terminal() ? 1 : 2);
}

bool Watching::finish() {
  if (series_progress_) io::erase_status();
  return files_.finish();
}

}  // namespace morlan
