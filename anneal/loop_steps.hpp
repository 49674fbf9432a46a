// The steps that the three annealing loops (sa, relaxer, psa) share, named
// after what they do in a run:
//
//   entry          begin_run, value_start, first_best, first_multiplier_steps
//   stage          start_stage
//   cycle block    variable_sweeps, adjust_steps, adapt_multiplier_steps,
//                  multiplier_trials, end_block
//   stage end      close_stage, stage_ends_run, reheat_for_violation, cool,
//                  restart_from
//   exit           finish
//   watching       watch_block, watch_report (the observer in stage_watch)
//   the run        anneal: the stages from entry to exit
//
// Each loop is a class derived from LoopCore that keeps its own differences
// (acceptance rule, what follows an accepted move, reheats, radius,
// population) in the members that variable_sweeps, multiplier_trials and
// anneal call. Every value a step measures comes from the call's measure,
// and every best vector is judged against the call's tolerance.
//
// Everything here is inline, so that each loop inlines the steps of its
// sweeps; the floating-point operations are written in the order the loops
// rely on for bit-identical runs. Header only.
#pragma once

#include <algorithm>
#include <cmath>

#include "anneal/loop_call.hpp"
#include "anneal/loop_rules.hpp"
#include "anneal/random.hpp"
#include "anneal/sa.hpp"
#include "anneal/stage_watch.hpp"
#include "anneal/trace.hpp"
#include "anneal/trial_point.hpp"
#include "base/one_based.hpp"
#include "io/console.hpp"
#include "measures/measure.hpp"

namespace morlan::loop_steps {

// Objective of "no feasible vector known yet", and the start of the
// stopping history.
inline constexpr double kNone = 1.0e20;
// Below this temperature the run ends whatever the stopping test says.
inline constexpr double kTemperatureFloor = 1.0e-6;
// Multiplier step factor of every constraint at entry.
inline constexpr double kFirstLamfac = 0.01;

// Counters of one temperature stage, reset at its start and printed by the
// stage trace.
struct StageCounts {
  int nimprove = 0;  // accepted variable trials that did not worsen the value
  int nworse = 0;    // accepted by the draw although worse
  int nreject = 0;   // rejected variable trials
  int noutt = 0;     // out-of-bounds trials: never raised, trials lie inside
  int nnewopt = 0;   // new best vectors (and, in relaxer, radius reductions)
};

// Per-constraint counts of consecutive cycle blocks with a nearly satisfied
// (nsmall) or a badly violated (nlarge) constraint, room for kRoom.
template <int kRoom>
struct FactorCounts {
  Array1<int, kRoom> nsmall;
  Array1<int, kRoom> nlarge;
};

// The loop call (loop_call.hpp) and the state of one run that every loop
// keeps: the base of each loop's class.
struct LoopCore : LoopCall {
  explicit LoopCore(const LoopCall& call) : LoopCall(call) {}

