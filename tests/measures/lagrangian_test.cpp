#include "io/console.hpp"
#include "io/units.hpp"
#include "measures/measure.hpp"
#include "problem/adaptor.hpp"
#include "problem/raw_values.hpp"
#include "tests/support/scripted_problem.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <string>
#include <vector>


namespace morlan {
namespace {

using testing::reset_scripted;
using testing::scripted;

constexpr int kLambda = cfg::kNvar;            // y(kLambda + i) = lambda_i
constexpr int kMu = cfg::kNvar + cfg::kNeq;    // y(kMu + j) = mu_j

class LagrangianTest : public ::testing::Test {
 protected:
  void SetUp() override {
    reset_scripted();
    io::set_stop_handler(io::throwing_stop_handler);
    y_.assign(cfg::kNtot, 0.0);
  }
  // The measure of the test's settings, on the problem routines.
  Measure m() const { return Measure(form_, grid_); }
  void TearDown() override { io::set_stop_handler(nullptr); }

  // The small point used by the form tests: f = 6 scaled by slobj = 2,
  // h_1 = 0.5, h_2 = -2, g_1 = 0.3 (violated), g_2 = -0.4 (holds), every
  // other constraint holding with multiplier 0; lambda = (2, -3),
  // mu = (4, 5); p = 0.5.
  void small_point() {
    scripted.f = 6.0;
    form_.scale = 2.0;
    scripted.h(1) = 0.5;
    scripted.h(2) = -2.0;
    scripted.g(1) = 0.3;
    scripted.g(2) = -0.4;
    y(kLambda + 1) = 2.0;
    y(kLambda + 2) = -3.0;
    y(kMu + 1) = 4.0;
    y(kMu + 2) = 5.0;
    form_.penalty = 0.5;
  }

  double& y(int i) { return y_[static_cast<std::size_t>(i - 1)]; }
  Vec yv() { return Vec(y_.data(), cfg::kNtot); }
  CVec ycv() { return CVec(y_.data(), cfg::kNtot); }
  double lag(int form) {
    form_.form = form;
    return m().lagrangian(ycv());
  }

