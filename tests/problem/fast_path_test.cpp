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

#include "anneal/loop_call.hpp"
#include "anneal/population_loop.hpp"
#include "anneal/relaxed_loop.hpp"
#include "anneal/run_setup.hpp"
#include "anneal/sa.hpp"
#include "anneal/trial_point.hpp"
#include "io/console.hpp"
#include "io/units.hpp"
#include "measures/measure.hpp"
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

// The settings of the measures under test: scale 100, penalty 1, radius
// 0.01, the grid's tolerance on; form 0 unless a test moves it.
MeasureForm g_form{0, 100.0, 1.0, 0.01};
bool g_grid = true;
RawValueSource g_fast = nullptr;  // the linked problem's cache

// A measure of the settings on the fast path or on the reference path.
Measure measure(bool fast) {
  Grid grid;
  grid.any = g_grid;
  return Measure(g_form, grid, fast ? g_fast : nullptr);
}

class FastPath : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    testing::enter_bundled_data();
    io::set_stop_handler(io::throwing_stop_handler);
    prbcsa = {cfg::kNvar, cfg::kNcon, cfg::kNeq, cfg::kNineq};
    init_csa_pd();
  }
  static void TearDownTestSuite() { io::set_stop_handler(nullptr); }
  void SetUp() override {
    g_fast = incremental_values(true);
    g_form = MeasureForm{0, 100.0, 1.0, 0.01};
    g_grid = true;
  }
};

// The early-exit tests give the answer of the full scans, also at the
// tolerances where the strict comparison decides: the largest violation
// itself and its neighbours, zeros of either sign and NaN.
void expect_same_below_answers(Measure& fast, CVec x, const std::string& where) {
  for (const bool relaxed_form : {true, false}) {
    const double v =
        relaxed_form ? fast.largest_violation(x) : fast.largest_unrelaxed_violation(x);
    const double tolerances[] = {v, std::nextafter(v, 1.0e300), std::nextafter(v, 0.0), 0.0,
                                 -0.0, 1.0e-5, 2.0 * v, std::nan("")};
    for (double tol : tolerances) {
      const bool below = relaxed_form ? fast.largest_violation_below(x, tol)
                                      : fast.largest_unrelaxed_violation_below(x, tol);
      ASSERT_EQ(below, v < tol) << where << (relaxed_form ? " viomax" : " oviomax") << " below "
                                << tol;
    }
  }
}

// Every measure at y on both paths, compared bit for bit: the Lagrangian
// of the current form (through `fast`, which keeps its sums from call to
// call; with every_form of every form through fresh measures), the
// violations and the objective.
void expect_same_measures(Measure& fast, const Extended& y, const std::string& where,
                          bool every_form = false) {
  static const int kForms[] = {0, 1, 2, 3, 4, 5, 10};
  const CVec x = y.slice(1, kN);
  Measure ref = measure(false);
  ASSERT_EQ(bits(fast.lagrangian(y)), bits(ref.lagrangian(y))) << where << " Lagrangian";
  const int form = g_form.form;
  for (int f : kForms) {
    if (!every_form || f == form) continue;
    g_form.form = f;
    const double a = measure(true).lagrangian(y);
    const double b = measure(false).lagrangian(y);
    ASSERT_EQ(bits(a), bits(b)) << where << " Lagrangian form " << f << ": " << a << " vs " << b;
  }
  g_form.form = form;
  for (int i = 1; i <= kM; ++i) {
    ASSERT_EQ(bits(fast.violation(i, x)), bits(ref.violation(i, x))) << where << " violation " << i;
    ASSERT_EQ(bits(fast.unrelaxed_violation(i, x)), bits(ref.unrelaxed_violation(i, x)))
        << where << " unrelaxed violation " << i;
  }
  ASSERT_EQ(bits(fast.largest_violation(x)), bits(ref.largest_violation(x))) << where;
  ASSERT_EQ(bits(fast.largest_unrelaxed_violation(x)), bits(ref.largest_unrelaxed_violation(x)))
      << where;
  ASSERT_EQ(bits(fast.objective(x)), bits(obj(kN, x))) << where;
  ASSERT_NO_FATAL_FAILURE(expect_same_below_answers(fast, x, where));
}

