#include "problem/adaptor.hpp"

#include <string>

#include "io/console.hpp"
#include "io/units.hpp"
#include "sif/csetup.hpp"
#include "sif/evaluate.hpp"

namespace morlan {

PrbcsaRecord prbcsa;
XbndRecord xbnd;
CbndRecord cbnd;
BdinfoRecord bdinfo;

namespace {

constexpr int kDataUnit = 55;
constexpr int kCapacity = cfg::kBoundCapacity;
constexpr double kReplacedBound = 10000.0;  // stands in for an infinite variable bound

// The set-up's other outputs, kept only while it runs.
Array1<double, kCapacity> start_point;
Array1<double, kCapacity> multipliers;
Array1<bool, kCapacity> equality;
Array1<bool, kCapacity> linear_flag;

// The constraint that yields one-sided inequality m, and the running count
// of one-sided inequalities up to and including it.
int locate_one_sided(int m, int& r, const char* routine) {
  int k = prbcsa.neq;
  r = 0;
  while (r < m) {
    ++k;
    if (k > kCapacity || bdinfo.idineq(k) < 0) {
      io::say("wrong m in ", routine, "()");
      io::error_stop();
    }
    r += bdinfo.idineq(k);
  }
  return k;
}

// True when one-sided inequality m, produced by constraint k with running
// count r, is the lower-bound side.
bool lower_side(int m, int k, int r) {
  const int kind = k >= 1 ? bdinfo.idineq(k) : 0;
  if (kind == 2) return r > m;
  if (kind == 1) return cbnd.cl(k) > -kBigInf;
  io::say("wrong idineq(k) in cineq()");
  io::error_stop();
}

}  // namespace

void init_csa_pd() { init_sif(); }

void init_sif() {
  std::string name = "OUTSDIF.d";
  name.resize(64, ' ');
  io::open_old_or_stop(kDataUnit, name);
  int n = 0;
  int m = 0;
  csetup(kDataUnit, io::kStdout, n, m, start_point, xbnd.xl, xbnd.xu, kCapacity, equality,
         linear_flag, multipliers, cbnd.cl, cbnd.cu, kCapacity, true, false, false);

  int e = 0;
  for (int k = 1; k <= m; ++k) {
    if (equality(k)) ++e;
  }
  // Every evaluation hands on prbcsa.n and walks from prbcsa.neq: a file of
  // other sizes would make them read outside the problem's arrays.
  if (n != prbcsa.n || m != prbcsa.m || e != prbcsa.neq) {
    io::flush();
    io::line("OUTSDIF.d: the problem has " + std::to_string(n) + " variables, " +
                 std::to_string(m) + " constraints and " + std::to_string(e) +
                 " equalities; this program is built for " + std::to_string(prbcsa.n) + ", " +
                 std::to_string(prbcsa.m) + " and " + std::to_string(prbcsa.neq),
             0);
    io::stop(io::kExitInputError);
  }

  for (int k = 1; k <= kCapacity; ++k) bdinfo.idineq(k) = -1;
  for (int k = e + 1; k <= m; ++k) {
    bdinfo.idineq(k) = (cbnd.cl(k) > -kBigInf && cbnd.cu(k) < kBigInf) ? 2 : 1;
  }
  for (int i = 1; i <= kCapacity; ++i) bdinfo.idbd(i) = -1;
  for (int i = 1; i <= n; ++i) {
    if (xbnd.xl(i) < -kBigInf) xbnd.xl(i) = -kReplacedBound;
    if (xbnd.xu(i) > kBigInf) xbnd.xu(i) = kReplacedBound;
  }
  for (int i = 1; i <= n; ++i) {
    bdinfo.idbd(i) = (xbnd.xl(i) > -kBigInf ? 1 : 0) + (xbnd.xu(i) < kBigInf ? 1 : 0);
  }
}

double obj(int, CVec x) {
  double f = 0.0;
  cofg(prbcsa.n, x, f, Vec(), false);
  return f;
}

void dobj(int, CVec x, Vec g) {
  double f = 0.0;
  cofg(prbcsa.n, x, f, g, true);
}

double ceq(int k, int, CVec x) {
  double c = 0.0;
  ccifg(prbcsa.n, k, x, c, Vec(), false);
  return c;
}

void dceq(int k, int, CVec x, Vec g) {
  double c = 0.0;
  ccifg(prbcsa.n, k, x, c, g, true);
}

double cineq(int m, int, CVec x) {
  int r = 0;
  const int k = locate_one_sided(m, r, "cineq");
  double c = 0.0;
  ccifg(prbcsa.n, k, x, c, Vec(), false);
  return lower_side(m, k, r) ? cbnd.cl(k) - c : c - cbnd.cu(k);
}

void dcineq(int m, int, CVec x, Vec g) {
  int r = 0;
  const int k = locate_one_sided(m, r, "dcineq");
  double c = 0.0;
  ccifg(prbcsa.n, k, x, c, g, true);
  if (lower_side(m, k, r)) {
    for (int i = 1; i <= prbcsa.n; ++i) g(i) = -g(i);
  }
}

}  // namespace morlan
