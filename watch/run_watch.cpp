#include "watch/run_watch.hpp"

#include <algorithm>

#include "base/config.hpp"
#include "io/cpu_time.hpp"
#include "io/status_line.hpp"

namespace morlan {

namespace {

// A level cools from t0 until the floor; the stage count is capped so that
// a ratio that does not cool gives an estimate and not an endless count.
constexpr int kStageEstimateCap = 100000;

// Levels of the multi-level scheme after one with `nt` cycle blocks per
// stage: each doubles the blocks, while below the scheme's limit.
std::int64_t blocks_of_later_levels(int nt, int stages) {
  std::int64_t blocks = 0;
  for (std::int64_t later = 2 * static_cast<std::int64_t>(nt); later < cfg::kLadderNtMax;
       later *= 2) {
    blocks += later * stages;
  }
  return blocks;
}

}  // namespace

std::chrono::milliseconds TerminalProgress::interval() const {
  return std::chrono::milliseconds(io::status_on_terminal() ? 250 : 2000);
}

void TerminalProgress::show(const RunProgress& progress) {
  io::show_status(progress_text(progress, io::status_room()));
}

void TerminalProgress::run_ended(std::int32_t /*run*/) { io::erase_status(); }

RunWatch::RunWatch(bool keep_rows, ProgressSink* progress, bool multilevel)
    : keep_rows_(keep_rows), progress_(progress), multilevel_(multilevel) {}

void RunWatch::begin_run(std::int32_t run, std::int32_t runs) {
  rows_.clear();
  state_ = RunProgress{};
  state_.run = run;
  state_.runs = runs;
  run_began_ = Clock::now();
  next_show_ = run_began_ + (progress_ != nullptr ? progress_->interval() : Clock::duration{});
  cpu_began_ = io::cpu_seconds();
  nt_ = 0;
  blocks_in_run_ = 0;
  blocks_in_level_ = 0;
  evaluations_before_ = 0;
  evaluations_ = 0;
}

std::vector<StageRow> RunWatch::end_run() {
  if (progress_ != nullptr) progress_->run_ended(state_.run);
  return std::move(rows_);
}

void RunWatch::loop_started(int nt, double t0, double rt) {
  // A loop call is a level: the earlier one's evaluations are done.
  evaluations_before_ += evaluations_;
  evaluations_ = 0;
  state_.level = multilevel_ ? state_.level + 1 : 0;
  state_.stage = 1;
  state_.stages = stages_to_floor(t0, rt, kStageEstimateCap);
  state_.valued = false;
  nt_ = nt;
  blocks_in_level_ = 0;
}

bool RunWatch::block_report_due() {
  ++blocks_in_run_;
  ++blocks_in_level_;
  return progress_ != nullptr && Clock::now() >= next_show_;
}

void RunWatch::block_ended(const StageReport& report) {
  take_values(report);
  show_progress(Clock::now());
}

void RunWatch::stage_ended(const StageReport& report) {
  take_values(report);
  if (keep_rows_) {
    StageRow row;
    row.level = std::max(state_.level, 1);
    row.stage = state_.stage;
    row.temperature = report.temperature;
    row.lagrangian = report.lagrangian;
    row.objective = report.objective;
    row.violation = report.violation;
    row.problem_violation = report.problem_violation;
    row.counted_evaluations = report.counted_evaluations;
    row.best_objective = report.best_objective;
    row.acceptance = report.acceptance;
    row.evaluations = evaluations_before_ + evaluations_;
    row.cpu_seconds = io::cpu_seconds() - cpu_began_;
    rows_.push_back(row);
  }
  // The first stage of a level is always shown, so that even a short run
  // shows its values once.
  if (progress_ != nullptr) {
    const Clock::time_point now = Clock::now();
    if (state_.stage == 1 || now >= next_show_) show_progress(now);
  }
  ++state_.stage;
}

void RunWatch::take_values(const StageReport& report) {
  state_.valued = true;
  state_.temperature = report.temperature;
  state_.lagrangian = report.lagrangian;
  state_.best_objective = report.best_objective;
  state_.violation = report.violation;
  evaluations_ = report.evaluations;
}

// From the pace of the run's cycle blocks so far: the blocks left in this
// level until the temperature floor, and under the multi-level scheme those
// of the levels to come (which the scheme may not need).
double RunWatch::remaining_seconds(double elapsed) const {
  if (blocks_in_run_ == 0 || state_.stages == 0) return -1.0;
  const std::int64_t planned = static_cast<std::int64_t>(state_.stages) * nt_;
  std::int64_t left = std::max<std::int64_t>(planned - blocks_in_level_, 0);
  if (multilevel_) left += blocks_of_later_levels(nt_, state_.stages);
  return elapsed / static_cast<double>(blocks_in_run_) * static_cast<double>(left);
}

void RunWatch::show_progress(Clock::time_point now) {
  if (progress_ == nullptr) return;
  state_.elapsed = std::chrono::duration<double>(now - run_began_).count();
  state_.remaining = remaining_seconds(state_.elapsed);
  progress_->show(state_);
  next_show_ = now + progress_->interval();
}

}  // namespace morlan