TEST_F(FastPath, RandomSingleChangesGiveTheReferenceBits) {
  std::mt19937 rng(8);
  std::uniform_real_distribution<double> u(0.0, 1.0);
  Extended y;
  for (int i = 1; i <= kN; ++i) y(i) = xbnd.xl(i) + u(rng) * (xbnd.xu(i) - xbnd.xl(i));
  for (int k = 1; k <= kM; ++k) y(kN + k) = u(rng) < 0.5 ? 0.0 : 10.0 * u(rng);
  g_form.penalty = 0.75;
  // A walk per form, so that the fast path keeps its sums from step to
  // step; now and then every form at once.
  for (int form : {0, 1, 2, 3, 4, 5, 10}) {
    g_form.form = form;
    Measure fast = measure(true);
    for (int step = 0; step < 300; ++step) {
      const std::string where = "form " + std::to_string(form) + " step " + std::to_string(step);
      const double pick = u(rng);
      if (pick < 0.6) {
        // One variable moves; sometimes back again, as after a rejected trial.
        const int i = 1 + static_cast<int>(u(rng) * kN);
        const double old = y(i);
        y(i) = xbnd.xl(i) + u(rng) * (xbnd.xu(i) - xbnd.xl(i));
        if (u(rng) < 0.3) {
          ASSERT_NO_FATAL_FAILURE(expect_same_measures(fast, y, "trial, " + where));
          y(i) = old;
        }
      } else if (pick < 0.95) {
        const int k = 1 + static_cast<int>(u(rng) * kM);
        y(kN + k) = u(rng) < 0.2 ? 0.0 : 100.0 * u(rng);
      } else {
        // A jump in many variables (a restart from the best point).
        for (int i = 1; i <= kN; i += 3) y(i) = xbnd.xl(i) + u(rng) * (xbnd.xu(i) - xbnd.xl(i));
      }
      if (step % 50 == 49) {
        g_grid = !g_grid;
        fast = measure(true);
      }
      ASSERT_NO_FATAL_FAILURE(expect_same_measures(fast, y, where, step % 100 == 0));
    }
  }
}

TEST_F(FastPath, MultiplierUpdateMatchesTheReference) {
  std::mt19937 rng(3);
  std::uniform_real_distribution<double> u(0.0, 1.0);
  for (int form : {0, 1, 2, 3, 4, 5, 10}) {
    g_form.form = form;
    Extended a, b;
    for (int i = 1; i <= kN; ++i) a(i) = xbnd.xl(i) + u(rng) * (xbnd.xu(i) - xbnd.xl(i));
    for (int k = 1; k <= kM; ++k) a(kN + k) = 5.0 * u(rng) - 1.0;
    b = a;
    measure(true).update_multipliers(a.view());
    measure(false).update_multipliers(b.view());
    for (int i = 1; i <= kNtot; ++i) ASSERT_EQ(bits(a(i)), bits(b(i))) << "form " << form << " " << i;
  }
}

TEST_F(FastPath, SetUpAgainRebuildsTheCache) {
  Extended y;
  for (int i = 1; i <= kN; ++i) y(i) = 0.5 * (xbnd.xl(i) + xbnd.xu(i));
  Measure fast = measure(true);
  const double before = fast.lagrangian(y);
  // A second set-up of the same file (as the SQP binding's start-up does).
  ASSERT_EQ(io::open_old(78, "OUTSDIF.d"), 0);
  static Array1<double, 1000> x0, bl, bu, v, cl, cu;
  static Array1<bool, 1000> equatn, linear;
  int n = 0, m = 0;
  csetup(78, 7, n, m, x0, bl, bu, 1000, equatn, linear, v, cl, cu, 1000, true, false, false);
  io::close_unit(78);
  y(7) = xbnd.xu(7);
  ASSERT_NO_FATAL_FAILURE(expect_same_measures(fast, y, "after the second set-up"));
  y(7) = 0.5 * (xbnd.xl(7) + xbnd.xu(7));
  EXPECT_EQ(bits(fast.lagrangian(y)), bits(before));
}

// What a short annealing run leaves behind: everything it printed and the
// points and figures it returned.
struct Left {
  std::string printed;
  std::vector<double> numbers;  // points, step lengths, factors, results
};

// Runs `run` with the measure of one path, standard output captured.
template <class Run>
Left run_on_path(bool fast, Run run) {
  if (fast) g_fast = incremental_values(true);
  Measure m = measure(fast);
  gaussset.flag = 0;
  char* buffer = nullptr;
  std::size_t size = 0;
  std::FILE* stream = open_memstream(&buffer, &size);
  io::redirect_output(io::kStdout, stream);
  Left out;
  run(m, out.numbers);
  io::flush();
  io::redirect_output(io::kStdout, nullptr);
  std::fclose(stream);
  out.printed.assign(buffer, size);
  std::free(buffer);
  return out;
}

