// The preparation steps on the records of the delivered modules' interface
// (anneal/prepare.hpp).
#include "anneal/module_records.hpp"
#include "anneal/prepare.hpp"
#include "measures/records.hpp"

namespace morlan {

IsdxRecord isdx;
NdsampleRecord ndsample;

void init_t(double& t0, double& tf) {
  // The estimate evaluates the points as they are drawn: no shift.
  Grid unshifted = module_records::grid();
  unshifted.shifted = false;
  Measure estimate(module_records::form(), unshifted);
  const Temperatures t = initial_temperature(estimate);
  t0 = t.t0;
  tf = t.tf;
}

void dxinfo(int /*n*/, Vec gspace, Vec shift) {
  lay_out_grid(isdx, ndsample, gspace, shift);
  hasdiscrete.needshift = false;
}

}  // namespace morlan
