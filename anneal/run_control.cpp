#include "anneal/run_control.hpp"

#include <cmath>

#include "anneal/loop_call.hpp"
#include "anneal/population_loop.hpp"
#include "anneal/relaxed_loop.hpp"
#include "anneal/run_setup.hpp"
#include "anneal/sa.hpp"
#include "base/config.hpp"
#include "io/console.hpp"

namespace morlan {

namespace {

using namespace run_setup;

// Relative band within which a level's objective agrees with the best.
constexpr double kAgreement = 1.0e-4;

// The measures of one run: the prepared ones with the run's penalty weight
// and a count of their own.
Measure run_measure(const Measure& prepared) {
  Measure m = prepared;
  m.set_penalty(kRunPenalty);
  m.clear_evaluations();
  return m;
}

// One call of the loop of the rule with nt step-length adjustments per
// temperature, from temperature t, on the point x or the population pop.
// False when the rule names no loop: nothing ran and w.xbest holds no
// result; w.found tells whether the loop ended with a best vector. `blocks`
// takes the plain loop's count of cycle blocks.
bool run_loop(const RunSettings& s, Measure& m, double tolerance, StageWatch* watch, LoopWork& w,
              Vec x, Vec pop, int nt, double& t, std::int32_t& blocks) {
  const LoopCall call{cfg::kNtot, cfg::kNcon, w.lamfac, cfg::kNvar, kMaximize, s.rt, kEps, kNcyc,
                      nt, kNhist, w.xlow, w.xupp, w.cfac, kItrace, kSeed1, kSeed2, t, w.vm,
                      w.xbest, w.fbest, w.naccept, w.nevals, w.noutb, w.ier, w.fhist, w.naccv, m,
                      tolerance, watch, &w.found};
  switch (s.rule) {
    case kRulePlain:
      blocks = sa(call, x, w.xtrial);
      return true;
    case kRulePopulation:
      population_loop(call, pop);
      return true;
    case kRuleRelaxed:
      relaxed_loop(call, w.xrelax, x, w.xtrial);
      return true;
    default:
      return false;
  }
}

// The feasibility tolerance of a single-level run: the small configuration
// judges every rule by its own tight tolerance.
double chain_tolerance(int rule) {
  if (cfg::kSmall) return cfg::kChainVtol;
  return rule == kRuleRelaxed ? kRelaxedTolerance : kTolerance;
}

// The result of one level of the multi-level scheme.
struct Level {
  bool success = false;
  double obj = 0.0;
  double vio = 0.0;
  Array1<double, cfg::kNtot> point;  // on success, the loop's best point
};

// The best level so far and the run of levels that agreed with it.
struct Ladder {
  int nagree = 0;
  bool found = false;
  double bestobj = 1.0e20;
  double bestvio = 0.0;
  Array1<double, cfg::kNtot> bestx;

  // Takes a level's result; true when it is one agreement too many, so the
  // ladder ends. Agreement is measured against a recorded best only; the
  // first successful level is always recorded, whatever its objective.
  bool take(const Level& level, int nconsec) {
    if (!level.success) {
      nagree = 0;
      return false;
    }
    if (found && std::fabs(bestobj - level.obj) <= std::fabs(bestobj) * kAgreement) {
      nagree = nagree + 1;
      return nagree >= nconsec - 1;
    }
    nagree = 0;
    if (!found || level.obj < bestobj) {
      bestobj = level.obj;
      bestvio = level.vio;
      for (int i = 1; i <= cfg::kNtot; ++i) bestx(i) = level.point(i);
      found = true;
    }
    return false;
  }

