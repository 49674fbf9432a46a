// The link test's own problem, in the small configuration's sizes:
//   minimise (x1 - 1)^2 + (x2 - 2)^2  subject to  x1 + x2 - 2 = 0,
//   -3 <= x1, x2 <= 3.
// Its solution is (0.5, 1.5) with objective 0.5.
#include "problem/adaptor.hpp"

namespace morlan {

PrbcsaRecord prbcsa;
XbndRecord xbnd;
CbndRecord cbnd;
BdinfoRecord bdinfo;

void init_csa_pd() { init_sif(); }

void init_sif() {
  for (int i = 1; i <= cfg::kBoundCapacity; ++i) {
    bdinfo.idineq(i) = -1;
    bdinfo.idbd(i) = -1;
  }
  for (int i = 1; i <= 2; ++i) {
    xbnd.xl(i) = -3.0;
    xbnd.xu(i) = 3.0;
    bdinfo.idbd(i) = 2;
  }
  cbnd.cl(1) = 0.0;
  cbnd.cu(1) = 0.0;
}

double obj(int, CVec x) { return (x(1) - 1.0) * (x(1) - 1.0) + (x(2) - 2.0) * (x(2) - 2.0); }

void dobj(int, CVec x, Vec g) {
  g(1) = 2.0 * (x(1) - 1.0);
  g(2) = 2.0 * (x(2) - 2.0);
}

double ceq(int, int, CVec x) { return x(1) + x(2) - 2.0; }

void dceq(int, int, CVec, Vec g) {
  g(1) = 1.0;
  g(2) = 1.0;
}

// The problem has no inequality; these are never reached.
double cineq(int, int, CVec) { return -1.0; }

void dcineq(int, int, CVec, Vec g) {
  g(1) = 0.0;
  g(2) = 0.0;
}

}  // namespace morlan
