#include "tools/peers/peer_problem.hpp"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ctime>

#include "io/units.hpp"
#include "sif/csetup.hpp"
#include "sif/evaluate.hpp"

namespace morlan::peers {

namespace {

constexpr int kUnit = 55;
constexpr double kInfinite = 1.0e19;

// The larger of the two, a NaN winning over anything.
double worse(double largest, double v) {
  if (std::isnan(largest) || std::isnan(v)) return std::nan("");
  return v > largest ? v : largest;
}

}  // namespace

Problem problem;

void set_up() {
  if (io::open_old(kUnit, "OUTSDIF.d") != 0) {
    std::fprintf(stderr, "morlan-peers: cannot open OUTSDIF.d in the current directory\n");
    std::exit(2);
  }
  Problem& p = problem;
  csetup(kUnit, 6, p.n, p.m, p.x0, p.xl, p.xu, kCapacity, p.equatn, p.linear, p.v, p.cl, p.cu,
         kCapacity, true, false, false);
  for (int k = 1; k <= p.m; ++k) {
    if (p.equatn(k)) {
      p.equalities.push_back(k);
      continue;
    }
    if (p.cl(k) > -kInfinite) p.sides.push_back({k, true});
    if (p.cu(k) < kInfinite || p.cl(k) <= -kInfinite) p.sides.push_back({k, false});
  }
}

void evaluate(const double* x, Values& out) {
  const Problem& p = problem;
  out.x.assign(x, x + p.n);
  const CVec xv(out.x.data(), p.n);
  cofg(p.n, xv, out.f, Vec(), false);
  std::vector<double> c(p.m + 1);
  for (int k = 1; k <= p.m; ++k) ccifg(p.n, k, xv, c[k], Vec(), false);
  out.h.clear();
  out.g.clear();
  out.hmax = out.gmax = out.bmax = 0.0;
  for (int k : p.equalities) {
    out.h.push_back(c[k]);
    out.hmax = worse(out.hmax, std::fabs(c[k]));
  }
  for (auto [k, lower] : p.sides) {
    out.g.push_back(lower ? p.cl(k) - c[k] : c[k] - p.cu(k));
    out.gmax = worse(out.gmax, out.g.back());
  }
  for (int i = 1; i <= p.n; ++i) {
    out.bmax = worse(out.bmax, p.xl(i) - x[i - 1]);
    out.bmax = worse(out.bmax, x[i - 1] - p.xu(i));
  }
  out.violation = worse(worse(out.hmax, out.gmax), out.bmax);
  out.excess = worse(worse(std::max(out.hmax - kEqualityTolerance, 0.0), out.gmax), out.bmax);
  if (std::isnan(out.hmax)) out.excess = out.hmax;
}

double cpu_seconds() { return static_cast<double>(std::clock()) / CLOCKS_PER_SEC; }

}  // namespace morlan::peers
