// The module ladderrun.o: the multi-level run control on the records of
// its interface.
#include "anneal/ladderrun.hpp"

#include "anneal/module_records.hpp"
#include "anneal/run_control.hpp"

namespace morlan {

void ladderrun(int& isucc, int nconsec, CVec pop, Vec x, double& objval, double& maxvio, double t0,
               double rt) {
  const RunSettings settings{msa.value, nconsec, t0, rt};
  const RunOutcome r = ladder_run(settings, module_records::measure(), nullptr, pop, x);
  module_records::keep(r);
  isucc = r.isucc;
  if (r.isucc == 1) {
    objval = r.objval;
    maxvio = r.maxvio;
  }
}

}  // namespace morlan
