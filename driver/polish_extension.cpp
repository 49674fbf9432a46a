// --polish: a local SQP solve from the best point of every successful run,
// one line per polished run and the best polished objective after the
// summary of a series.
#include "driver/polish_extension.hpp"

#include "base/config.hpp"
#include "io/console.hpp"
#include "series/polish_budget.hpp"
#include "series/run_record.hpp"
#include "sqp/local_solve.hpp"
#include "sqp/polish.hpp"

namespace morlan {

namespace {

class PolishExtension final : public RunExtension {
 public:
  explicit PolishExtension(const DriverOptions& options)
      : keep_points_(options.best_file || options.points_file),
        max_evaluations_(options.max_evaluations),
        margin_(options.polish_margin) {}

  // Each run is polished on its own, so that its result can be folded in
  // run order wherever the run happened. Under --max-evaluations the polish
  // may spend what the run's search left.
  void after_run(const Answers& answers, int isucc, CVec x, RunRecord& record) override {
    if (isucc != 1) return;
    SolveLimits limits{kSolveIterations, margin_};
    if (max_evaluations_ > 0) {
      limits.iterations = polish_iterations(max_evaluations_ - record.evaluations, cfg::kNvar);
    }
    Polisher polisher;
    polisher.polish_run(x.slice(1, cfg::kNvar), answers.scale, limits);
    record.polish.polished = 1;
    record.polish.feasible = polisher.feasible_runs();
    record.polish.objective = polisher.last_objective();
    record.polish.violation = polisher.last_violation();
    // --best writes the best polished point, --points every polished point.
    if (keep_points_) record.polish.point = polisher.last_point();
  }

  void fold(const RunRecord& record) override {
    if (record.polish.feasible != 1) return;
    if (feasible_ == 0 || record.polish.objective < best_) best_ = record.polish.objective;
    ++feasible_;
  }

  void after_summary() override {
    if (feasible_ == 0) {
      io::say("best polished Obj = none feasible");
    } else {
      io::say("best polished Obj = ", best_);
    }
  }

 private:
  const bool keep_points_;             // --best, --points: each polished point goes into its record
  const std::int64_t max_evaluations_;  // --max-evaluations (0: none)
  const double margin_;                // --polish-margin
  int feasible_ = 0;
  double best_ = 0.0;
};

}  // namespace

std::unique_ptr<RunExtension> make_polish_extension(const DriverOptions& options) {
  return std::make_unique<PolishExtension>(options);
}

}  // namespace morlan
