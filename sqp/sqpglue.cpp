#include "sqp/sqpglue.hpp"

#include <cmath>
#include <string>

#include "io/console.hpp"
#include "io/units.hpp"
#include "sif/csetup.hpp"
#include "sif/evaluate.hpp"
#include "sqp/solver_records.hpp"

namespace morlan {

PrbsqpRecord prbsqp;
XxbndRecord xxbnd;
CcbndRecord ccbnd;
BbdinfoRecord bbdinfo;
HhasdiscreteRecord hhasdiscrete;

namespace {

constexpr double kBigInf = 1.0e19;          // bounds beyond this are infinite
constexpr double kClampedBound = 10000.0;   // replaces an infinite variable bound
constexpr int kCapacity = cfg::kBoundCapacity;
constexpr int kDataUnit = 66;
constexpr int kMessageUnit = 7;

// Gradient scratch for value-only evaluations and for constraint gradients.
Array1<double, kCapacity> scratch;

Vec scratch_gradient() { return scratch.slice(1, prbsqp.n); }

double constraint_value(int k, CVec x) {
  double c = 0.0;
  ccifg(prbsqp.n, k, x, c, scratch_gradient(), false);
  return c;
}

[[noreturn]] void fail(const char* message) {
  io::say(message);
  io::error_stop();
}

// Which variable bound the bound inequality b (1-based among the bound
// inequalities) stands for; stops with the routine's messages when b is out
// of range.
struct BoundSide {
  int i;
  bool lower;
};
BoundSide locate_bound(int b, const char* wrong_m, const char* wrong_idbd) {
  int i = 0;
  int r = 0;
  while (r < b) {
    ++i;
    if (bbdinfo.idbd(i) < 0) fail(wrong_m);
    r += bbdinfo.idbd(i);
  }
  if (bbdinfo.idbd(i) == 2) return {i, r > b};
  if (bbdinfo.idbd(i) == 1) return {i, xxbnd.xl(i) > -kBigInf};
  fail(wrong_idbd);
}

// Which constraint the one-sided inequality j (1..ncineq) comes from, and
// its side. The walk starts after the equality constraints.
struct ConstraintSide {
  int k;
  bool lower;
};
ConstraintSide locate_constraint(int j, const char* wrong_m, const char* wrong_idineq) {
  int k = prbsqp.neq;
  int r = 0;
  while (r < j) {
    ++k;
    if (bbdinfo.idineq(k) < 0) fail(wrong_m);
    r += bbdinfo.idineq(k);
  }
  // Only reached with j < 1: k is then the last equality constraint.
  if (k < 1 || (bbdinfo.idineq(k) != 1 && bbdinfo.idineq(k) != 2)) fail(wrong_idineq);
  if (bbdinfo.idineq(k) == 2) return {k, r > j};
  return {k, ccbnd.cl(k) > -kBigInf};
}

}  // namespace

void initial_orvale() {
  o8dim(1) = 144;
  o8dim(2) = 123;
  o8dim(3) = 325;
  prbsqp = {144, 448, 123, 325};
  init_sqp_pd();
}

void init_sqp_pd() { iinit_sif(); }

void iinit_sif() {
  std::string name = "OUTSDIF.d";
  name.resize(64, ' ');
  io::open_old_or_stop(kDataUnit, name);

  static Array1<double, kCapacity> x0;
  static Array1<bool, kCapacity> equatn;
  static Array1<bool, kCapacity> linear;
  static Array1<double, kCapacity> v;
  int n = 0;
  int m = 0;
  csetup(kDataUnit, kMessageUnit, n, m, x0, xxbnd.xl, xxbnd.xu, kCapacity, equatn, linear, v,
         ccbnd.cl, ccbnd.cu, kCapacity, true, false, false);

  int e = 0;
  for (int k = 1; k <= m; ++k) {
    if (equatn(k)) ++e;
  }
  for (int k = 1; k <= kCapacity; ++k) bbdinfo.idineq(k) = -1;
  int ranges = 0;
  for (int k = e + 1; k <= m; ++k) {
    if (ccbnd.cl(k) > -kBigInf && ccbnd.cu(k) < kBigInf) {
      bbdinfo.idineq(k) = 2;
      ++ranges;
    } else {
      bbdinfo.idineq(k) = 1;
    }
  }
  bbdinfo.ncineq = (m - e) + ranges;

  for (int i = 1; i <= kCapacity; ++i) bbdinfo.idbd(i) = -1;
  for (int i = 1; i <= n; ++i) {
    if (xxbnd.xl(i) < -kBigInf) xxbnd.xl(i) = -kClampedBound;
    if (xxbnd.xu(i) > kBigInf) xxbnd.xu(i) = kClampedBound;
  }
  for (int i = 1; i <= n; ++i) {
    bbdinfo.idbd(i) = (xxbnd.xl(i) > -kBigInf ? 1 : 0) + (xxbnd.xu(i) < kBigInf ? 1 : 0);
  }
}

void xxbound(int, Vec xl, Vec xu) {
  for (int i = 1; i <= prbsqp.n; ++i) {
    xl(i) = xxbnd.xl(i);
    xu(i) = xxbnd.xu(i);
  }
}

double oobj(int, CVec x) {
  double f = 0.0;
  cofg(prbsqp.n, x, f, scratch_gradient(), false);
  return f;
}

void doobj(int, CVec x, Vec g) {
  double f = 0.0;
  cofg(prbsqp.n, x, f, scratch_gradient(), true);
  for (int k = 1; k <= prbsqp.n; ++k) g(k) = scratch(k);
}

double cceq(int i, int, CVec x) {
  const double c = constraint_value(i, x);
  if (hhasdiscrete.relaxed != 0) return std::fmax(std::fabs(c) - hhasdiscrete.tolerance, 0.0);
  return c;
}

void dcceq(int i, int, CVec x, Vec g) {
  double c = 0.0;
  ccifg(prbsqp.n, i, x, c, scratch_gradient(), true);
  for (int k = 1; k <= prbsqp.n; ++k) g(k) = scratch(k);
}

double ccineq(int j, int, CVec x) {
  if (j > bbdinfo.ncineq) {
    const BoundSide side =
        locate_bound(j - bbdinfo.ncineq, "wrong m in ccineq()", "wrong idbd(k) in ccineq()");
    if (side.lower) return xxbnd.xl(side.i) - x(side.i);
    return x(side.i) - xxbnd.xu(side.i);
  }
  const ConstraintSide side =
      locate_constraint(j, "wrong m in ccineq()", "wrong idineq(k) in ccineq()");
  const double c = constraint_value(side.k, x);
  if (side.lower) return ccbnd.cl(side.k) - c;
  return c - ccbnd.cu(side.k);
}

void dccineq(int j, int, CVec x, Vec g) {
  const int n = prbsqp.n;
  if (j > bbdinfo.ncineq) {
    const BoundSide side =
        locate_bound(j - bbdinfo.ncineq, "wrong m in dccineq()", "wrong idbd(k) in dccineq()");
    for (int k = 1; k <= n; ++k) g(k) = 0.0;
    g(side.i) = side.lower ? -1.0 : 1.0;
    return;
  }
  const ConstraintSide side =
      locate_constraint(j, "wrong m in dccineq()", "wrong idineq(k) in dccineq()");
  double c = 0.0;
  ccifg(n, side.k, x, c, scratch_gradient(), true);
  for (int k = 1; k <= n; ++k) g(k) = side.lower ? -scratch(k) : scratch(k);
}

double vviomax(int, CVec x) {
  // A NaN value makes the whole measure NaN: such a point is never taken for
  // feasible (a plain "strictly greater" test would skip it).
  double vmax = 0.0;
  for (int i = 1; i <= prbsqp.neq; ++i) {
    const double v = std::fabs(cceq(i, prbsqp.n, x));
    if (v > vmax || std::isnan(v)) vmax = v;
    if (std::isnan(vmax)) return vmax;
  }
  for (int j = 1; j <= prbsqp.nineq; ++j) {
    const double c = ccineq(j, prbsqp.n, x);
    const double v = std::isnan(c) ? c : (c > 0.0 ? c : 0.0);
    if (v > vmax || std::isnan(v)) vmax = v;
    if (std::isnan(vmax)) return vmax;
  }
  return vmax;
}

void xxdiscrete(int, IVec flags) {
  for (int i = 1; i <= prbsqp.n; ++i) flags(i) = 0;
}

}  // namespace morlan
