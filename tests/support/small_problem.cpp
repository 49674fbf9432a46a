// Problem adaptor of the small configuration: see small_problem.hpp.
#include "tests/support/small_problem.hpp"

#include "problem/adaptor.hpp"
#include "base/config.hpp"

static_assert(morlan::cfg::kNvar == 2 && morlan::cfg::kNcon == 1,
              "the small problem belongs to the small configuration");

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
  for (int i = 1; i <= cfg::kNvar; ++i) {
    xbnd.xl(i) = small_problem::kLower;
    xbnd.xu(i) = small_problem::kUpper;
    bdinfo.idbd(i) = 2;
  }
  // The constraint x1 + x2 - b: an equality (bounds 0, 0) or, as an
  // inequality, a lower bound 0 on it.
  cbnd.cl(1) = 0.0;
  cbnd.cu(1) = cfg::kNeq == 1 ? 0.0 : 1.0e20;
  if (cfg::kNineq == 1) bdinfo.idineq(1) = 1;
}

double obj(int, CVec x) {
  ++small_problem::evaluations;
  return x(1) * x(1) + x(2) * x(2);
}

void dobj(int, CVec x, Vec g) {
  g(1) = 2.0 * x(1);
  g(2) = 2.0 * x(2);
}

double ceq(int, int, CVec x) { return x(1) + x(2) - small_problem::rhs; }

void dceq(int, int, CVec, Vec g) {
  g(1) = 1.0;
  g(2) = 1.0;
}

// The lower-bound side of the constraint: b - x1 - x2 <= 0.
double cineq(int, int, CVec x) { return small_problem::rhs - x(1) - x(2); }

void dcineq(int, int, CVec, Vec g) {
  g(1) = -1.0;
  g(2) = -1.0;
}

namespace small_problem {

double rhs = 1.0;
long evaluations = 0;

void install() {
  rhs = 1.0;
  evaluations = 0;
  prbcsa = {cfg::kNvar, cfg::kNcon, cfg::kNeq, cfg::kNineq};
  init_csa_pd();
}

}  // namespace small_problem
}  // namespace morlan
