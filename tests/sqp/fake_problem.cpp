#include "tests/sqp/fake_problem.hpp"

#include "measures/records.hpp"
#include "sif/csetup.hpp"
#include "sif/evaluate.hpp"

namespace morlan {

SlobjRecord slobj{1.0};

namespace fake {
Calls calls;
double c3_upper = 4.0;
}  // namespace fake

void csetup(int input, int iout, int& n, int& m, Vec x, Vec bl, Vec bu, int, LVec equatn, LVec,
            Vec, Vec cl, Vec cu, int, bool, bool, bool) {
  fake::calls.input_unit = input;
  fake::calls.message_unit = iout;
  n = 3;
  m = 4;
  x(1) = x(2) = x(3) = 0.0;
  bl(1) = -1.0e20, bu(1) = 5.0;
  bl(2) = -2.0, bu(2) = 1.0e20;
  bl(3) = -1.0e19, bu(3) = 3.0;
  equatn(1) = true;
  equatn(2) = equatn(3) = equatn(4) = false;
  cl(1) = cu(1) = 0.0;
  cl(2) = -1.0, cu(2) = 2.0;
  cl(3) = -1.0e20, cu(3) = fake::c3_upper;
  cl(4) = 0.0, cu(4) = 1.0e20;
}

void cofg(int, CVec x, double& f, Vec g, bool grad) {
  f = (x(1) - 2.0) * (x(1) - 2.0) + (x(2) - 1.0) * (x(2) - 1.0) + x(3) * x(3) + x(1) * x(3);
  if (grad) {
    g(1) = 2.0 * (x(1) - 2.0) + x(3);
    g(2) = 2.0 * (x(2) - 1.0);
    g(3) = 2.0 * x(3) + x(1);
  }
}

void ccifg(int, int icon, CVec x, double& ci, Vec g, bool grad) {
  double g1 = 0.0, g2 = 0.0, g3 = 0.0;
  switch (icon) {
    case 1:
      ci = x(1) + x(2) + x(3) - 1.0;
      g1 = g2 = g3 = 1.0;
      break;
    case 2:
      ci = x(1) * x(2);
      g1 = x(2);
      g2 = x(1);
      break;
    case 3:
      ci = x(3) * x(3);
      g3 = 2.0 * x(3);
      break;
    default:
      ci = x(1) - x(2);
      g1 = 1.0;
      g2 = -1.0;
      break;
  }
  if (grad) {
    g(1) = g1;
    g(2) = g2;
    g(3) = g3;
  }
}

}  // namespace morlan
