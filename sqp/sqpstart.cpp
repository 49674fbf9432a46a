// The module sqpstart.o: one local solve on the records of its interface.
#include "sqp/sqpstart.hpp"

#include "measures/records.hpp"
#include "sqp/local_solve.hpp"

namespace morlan {

IsslopefdRecord isslopefd;
NoiterRecord noiter;

void sqpstart(int& ifeas, Vec x, double& fobj, double& vmax, int& iters) {
  noiter.value = kSolveIterations;
  isslopefd.value = 0;
  const LocalSolution s = local_solve({slobj.value, false}, {noiter.value, 0.0}, x);
  ifeas = s.ifeas;
  fobj = s.fobj;
  vmax = s.vmax;
  iters = s.iters;
}

void setup0() {}

}  // namespace morlan
