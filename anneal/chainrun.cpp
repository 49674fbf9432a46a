// The module chainrun.o: the single-level run control and the search value
// on the records of its interface.
#include "anneal/chainrun.hpp"

#include "anneal/module_records.hpp"
#include "anneal/run_control.hpp"

namespace morlan {

void fcn(int /*n*/, CVec x, double& f) { f = module_records::measure().lagrangian(x); }

void chainrun(int& isucc, CVec pop, Vec x, double& objval, double& maxvio, double t0, double rt) {
  const RunSettings settings{msa.value, 0, t0, rt};
  const RunOutcome r = chain_run(settings, module_records::measure(), nullptr, pop, x);
  module_records::keep(r);
  isucc = r.isucc;
  if (r.isucc == 1) {
    objval = r.objval;
    maxvio = r.maxvio;
  }
}

}  // namespace morlan
