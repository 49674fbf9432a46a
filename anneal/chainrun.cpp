#include "anneal/chainrun.hpp"

#include "anneal/run_records.hpp"
#include "anneal/run_setup.hpp"
#include "base/config.hpp"
#include "io/console.hpp"
#include "measures/shift.hpp"

namespace morlan {

void fcn(int /*n*/, CVec x, double& f) { f = sh_dlag(x); }

void chainrun(int& isucc, CVec pop, Vec x, double& objval, double& maxvio, double t0, double rt) {
  using namespace run_setup;
  // The small configuration judges every rule by its own tight tolerance.
  double tolerance = kTolerance;
  if (cfg::kSmall) {
    tolerance = cfg::kChainVtol;
  } else if (msa.value == kRuleRelaxed) {
    tolerance = kRelaxedTolerance;
  }
  double t = t0;
  const double saved_rleq = enter(tolerance);

  LoopWork w;
  // The population loop works on a copy: the caller's population is input.
  Array1<double, cfg::kNpop * cfg::kNtot> population;
  for (int k = 1; k <= cfg::kNpop * cfg::kNtot; ++k) population(k) = pop(k);

  const bool ran = run_loop(w, x, population, cfg::kChainNt, t, rt, saved_rleq);

  // Verdict on the loop's best feasible point by its unrelaxed violation. A
  // rule without a loop, or a loop that found no feasible vector, has no
  // best point and fails.
  const double v = ran ? sh_oviomax(w.xbest) : 0.0;
  if (ran && bestfound.found && v <= vtol.value) {
    const double o = sh_obj(cfg::kNvar, w.xbest);
    for (int i = 1; i <= cfg::kNtot; ++i) x(i) = w.xbest(i);
    io::say("cSA: Obj = ", o, "  maxVio = ", v);
    say_point("cSA: x = ", x);
    isucc = 1;
    objval = o;
    maxvio = v;
    return;
  }

  isucc = 0;
  if (msa.value == kRulePopulation) {
    io::say("pSA fails");
    return;
  }
  const double vstop = sh_oviomax(x);
  const double ostop = sh_obj(cfg::kNvar, x);
  io::say("cSA: stop Obj = ", ostop, "  maxVio = ", vstop);
  say_point("cSA: stop x = ", x);
}

}  // namespace morlan
