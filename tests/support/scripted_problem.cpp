#include "tests/support/scripted_problem.hpp"

#include "measures/records.hpp"
#include "problem/adaptor.hpp"

namespace morlan {

PrbcsaRecord prbcsa;
XbndRecord xbnd;
CbndRecord cbnd;
BdinfoRecord bdinfo;

void init_csa_pd() {}
void init_sif() {}

double obj(int, CVec x) {
  ++testing::scripted.objective_calls;
  return testing::scripted.objective ? testing::scripted.objective(x) : testing::scripted.f;
}
double ceq(int k, int, CVec x) {
  ++testing::scripted.equality_calls;
  return testing::scripted.equality ? testing::scripted.equality(k, x) : testing::scripted.h(k);
}
double cineq(int m, int, CVec x) {
  ++testing::scripted.inequality_calls;
  return testing::scripted.inequality ? testing::scripted.inequality(m, x)
                                      : testing::scripted.g(m);
}
// Gradients mark which routine answered: 100 + k for an equality, 200 + m
// for an inequality, 0 for the objective.
void dobj(int, CVec, Vec g) { g(1) = 0.0; }
void dceq(int k, int, CVec, Vec g) { g(1) = 100.0 + k; }
void dcineq(int m, int, CVec, Vec g) { g(1) = 200.0 + m; }

namespace testing {

ScriptedProblem scripted;

void reset_scripted() {
  scripted = ScriptedProblem{};
  for (int j = 1; j <= cfg::kNineq; ++j) scripted.g(j) = -1.0;
  mlag.value = 0;
  penalty.value = 0.0;
  slobj.value = 1.0;
  reuse.value = 0;
  ruindex = RuindexRecord{};
  rleq.value = 0.0;
  hasdiscrete = HasdiscreteRecord{};
  discrete = DiscreteRecord{};
  prbcsa = PrbcsaRecord{cfg::kNvar, cfg::kNcon, cfg::kNeq, cfg::kNineq};
}

}  // namespace testing
}  // namespace morlan
