#include "driver/run_storage.hpp"

#include "anneal/chainrun.hpp"
#include "anneal/ladderrun.hpp"
#include "driver/driver.hpp"
#include "io/console.hpp"
#include "measures/records.hpp"

namespace morlan {

Storage storage;

double& member(int k, int i) { return storage.pop((i - 1) * cfg::kNpop + k); }

void print_start() {
  io::say(" ");
  io::say("x0 = ", CVec(storage.shown));
}

RunResult run_control(const Settings& s) {
  lagcount.value = 0;  // the run's Lagrangian evaluations, for --count-evaluations
  lagcount.limit = driver_options().max_evaluations;  // 0: none
  RunResult r;
  if (s.multilevel == 0) {
    chainrun(r.isucc, storage.pop, storage.x, r.objval, r.maxvio, s.t0, s.rt);
  } else {
    ladderrun(r.isucc, s.nconsec, storage.pop, storage.x, r.objval, r.maxvio, s.t0, s.rt);
  }
  lagcount.limit = 0;
  return r;
}

}  // namespace morlan
