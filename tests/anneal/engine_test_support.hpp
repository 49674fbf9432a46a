// Helpers of the engine tests: the small problem with the grid setting of
// the system, the arguments of one loop call, the texts the loops print, and
// reading trace vectors.
#pragma once

#include <cstdint>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "anneal/chainrun.hpp"
#include "anneal/ladderrun.hpp"
#include "anneal/loop_call.hpp"
#include "anneal/module_records.hpp"
#include "anneal/population_loop.hpp"
#include "anneal/prepare.hpp"
#include "anneal/random.hpp"
#include "anneal/relaxed_loop.hpp"
#include "anneal/relaxer.hpp"
#include "anneal/run_records.hpp"
#include "anneal/run_setup.hpp"
#include "anneal/sa.hpp"
#include "anneal/swarmer.hpp"
#include "anneal/trial_point.hpp"
#include "base/config.hpp"
#include "io/console.hpp"
#include "io/units.hpp"
#include "measures/measure.hpp"
#include "measures/records.hpp"
#include "tests/anneal/captured_output.hpp"
#include "tests/support/small_problem.hpp"

namespace morlan::test {

// The small problem with the settings of a run of the system: form 0, scale
// 1, plain rule, and (when grid is true) every variable a grid variable of
// 10000 points per unit of its range with the discrete tolerance on.
inline void set_up_small_problem(bool grid) {
  small_problem::install();
  mlag.value = 0;
  slobj.value = 1.0;
  penalty.value = 1.0;
  msa.value = kRulePlain;
  gaussset.flag = 0;
  hasdiscrete.hasdiscrete = grid;
  hasdiscrete.needshift = false;
  const double range = small_problem::kUpper - small_problem::kLower;
  for (int i = 1; i <= cfg::kNvar; ++i) {
    isdx(i) = grid ? 1 : 0;
    ndsample(i) = range * kGridPointsPerUnit;
    discrete(i) = 0.0;
    discrete(cfg::kNvar + i) = range / (ndsample(i) - 1.0);
  }
}

// The measure the records describe, as the delivered modules build it.
inline Measure measure() { return module_records::measure(); }

// One list-directed real item as it is printed after another item.
inline std::string item(double v) { return " " + io::real_item_text(v); }

// The message lines of a loop entered with a temperature that is not
// positive, and of a start outside the bounds.
inline const std::string kTemperatureNotPositive =
    "\n  THE INITIAL TEMPERATURE IS NOT POSITIVE. \n  RESET THE VARIABLE T. \n\n";
inline const std::string kOutsideBounds =
    "\n  THE STARTING VALUE (X) IS OUTSIDE THE BOUNDS \n"
    "  (LB AND UB). EXECUTION TERMINATED WITHOUT ANY\n"
    "  OPTIMIZATION. RESPECIFY X, UB OR LB SO THAT  \n"
    "  LB(I) .LT. X(I) .LT. UB(I), I = 1, N. \n\n";

// One call of an annealing loop on the small problem (2 variables, 1
// constraint), its arguments as the run control sets them up (the problem's
// box, step factors 2, first steps 0.4), with short runs by default.
// Construct it after set_up_small_problem.
struct LoopCall : run_setup::LoopWork {
  Array1<double, cfg::kNtot> x;
  Array1<double, cfg::kNpop * cfg::kNtot> xpop;  // the population of psa
  SaSettings settings;                           // the fixed settings of sa
  Array1<double, 8> history;  // room for a stopping history of up to 8
  double t = 1.0;
  double rt = 0.5;
  double eps = 1.0e-6;
  int ncyc = 10;
  int nt = 5;
  int nhist = 4;
  int itrace = 0;
  int blocks = 0;  // the cycle blocks of the last run_sa
  // An observer of the loop: run_relaxer and run_psa then call the core
  // loops with it (the modules' entry points take no observer).
  StageWatch* watch = nullptr;
  // Whether run_relaxer and run_psa call the core loops (as they do with
  // an observer), the evaluation limit of the core calls' measure, and the
  // Lagrangians the measure of the last core call counted.
  bool core = false;
  std::int64_t limit = kNoEvaluationLimit;
  std::int64_t counted = 0;

