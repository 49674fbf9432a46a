#include "series/series.hpp"

#include <cmath>
#include <string>

#include "anneal/prepare.hpp"
#include "anneal/random.hpp"
#include "io/console.hpp"
#include "io/cpu_time.hpp"
#include "io/output.hpp"

namespace morlan {

namespace {

constexpr int kNvar = cfg::kNvar;
constexpr int kNtot = cfg::kNtot;
constexpr int kNpop = cfg::kNpop;

// Seeds of the starting-point stream: one seeding per execution, so a series
// is the same from one execution to the next.
constexpr int kStartSeed1 = 1;
constexpr int kStartSeed2 = 2;

// The run in progress, for whoever reports on a run that ends in a stop.
std::int32_t g_run_in_progress = 0;

}  // namespace

std::int32_t run_in_progress() { return g_run_in_progress; }

void set_run_in_progress(std::int32_t run) { g_run_in_progress = run; }

void report_evaluations(const DriverOptions& options, const RunRecord& record) {
  if (!options.count_evaluations) return;
  io::line("morlan: run " + std::to_string(record.run) + ": " +
               std::to_string(record.evaluations) + " Lagrangian evaluations",
           io::kStderr);
}

Series::Series(const RunPlan& plan, const DriverOptions& options, RunExtension* extension,
               SeriesWatching* watching)
    : plan_(plan), options_(options), extension_(extension), watching_(watching) {
  x0rmarin(kStartSeed1, kStartSeed2);
  xbound(kNvar, xl_, xu_);
}

// One starting point from the starting-point stream: a grid variable takes
// a grid point xl + g * k, k = 0 .. points - 1; any other variable a
// uniform value in its range. Multipliers start at zero.
template <class Put>
void Series::draw_point(Put put) {
  const Grid& grid = plan_.measure.grid();
  for (int i = 1; i <= kNvar; ++i) {
    const double u = static_cast<double>(x0ranmar());
    double v;
    if (grid.on_grid(i) == 1) {
      v = xl_(i) + grid.spacing(i) * std::trunc(u * grid.points(i));
    } else {
      v = xl_(i) + u * (xu_(i) - xl_(i));
    }
    put(i, v);
  }
  for (int i = kNvar + 1; i <= kNtot; ++i) put(i, 0.0);
}

// Fills the start of one run and the point its "x0 = " line shows: x
// itself, or member 1 of the population under the population rule.
void Series::draw_start() {
  ++drawn_;
  Storage& s = storage_;
  if (plan_.settings.rule != kRulePopulation) {
    draw_point([&s](int i, double v) { s.x(i) = v; });
    for (int i = 1; i <= kNvar; ++i) s.shown(i) = s.x(i);
    return;
  }
  for (int k = 1; k <= kNpop; ++k) draw_point([&s, k](int i, double v) { s.member(k, i) = v; });
  for (int i = 1; i <= kNvar; ++i) s.shown(i) = s.member(1, i);
}

void Series::skip_to(std::int32_t k) {
  // A worker that takes an earlier run than its last (a series gone in
  // order) draws the starts again from the stream's seeding.
  if (drawn_ > k - 1) {
    x0rmarin(kStartSeed1, kStartSeed2);
    drawn_ = 0;
  }
  while (drawn_ < k - 1) draw_start();
}

RunRecord Series::run(std::int32_t k) {
  RunRecord record;
  record.run = k;
  set_run_in_progress(k);
  io::cpu_time_delta();  // the next reading measures this run alone
  draw_start();
  print_start(storage_);
  const RunOutcome r = watching_ != nullptr ? watching_->run(plan_, storage_, k, runs(), record)
                                            : run_once(plan_, storage_, nullptr);
  record.nsaiter = r.blocks == kNoBlocks ? 0 : r.blocks;
  record.evaluations = r.evaluations;
  record.time = io::cpu_time_delta();
  if (r.isucc == 1) {
    io::say("run_id =", k, " : Obj =", r.objval, " time =", record.time);
  } else {
    io::say("run_id =", k, " : obj =", kNoObjective, " time =", record.time);
  }
  record.isucc = r.isucc;
  record.objval = r.objval;
  record.maxvio = r.maxvio;
  if (extension_ != nullptr) extension_->after_run(plan_.answers, r.isucc, storage_.x, record);
  if (watching_ != nullptr) watching_->keep_point(record, storage_.x);
  io::flush();
  set_run_in_progress(0);
  return record;
}

void Series::fold(const RunRecord& record) {
  Statistics& st = statistics_;
  if (record.isucc == 1) {
    st.nsucc += 1;
    st.itersum += record.nsaiter;
    if (record.objval < st.bestobj) st.bestobj = record.objval;
    if (record.objval > st.worstobj) st.worstobj = record.objval;
    st.sumobj += record.objval;
  }
  if (extension_ != nullptr) extension_->fold(record);
  if (watching_ != nullptr) watching_->fold(record);
  report_evaluations(options_, record);
}

void Series::print_summary() const {
  const Statistics& st = statistics_;
  io::say("========== Obj Summary of ", runs(), " runs ========== ");
  io::say(" best Obj = ", st.bestobj, ",  worst Obj = ", st.worstobj);
  if (st.nsucc > 0) io::say(" avrg Obj = ", st.sumobj / st.nsucc);
  if (extension_ != nullptr) extension_->after_summary();
}

void Series::show_in_flight(std::int32_t running, bool quiet) {
  if (watching_ != nullptr) watching_->show_in_flight(running, quiet);
}

void InOrder::execute(Series& series) {
  for (std::int32_t k = 1; k <= series.runs(); ++k) series.fold(series.run(k));
}

float InOrder::total_cpu_time() { return io::cpu_time_total(); }

}  // namespace morlan
