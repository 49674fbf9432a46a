// A problem of the main configuration's sizes whose values a test sets by
// hand: a fixed objective and fixed constraint values, or functions of the
// point. It counts its evaluations.
#pragma once

#include <functional>

#include "base/config.hpp"
#include "base/one_based.hpp"

namespace morlan::testing {

struct ScriptedProblem {
  double f = 0.0;
  Array1<double, cfg::kNeq> h;    // equality values h_i
  Array1<double, cfg::kNineq> g;  // one-sided inequality values g_j
  // When set, these replace the fixed values.
  std::function<double(CVec)> objective;
  std::function<double(int, CVec)> equality;
  std::function<double(int, CVec)> inequality;
  int objective_calls = 0;
  int equality_calls = 0;
  int inequality_calls = 0;
};

extern ScriptedProblem scripted;

// Fresh problem (zero objective, zero equalities, inequalities holding at
// -1) and the records of the Lagrangian layer and of the grid reset to their
// start-up state, with slobj = 1.
void reset_scripted();

}  // namespace morlan::testing
