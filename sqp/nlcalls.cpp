#include "sqp/nlcalls.hpp"

#include "measures/records.hpp"
#include "sqp/slopefd.hpp"
#include "sqp/solver_records.hpp"
#include "sqp/sqpglue.hpp"
#include "sqp/sqpstart.hpp"

namespace morlan {

void setup() {}

void ef(CVec x, double& fx) {
  ++o8cnt(1);
  fx = oobj(o8dim(1), x) / slobj.value;
}

void egradf(Vec x, Vec gradf) {
  ++o8cnt(2);
  if (isslopefd.value != 0) {
    egradf1(x, gradf);  // already the gradient of the scaled objective
    return;
  }
  doobj(o8dim(1), x, gradf);
  for (int k = 1; k <= o8dim(1); ++k) gradf(k) = gradf(k) / slobj.value;
}

void eh(int i, CVec x, double& hxi) {
  ++o8cnt(kO8CntValue + i);
  hxi = cceq(i, o8dim(1), x);
}

void egradh(int i, Vec x, Vec gradhi) {
  ++o8cnt(kO8CntGradient + i);
  if (isslopefd.value != 0) {
    egradh1(i, x, gradhi);
    return;
  }
  dcceq(i, o8dim(1), x, gradhi);
}

void eg(int i, CVec x, double& gxi) { gxi = -ccineq(i, o8dim(1), x); }

void egradg(int i, Vec x, Vec gradgi) {
  if (isslopefd.value != 0) {
    egradg1(i, x, gradgi);
    return;
  }
  dccineq(i, o8dim(1), x, gradgi);
  for (int k = 1; k <= o8dim(1); ++k) gradgi(k) = -gradgi(k);
}

void solchk() {}

}  // namespace morlan
