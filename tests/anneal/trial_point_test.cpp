#include "anneal/trial_point.hpp"

#include <gtest/gtest.h>

#include <cmath>

#include "anneal/random.hpp"
#include "tests/anneal/engine_test_support.hpp"

namespace morlan {
namespace {

using test::consumed_since_seeding;
using test::stream_value;

class TrialPoint : public ::testing::Test {
 protected:
  void SetUp() override { test::set_up_small_problem(false); }
  void use_grid(double spacing, double points) {
    grid_.on_grid(1) = 1;
    grid_.spacing(1) = spacing;
    grid_.points(1) = points;
  }
  // A trial point on the grid of the test (no grid variable unless
  // use_grid said so).
  double xpi(int idist, int i, double x, double vm, double lower, double upper) {
    return morlan::xpi(grid_, idist, i, x, vm, lower, upper);
  }
  Grid grid_;
};

TEST_F(TrialPoint, CauchyOnFixedVariableReturnsMidpointWithoutDrawing) {
  rmarin(1, 2);
  EXPECT_EQ(xpi(kCauchy, 1, 2.5, 0.3, 2.5, 2.5), 2.5);
  // A relative width below 1e-8 counts as fixed.
  EXPECT_EQ(xpi(kCauchy, 1, 1.0, 0.3, 1.0, 1.0 + 1.0e-9), (1.0 + 1.0e-9 + 1.0) * 0.5);
  // Both bounds zero: the relative width is undefined, the variable is fixed.
  EXPECT_EQ(xpi(kCauchy, 1, 0.0, 0.3, 0.0, 0.0), 0.0);
  EXPECT_EQ(consumed_since_seeding(), 0);
}

TEST_F(TrialPoint, EveryDistributionStaysInsideTheBounds) {
  rmarin(1, 2);
  for (int idist : {kUniform, kCauchy, kGaussian, kLogarithmic}) {
    for (int k = 0; k < 200; ++k) {
      const double y = xpi(idist, 1, 0.75, 5.0, 0.5, 1.0);
      EXPECT_GE(y, 0.5);
      EXPECT_LE(y, 1.0);
    }
  }
  use_grid(0.01, 51.0);  // grid 0.5, 0.51, ..., 1.0
  for (int idist : {kUniform, kCauchy, kGaussian, kLogarithmic}) {
    for (int k = 0; k < 200; ++k) {
      const double y = xpi(idist, 1, 0.75, 5.0, 0.5, 1.0);
      EXPECT_GE(y, 0.5 - 1.0e-6);
      EXPECT_LE(y, 1.0 + 1.0e-6);
    }
  }
}

TEST_F(TrialPoint, GridMovesAreAtLeastOneGridStep) {
  use_grid(0.01, 401.0);
  rmarin(1, 2);
  int up = 0;
  int down = 0;
  for (int idist : {kUniform, kCauchy, kGaussian}) {
    for (int k = 0; k < 100; ++k) {
      // A step far below the spacing still moves one grid point.
      const double y = xpi(idist, 1, 0.0, 1.0e-9, -2.0, 2.0);
      EXPECT_DOUBLE_EQ(std::fabs(y), 0.01);
      (y > 0.0 ? up : down) += 1;
    }
  }
  EXPECT_GT(up, 0);
  EXPECT_GT(down, 0);
}

TEST_F(TrialPoint, LogarithmicGridMoveMaySnapBackToTheCurrentPoint) {
  use_grid(0.01, 401.0);
  rmarin(1, 2);
  // A relative change far below the spacing snaps back onto x.
  EXPECT_DOUBLE_EQ(xpi(kLogarithmic, 1, 1.0, 1.0e-9, 0.0, 4.0), 1.0);
}

TEST_F(TrialPoint, CandidatesOnABoundAreKept) {
  // A zero step proposes the current value; on the bound it is kept without
  // the replacement draw.
  for (int idist : {kUniform, kLogarithmic}) {
    rmarin(1, 2);
    EXPECT_EQ(xpi(idist, 1, 0.5, 0.0, 0.5, 1.0), 0.5);
    EXPECT_EQ(xpi(idist, 1, 1.0, 0.0, 0.5, 1.0), 1.0);
    EXPECT_EQ(consumed_since_seeding(), 2);
  }
  // A grid candidate up to 1e-6 beyond a bound is kept as well.
  use_grid(0.25, 3.0);
  const double x = 1.0 - 0.25 + 5.0e-7;
  rmarin(1, 2);
  for (int k = 0; k < 20; ++k) {
    const double y = xpi(kUniform, 1, x, 1.0e-9, 0.5, 1.0);
    EXPECT_TRUE(y == x + 0.25 || y == x - 0.25) << y;
  }
  EXPECT_EQ(consumed_since_seeding(), 20);
}

TEST_F(TrialPoint, OutOfRangeCandidateIsReplacedByAPointOfTheRange) {
  rmarin(1, 2);
  const double u = 2.0 * static_cast<double>(ranmar()) - 1.0;
  const double r = static_cast<double>(ranmar());
  rmarin(1, 2);
  // x + u * vm lies far outside [0, 1]: a uniform point of the range instead.
  EXPECT_EQ(xpi(kUniform, 1, 0.5, 1.0e6 * (u > 0 ? 1 : -1), 0.0, 1.0), 0.0 + (1.0 - 0.0) * r);
  // On a grid: a random grid point.
  use_grid(0.25, 5.0);
  rmarin(1, 2);
  EXPECT_EQ(xpi(kUniform, 1, 0.5, 1.0e6 * (u > 0 ? 1 : -1), 0.0, 1.0),
            0.25 * std::floor(r * 5.0));
}

TEST_F(TrialPoint, GaussianPairServesTwoCalls) {
  rmarin(1, 2);
  const double w1 = 2.0 * static_cast<double>(stream_value(1)) - 1.0;
  const double w2 = 2.0 * static_cast<double>(stream_value(2)) - 1.0;
  const double s = w1 * w1 + w2 * w2;
  ASSERT_LT(s, 1.0);  // the first pair of this stream is accepted
  const double f = std::sqrt(-2.0 * std::log(s) / s);

  rmarin(1, 2);
  gaussset.flag = 0;
  const double y1 = xpi(kGaussian, 1, 0.0, 0.01, -2.0, 2.0);
  EXPECT_EQ(gaussset.flag, 1);
  const double y2 = xpi(kGaussian, 1, 0.0, 0.01, -2.0, 2.0);
  EXPECT_EQ(gaussset.flag, 0);
  EXPECT_EQ(consumed_since_seeding(), 2);
  // The second coordinate first, then the cached first one, each rounded to
  // single precision.
  EXPECT_EQ(y1, static_cast<double>(static_cast<float>(w2 * f)) * 0.01);
  EXPECT_EQ(y2, static_cast<double>(static_cast<float>(w1 * f)) * 0.01);
}

TEST_F(TrialPoint, CauchyWithZeroStepOutsideTheBoundsEnds) {
  rmarin(1, 2);
  // Redrawing could never bring these values inside: the nearest bound.
  EXPECT_EQ(xpi(kCauchy, 1, 5.0, 0.0, -2.0, 2.0), 2.0);
  EXPECT_EQ(xpi(kCauchy, 1, -5.0, 0.0, -2.0, 2.0), -2.0);
  use_grid(0.01, 401.0);
  EXPECT_EQ(xpi(kCauchy, 1, 5.0, 0.0, -2.0, 2.0), 2.0);
  // A variable fixed at zero has a zero grid spacing: it stays put.
  use_grid(0.0, 10000.0);
  EXPECT_EQ(xpi(kCauchy, 1, 0.0, 0.0, 0.0, 0.0), 0.0);
  EXPECT_EQ(xpi(kCauchy, 1, 0.0, 0.5, 0.0, 0.0), 0.0);
}

}  // namespace
}  // namespace morlan
