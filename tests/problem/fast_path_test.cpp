// The fast evaluation path (values kept incrementally by the linked problem)
// against the reference path (every value from obj, ceq and cineq) on the
// bundled problem: the same bits for every Lagrangian form, violation and
// objective along long random walks, and the same output and points from
// short annealing runs of every rule.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "anneal/relaxer.hpp"
#include "anneal/run_records.hpp"
#include "anneal/run_setup.hpp"
#include "anneal/sa.hpp"
#include "anneal/swarmer.hpp"
#include "anneal/trial_point.hpp"
#include "io/console.hpp"
#include "io/units.hpp"
#include "measures/lagrangian.hpp"
#include "measures/records.hpp"
#include "measures/shift.hpp"
#include "problem/adaptor.hpp"
#include "problem/incremental_values.hpp"
#include "problem/raw_values.hpp"
#include "sif/csetup.hpp"
#include "tests/support/bundled_data.hpp"

namespace morlan {
namespace {

constexpr int kN = cfg::kNvar, kM = cfg::kNcon, kNtot = cfg::kNtot;
using Extended = Array1<double, kNtot>;

std::uint64_t bits(double v) {
  std::uint64_t u;
  std::memcpy(&u, &v, sizeof u);
  return u;
}

// Runs f on the reference path, leaving the fast path's cache untouched.
template <class F>
auto on_reference(F f) {
  const auto saved = raw_value_source.at;
  raw_value_source.at = nullptr;
  auto result = f();
  raw_value_source.at = saved;
  return result;
}

class FastPath : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    testing::enter_bundled_data();
    io::set_stop_handler(io::throwing_stop_handler);
    prbcsa = {cfg::kNvar, cfg::kNcon, cfg::kNeq, cfg::kNineq};
    init_csa_pd();
  }
  static void TearDownTestSuite() {
    use_incremental_values(false);
    io::set_stop_handler(nullptr);
  }
  void SetUp() override {
    use_incremental_values(true);
    slobj.value = 100.0;
    penalty.value = 1.0;
    rleq.value = 0.01;
    mlag.value = 0;
    hasdiscrete.hasdiscrete = true;
    hasdiscrete.needshift = false;
  }
};

// The early-exit tests give the answer of the full scans, also at the
// tolerances where the strict comparison decides: the largest violation
// itself and its neighbours, zeros of either sign and NaN.
void expect_same_below_answers(CVec x, const std::string& where) {
  for (const bool relaxed_form : {true, false}) {
    const double v = relaxed_form ? viomax(x) : oviomax(x);
    const double tolerances[] = {v, std::nextafter(v, 1.0e300), std::nextafter(v, 0.0), 0.0,
                                 -0.0, 1.0e-5, 2.0 * v, std::nan("")};
    for (double tol : tolerances) {
      const bool below = relaxed_form ? viomax_below(x, tol) : oviomax_below(x, tol);
      ASSERT_EQ(below, v < tol) << where << (relaxed_form ? " viomax" : " oviomax") << " below "
                                << tol;
    }
  }
}

// Every measure at y on both paths, compared bit for bit: the Lagrangian
// of the current form (or of every form), the violations and the objective.
void expect_same_measures(const Extended& y, const std::string& where, bool every_form = false) {
  static const int kForms[] = {0, 1, 2, 3, 4, 5, 10};
  const CVec x = y.slice(1, kN);
  const int form = mlag.value;
  for (int f : kForms) {
    if (!every_form && f != form) continue;
    mlag.value = f;
    const double fast = dlag(y);
    const double ref = on_reference([&] { return dlag(y); });
    ASSERT_EQ(bits(fast), bits(ref)) << where << " dlag form " << f << ": " << fast << " vs " << ref;
  }
  mlag.value = form;
  for (int i = 1; i <= kM; ++i) {
    ASSERT_EQ(bits(cst(i, kN, x)), bits(on_reference([&] { return cst(i, kN, x); })))
        << where << " cst " << i;
    ASSERT_EQ(bits(ocst(i, kN, x)), bits(on_reference([&] { return ocst(i, kN, x); })))
        << where << " ocst " << i;
  }
  ASSERT_EQ(bits(viomax(x)), bits(on_reference([&] { return viomax(x); }))) << where;
  ASSERT_EQ(bits(oviomax(x)), bits(on_reference([&] { return oviomax(x); }))) << where;
  ASSERT_EQ(bits(sh_obj(kN, x)), bits(on_reference([&] { return obj(kN, x); }))) << where;
  ASSERT_NO_FATAL_FAILURE(expect_same_below_answers(x, where));
}

