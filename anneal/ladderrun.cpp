#include "anneal/ladderrun.hpp"

#include <cmath>

#include "anneal/run_records.hpp"
#include "anneal/run_setup.hpp"
#include "base/config.hpp"
#include "io/console.hpp"
#include "measures/shift.hpp"

namespace morlan {

namespace {

using namespace run_setup;

// Relative band within which a level's objective agrees with the best.
constexpr double kAgreement = 1.0e-4;

// The result of one level.
struct Level {
  bool success = false;
  double obj = 0.0;
  double vio = 0.0;
  Array1<double, cfg::kNtot> point;  // on success, the loop's best point
};

// One level with nt step-length adjustments per temperature, afresh from the
// caller's point or population and temperature, and its verdict printed: a
// level needs a violation strictly below the tolerance. A rule without a
// loop, or a loop that found no feasible vector, has no best point and
// fails.
void run_level(int nt, CVec pop, CVec x, double t0, double rt, double saved_rleq, Level& level) {
  double t = t0;
  Array1<double, cfg::kNpop * cfg::kNtot> population;
  if (msa.value == kRulePopulation) {
    for (int k = 1; k <= cfg::kNpop * cfg::kNtot; ++k) population(k) = pop(k);
  } else {
    for (int i = 1; i <= cfg::kNtot; ++i) level.point(i) = x(i);
  }
  LoopWork w;
  const bool ran = run_loop(w, level.point, population, nt, t, rt, saved_rleq);

  level.vio = ran ? sh_oviomax(w.xbest) : 0.0;
  level.success = ran && bestfound.found && level.vio < vtol.value;
  if (level.success) {
    level.obj = sh_obj(cfg::kNvar, w.xbest);
    for (int i = 1; i <= cfg::kNtot; ++i) level.point(i) = w.xbest(i);
    io::say("cSA: Obj =", level.obj, " vioMax =", level.vio, " at NT =", nt);
    say_point("cSA: x =", level.point);
  } else {
    io::say("cSA: Obj fails at NT =", nt);
  }
  io::flush();
}

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
  void hand_back(int nt, Vec x, double& objval, double& maxvio) const {
    objval = bestobj;
    maxvio = bestvio;
    for (int i = 1; i <= cfg::kNtot; ++i) x(i) = bestx(i);
    io::say("return Obj =", objval, " vioMax =", maxvio, " NT =", nt);
    say_point("return x = ", x);
  }
};

}  // namespace

void ladderrun(int& isucc, int nconsec, CVec pop, Vec x, double& objval, double& maxvio, double t0,
               double rt) {
  const double saved_rleq = enter(msa.value == kRuleRelaxed ? kRelaxedTolerance : kTolerance);
  Ladder ladder;
  Level level;
  io::say(" ");
  // Levels run while nt stays below the scheme's limit and evaluations are
  // left: the evaluation limit counts the run's evaluations over all its
  // levels, and the level in which it is reached is the last.
  int last_nt = 0;
  for (int nt = 10; nt < cfg::kLadderNtMax && !evaluation_limit_reached(); nt = 2 * nt) {
    run_level(nt, pop, x, t0, rt, saved_rleq, level);
    last_nt = nt;
    // The caller's results follow every level.
    isucc = level.success ? 1 : 0;
    if (level.success) {
      objval = level.obj;
      maxvio = level.vio;
    }
    if (ladder.take(level, nconsec)) {
      ladder.hand_back(nt, x, objval, maxvio);
      return;
    }
  }
  if (ladder.found) {
    isucc = 1;
    ladder.hand_back(last_nt, x, objval, maxvio);
  }
}

}  // namespace morlan