  std::vector<double> y_;
  MeasureForm form_;  // form 0, scale 1, no penalty, no radius
  Grid grid_;         // no grid
};

TEST_F(LagrangianTest, EveryFormOnTheSmallPoint) {
  small_point();
  // 3 + 2(0.5) - 3(2) + 4(0.3)
  EXPECT_NEAR(lag(0), -0.8, 1e-12);
  // 3 + (1 + 0.0625) + (6 + 1) + (4.15^2 - 16) + (4.8^2 - 25)
  EXPECT_NEAR(lag(1), 10.325, 1e-12);
  // 3 + 1.0625 + 7 + (1.2 + 0.0225)
  EXPECT_NEAR(lag(2), 12.285, 1e-12);
  // 3 + 1.0625 + (-6 + 1) + 1.2225
  EXPECT_NEAR(lag(3), 0.285, 1e-12);
  // 3 + 0.5 * max(0.5, 2, 0.3, -0.4)
  EXPECT_NEAR(lag(4), 4.0, 1e-12);
  // 3 + 1.0625 + (|6| + 1) + 1.2225
  EXPECT_NEAR(lag(5), 12.285, 1e-12);
  // rleq = 1: 3 + (0 + 0.0625) + (-3(1) + 1) + 1.2225; the penalty term
  // keeps the unrelaxed h.
  form_.radius = 1.0;
  EXPECT_NEAR(lag(10), 2.285, 1e-12);
}

TEST_F(LagrangianTest, FormOneWithTZeroAddsMinusMuSquaredOverTwoP) {
  scripted.f = 3.0;
  form_.penalty = 0.5;
  scripted.g(1) = -8.0;  // t = 4 + 0.5 (-8) = 0
  y(kMu + 1) = 4.0;
  EXPECT_DOUBLE_EQ(lag(1), 3.0 - 16.0);
}

TEST_F(LagrangianTest, FormOneWithoutPenaltyIsNotANumber) {
  // Before any run sets the penalty, form 1 divides 0 by 0.
  y(kMu + 1) = 1.0;
  scripted.g(1) = 0.0;
  EXPECT_TRUE(std::isnan(lag(1)));
}

TEST_F(LagrangianTest, FormFourTakesTheLargestResidualStartingFromZero) {
  scripted.f = 1.0;
  form_.penalty = 2.0;
  y(kLambda + 1) = 100.0;  // ignored
  EXPECT_DOUBLE_EQ(lag(4), 1.0);  // every g at -1: V stays 0
  scripted.h(7) = -1.5;
  EXPECT_DOUBLE_EQ(lag(4), 1.0 + 2.0 * 1.5);
  scripted.g(37) = 2.5;
  EXPECT_DOUBLE_EQ(lag(4), 1.0 + 2.0 * 2.5);
}

TEST_F(LagrangianTest, UnknownFormStopsWithItsMessage) {
  form_.form = 7;
  char* buffer = nullptr;
  std::size_t size = 0;
  std::FILE* out = open_memstream(&buffer, &size);
  io::redirect_output(6, out);
  int status = -1;
  try {
    m().lagrangian(ycv());
  } catch (const io::StopRequest& stop) {
    status = stop.status;
  }
  io::redirect_output(6, nullptr);
  std::fclose(out);
  EXPECT_EQ(status, 1);
  EXPECT_EQ(std::string(buffer, size), " Wrong Lagrangian function in dlag()\n");
  std::free(buffer);
}

TEST_F(LagrangianTest, ConstraintIndexBeyondTheLastStops) {
  char* buffer = nullptr;
  std::size_t size = 0;
  std::FILE* out = open_memstream(&buffer, &size);
  io::redirect_output(6, out);
  std::vector<double> g(cfg::kNvar);
  EXPECT_THROW(m().violation(cfg::kNcon + 1, ycv()), io::StopRequest);
  EXPECT_THROW(m().unrelaxed_violation(cfg::kNcon + 1, ycv()), io::StopRequest);
  EXPECT_THROW(m().constraint_gradient(cfg::kNcon + 1, ycv(), Vec(g.data(), cfg::kNvar)),
               io::StopRequest);
  io::redirect_output(6, nullptr);
  std::fclose(out);
  EXPECT_EQ(std::string(buffer, size),
            " Wrong constraint index in cst\n Wrong constraint index in ocst\n"
            " Wrong constraint index in dcst\n");
  std::free(buffer);
}

TEST_F(LagrangianTest, DiscreteToleranceOnEqualitiesOnly) {
  grid_.any = true;
  scripted.h(1) = 0.0005;
  scripted.h(2) = -0.0015;
  scripted.g(1) = 0.0005;
  EXPECT_EQ(m().violation(1, ycv()), 0.0);
  EXPECT_DOUBLE_EQ(m().violation(2, ycv()), 0.0015 - 0.001);
  EXPECT_EQ(m().unrelaxed_violation(1, ycv()), 0.0);
  EXPECT_DOUBLE_EQ(m().unrelaxed_violation(2, ycv()), 0.0015 - 0.001);
  EXPECT_EQ(m().violation(cfg::kNeq + 1, ycv()), 0.0005);
  // Form 0 sees the tolerance; the others use the raw h.
  y(kLambda + 1) = 1.0;
  EXPECT_EQ(lag(0), 0.0);
  EXPECT_EQ(lag(2), 0.0005);
  y(kLambda + 1) = 0.0;
  y(kLambda + 2) = 1.0;
  EXPECT_DOUBLE_EQ(lag(0), 0.0015 - 0.001);
  EXPECT_EQ(lag(2), -0.0015);
  grid_.any = false;
  EXPECT_EQ(m().violation(1, ycv()), 0.0005);
}

TEST_F(LagrangianTest, RelaxedRadiusOnlyForTheSearchViolation) {
  grid_.any = true;
  form_.form = 10;
  form_.radius = 0.0001;
  scripted.h(1) = -0.0005;
  EXPECT_DOUBLE_EQ(m().violation(1, ycv()), 0.0005 - 0.0001);
  EXPECT_EQ(m().unrelaxed_violation(1, ycv()), 0.0);
  EXPECT_DOUBLE_EQ(m().largest_violation(ycv()), 0.0005 - 0.0001);
  EXPECT_EQ(m().largest_unrelaxed_violation(ycv()), 0.0);
}

TEST_F(LagrangianTest, LargestViolationIsNeverNegative) {
  EXPECT_EQ(m().largest_violation(ycv()), 0.0);
  EXPECT_EQ(m().largest_unrelaxed_violation(ycv()), 0.0);
  scripted.h(3) = -0.25;
  scripted.g(5) = 0.5;
  EXPECT_EQ(m().largest_violation(ycv()), 0.5);
  scripted.g(5) = 0.125;
  EXPECT_EQ(m().largest_unrelaxed_violation(ycv()), 0.25);
}

TEST_F(LagrangianTest, ProblemViolationHasNoBandCountsTheBoundsAndKeepsNaN) {
  grid_.any = true;  // the program's setting: a 0.001 band on equalities
  scripted.h(2) = -0.0015;
  scripted.g(3) = 0.0004;
  EXPECT_DOUBLE_EQ(m().largest_unrelaxed_violation(ycv()), 0.0005);
  EXPECT_EQ(m().problem_violation(ycv()), 0.0015);
  scripted.g(3) = 0.002;
  EXPECT_EQ(m().problem_violation(ycv()), 0.002);
  // A variable outside its bounds, which the search's measure leaves out.
  for (int i = 1; i <= cfg::kNvar; ++i) {
    xbnd.xl(i) = -1.0;
    xbnd.xu(i) = 1.0;
  }
  y(3) = 1.25;
  EXPECT_EQ(m().problem_violation(ycv()), 0.25);
  y(3) = -1.5;
  EXPECT_EQ(m().problem_violation(ycv()), 0.5);
  EXPECT_DOUBLE_EQ(m().largest_unrelaxed_violation(ycv()), 0.002);
  // A value that is not a number makes the measure so (the search's
  // measure counts it as infinitely violated).
  scripted.h(1) = std::nan("");
  EXPECT_TRUE(std::isnan(m().problem_violation(ycv())));
  EXPECT_EQ(m().largest_unrelaxed_violation(ycv()), HUGE_VAL);
  xbnd = XbndRecord{};
}

// The evaluation limit: the count stops at it, and the Lagrangian past it
// throws instead of evaluating; a copy keeps the limit.
TEST_F(LagrangianTest, LagrangianPastTheLimitThrowsInsteadOfEvaluating) {
  Measure measure = m();
  measure.set_evaluation_limit(2);
  measure.lagrangian(ycv());
  EXPECT_FALSE(measure.evaluation_limit_reached());
  measure.lagrangian(ycv());
  EXPECT_TRUE(measure.evaluation_limit_reached());
  Measure copy = measure;
  EXPECT_THROW(copy.lagrangian(ycv()), EvaluationLimitReached);
  EXPECT_EQ(copy.evaluations(), 2);
  copy.clear_evaluations();
  EXPECT_NO_THROW(copy.lagrangian(ycv()));
  EXPECT_EQ(copy.evaluations(), 1);
}

// A constraint undefined at the point (0/0 in a formula) is not met: every
// largest-violation measure counts it as infinite, from the problem routines
// and from cached values alike, and no tolerance accepts the point.
RawValues cached_nan;
const RawValues* cached_nan_at(CVec) { return &cached_nan; }

TEST_F(LagrangianTest, NotANumberConstraintIsNeverMet) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  for (const bool cached : {false, true}) {
    for (const bool equality : {true, false}) {
      reset_scripted();
      if (equality) {
        scripted.h(cfg::kNeq) = nan;
      } else {
        scripted.g(1) = nan;
      }
      scripted.h(1) = 0.25;
      cached_nan.objective = 0.0;
      for (int k = 1; k <= cfg::kNeq; ++k) cached_nan.c(k) = scripted.h(k);
      for (int j = 1; j <= cfg::kNineq; ++j) cached_nan.c(cfg::kNeq + j) = scripted.g(j);
      Measure measure(form_, grid_, cached ? &cached_nan_at : nullptr);
      const std::string where = std::string(cached ? "cached " : "direct ") +
                                (equality ? "equality" : "inequality");
      EXPECT_EQ(measure.largest_violation(ycv()), HUGE_VAL) << where;
      EXPECT_EQ(measure.largest_unrelaxed_violation(ycv()), HUGE_VAL) << where;
      EXPECT_FALSE(measure.largest_violation_below(ycv(), 1.0e300)) << where;
      EXPECT_FALSE(measure.largest_unrelaxed_violation_below(ycv(), 1.0e300)) << where;
    }
  }
}

TEST_F(LagrangianTest, GradientOfTheRawConstraint) {
  std::vector<double> g(cfg::kNvar);
  m().constraint_gradient(3, ycv(), Vec(g.data(), cfg::kNvar));
  EXPECT_EQ(g[0], 103.0);
  m().constraint_gradient(cfg::kNeq + 2, ycv(), Vec(g.data(), cfg::kNvar));
  EXPECT_EQ(g[0], 202.0);
}

TEST_F(LagrangianTest, MultiplierUpdateOfEachForm) {
  small_point();
  const std::vector<double> start = y_;
  struct Expect {
    int form;
    double l1, l2, m1, m2, m3;
  };
  const Expect cases[] = {
      {0, 2.5, -1.0, 4.3, 5.0, 0.0},
      {1, 2.25, -4.0, 4.15, 4.8, 0.0},  // mu_3: max(0 - 0.5, 0)
      {2, 2.25, -4.0, 4.15, 5.0, 0.0},
      {3, 2.25, -2.0, 4.15, 5.0, 0.0},
      {4, 2.0, -3.0, 4.0, 5.0, 0.0},
      {5, 2.0, -3.0, 4.0, 5.0, 0.0},
      {10, 2.0, -3.0, 4.0, 5.0, 0.0},
  };
  for (const Expect& c : cases) {
    y_ = start;
    form_.form = c.form;
    m().update_multipliers(yv());
    EXPECT_DOUBLE_EQ(y(kLambda + 1), c.l1) << "form " << c.form;
    EXPECT_DOUBLE_EQ(y(kLambda + 2), c.l2) << "form " << c.form;
    EXPECT_DOUBLE_EQ(y(kMu + 1), c.m1) << "form " << c.form;
    EXPECT_DOUBLE_EQ(y(kMu + 2), c.m2) << "form " << c.form;
    EXPECT_EQ(y(kMu + 3), c.m3) << "form " << c.form;
  }
}

class ShiftTest : public LagrangianTest {
 protected:
  void SetUp() override {
    LagrangianTest::SetUp();
    for (int i = 1; i <= cfg::kNvar; ++i) grid_.shift(i) = 0.25;
    scripted.objective = [](CVec x) { return x(1) + 10.0 * x(cfg::kNvar); };
    scripted.equality = [](int i, CVec x) { return i == 1 ? x(1) : 0.0; };
    y(1) = 1.0;
    y(cfg::kNvar) = 2.0;
  }
};

TEST_F(ShiftTest, BothFlagsShiftTheVariablesOfAPrivateCopy) {
  grid_.any = true;
  grid_.shifted = true;
  const std::vector<double> before = y_;
  EXPECT_DOUBLE_EQ(m().objective(ycv()), 1.25 + 22.5);
  EXPECT_DOUBLE_EQ(m().violation(1, ycv()), 1.25 - 0.001);
  EXPECT_DOUBLE_EQ(m().unrelaxed_violation(1, ycv()), 1.25 - 0.001);
  EXPECT_DOUBLE_EQ(m().largest_violation(ycv()), 1.25 - 0.001);
  EXPECT_DOUBLE_EQ(m().largest_unrelaxed_violation(ycv()), 1.25 - 0.001);
  form_.scale = 2.0;
  form_.form = 0;
  y(kLambda + 1) = 2.0;
  EXPECT_DOUBLE_EQ(m().lagrangian(ycv()), (1.25 + 22.5) / 2.0 + 2.0 * (1.25 - 0.001));
  y(kLambda + 1) = 0.0;
  EXPECT_EQ(y_, before);
  // The update uses the shifted point and changes only the multipliers.
  form_.form = 1;
  form_.penalty = 2.0;
  m().update_multipliers(yv());
  EXPECT_DOUBLE_EQ(y(kLambda + 1), 2.0 * 1.25);
  EXPECT_EQ(y(1), 1.0);
  EXPECT_EQ(y(cfg::kNvar), 2.0);
}

TEST_F(ShiftTest, OneFlagAloneDoesNotShift) {
  grid_.shifted = true;
  EXPECT_DOUBLE_EQ(m().objective(ycv()), 21.0);
  grid_.shifted = false;
  grid_.any = true;
  EXPECT_DOUBLE_EQ(m().objective(ycv()), 21.0);
  EXPECT_DOUBLE_EQ(m().violation(1, ycv()), 1.0 - 0.001);
}

TEST_F(LagrangianTest, CachedLagrangianMatchesAndReusesItsSlot) {
  small_point();
  form_.form = 3;
  const double direct = m().lagrangian(ycv());
  // The slots' storage; no slot selected: the cached variant is the plain one.
  Array1<std::int32_t, 5> index;
  Array1<double, LagrangianSlots::kSlots> objective;
  Array1<double, LagrangianSlots::kSlots * (cfg::kNcon + 1)> constraint;
  Measure cached = m();
  cached.use_slots({&index, &objective, &constraint});
  EXPECT_EQ(cached.lagrangian(ycv()), direct);
  EXPECT_EQ(index(2), 0);
  // Slot 2: filled on the first call, bit for bit the plain value.
  index(1) = 2;
  EXPECT_EQ(cached.lagrangian(ycv()), direct);
  EXPECT_EQ(index(3), 1);
  // While the flag is set the stored values are used; clearing it refills.
  scripted.f = 100.0;
  scripted.h(1) = 7.0;
  const int calls = scripted.objective_calls + scripted.equality_calls;
  EXPECT_EQ(cached.lagrangian(ycv()), direct);
  EXPECT_EQ(scripted.objective_calls + scripted.equality_calls, calls);
  index(3) = 0;
  EXPECT_EQ(cached.lagrangian(ycv()), m().lagrangian(ycv()));
  EXPECT_NE(m().lagrangian(ycv()), direct);
}

TEST_F(LagrangianTest, DescentWithoutIterationsOnlyComparesViolations) {
  y(1) = 0.5;
  y(kLambda + 1) = 3.0;
  const std::vector<double> before = y_;
  m().descend(0, yv());
  EXPECT_EQ(y_, before);
  EXPECT_EQ(scripted.objective_calls, 0);
  EXPECT_EQ(scripted.equality_calls, 2 * cfg::kNeq);
}

TEST_F(LagrangianTest, DescentTakesTheBestLineStep) {
  // L = (x1 - 1)^2 from x1 = 0: slope about 2, normalised to 1; the
  // largest decrease along the line is at the longest step, 0.32.
  scripted.objective = [](CVec x) { return (x(1) - 1.0) * (x(1) - 1.0); };
  y(kLambda + 1) = 3.0;
  m().descend(1, yv());
  EXPECT_DOUBLE_EQ(y(1), 0.32);
  EXPECT_EQ(y(2), 0.0);
  EXPECT_EQ(y(kLambda + 1), 3.0);
}

TEST_F(LagrangianTest, DescentThatRaisesTheViolationIsDropped) {
  // The objective pulls x1 up while h_1 = x1 grows; form 2 with p = 0 does
  // not see it, the violation check does.
  scripted.objective = [](CVec x) { return (x(1) - 1.0) * (x(1) - 1.0); };
  scripted.equality = [](int i, CVec x) { return i == 1 ? x(1) : 0.0; };
  form_.form = 2;
  m().descend(3, yv());
  EXPECT_EQ(y(1), 0.0);
}

}  // namespace
}  // namespace morlan
