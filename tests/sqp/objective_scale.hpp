// The protocol's objective at one point under two objective scales, for the
// binding's tests on the stand-in and on the bundled problem. Header only.
#pragma once

#include "base/one_based.hpp"
#include "measures/records.hpp"
#include "sqp/nlcalls.hpp"
#include "sqp/sqpstart.hpp"

namespace morlan::testing {

// ef and egradf (analytic and numerical) at x with slobj = 1 and slobj = 10.
template <int N>
struct ObjectiveAtTwoScales {
  double f1 = 0.0, f10 = 0.0;
  Array1<double, N> analytic1, analytic10, numerical1, numerical10;
};

// Leaves slobj at 10 and the gradients analytic.
template <int N>
ObjectiveAtTwoScales<N> objective_at_two_scales(Array1<double, N>& x) {
  ObjectiveAtTwoScales<N> r;
  slobj.value = 1.0;
  isslopefd.value = 0;
  ef(x, r.f1);
  egradf(x, r.analytic1);
  isslopefd.value = 1;
  egradf(x, r.numerical1);
  slobj.value = 10.0;
  egradf(x, r.numerical10);
  isslopefd.value = 0;
  egradf(x, r.analytic10);
  ef(x, r.f10);
  return r;
}

}  // namespace morlan::testing