  // The best so far handed back and printed with the level's nt.
  void hand_back(int nt, const Grid& grid, Vec x, RunOutcome& r) const {
    r.objval = bestobj;
    r.maxvio = bestvio;
    for (int i = 1; i <= cfg::kNtot; ++i) x(i) = bestx(i);
    io::say("return Obj =", r.objval, " vioMax =", r.maxvio, " NT =", nt);
    say_point("return x = ", x, grid);
  }
};

// One level with nt step-length adjustments per temperature, afresh from the
// caller's point or population and temperature, and its verdict printed: a
// level needs a violation strictly below the tolerance. A rule without a
// loop, or a loop that found no feasible vector, has no best point and
// fails.
void run_level(const RunSettings& s, Measure& m, StageWatch* watch, int nt, CVec pop, CVec x,
               Level& level, RunOutcome& r) {
  double t = s.t0;
  Array1<double, cfg::kNpop * cfg::kNtot> population;
  if (s.rule == kRulePopulation) {
    for (int k = 1; k <= cfg::kNpop * cfg::kNtot; ++k) population(k) = pop(k);
  } else {
    for (int i = 1; i <= cfg::kNtot; ++i) level.point(i) = x(i);
  }
  LoopWork w;
  const bool ran = run_loop(s, m, r.tolerance, watch, w, level.point, population, nt, t, r.blocks);

  level.vio = ran ? m.largest_unrelaxed_violation(w.xbest) : 0.0;
  level.success = ran && w.found && level.vio < r.tolerance;
  if (level.success) {
    level.obj = m.objective(w.xbest);
    for (int i = 1; i <= cfg::kNtot; ++i) level.point(i) = w.xbest(i);
    io::say("cSA: Obj =", level.obj, " vioMax =", level.vio, " at NT =", nt);
    say_point("cSA: x =", level.point, m.grid());
  } else {
    io::say("cSA: Obj fails at NT =", nt);
  }
  io::flush();
}

}  // namespace

RunOutcome chain_run(const RunSettings& s, const Measure& measure, StageWatch* watch, CVec pop,
                     Vec x) {
  Measure m = run_measure(measure);
  RunOutcome r;
  r.tolerance = chain_tolerance(s.rule);
  double t = s.t0;

  LoopWork w;
  // The population loop works on a copy: the caller's population is input.
  Array1<double, cfg::kNpop * cfg::kNtot> population;
  for (int k = 1; k <= cfg::kNpop * cfg::kNtot; ++k) population(k) = pop(k);

  const bool ran =
      run_loop(s, m, r.tolerance, watch, w, x, population, cfg::kChainNt, t, r.blocks);
  r.evaluations = m.evaluations();

  // Verdict on the loop's best feasible point by its unrelaxed violation. A
  // rule without a loop, or a loop that found no feasible vector, has no
  // best point and fails.
  const double v = ran ? m.largest_unrelaxed_violation(w.xbest) : 0.0;
  if (ran && w.found && v <= r.tolerance) {
    const double o = m.objective(w.xbest);
    for (int i = 1; i <= cfg::kNtot; ++i) x(i) = w.xbest(i);
    io::say("cSA: Obj = ", o, "  maxVio = ", v);
    say_point("cSA: x = ", x, m.grid());
    r.isucc = 1;
    r.objval = o;
    r.maxvio = v;
    return r;
  }

  r.isucc = 0;
  if (s.rule == kRulePopulation) {
    io::say("pSA fails");
    return r;
  }
  const double vstop = m.largest_unrelaxed_violation(x);
  const double ostop = m.objective(x);
  io::say("cSA: stop Obj = ", ostop, "  maxVio = ", vstop);
  say_point("cSA: stop x = ", x, m.grid());
  return r;
}

RunOutcome ladder_run(const RunSettings& s, const Measure& measure, StageWatch* watch, CVec pop,
                      Vec x) {
  Measure m = run_measure(measure);
  RunOutcome r;
  r.tolerance = s.rule == kRuleRelaxed ? kRelaxedTolerance : kTolerance;
  Ladder ladder;
  Level level;
  io::say(" ");
  // Levels run while nt stays below the scheme's limit and evaluations are
  // left: the evaluation limit counts the run's evaluations over all its
  // levels, and the level in which it is reached is the last.
  int last_nt = 0;
  for (int nt = 10; nt < cfg::kLadderNtMax && !m.evaluation_limit_reached(); nt = 2 * nt) {
    run_level(s, m, watch, nt, pop, x, level, r);
    last_nt = nt;
    r.evaluations = m.evaluations();
    // The caller's results follow every level.
    r.isucc = level.success ? 1 : 0;
    if (level.success) {
      r.objval = level.obj;
      r.maxvio = level.vio;
    }
    if (ladder.take(level, s.nconsec)) {
      ladder.hand_back(nt, m.grid(), x, r);
      return r;
    }
  }
  if (ladder.found) {
    r.isucc = 1;
    ladder.hand_back(last_nt, m.grid(), x, r);
  }
  return r;
}

}  // namespace morlan
