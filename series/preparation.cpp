#include "series/preparation.hpp"

#include "base/config.hpp"
#include "io/console.hpp"
#include "problem/adaptor.hpp"
#include "problem/incremental_values.hpp"
#include "series/polish_budget.hpp"
#include "sqp/sqpglue.hpp"

namespace morlan {

namespace {

// The measure form of the answers with the penalty weight p.
MeasureForm form_of(const Answers& a, double p) { return {a.form, a.scale, p, a.radius}; }

// The most Lagrangians a run's search may ask for: --max-evaluations, less
// the polish's reserve under --polish; no limit without the option.
std::int64_t search_limit(const DriverOptions& options) {
  const std::int64_t limit = options.max_evaluations;
  if (limit <= 0) return kNoEvaluationLimit;
  return options.polish ? limit - polish_reserve(limit, cfg::kNvar) : limit;
}

}  // namespace

void load_problem(const DriverOptions& options, Prepared& prepared) {
  prbcsa.n = cfg::kNvar;
  prbcsa.m = cfg::kNcon;
  prbcsa.neq = cfg::kNeq;
  prbcsa.nineq = cfg::kNineq;
  init_csa_pd();
  // Every evaluation from here on (run preparation, loops, verdicts) takes
  // the fast path unless the reference path was asked for.
  prepared.source = incremental_values(!options.reference_eval);
}

void estimate(const Answers& answers, Prepared& prepared) {
  Measure measure(form_of(answers, 0.0), Grid{}, prepared.source);
  prepared.temperatures = initial_temperature(measure);
}

void prepare_runs(const Answers& answers, Prepared& prepared) {
  prepared.grid = prepare_grid();
  io::say("hasdiscrete = ", prepared.grid.any, "   needshift = ", prepared.grid.shifted);
  io::say("obj scale = ", answers.scale);
  io::flush();
  initial_orvale();
}

RunPlan plan_of(const Answers& answers, const Prepared& prepared, const DriverOptions& options) {
  const RunSettings settings{answers.rule, answers.nconsec, prepared.temperatures.t0, answers.ratio};
  Measure measure(form_of(answers, 0.0), prepared.grid, prepared.source);
  measure.set_evaluation_limit(search_limit(options));
  return {answers, settings, measure};
}

}  // namespace morlan