  void start_at(double x1, double x2) {
    x(1) = x1;
    x(2) = x2;
  }
  // Both variables fixed at the given values (a fixed variable is proposed
  // at its midpoint without a draw).
  void fix(double x1, double x2) {
    x(1) = xlow(1) = xupp(1) = x1;
    x(2) = xlow(2) = xupp(2) = x2;
    vm(1) = vm(2) = 0.0;
  }

  // The plain loop with the measure and tolerance of the records.
  void run_sa() {
    Measure m = limited_measure();
    blocks = sa_with_settings(settings, core_call(m), x, xtrial);
    counted = m.evaluations();
  }
  void run_relaxer() {
    if (watch != nullptr || core) {
      Measure m = limited_measure();
      rleq.value = relaxed_loop(core_call(m), xrelax, x, xtrial);
      counted = m.evaluations();
      return;
    }
    relaxer(cfg::kNtot, cfg::kNcon, lamfac, xrelax, cfg::kNvar, x, false, rt, eps, ncyc, nt, nhist,
            kMaxevl, xlow, xupp, cfac, itrace, kSeed1, kSeed2, t, vm, xbest, fbest, naccept, nevals,
            noutb, ier, fhist_view(), xtrial, naccv);
  }
  void run_psa() {
    if (watch != nullptr || core) {
      Measure m = limited_measure();
      population_loop(core_call(m), xpop);
      counted = m.evaluations();
      return;
    }
    psa(lamfac, cfg::kNvar, xpop, false, rt, eps, ncyc, nt, nhist, kMaxevl, xlow, xupp, cfac,
        itrace, kSeed1, kSeed2, t, vm, xbest, fbest, naccept, nevals, noutb, ier, fhist_view(),
        xtrial, naccv);
  }

 private:
  static constexpr int kMaxevl = run_setup::kMaxevl;
  static constexpr int kSeed1 = run_setup::kSeed1;
  static constexpr int kSeed2 = run_setup::kSeed2;
  // The stopping history of nhist entries.
  Vec fhist_view() { return history.slice(1, nhist); }
  // The measure of the records with the limit.
  Measure limited_measure() const {
    Measure m = measure();
    m.set_evaluation_limit(limit);
    return m;
  }
  // The arguments of a core loop call, with the measure m, the records'
  // tolerance and the observer.
  morlan::LoopCall core_call(Measure& m) {
    return {cfg::kNtot, cfg::kNcon, lamfac, cfg::kNvar, false, rt, eps, ncyc, nt, nhist, xlow,
            xupp, cfac, itrace, kSeed1, kSeed2, t, vm, xbest, fbest, naccept, nevals, noutb, ier,
            fhist_view(), naccv, m, vtol.value, watch};
  }
};

// The three loops, by name, as calls of a LoopCall.
using RunLoop = void (LoopCall::*)();
inline const std::vector<std::pair<std::string, RunLoop>> kEveryLoop = {
    {"sa", &LoopCall::run_sa}, {"relaxer", &LoopCall::run_relaxer}, {"psa", &LoopCall::run_psa}};

// The vectors a trace prints under a label (the name line of the vector
// printer), in order of appearance, each read as n numbers.
inline std::vector<std::vector<double>> traced_vectors(const std::string& text,
                                                       const std::string& name, int n) {
  std::vector<std::vector<double>> out;
  const std::string label = std::string(25, ' ') + name + "\n";
  for (std::size_t at = text.find(label); at != std::string::npos;
       at = text.find(label, at + 1)) {
    std::istringstream in(text.substr(at + label.size()));
    std::vector<double> v(static_cast<std::size_t>(n));
    for (double& d : v) in >> d;
    out.push_back(v);
  }
  return out;
}

// The k-th value (1-based) of the main stream seeded with 1 and 2.
inline float stream_value(int k) {
  rmarin(1, 2);
  float r = 0.0f;
  for (int i = 0; i < k; ++i) r = ranmar();
  return r;
}

// Deviates drawn from the main stream since it was seeded with 1 and 2,
// found by matching the next value against a fresh stream (up to 2000). The
// stream is left as it was.
inline int consumed_since_seeding() {
  const RanmarState saved = raset1;
  const float next = ranmar();
  rmarin(1, 2);
  int found = -1;
  for (int k = 1; k <= 2000 && found < 0; ++k) {
    if (ranmar() == next) found = k - 1;
  }
  raset1 = saved;
  return found;
}

}  // namespace morlan::test