TEST_F(FastPath, RandomSingleChangesGiveTheReferenceBits) {
  std::mt19937 rng(8);
  std::uniform_real_distribution<double> u(0.0, 1.0);
  Extended y;
  for (int i = 1; i <= kN; ++i) y(i) = xbnd.xl(i) + u(rng) * (xbnd.xu(i) - xbnd.xl(i));
  for (int k = 1; k <= kM; ++k) y(kN + k) = u(rng) < 0.5 ? 0.0 : 10.0 * u(rng);
  penalty.value = 0.75;
  // A walk per form, so that the fast path keeps its sums from step to
  // step; now and then every form at once.
  for (int form : {0, 1, 2, 3, 4, 5, 10}) {
    mlag.value = form;
    for (int step = 0; step < 300; ++step) {
      const std::string where = "form " + std::to_string(form) + " step " + std::to_string(step);
      const double pick = u(rng);
      if (pick < 0.6) {
        // One variable moves; sometimes back again, as after a rejected trial.
        const int i = 1 + static_cast<int>(u(rng) * kN);
        const double old = y(i);
        y(i) = xbnd.xl(i) + u(rng) * (xbnd.xu(i) - xbnd.xl(i));
        if (u(rng) < 0.3) {
          ASSERT_NO_FATAL_FAILURE(expect_same_measures(y, "trial, " + where));
          y(i) = old;
        }
      } else if (pick < 0.95) {
        const int k = 1 + static_cast<int>(u(rng) * kM);
        y(kN + k) = u(rng) < 0.2 ? 0.0 : 100.0 * u(rng);
      } else {
        // A jump in many variables (a restart from the best point).
        for (int i = 1; i <= kN; i += 3) y(i) = xbnd.xl(i) + u(rng) * (xbnd.xu(i) - xbnd.xl(i));
      }
      if (step % 50 == 49) hasdiscrete.hasdiscrete = !hasdiscrete.hasdiscrete;
      ASSERT_NO_FATAL_FAILURE(expect_same_measures(y, where, step % 100 == 0));
    }
  }
}

TEST_F(FastPath, MultiplierUpdateMatchesTheReference) {
  std::mt19937 rng(3);
  std::uniform_real_distribution<double> u(0.0, 1.0);
  for (int form : {0, 1, 2, 3, 4, 5, 10}) {
    mlag.value = form;
    Extended a, b;
    for (int i = 1; i <= kN; ++i) a(i) = xbnd.xl(i) + u(rng) * (xbnd.xu(i) - xbnd.xl(i));
    for (int k = 1; k <= kM; ++k) a(kN + k) = 5.0 * u(rng) - 1.0;
    b = a;
    lambda_rule(a.view());
    on_reference([&] {
      lambda_rule(b.view());
      return 0;
    });
    for (int i = 1; i <= kNtot; ++i) ASSERT_EQ(bits(a(i)), bits(b(i))) << "form " << form << " " << i;
  }
}

TEST_F(FastPath, SetUpAgainRebuildsTheCache) {
  Extended y;
  for (int i = 1; i <= kN; ++i) y(i) = 0.5 * (xbnd.xl(i) + xbnd.xu(i));
  const double before = dlag(y);
  // A second set-up of the same file (as the SQP binding's start-up does).
  ASSERT_EQ(io::open_old(78, "OUTSDIF.d"), 0);
  static Array1<double, 1000> x0, bl, bu, v, cl, cu;
  static Array1<bool, 1000> equatn, linear;
  int n = 0, m = 0;
  csetup(78, 7, n, m, x0, bl, bu, 1000, equatn, linear, v, cl, cu, 1000, true, false, false);
  io::close_unit(78);
  y(7) = xbnd.xu(7);
  ASSERT_NO_FATAL_FAILURE(expect_same_measures(y, "after the second set-up"));
  y(7) = 0.5 * (xbnd.xl(7) + xbnd.xu(7));
  EXPECT_EQ(bits(dlag(y)), bits(before));
}

// What a short annealing run leaves behind: everything it printed and the
// points and figures it returned.
struct RunOutcome {
  std::string printed;
  std::vector<double> numbers;  // points, step lengths, factors, results
};

// Runs `run` on one path with standard output captured.
template <class Run>
RunOutcome run_on_path(bool fast, Run run) {
  use_incremental_values(fast);
  gaussset.flag = 0;
  char* buffer = nullptr;
  std::size_t size = 0;
  std::FILE* stream = open_memstream(&buffer, &size);
  io::redirect_output(io::kStdout, stream);
  RunOutcome out;
  run(out.numbers);
  io::flush();
  io::redirect_output(io::kStdout, nullptr);
  std::fclose(stream);
  out.printed.assign(buffer, size);
  std::free(buffer);
  return out;
}

template <class Run>
void expect_same_runs(Run run) {
  const RunOutcome ref = run_on_path(false, run);
  const RunOutcome fast = run_on_path(true, run);
  EXPECT_GT(ref.printed.size(), 0u);
  EXPECT_EQ(fast.printed, ref.printed);
  ASSERT_EQ(fast.numbers.size(), ref.numbers.size());
  for (std::size_t k = 0; k < ref.numbers.size(); ++k) {
    ASSERT_EQ(bits(fast.numbers[k]), bits(ref.numbers[k])) << "returned value " << k;
  }
}

void keep(std::vector<double>& out, CVec v) { out.insert(out.end(), v.begin(), v.end()); }