template <class Run>
void expect_same_runs(Run run) {
  const Left ref = run_on_path(false, run);
  const Left fast = run_on_path(true, run);
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
void verdict(Measure& m, CVec xbest, std::vector<double>& out) {
  const double v = m.largest_unrelaxed_violation(xbest);
  const double o = m.objective(xbest);
  io::say("verdict: Obj = ", o, "  maxVio = ", v);
  run_setup::say_point("verdict: x = ", xbest, m.grid());
  out.push_back(v);
  out.push_back(o);
}

// Short runs: one cycle block per temperature, fast cooling, a trace line
// per temperature stage and per cycle block.
constexpr int kShortNt = 1;
constexpr double kFastCooling = 0.05;
constexpr double kStartTemperature = 10.0;
constexpr int kTrace = 2;

// A loop call of the run control's settings on the work w, with nt cycle
// blocks per stage, fast cooling and a trace.
LoopCall short_call(run_setup::LoopWork& w, Measure& m, double tolerance, int nt, double& t) {
  using namespace run_setup;
  return {kNtot, kM, w.lamfac, kN, kMaximize, kFastCooling, kEps, kNcyc, nt, kNhist, w.xlow,
          w.xupp, w.cfac, kTrace, kSeed1, kSeed2, t, w.vm, w.xbest, w.fbest, w.naccept, w.nevals,
          w.noutb, w.ier, w.fhist, w.naccv, m, tolerance};
}

void plain_run(Measure& m, int nt, Vec x, std::vector<double>& out) {
  run_setup::LoopWork w;
  double t = kStartTemperature;
  const int blocks = sa(short_call(w, m, run_setup::kTolerance, nt, t), x, w.xtrial);
  verdict(m, w.xbest, out);
  keep(out, x);
  keep(out, w.xbest);
  keep(out, w.vm);
  keep(out, w.lamfac);
  out.insert(out.end(), {t, w.fbest, double(w.naccept), double(w.nevals), double(w.ier),
                         double(blocks), double(m.evaluations())});
}

TEST_F(FastPath, PlainRunPrintsAndReturnsTheSame) {
  expect_same_runs([](Measure& m, std::vector<double>& out) {
    Extended x;
    random_start(x.view(), 11);
    plain_run(m, kShortNt, x.view(), out);
  });
}

TEST_F(FastPath, MultiLevelRunsPrintAndReturnTheSame) {
  // The levels of the multi-level scheme: runs of growing nt, each from the
  // same start, each judged by its best point (the run control's own ladder
  // starts at nt = 10, far too long for the reference path in a test).
  expect_same_runs([](Measure& m, std::vector<double>& out) {
    Extended start;
    random_start(start.view(), 12);
    for (int nt = 1; nt <= 2; ++nt) {
      Extended x = start;
      plain_run(m, nt, x.view(), out);
    }
  });
}

TEST_F(FastPath, PopulationRunPrintsAndReturnsTheSame) {
  expect_same_runs([](Measure& m, std::vector<double>& out) {
    Array1<double, cfg::kNpop * kNtot> pop;
    for (int k = 1; k <= cfg::kNpop; ++k) {
      Extended member;
      random_start(member.view(), 20 + k);
      for (int i = 1; i <= kNtot; ++i) pop((i - 1) * cfg::kNpop + k) = member(i);
    }
    run_setup::LoopWork w;
    double t = kStartTemperature;
    population_loop(short_call(w, m, run_setup::kTolerance, kShortNt, t), pop);
    verdict(m, w.xbest, out);
    keep(out, pop);
    keep(out, w.xbest);
    out.insert(out.end(), {t, w.fbest, double(w.naccept), double(w.nevals), double(w.ier)});
  });
}

TEST_F(FastPath, RelaxedEqualityRunPrintsAndReturnsTheSame) {
  g_form.form = 10;
  expect_same_runs([](Measure& m, std::vector<double>& out) {
    Extended x;
    random_start(x.view(), 13);
    run_setup::LoopWork w;
    double t = kStartTemperature;
    const double radius = relaxed_loop(short_call(w, m, run_setup::kRelaxedTolerance, kShortNt, t),
                                       w.xrelax, x, w.xtrial);
    verdict(m, w.xbest, out);
    keep(out, x);
    keep(out, w.xbest);
    keep(out, w.xrelax);
    out.insert(out.end(), {t, w.fbest, radius, m.radius(), double(w.naccept), double(w.nevals)});
  });
}

}  // namespace
}  // namespace morlan
