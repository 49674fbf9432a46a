#include "anneal/ladderrun.hpp"

#include <cmath>

#include "anneal/run_records.hpp"
#include "anneal/run_setup.hpp"
#include "base/config.hpp"
#include "io/console.hpp"
#include "measures/shift.hpp"

namespace morlan {

void ladderrun(int& isucc, int nconsec, CVec pop, Vec x, double& objval, double& maxvio, double t0,
               double rt) {
  using namespace run_setup;
  const double saved_rleq = enter(msa.value == kRuleRelaxed ? kRelaxedTolerance : kTolerance);

  int nagree = 0;
  bool found = false;
  double bestobj = 1.0e20;
  double bestvio = 0.0;
  Array1<double, cfg::kNtot> bestx;
  Array1<double, cfg::kNtot> point;
  Array1<double, cfg::kNpop * cfg::kNtot> population;

  io::say(" ");
  int nt = 10;
  for (; nt < cfg::kLadderNtMax; nt = 2 * nt) {
    // Every level starts afresh from the caller's point and temperature.
    double t = t0;
    if (msa.value == kRulePopulation) {
      for (int k = 1; k <= cfg::kNpop * cfg::kNtot; ++k) population(k) = pop(k);
    } else {
      for (int i = 1; i <= cfg::kNtot; ++i) point(i) = x(i);
    }
    LoopWork w;

    const bool ran = run_loop(w, point, population, nt, t, rt, saved_rleq);

    // A level needs a violation strictly below the tolerance. A rule
    // without a loop has no best point and fails every level.
    const double v = ran ? sh_oviomax(w.xbest) : 0.0;
    const bool success = ran && v < vtol.value;
    double o = 0.0;
    if (success) {
      o = sh_obj(cfg::kNvar, w.xbest);
      for (int i = 1; i <= cfg::kNtot; ++i) point(i) = w.xbest(i);
      io::say("cSA: Obj =", o, " vioMax =", v, " at NT =", nt);
      say_point("cSA: x =", point);
      isucc = 1;
      objval = o;
      maxvio = v;
    } else {
      io::say("cSA: Obj fails at NT =", nt);
      isucc = 0;
    }
    io::flush();

    if (!success) {
      nagree = 0;
      continue;
    }
    // Agreement is measured against a recorded best only; the first
    // successful level is always recorded, whatever its objective.
    if (found && std::fabs(bestobj - o) <= std::fabs(bestobj) * 1.0e-4) {
      nagree = nagree + 1;
      if (nagree >= nconsec - 1) {
        objval = bestobj;
        maxvio = bestvio;
        for (int i = 1; i <= cfg::kNtot; ++i) x(i) = bestx(i);
        io::say("return Obj =", objval, " vioMax =", maxvio, " NT =", nt);
        say_point("return x = ", x);
        return;
      }
    } else {
      nagree = 0;
      if (!found || o < bestobj) {
        bestobj = o;
        bestvio = v;
        for (int i = 1; i <= cfg::kNtot; ++i) bestx(i) = point(i);
        found = true;
      }
    }
  }

  if (found) {
    isucc = 1;
    objval = bestobj;
    maxvio = bestvio;
    for (int i = 1; i <= cfg::kNtot; ++i) x(i) = bestx(i);
    io::say("return Obj =", objval, " vioMax =", maxvio, " NT =", nt / 2);
    say_point("return x = ", x);
  }
}

}  // namespace morlan
