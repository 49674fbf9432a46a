#include "anneal/dlm.hpp"

#include <gtest/gtest.h>

#include "problem/adaptor.hpp"
#include "tests/anneal/engine_test_support.hpp"

namespace morlan {
namespace {

class Dlm : public ::testing::Test {
 protected:
  // Continuous variables by default: a fixed variable then never moves.
  void SetUp() override {
    test::set_up_small_problem(false);
    rmarin(1, 2);
  }
  // Both variables fixed at the given values through their bounds.
  void fix(double x1, double x2) {
    xbnd.xl(1) = xbnd.xu(1) = y(1) = x1;
    xbnd.xl(2) = xbnd.xu(2) = y(2) = x2;
  }
  void run() {
    Measure m = test::measure();
    by_dlm(m, ifeas, y, fobj, vmax, iters);
  }

  Array1<double, cfg::kNtot> y;
  int ifeas = -1;
  int iters = -1;
  double fobj = -1.0;
  double vmax = -1.0;
};

TEST_F(Dlm, DescendsToAFeasibleOptimumUnderTheExactPenaltyForm) {
  for (bool grid : {false, true}) {
    test::set_up_small_problem(grid);
    mlag.value = 4;
    rmarin(1, 2);
    y(1) = -1.5;
    y(2) = 1.8;
    y(3) = 7.0;  // ignored: the multipliers start at zero
    run();
    EXPECT_EQ(ifeas, 1);
    EXPECT_LT(vmax, 1.0e-5);
    EXPECT_EQ(vmax, test::measure().largest_unrelaxed_violation(y));
    EXPECT_EQ(fobj, test::measure().objective(y));
    // The optimum: 0.5 exactly, or 0.999^2 / 2 within the grid's tolerance.
    EXPECT_NEAR(fobj, grid ? 0.999 * 0.999 / 2.0 : 0.5, 1.0e-3);
    EXPECT_GE(fobj, 0.999 * 0.999 / 2.0 - 1.0e-12);
    EXPECT_GT(iters, 11);
    EXPECT_LT(iters, 1000);
  }
}

TEST_F(Dlm, ElevenStalledIterationsEndTheDescentAndEachStallRaisesTheMultipliers) {
  // Fixed at (0.25, 0.25): no trial ever lowers the Lagrangian; |h| = 0.5.
  fix(0.25, 0.25);
  y(3) = 7.0;
  run();
  EXPECT_EQ(iters, 11);
  // Ten stalls raised the multiplier (the eleventh iteration ends first).
  EXPECT_EQ(y(3), 5.0);
  EXPECT_EQ(ifeas, 0);
  EXPECT_EQ(fobj, 0.125);
  EXPECT_EQ(vmax, 0.5);
  EXPECT_EQ(y(1), 0.25);
  EXPECT_EQ(y(2), 0.25);
}

TEST_F(Dlm, AFeasibleStartIsTheBestBeforeAnyMoveAndZeroViolationLeavesTheMultiplier) {
  fix(0.5, 0.5);
  y(3) = 7.0;
  run();
  EXPECT_EQ(iters, 11);
  EXPECT_EQ(ifeas, 1);
  EXPECT_EQ(fobj, 0.5);
  EXPECT_EQ(vmax, 0.0);
  EXPECT_EQ(y(1), 0.5);
  EXPECT_EQ(y(3), 0.0);
}

TEST_F(Dlm, AFeasibleZeroVectorStandsAsTheBestWhenNothingFeasibleIsMet) {
  small_problem::rhs = 0.0;  // the zero vector satisfies x1 + x2 = 0
  fix(0.25, 0.25);
  run();
  EXPECT_EQ(ifeas, 1);
  EXPECT_EQ(fobj, 0.0);
  EXPECT_EQ(vmax, 0.0);
  for (int i = 1; i <= cfg::kNtot; ++i) EXPECT_EQ(y(i), 0.0);
}

TEST_F(Dlm, EndsAfterTheThousandthIterationWhenMovesNeverStop) {
  // Form 1 with multipliers raised by |h|: the multiplier keeps pushing the
  // point into the corner, below the value the descent holds, so every
  // iteration accepts a move.
  mlag.value = 1;
  y(1) = -1.5;
  y(2) = 1.8;
  run();
  EXPECT_EQ(iters, 1000);
  EXPECT_EQ(ifeas, 0);
  EXPECT_EQ(vmax, test::measure().largest_unrelaxed_violation(y));
  EXPECT_EQ(fobj, test::measure().objective(y));
}

}  // namespace
}  // namespace morlan