// A start drawn inside the bounds, multipliers zero.
void random_start(Vec x, unsigned seed) {
  std::mt19937 rng(seed);
  std::uniform_real_distribution<double> u(0.0, 1.0);
  for (int i = 1; i <= kN; ++i) x(i) = xbnd.xl(i) + u(rng) * (xbnd.xu(i) - xbnd.xl(i));
  for (int i = kN + 1; i <= x.size(); ++i) x(i) = 0.0;
}

// The verdict lines of the run control on a loop's best point.
void verdict(CVec xbest, std::vector<double>& out) {
  const double v = sh_oviomax(xbest);
  const double o = sh_obj(kN, xbest);
  io::say("verdict: Obj = ", o, "  maxVio = ", v);
  run_setup::say_point("verdict: x = ", xbest);
  out.push_back(v);
  out.push_back(o);
}

// Short runs: one cycle block per temperature, fast cooling, a trace line
// per temperature stage and per cycle block.
constexpr int kShortNt = 1;
constexpr double kFastCooling = 0.05;
constexpr double kStartTemperature = 10.0;
constexpr int kTrace = 2;

void plain_run(int nt, Vec x, std::vector<double>& out) {
  using namespace run_setup;
  vtol.value = kTolerance;
  run_setup::LoopWork w;
  double t = kStartTemperature;
  sa(kNtot, kM, w.lamfac, kN, x, kMaximize, kFastCooling, kEps, kNcyc, nt, kNhist, kMaxevl,
     w.xlow, w.xupp, w.cfac, kTrace, kSeed1, kSeed2, t, w.vm, w.xbest, w.fbest, w.naccept,
     w.nevals, w.noutb, w.ier, w.fhist, w.xtrial, w.naccv);
  verdict(w.xbest, out);
  keep(out, x);
  keep(out, w.xbest);
  keep(out, w.vm);
  keep(out, w.lamfac);
  out.insert(out.end(), {t, w.fbest, double(w.naccept), double(w.nevals), double(w.ier),
                         double(nsaiter.value)});
}

TEST_F(FastPath, PlainRunPrintsAndReturnsTheSame) {
  expect_same_runs([](std::vector<double>& out) {
    Extended x;
    random_start(x.view(), 11);
    plain_run(kShortNt, x.view(), out);
  });
}

TEST_F(FastPath, MultiLevelRunsPrintAndReturnTheSame) {
  // The levels of the multi-level scheme: runs of growing nt, each from the
  // same start, each judged by its best point (the run control's own ladder
  // starts at nt = 10, far too long for the reference path in a test).
  expect_same_runs([](std::vector<double>& out) {
    Extended start;
    random_start(start.view(), 12);
    for (int nt = 1; nt <= 2; ++nt) {
      Extended x = start;
      plain_run(nt, x.view(), out);
    }
  });
}

TEST_F(FastPath, PopulationRunPrintsAndReturnsTheSame) {
  expect_same_runs([](std::vector<double>& out) {
    using namespace run_setup;
    vtol.value = kTolerance;
    Array1<double, cfg::kNpop * kNtot> pop;
    for (int k = 1; k <= cfg::kNpop; ++k) {
      Extended member;
      random_start(member.view(), 20 + k);
      for (int i = 1; i <= kNtot; ++i) pop((i - 1) * cfg::kNpop + k) = member(i);
    }
    LoopWork w;
    double t = kStartTemperature;
    psa(w.lamfac, kN, pop, kMaximize, kFastCooling, kEps, kNcyc, kShortNt, kNhist, kMaxevl,
        w.xlow, w.xupp, w.cfac, kTrace, kSeed1, kSeed2, t, w.vm, w.xbest, w.fbest, w.naccept,
        w.nevals, w.noutb, w.ier, w.fhist, w.xtrial, w.naccv);
    verdict(w.xbest, out);
    keep(out, pop);
    keep(out, w.xbest);
    out.insert(out.end(), {t, w.fbest, double(w.naccept), double(w.nevals), double(w.ier)});
  });
}

TEST_F(FastPath, RelaxedEqualityRunPrintsAndReturnsTheSame) {
  mlag.value = 10;
  expect_same_runs([](std::vector<double>& out) {
    using namespace run_setup;
    vtol.value = kRelaxedTolerance;
    rleq.value = 0.01;
    Extended x;
    random_start(x.view(), 13);
    LoopWork w;
    double t = kStartTemperature;
    relaxer(kNtot, kM, w.lamfac, w.xrelax, kN, x, kMaximize, kFastCooling, kEps, kNcyc, kShortNt,
            kNhist, kMaxevl, w.xlow, w.xupp, w.cfac, kTrace, kSeed1, kSeed2, t, w.vm, w.xbest,
            w.fbest, w.naccept, w.nevals, w.noutb, w.ier, w.fhist, w.xtrial, w.naccv);
    verdict(w.xbest, out);
    keep(out, x);
    keep(out, w.xbest);
    keep(out, w.xrelax);
    out.insert(out.end(), {t, w.fbest, rleq.value, double(w.naccept), double(w.nevals)});
  });
}

}  // namespace
}  // namespace morlan