  double t0 = 0.0;         // temperature at entry
  double f = 0.0;          // value of the current vector
  double objbest = kNone;  // objective of xbest
  StageCounts counts{};
};

// --- Entry ---------------------------------------------------------------

// Entry step of every loop: keep the temperature, seed the stream, clear the
// counters and the history. False, after the message and ier = 3, when the
// temperature is not positive; nothing is evaluated then.
inline bool begin_run(LoopCore& run) {
  run.t0 = run.t;
  rmarin(run.seed1, run.seed2);
  run.naccept = 0;
  run.nevals = 0;
  run.noutb = 0;
  run.ier = kIerRunning;
  for (int i = 1; i <= run.nvar; ++i) run.naccv(i) = 0;
  for (int i = 1; i <= run.nhist; ++i) run.fhist(i) = kNone;
  if (!(run.t > 0.0)) {
    write_temperature_not_positive();
    run.ier = kIerTemperature;
    return false;
  }
  return true;
}

// Value of a vector to a loop that maximises: the Lagrangian, negated when
// the caller minimises it.
inline double search_value(const LoopCore& run, CVec v) {
  const double f = run.measure.lagrangian(v);
  return run.maximize ? f : -f;
}

// The start valued (and counted) as the current, the best and the newest
// history value.
inline void value_start(LoopCore& run, CVec x) {
  run.f = search_value(run, x);
  run.nevals = run.nevals + 1;
  run.fbest = run.f;
  run.fhist(1) = run.f;
  if (run.itrace > 0) prt2(run.maximize, run.ntot, x, run.f);
}

// The first best vector: x when it is feasible, otherwise none (xbest all
// zeros). Returns the best objective (kNone when none).
inline double first_best(Measure& measure, CVec x, bool feasible, int ntot, Vec xbest) {
  if (feasible) {
    const double objbest = measure.objective(x);
    for (int i = 1; i <= ntot; ++i) xbest(i) = x(i);
    return objbest;
  }
  for (int i = 1; i <= ntot; ++i) xbest(i) = 0.0;
  return kNone;
}

// Every multiplier step factor at its first value, and the multiplier step
// lengths from the constraint violations at x.
inline void first_multiplier_steps(LoopCore& run, CVec x) {
  for (int i = 1; i <= run.ncon; ++i) {
    run.lamfac(i) = kFirstLamfac;
    run.vm(run.nvar + i) = run.measure.violation(i, x) * run.lamfac(i);
  }
}

// --- Temperature stage ---------------------------------------------------

template <int kRoom>
void start_stage(LoopCore& run, FactorCounts<kRoom>& factors) {
  run.counts = StageCounts{};
  for (int i = 1; i <= run.ncon; ++i) {
    factors.nsmall(i) = 0;
    factors.nlarge(i) = 0;
  }
}

// --- Cycle block ---------------------------------------------------------

// The two violation measures a loop judges best vectors by, as the test
// "the largest violation at x is below tol".
enum class Judged { kRelaxed, kUnrelaxed };

inline bool violation_below(Measure& measure, Judged judged, CVec x, double tol) {
  return judged == Judged::kRelaxed ? measure.largest_violation_below(x, tol)
                                    : measure.largest_unrelaxed_violation_below(x, tol);
}

// x becomes the best vector when its violation (by the measure `judged`) is
// below vtol and its objective below the best so far (ties keep the older
// vector); fbest takes the value f. The objective is asked first: it comes
// from the value cache, while the violation test scans the constraints,
// and most accepted moves do not improve on the best objective. Both are
// pure functions of x, so the order changes nothing but the time.
inline bool take_if_best(LoopCore& run, CVec x, Judged judged, double f) {
  const double o = run.measure.objective(x);
  if (!(o < run.objbest)) return false;
  if (!violation_below(run.measure, judged, x, run.vtol)) return false;
  for (int k = 1; k <= run.ntot; ++k) run.xbest(k) = x(k);
  run.objbest = o;
  run.fbest = f;
  return true;
}

// The best-vector check after an accepted move: as take_if_best with the
// current value, traced and counted.
inline bool check_best(LoopCore& run, CVec x, Judged judged) {
  if (!take_if_best(run, x, judged, run.f)) return false;
  if (run.itrace > 2) io::line("  NEW OPTIMUM");
  run.counts.nnewopt = run.counts.nnewopt + 1;
  return true;
}

// The variable trials of a cycle block: from a trial vector equal to the
// current vector x, ncyc sweeps over the variables in order; each trial
// moves one variable, is valued, and is kept or undone by the loop's verdict.
// The loop supplies value(v), verdict(ftrial) (see Verdict) and
// check_new_vector(), called after a move taken without the Metropolis draw
// (the best-vector check; relaxer reduces its radius first).
template <class Loop>
void variable_sweeps(Loop& loop, Vec x, Vec xtrial, int idist) {
  LoopCore& run = loop;
  // What the trials only read, held apart from the run's changing state.
  const int nvar = run.nvar;
  const int ncyc = run.ncyc;
  const bool traced = run.itrace > 2;
  const CVec vm = run.vm;
  const CVec xlow = run.xlow;
  const CVec xupp = run.xupp;
  const IVec naccv = run.naccv;
  const Grid& grid = run.measure.grid();
  for (int k = 1; k <= run.ntot; ++k) xtrial(k) = x(k);
  for (int j = 1; j <= ncyc; ++j) {
    for (int i = 1; i <= nvar; ++i) {
      xtrial(i) = xpi(grid, idist, i, x(i), vm(i), xlow(i), xupp(i));
      const double ftrial = loop.value(xtrial);
      run.nevals = run.nevals + 1;
      if (traced) prt4(run.maximize, run.ntot, xtrial, x, ftrial, run.f);
      const Verdict verdict = loop.verdict(ftrial);
      if (verdict == Verdict::kRejected) {
        if (traced) prt7(run.maximize);
        xtrial(i) = x(i);
        run.counts.nreject = run.counts.nreject + 1;
        continue;
      }
      x(i) = xtrial(i);
      run.f = ftrial;
      run.naccept = run.naccept + 1;
      naccv(i) = naccv(i) + 1;
      if (verdict == Verdict::kImproving) {
        if (traced) io::line("  POINT ACCEPTED");
        run.counts.nimprove = run.counts.nimprove + 1;
        loop.check_new_vector();
      } else if (verdict == Verdict::kWorse) {
        if (traced) prt6(run.maximize);
        run.counts.nworse = run.counts.nworse + 1;
      } else {
        loop.check_new_vector();
      }
    }
  }
}

// Step lengths of the variables after the block's trials (adaptive
// schedule), by the rule of the trial distribution.
inline void adjust_steps(LoopCore& run, int idist, Thresholds th) {
  for (int i = 1; i <= run.nvar; ++i) {
    run.vm(i) = adjusted_step(idist, run.vm(i), run.naccv(i), run.ncyc, run.cfac(i), th,
                              run.xupp(i) - run.xlow(i));
  }
}

// Multiplier step factors from the constraint violations at x, and the
// multiplier step lengths: factor times violation.
template <int kRoom>
void adapt_multiplier_steps(LoopCore& run, FactorCounts<kRoom>& factors, CVec x) {
  for (int i = 1; i <= run.ncon; ++i) {
    const double c = run.measure.violation(i, x);
    adapt_lamfac(c, run.t, factors.nsmall(i), factors.nlarge(i), run.lamfac(i));
    run.vm(run.nvar + i) = run.lamfac(i) * c;
  }
}

// The multiplier trials of a cycle block: from a trial vector equal to x,
// each multiplier in order whose constraint is violated by vtol or more
// takes a random step, kept at or above zero and at most Loop::kMultiplierCap,
// and is kept or undone by the loop. The loop supplies value(v),
// multiplier_trial(j, r, c, x) (the unclamped new value of position j from
// the draw r and the violation c) and accepts_multiplier(ftrial). No counter
// is raised.
template <class Loop>
void multiplier_trials(Loop& loop, Vec x, Vec xtrial) {
  LoopCore& run = loop;
  for (int k = 1; k <= run.ntot; ++k) xtrial(k) = x(k);
  for (int j = run.nvar + 1; j <= run.ntot; ++j) {
    const double c = run.measure.violation(j - run.nvar, x);
    if (c < run.vtol) continue;
    const double r = static_cast<double>(ranmar());
    xtrial(j) = loop.multiplier_trial(j, r, c, x);
    if (xtrial(j) < 0.0) xtrial(j) = 0.0;
    if (xtrial(j) > Loop::kMultiplierCap) xtrial(j) = Loop::kMultiplierCap;
    const double ftrial = loop.value(xtrial);
    if (loop.accepts_multiplier(ftrial)) {
      x(j) = xtrial(j);
      run.f = ftrial;
    } else {
      xtrial(j) = x(j);
    }
  }
}

// The step of a multiplier of sa and relaxer: its step length times a
// uniform deviate in (-1, 1).
inline double multiplier_step_trial(const LoopCore& run, int j, double r, CVec x) {
  return (2.0 * r - 1.0) * run.vm(j) + x(j);
}

// End of a cycle block: the block trace and a fresh count of accepted trials.
inline void end_block(LoopCore& run, CVec x) {
  if (run.itrace > 1) prt8(run.ntot, run.vm, run.xbest, x);
  for (int i = 1; i <= run.nvar; ++i) run.naccv(i) = 0;
}

// --- Stage end -----------------------------------------------------------

// The stage trace, and the variable step lengths reset to min(range, 1): the
// adaptive steps of every stage start from the same length.
inline void close_stage(LoopCore& run) {
  if (run.itrace > 0) {
    const StageCounts& c = run.counts;
    prt9(run.maximize, run.ntot, run.t, run.xbest, run.vm, run.fbest, c.nimprove, c.nworse,
         c.nreject, c.noutt, c.nnewopt);
  }
  for (int i = 1; i <= run.nvar; ++i) run.vm(i) = std::min(run.xupp(i) - run.xlow(i), 1.0);
}

// The stopping test, with the current value as the newest history entry:
// the current value is as good as the best and has not moved by more than
// eps over the last nhist stages. True when the run may end here: the test
// holds or the temperature is below the floor.
inline bool stage_ends_run(LoopCore& run) {
  run.fhist(1) = run.f;
  bool quit = run.fbest - run.fhist(1) <= run.eps;
  for (int i = 1; i <= run.nhist; ++i) {
    if (std::fabs(run.f - run.fhist(i)) > run.eps) quit = false;
  }
  return run.t < kTemperatureFloor || quit;
}

// A reheat to 100 times `level`, never above the temperature at entry.
inline void reheat_to(LoopCore& run, double level) {
  run.t = 100.0 * level;
  if (run.t > run.t0) run.t = run.t0;
}

// Instead of ending: while the budget lasts and the violation of x exceeds
// vtol, reheat to 100 times that violation (one unit of the budget spent)
// and say so. False when the run ends.
inline bool reheat_for_violation(LoopCore& run, int& budget, CVec x) {
  if (budget <= 0) return false;
  const double v = run.measure.largest_violation(x);
  if (!(v > run.vtol)) return false;
  budget = budget - 1;
  reheat_to(run, v);
  io::say("Re-annealing from T =", run.t);
  return true;
}

// Cooling to the next stage; the history moves one place back.
inline void cool(LoopCore& run) {
  run.t = run.rt * run.t;
  for (int i = run.nhist; i >= 2; --i) run.fhist(i) = run.fhist(i - 1);
}

// After a stage with new best vectors the next one starts from `from` with
// value `f`: its variables only; the multipliers keep their current values
// and the value is not re-evaluated.
inline void restart_from(LoopCore& run, Vec x, double f, CVec from) {
  if (run.counts.nnewopt == 0) return;
  run.f = f;
  for (int i = 1; i <= run.nvar; ++i) x(i) = from(i);
}

// Normal end of sa and relaxer: fbest back in the caller's sign.
inline void finish(LoopCore& run) {
  run.ier = kIerNormal;
  if (!run.maximize) run.fbest = -run.fbest;
  if (run.itrace > 0) prt10();
}

// --- Watching ------------------------------------------------------------

static_assert(kNone == kNoneFeasible, "an observer tells no best by the loops' own mark");

// The loop's current vector as the observer sees it. The loop supplies
// current() (its current vector) and lagrangian() (the value of it in the
// caller's sign). The objective and the violation are measured here; the
// value cache returns the same bits to the loop whatever it measured before.
template <class Loop>
StageReport watch_report(const Loop& loop) {
  const LoopCore& run = loop;
  const CVec x = loop.current();
  StageReport report;
  report.temperature = run.t;
  report.lagrangian = loop.lagrangian();
  report.objective = run.measure.objective(x);
  report.violation = run.measure.largest_unrelaxed_violation(x);
  report.problem_violation = run.measure.problem_violation(x);
  report.counted_evaluations = run.measure.evaluations();
  report.best_objective = run.objbest;
  const StageCounts& c = run.counts;
  const int accepted = c.nimprove + c.nworse;
  const int tried = accepted + c.nreject;
  report.acceptance = tried > 0 ? static_cast<double>(accepted) / static_cast<double>(tried) : 0.0;
  report.evaluations = run.nevals;
  return report;
}

// End of a cycle block: a report when the observer asks for one. Without an
// observer this is one test of a pointer.
template <class Loop>
void watch_block(const Loop& loop) {
  StageWatch* watch = loop.watch;
  if (watch == nullptr || !watch->block_report_due()) return;
  watch->block_ended(watch_report(loop));
}

// --- The run -------------------------------------------------------------

// The temperature stages of a loop, from its entry to its exit: each stage
// is closed and tested; a run that may end reheats instead while the loop
// allows, and otherwise ends; a run that goes on cools and restarts as the
// loop says. The loop supplies enter() (false: nothing to run),
// temperature_stage(), close_stage(), reheat(), finish() and
// restart_after_cooling(), and for the observer current() and lagrangian().
//
// When the evaluation limit is reached (the measure throws before the
// first evaluation past it), the run ends where it stands: the stage in
// progress is closed and reported, and the loop finishes as at a normal
// end, with the best vector it has. The call's `found` learns whether the
// loop ended with a best vector.
template <class Loop>
void anneal(Loop& loop) {
  if (loop.found != nullptr) *loop.found = false;
  StageWatch* const watch = loop.watch;
  bool watched = false;
  try {
    if (!loop.enter()) return;
    if (watch != nullptr) watch->loop_started(loop.nt, loop.t, loop.rt);
    watched = watch != nullptr;
    for (;;) {
      loop.temperature_stage();
      loop.close_stage();
      if (watch != nullptr) watch->stage_ended(watch_report(loop));
      if (stage_ends_run(loop)) {
        if (loop.reheat()) continue;
        break;
      }
      cool(loop);
      loop.restart_after_cooling();
    }
  } catch (const EvaluationLimitReached&) {
    loop.close_stage();
    if (watched) watch->stage_ended(watch_report(loop));
  }
  loop.finish();
  if (loop.found != nullptr) *loop.found = loop.objbest < kNone;
}

}  // namespace morlan::loop_steps
