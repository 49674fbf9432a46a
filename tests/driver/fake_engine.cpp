#include "tests/driver/fake_engine.hpp"

#include <cmath>

#include "anneal/chainrun.hpp"
#include "anneal/ladderrun.hpp"
#include "anneal/prepare.hpp"
#include "anneal/random.hpp"
#include "anneal/run_records.hpp"
#include "anneal/sa.hpp"
#include "anneal/trial_point.hpp"
#include "base/config.hpp"
#include "driver/driver.hpp"
#include "driver/polish_extension.hpp"
#include "io/console.hpp"
#include "measures/records.hpp"
#include "problem/adaptor.hpp"
#include "problem/incremental_values.hpp"
#include "sqp/sqpglue.hpp"

namespace morlan {

// Records, with start values that the driver's start-up must clear.
PrbcsaRecord prbcsa{-1, -1, -1, -1};
MlagRecord mlag{-7};
SlobjRecord slobj{-7.0};
ReuseRecord reuse{5};
GausssetRecord gaussset{1, 0.5};
NsaiterRecord nsaiter{0};
RleqRecord rleq{-7.0};
MsaRecord msa{-7};
IsdxRecord isdx;
HasdiscreteRecord hasdiscrete{false, true};
DiscreteRecord discrete;
NdsampleRecord ndsample;
LagcountRecord lagcount;

namespace fake {

double lower_bound(int i) { return 0.1 * i - 7.0; }

double upper_bound(int i) {
  static const double widths[5] = {0.5, 1.0, 2.5, 0.0, 3.0};
  return lower_bound(i) + widths[i % 5];
}

bool is_grid_variable(int i) { return i % 6 != 0; }

}  // namespace fake

namespace {
int g_runs = 0;
}  // namespace

void init_csa_pd() {
  io::say("fake start-up: prbcsa =", prbcsa.n, prbcsa.m, prbcsa.neq, prbcsa.nineq,
          " reuse =", reuse.value, " gaussset =", gaussset.flag);
}

void use_incremental_values(bool) {}

void init_t(double& t0, double& tf) {
  io::say("fake init_t: slobj =", slobj.value, " mlag =", mlag.value, " msa =", msa.value,
          " rleq =", rleq.value);
  t0 = 2.5;
  tf = 0.0025;
  io::say("Initial temperature t0 = ", t0, "  Stop tf = ", tf);
}

void xdiscrete(int, IVec isdx_out) {
  for (int i = 1; i <= cfg::kNvar; ++i) isdx_out(i) = fake::is_grid_variable(i) ? 1 : 2;
}

void xbound(int, Vec xl, Vec xu) {
  for (int i = 1; i <= cfg::kNvar; ++i) {
    xl(i) = fake::lower_bound(i);
    xu(i) = fake::upper_bound(i);
  }
}

void dxinfo(int n, Vec gspace, Vec shift) {
  Array1<double, cfg::kNvar> xl, xu;
  xbound(n, xl, xu);
  io::say("number of discretized points per unit =", kGridPointsPerUnit);
  for (int i = 1; i <= cfg::kNvar; ++i) {
    const double w = xu(i) - xl(i);
    ndsample(i) = w >= 1.0 ? std::trunc(w * kGridPointsPerUnit + 1.0e-6) : kGridPointsPerUnit;
    gspace(i) = isdx(i) == 1 ? w / (ndsample(i) - 1.0) : 0.0;
    shift(i) = 0.0;
  }
  hasdiscrete.needshift = false;
}

void initial_orvale() { io::say("fake initial_orvale"); }

namespace {

bool multipliers_zero(CVec point) {
  for (int i = cfg::kNvar + 1; i <= cfg::kNtot; ++i) {
    if (point(i) != 0.0) return false;
  }
  return true;
}

double sum_of_variables(CVec point) {
  double s = 0.0;
  for (int i = 1; i <= cfg::kNvar; ++i) s += point(i);
  return s;
}

// One fake run: reports what it was given, consumes main-stream numbers,
// and produces a result from the start.
void fake_run(int& isucc, CVec pop, Vec x, double& objval, double& maxvio, double rt) {
  ++g_runs;
  rmarin(1, 2);
  const int draws = static_cast<int>(rt * 1000.0) * g_runs;
  for (int k = 0; k < draws; ++k) ranmar();

  double start_sum;
  bool zero;
  if (msa.value == kRulePopulation) {
    Array1<double, cfg::kNtot> m1, m2;
    for (int i = 1; i <= cfg::kNtot; ++i) {
      m1(i) = pop((i - 1) * cfg::kNpop + 1);
      m2(i) = pop((i - 1) * cfg::kNpop + 2);
    }
    start_sum = sum_of_variables(m1) + sum_of_variables(m2);
    zero = multipliers_zero(m1) && multipliers_zero(m2);
    io::say("fake run: members", sum_of_variables(m1), sum_of_variables(m2), " zero multipliers =",
            zero);
  } else {
    start_sum = sum_of_variables(x);
    zero = multipliers_zero(x);
    io::say("fake run: start", start_sum, " zero multipliers =", zero);
  }

  isucc = (slobj.value >= 0.0 && g_runs % 3 != 0) ? 1 : 0;
  if (isucc == 1) {
    objval = start_sum + g_runs;
    maxvio = 0.0;
    if (msa.value == kRulePlain) nsaiter.value = 16 * g_runs;
    for (int i = 1; i <= cfg::kNvar; ++i) x(i) = fake::upper_bound(i);
  } else {
    objval = -1.0;
    maxvio = 1.0;
  }
}

}  // namespace

void chainrun(int& isucc, CVec pop, Vec x, double& objval, double& maxvio, double t0, double rt) {
  io::say("fake chainrun: t0 =", t0, " rt =", rt);
  fake_run(isucc, pop, x, objval, maxvio, rt);
}

void ladderrun(int& isucc, int nconsec, CVec pop, Vec x, double& objval, double& maxvio, double t0,
               double rt) {
  io::say("fake ladderrun: nconsec =", nconsec, " t0 =", t0, " rt =", rt);
  fake_run(isucc, pop, x, objval, maxvio, rt);
}

namespace {

// Reports where the driver calls the extension of --polish.
class FakePolish final : public RunExtension {
 public:
  void after_run(int isucc, CVec x) override {
    io::say("fake polish: isucc =", isucc, " x(1) =", x(1), " x(145) =", x(cfg::kNvar + 1));
  }
  void after_summary() override { io::say("fake polish summary"); }
};

}  // namespace

std::unique_ptr<RunExtension> make_polish_extension() { return std::make_unique<FakePolish>(); }

}  // namespace morlan
