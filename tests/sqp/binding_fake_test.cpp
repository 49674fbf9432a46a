// The SQP binding on a three-variable stand-in problem: start-up,
// inequality numbering and messages, the protocol's scaling, signs and
// counters, numerical gradients, and a solve.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <string>

#include "io/console.hpp"
#include "io/units.hpp"
#include "measures/records.hpp"
#include "sqp/nlcalls.hpp"
#include "sqp/orvale.hpp"
#include "sqp/polish.hpp"
#include "sqp/slopefd.hpp"
#include "sqp/solver_records.hpp"
#include "sqp/sqpglue.hpp"
#include "sqp/sqpstart.hpp"
#include "tests/sif/sif_file.hpp"
#include "tests/sqp/fake_problem.hpp"
#include "tests/sqp/objective_scale.hpp"

namespace morlan {
namespace {

namespace fs = std::filesystem;

using testing::Capture;

// Runs the SQP start-up on the stand-in problem from a scratch folder that
// holds a (dummy) data file. Sizes: 3 variables, 1 equality, 4 one-sided
// inequalities from constraints and 5 from bounds.
class FakeBinding : public ::testing::Test {
 protected:
  void SetUp() override {
    io::set_stop_handler(io::throwing_stop_handler);
    previous_ = fs::current_path();
    dir_ = fs::temp_directory_path() / ("morlan_sqp_" + std::to_string(::getpid()));
    fs::create_directories(dir_);
    fs::current_path(dir_);
    std::ofstream("OUTSDIF.d") << "stand-in\n";
    fake::c3_upper = 4.0;
    slobj.value = 1.0;
    isslopefd.value = 0;
    o8mpar(1) = DBL_EPSILON;
    prbsqp = {3, 10, 1, 9};
    o8dim(1) = 3;
    o8dim(2) = 1;
    o8dim(3) = 9;
    init_sqp_pd();
  }
  void TearDown() override {
    io::close_unit(66);
    fs::current_path(previous_);
    fs::remove_all(dir_);
  }
  fs::path previous_, dir_;
};

TEST_F(FakeBinding, StartUpClassifiesConstraintsAndClampsBounds) {
  EXPECT_EQ(fake::calls.input_unit, 66);
  EXPECT_EQ(fake::calls.message_unit, 7);
  EXPECT_EQ(bbdinfo.ncineq, 4);  // a range, an upper side, a lower side
  EXPECT_EQ(bbdinfo.idineq(1), -1);
  EXPECT_EQ(bbdinfo.idineq(2), 2);
  EXPECT_EQ(bbdinfo.idineq(3), 1);
  EXPECT_EQ(bbdinfo.idineq(4), 1);
  EXPECT_EQ(bbdinfo.idineq(5), -1);
  EXPECT_EQ(xxbnd.xl(1), -10000.0);
  EXPECT_EQ(xxbnd.xu(2), 10000.0);
  EXPECT_EQ(xxbnd.xl(3), -1.0e19);  // at the threshold: kept, and infinite
  EXPECT_EQ(bbdinfo.idbd(1), 2);
  EXPECT_EQ(bbdinfo.idbd(2), 2);
  EXPECT_EQ(bbdinfo.idbd(3), 1);
  EXPECT_EQ(bbdinfo.idbd(4), -1);
  EXPECT_NE(io::input_stream(66), nullptr);  // stays open
}

TEST_F(FakeBinding, MissingDataFileStopsWithItsMessage) {
  fs::remove("OUTSDIF.d");
  Capture out(6);
  try {
    iinit_sif();
    FAIL() << "no stop";
  } catch (const io::StopRequest& stop) {
    EXPECT_EQ(stop.status, io::kExitError);
  }
  // The 64-character name field pushes the last item onto a second line.
  EXPECT_EQ(out.text(), " File OUTSDIF.d" + std::string(55, ' ') + "\n  doesn't exist!\n");
}

TEST_F(FakeBinding, InequalitiesAreNumberedConstraintsFirstThenBounds) {
  Array1<double, 3> x;
  x(1) = 0.5, x(2) = -0.25, x(3) = 1.5;
  const double c2 = 0.5 * -0.25;
  // From constraints: the range's lower then upper side, c3's upper side,
  // c4's lower side; all in the held-at-or-below-zero form.
  EXPECT_DOUBLE_EQ(ccineq(1, 3, x), -1.0 - c2);
  EXPECT_DOUBLE_EQ(ccineq(2, 3, x), c2 - 2.0);
  EXPECT_DOUBLE_EQ(ccineq(3, 3, x), 1.5 * 1.5 - 4.0);
  EXPECT_DOUBLE_EQ(ccineq(4, 3, x), 0.0 - (0.5 + 0.25));
  // From bounds, through eg in the solver's form (holding at or above zero).
  double g = 0.0;
  eg(5, x, g);
  EXPECT_DOUBLE_EQ(g, 0.5 + 10000.0);  // clamped lower bound of x1
  eg(6, x, g);
  EXPECT_DOUBLE_EQ(g, 5.0 - 0.5);
  eg(7, x, g);
  EXPECT_DOUBLE_EQ(g, -0.25 + 2.0);
  eg(8, x, g);
  EXPECT_DOUBLE_EQ(g, 10000.0 + 0.25);
  eg(9, x, g);  // x3 has only its upper bound
  EXPECT_DOUBLE_EQ(g, 3.0 - 1.5);
}

TEST_F(FakeBinding, IndexBeyondTheLastInequalityStops) {
  Array1<double, 3> x;
  Array1<double, 3> grad;
  {
    Capture out(6);
    EXPECT_THROW(ccineq(10, 3, x), io::StopRequest);
    EXPECT_EQ(out.text(), " wrong m in ccineq()\n");
  }
  {
    Capture out(6);
    EXPECT_THROW(dccineq(10, 3, x, grad), io::StopRequest);
    EXPECT_EQ(out.text(), " wrong m in dccineq()\n");
  }
  {
    Capture out(6);
    EXPECT_THROW(ccineq(0, 3, x), io::StopRequest);
    EXPECT_EQ(out.text(), " wrong idineq(k) in ccineq()\n");
  }
}

TEST_F(FakeBinding, InequalityGradientsCarryTheSideSign) {
  Array1<double, 3> x;
  x(1) = 0.5, x(2) = -0.25, x(3) = 1.5;
  Array1<double, 3> g;
  dccineq(1, 3, x, g);  // lower side of x1 x2: negated gradient
  EXPECT_EQ(g(1), 0.25);
  EXPECT_EQ(g(2), -0.5);
  EXPECT_EQ(g(3), 0.0);
  dccineq(2, 3, x, g);  // upper side: the gradient itself
  EXPECT_EQ(g(1), -0.25);
  EXPECT_EQ(g(2), 0.5);
  // Bound inequalities through egradg: one nonzero entry, +1 for a lower
  // bound, -1 for an upper bound.
  egradg(7, x, g);
  EXPECT_EQ(g(1), 0.0);
  EXPECT_EQ(g(2), 1.0);
  EXPECT_EQ(g(3), 0.0);
  egradg(8, x, g);
  EXPECT_EQ(g(2), -1.0);
  EXPECT_EQ(g(1) + g(3), 0.0);
}

TEST_F(FakeBinding, LargestViolationCoversEqualitiesAndInequalities) {
  Array1<double, 3> x;
  x(1) = 1.0, x(2) = 0.0, x(3) = 0.0;  // feasible
  EXPECT_EQ(vviomax(3, x), 0.0);
  x(1) = 1.0, x(2) = 0.5, x(3) = -0.75;  // c1 = -0.25, c4 = 0.5 >= 0
  EXPECT_DOUBLE_EQ(vviomax(3, x), 0.25);
  x(3) = 3.5;  // above its bound by 0.5, c1 = 4, c3 = 12.25 > 4
  EXPECT_DOUBLE_EQ(vviomax(3, x), 8.25);
  x(3) = std::nan("");  // never taken for feasible
  EXPECT_TRUE(std::isnan(vviomax(3, x)));
}

TEST_F(FakeBinding, RelaxedEqualitiesOnlyWhenTheRecordSaysSo) {
  Array1<double, 3> x;
  x(1) = 1.0, x(2) = 0.5, x(3) = -0.75;
  EXPECT_DOUBLE_EQ(cceq(1, 3, x), -0.25);
  hhasdiscrete = {0, 1, 0.1};
  EXPECT_DOUBLE_EQ(cceq(1, 3, x), 0.15);
  hhasdiscrete = {0, 1, 0.5};
  EXPECT_EQ(cceq(1, 3, x), 0.0);
  hhasdiscrete = {0, 0, 0.0};
  Array1<std::int32_t, 3> flags;
  flags(1) = flags(2) = flags(3) = 7;
  xxdiscrete(3, flags);
  EXPECT_EQ(flags(1) + flags(2) + flags(3), 0);
}

TEST_F(FakeBinding, ObjectiveScaleDividesValueAndBothGradients) {
  Array1<double, 3> x;
  x(1) = 0.5, x(2) = -0.25, x(3) = 1.5;
  const auto r = testing::objective_at_two_scales(x);
  EXPECT_DOUBLE_EQ(r.f10, r.f1 / 10.0);
  for (int k = 1; k <= 3; ++k) {
    EXPECT_DOUBLE_EQ(r.analytic10(k), r.analytic1(k) / 10.0);
    EXPECT_NEAR(r.numerical10(k), r.numerical1(k) / 10.0, 1e-12);
    EXPECT_NEAR(r.numerical1(k), r.analytic1(k), 1e-9);  // numerical agrees with analytic
  }
}

TEST_F(FakeBinding, BaseStepFollowsThePrecision) {
  EXPECT_NEAR(difference_base_step(1.0e-16), 1.29e-3, 0.005e-3);
  EXPECT_NEAR(difference_base_step(1.0e-16), 0.25 * std::pow(10.0, -16.0 / 7.0), 1e-15);
  o8mpar(1) = 1.0e-16;
  Array1<double, 3> x, g;
  egradf1(x, g);
  EXPECT_DOUBLE_EQ(o8mpar(3), difference_base_step(1.0e-16));
}

TEST_F(FakeBinding, NumericalGradientsMatchAnalyticAndRestoreThePoint) {
  Array1<double, 3> x, num, ana;
  x(1) = 0.7, x(2) = -1.3, x(3) = 2.1;
  const Array1<double, 3> before = x;
  isslopefd.value = 1;
  for (int i = 1; i <= 1; ++i) {
    egradh(i, x, num);
    isslopefd.value = 0;
    egradh(i, x, ana);
    isslopefd.value = 1;
    for (int k = 1; k <= 3; ++k) EXPECT_NEAR(num(k), ana(k), 1e-9);
  }
  for (int j = 1; j <= 9; ++j) {
    egradg(j, x, num);
    isslopefd.value = 0;
    egradg(j, x, ana);
    isslopefd.value = 1;
    for (int k = 1; k <= 3; ++k) EXPECT_NEAR(num(k), ana(k), 1e-8) << "j " << j << " k " << k;
  }
  for (int k = 1; k <= 3; ++k) EXPECT_EQ(x(k), before(k));
}

TEST_F(FakeBinding, ProtocolRoutinesCountTheirEvaluations) {
  o8cnt = O8cntRecord{};
  Array1<double, 3> x, g;
  double v = 0.0;
  ef(x, v);
  egradf(x, g);
  eh(1, x, v);
  egradh(1, x, g);
  eg(2, x, v);
  egradg(2, x, g);
  EXPECT_EQ(o8cnt(1), 1);
  EXPECT_EQ(o8cnt(2), 1);
  EXPECT_EQ(o8cnt(4), 1);
  EXPECT_EQ(o8cnt(804), 1);
  isslopefd.value = 1;
  egradf(x, g);  // once by egradf, once by the differences, 6 values per variable
  EXPECT_EQ(o8cnt(2), 3);
  EXPECT_EQ(o8cnt(1), 1 + 18);
  egradg(2, x, g);
  EXPECT_EQ(o8cnt(803 + 1 + 2), 1);  // after the equality counters
  int sum = 0;
  for (int k = 1; k <= O8cntRecord::size(); ++k) sum += o8cnt(k);
  EXPECT_EQ(sum, 1 + 18 + 3 + 1 + 1 + 1);  // eg and egradg count nothing
}

// The stand-in's optimum with inactive inequalities solves the Lagrange
// conditions of the equality: (16/7, 3/7, -12/7).
TEST_F(FakeBinding, SolveReachesTheKnownOptimum) {
  Array1<double, 3> x;
  x(1) = 0.0, x(2) = 0.0, x(3) = 0.0;
  int ifeas = -1, iters = -1;
  double fobj = 0.0, vmax = 1.0;
  o8cnt = O8cntRecord{};
  sqpstart(ifeas, x, fobj, vmax, iters);
  EXPECT_EQ(ifeas, 1);
  EXPECT_LT(vmax, 1e-9);
  EXPECT_GT(iters, 0);
  EXPECT_LE(iters, 1000);
  EXPECT_NEAR(x(1), 16.0 / 7.0, 1e-6);
  EXPECT_NEAR(x(2), 3.0 / 7.0, 1e-6);
  EXPECT_NEAR(x(3), -12.0 / 7.0, 1e-6);
  for (int k = 1; k <= 3; ++k) EXPECT_EQ(o8xdat(k), x(k));
  EXPECT_DOUBLE_EQ(fobj, oobj(3, x));
}

// With x3^2 <= 1 the inequality is active: x3 = -1, x1 = 1.75, x2 = 0.25.
// The solve is deterministic: a second one gives the same bits.
TEST_F(FakeBinding, SolveHonoursAnActiveInequalityAndRepeatsExactly) {
  fake::c3_upper = 1.0;
  init_sqp_pd();
  Array1<double, 3> x, y;
  x(1) = 4.0, x(2) = -1.0, x(3) = 2.0;
  y = x;
  int ifeas = 0, iters = 0, iters2 = 0;
  double fobj = 0.0, vmax = 0.0, fobj2 = 0.0, vmax2 = 0.0;
  sqpstart(ifeas, x, fobj, vmax, iters);
  EXPECT_EQ(ifeas, 1);
  EXPECT_NEAR(x(1), 1.75, 1e-6);
  EXPECT_NEAR(x(2), 0.25, 1e-6);
  EXPECT_NEAR(x(3), -1.0, 1e-6);
  sqpstart(ifeas, y, fobj2, vmax2, iters2);
  EXPECT_EQ(iters, iters2);
  EXPECT_EQ(fobj, fobj2);
  for (int k = 1; k <= 3; ++k) EXPECT_EQ(x(k), y(k));
}

// The polish takes its objective scale as a parameter: with the records at
// another scale it solves what sqpstart solves at its own.
TEST_F(FakeBinding, PolishTakesTheScaleItIsGiven) {
  fake::c3_upper = 1.0;
  init_sqp_pd();
  Array1<double, 3> x;
  x(1) = 4.0, x(2) = -1.0, x(3) = 2.0;
  const Array1<double, 3> start = x;
  slobj.value = 10.0;
  int ifeas = 0, iters = 0;
  double fobj = 0.0, vmax = 0.0;
  std::string expected;
  {
    Capture out(6);
    sqpstart(ifeas, x, fobj, vmax, iters);
    io::say("polished: Obj = ", fobj, " maxvio = ", vmax, " iters = ", iters);
    expected = out.text();
  }
  slobj.value = 1.0;
  Polisher polisher;
  Capture out(6);
  polisher.polish_run(start, 10.0, {kSolveIterations, 0.0});
  EXPECT_EQ(out.text(), expected);
  for (int k = 1; k <= 3; ++k) EXPECT_EQ(o8xdat(k), x(k));
  EXPECT_EQ(slobj.value, 1.0);
}

// A margin tightens the constraints' inequalities for the solve: the active
// x3^2 <= 1 ends strictly inside (by at least half the margin), every bound
// holds exactly, and the objective moves by about the margin times the
// multiplier; the violation measured is the problem's own. The iteration
// limit is the solve's too.
TEST_F(FakeBinding, AMarginEndsStrictlyInsideActiveInequalities) {
  fake::c3_upper = 1.0;
  init_sqp_pd();
  Array1<double, 3> plain, inside;
  plain(1) = 4.0, plain(2) = -1.0, plain(3) = 2.0;
  inside = plain;
  const LocalSolution p = local_solve({slobj.value, false}, {kSolveIterations, 0.0}, plain);
  const LocalSolution s = local_solve({slobj.value, false}, {kSolveIterations, 1.0e-6}, inside);
  EXPECT_EQ(s.ifeas, 1);
  EXPECT_LT(s.vmax, 1.0e-12);  // the equality's round-off; no inequality counts
  double largest = -1.0;
  for (int j = 1; j <= bbdinfo.ncineq; ++j) largest = std::fmax(largest, ccineq(j, 3, inside));
  EXPECT_LE(largest, -0.5e-6);
  EXPECT_GT(largest, -2.0e-6);
  for (int j = bbdinfo.ncineq + 1; j <= prbsqp.nineq; ++j) EXPECT_LE(ccineq(j, 3, inside), 0.0);
  EXPECT_GT(s.fobj, p.fobj);
  EXPECT_NEAR(s.fobj, p.fobj, 1.0e-4);

  plain(1) = 4.0, plain(2) = -1.0, plain(3) = 2.0;
  EXPECT_LE(local_solve({slobj.value, false}, {2, 0.0}, plain).iters, 2);
}

TEST_F(FakeBinding, SolverStopsAtTheIterationLimit) {
  o8xdat(1) = 4.0, o8xdat(2) = -1.0, o8xdat(3) = 2.0;
  noiter.value = 1;
  orvale();
  EXPECT_LE(o8itin(2), 1);
  noiter.value = 0;  // no iteration at all: the point stays
  o8xdat(1) = 4.0;
  orvale();
  EXPECT_EQ(o8itin(2), 0);
  EXPECT_EQ(o8xdat(1), 4.0);
}

}  // namespace
}  // namespace morlan

namespace morlan {
namespace {

TEST_F(FakeBinding, PolisherPrintsOneLinePerRunAndTheBestFeasible) {
  Polisher polisher;
  Capture out(6);
  polisher.print_summary();
  Array1<double, 3> x;
  polisher.polish_run(x, 1.0, {kSolveIterations, 0.0});
  x(1) = 4.0;
  polisher.polish_run(x, 1.0, {kSolveIterations, 0.0});
  EXPECT_EQ(x(1), 4.0);  // the run's point is left alone
  polisher.print_summary();
  const double best = polisher.best();
  EXPECT_NEAR(best, oobj(3, o8xdat), 1e-12);
  const std::string text = out.text();
  EXPECT_EQ(text.rfind(" best polished Obj = none feasible\n polished: Obj = ", 0), 0u) << text;
  EXPECT_NE(text.find(" maxvio = "), std::string::npos);
  EXPECT_NE(text.find(" iters = "), std::string::npos);
  EXPECT_EQ(polisher.runs(), 2);
  EXPECT_EQ(polisher.feasible_runs(), 2);
  EXPECT_NE(text.find(" best polished Obj =  " + io::real_item_text(best) + "\n"),
            std::string::npos);
}

}  // namespace
}  // namespace morlan
