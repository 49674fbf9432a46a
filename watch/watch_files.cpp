#include "watch/watch_files.hpp"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "anneal/stage_watch.hpp"
#include "anneal/trial_point.hpp"
#include "base/config.hpp"
#include "io/console.hpp"

namespace morlan {

namespace {

// Values of the log as the console prints its reals (9 significant
// digits): the last best objective of a run reads as its printed objective.
constexpr int kLogDigits = 9;
// Values of the results and the best point: enough digits that reading the
// text back gives the same double.
constexpr int kExactDigits = 17;

std::string value(double v, int digits) {
  if (std::isnan(v)) return "NaN";
  char buf[40];
  std::snprintf(buf, sizeof buf, "%.*g", digits, v);
  return buf;
}

std::string best_value(double v) { return v < kNoneFeasible ? value(v, kLogDigits) : "NaN"; }

std::string fixed(double v, int decimals) {
  char buf[40];
  std::snprintf(buf, sizeof buf, "%.*f", decimals, v);
  return buf;
}

[[noreturn]] void refuse(const std::string& message) {
  io::line(message, io::kMessageUnit7);
  io::stop(io::kExitInputError);
}

void open_or_refuse(io::OutputFile& file, const std::optional<std::string>& name) {
  if (!name) return;
  const int error = file.open(*name);
  if (error != 0) refuse(io::open_failure_text(file, error));
}

}  // namespace

std::string log_header() {
  return "run\tlevel\tstage\ttemperature\tlagrangian\tobjective\tviolation\tproblem_violation\t"
         "best_objective\tacceptance\tevaluations\tcounted_evaluations\tcpu_seconds\n";
}

std::string log_rows(std::int32_t run, const std::vector<StageRow>& stages) {
  std::string text;
  for (const StageRow& s : stages) {
    text += std::to_string(run) + '\t' + std::to_string(s.level) + '\t' + std::to_string(s.stage) +
            '\t' + value(s.temperature, kLogDigits) + '\t' + value(s.lagrangian, kLogDigits) + '\t' +
            value(s.objective, kLogDigits) + '\t' + value(s.violation, kLogDigits) + '\t' +
            value(s.problem_violation, kLogDigits) + '\t' + best_value(s.best_objective) + '\t' +
            fixed(s.acceptance, 4) + '\t' + std::to_string(s.evaluations) + '\t' +
            std::to_string(s.counted_evaluations) + '\t' + fixed(s.cpu_seconds, 3) + '\n';
  }
  return text;
}

std::string results_header(bool polish) {
  std::string text = "run\tsuccess\tobjective\tviolation\tproblem_violation\tcpu_seconds";
  if (polish) text += "\tpolished_objective\tpolished_violation";
  return text + '\n';
}

std::string results_row(const RunRecord& run, bool polish) {
  const bool ok = run.isucc == 1;
  const double nan = std::nan("");
  std::string text = std::to_string(run.run) + '\t' + std::to_string(ok ? 1 : 0) + '\t' +
                     value(ok ? run.objval : nan, kExactDigits) + '\t' +
                     value(ok ? run.maxvio : nan, kExactDigits) + '\t' +
                     value(ok ? run.problem_violation : nan, kExactDigits) + '\t' +
                     value(run.time, kLogDigits);
  if (polish) {
    const bool polished = run.polish.polished == 1;
    text += '\t' + value(polished ? run.polish.objective : nan, kExactDigits) + '\t' +
            value(polished ? run.polish.violation : nan, kExactDigits);
  }
  return text + '\n';
}

std::string best_point_text(const std::vector<double>& point) {
  std::string text;
  for (double v : point) text += value(v, kExactDigits) + '\n';
  return text;
}

std::string points_header(int variables) {
  std::string text = "run\tpoint";
  for (int i = 1; i <= variables; ++i) text += "\tx" + std::to_string(i);
  return text + '\n';
}

// A successful run's best point ("best") and, when it was polished, the
// polished point ("polished"), with all their digits (kept within the
// bounds as for --best: keep_within_bounds).
std::string points_rows(const RunRecord& run) {
  std::string text;
  const auto row = [&](const char* kind, const std::vector<double>& point) {
    if (point.empty()) return;
    text += std::to_string(run.run) + '\t' + kind;
    for (double v : point) text += '\t' + value(v, kExactDigits);
    text += '\n';
  };
  if (run.isucc == 1) row("best", run.point);
  if (run.polish.polished == 1) row("polished", run.polish.point);
  return text;
}

void keep_within_bounds(std::vector<double>& point, CVec xl, CVec xu) {
  const int n = std::min(static_cast<int>(point.size()), xl.size());
  for (int i = 1; i <= n; ++i) {
    double& v = point[static_cast<std::size_t>(i - 1)];
    if (v > xu(i) && v <= xu(i) + kGridBoundSlack) v = xu(i);
    if (v < xl(i) && v >= xl(i) - kGridBoundSlack) v = xl(i);
  }
}

WatchFiles::WatchFiles(const DriverOptions& options) {
  open_or_refuse(log_, options.log_file);
  open_or_refuse(results_, options.results_file);
  open_or_refuse(best_, options.best_file);
  open_or_refuse(points_, options.points_file);
  // One file written as two would hold neither.
  const io::OutputFile* files[] = {&log_, &results_, &best_, &points_};
  constexpr int kFiles = 4;
  for (int a = 0; a < kFiles; ++a) {
    for (int b = a + 1; b < kFiles; ++b) {
      if (files[a]->same_file_as(*files[b])) {
        refuse("morlan: the " + files[a]->what() + " and the " + files[b]->what() +
               " are the same file '" + files[b]->name() + "'");
      }
    }
  }
}

void WatchFiles::begin(bool polish) {
  polish_ = polish;
  log_.restart(log_header());
  results_.restart(results_header(polish));
  points_.restart(points_header(cfg::kNvar));
}

void WatchFiles::fold(const RunRecord& run) {
  log_.write(log_rows(run.run, run.stages));
  results_.write(results_row(run, polish_));
  points_.write(points_rows(run));
  // The lowest objective; the first of equal ones, as in the summary.
  if (run.isucc == 1 && !run.point.empty() && (best_point_.empty() || run.objval < best_objective_)) {
    best_objective_ = run.objval;
    best_point_ = run.point;
  }
  // Under --polish: the lowest objective among the feasible polished points.
  const PolishValues& p = run.polish;
  if (polish_ && p.feasible == 1 && !p.point.empty() &&
      (best_polished_point_.empty() || p.objective < best_polished_objective_)) {
    best_polished_objective_ = p.objective;
    best_polished_point_ = p.point;
  }
}

bool WatchFiles::finish() {
  const bool polished = polish_ && !best_polished_point_.empty();
  if (polish_ && !polished && !best_point_.empty() && best_.is_open()) {
    io::line("morlan: no polished point is feasible: the " + best_.what() +
                 " holds the best point of the runs",
             io::kMessageUnit7);
  }
  const std::vector<double>& best = polished ? best_polished_point_ : best_point_;
  if (!best.empty()) best_.restart(best_point_text(best));
  log_.close();
  results_.close();
  best_.close();
  points_.close();
  return !(log_.failed() || results_.failed() || best_.failed() || points_.failed());
}

}  // namespace morlan
