#include "anneal/prepare.hpp"
#include "anneal/random.hpp"
#include "io/console.hpp"
#include "io/units.hpp"
#include "measures/records.hpp"
#include "problem/adaptor.hpp"
#include "tests/anneal/captured_output.hpp"
#include "tests/support/scripted_problem.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <string>


namespace morlan {
namespace {

using testing::reset_scripted;
using testing::scripted;

using StdoutCapture = test::Captured;

class PrepareTest : public ::testing::Test {
 protected:
  void SetUp() override {
    reset_scripted();
    isdx = IsdxRecord{};
    for (int i = 1; i <= cfg::kNvar; ++i) {
      xbnd.xl(i) = 0.0;
      xbnd.xu(i) = 1.0;
    }
  }
  void estimate() {
    StdoutCapture out;
    init_t(t0_, tf_);
    line_ = out.text();
  }
  double t0_ = -1.0, tf_ = -1.0;
  std::string line_;
};

TEST_F(PrepareTest, GridCountsAndSpacings) {
  xbnd.xl(1) = -3.0;
  xbnd.xu(1) = -2.0;  // range 1
  xbnd.xu(2) = 0.5;
  xbnd.xu(3) = 2.5;
  xbnd.xl(4) = 7.0;
  xbnd.xu(4) = 7.0;   // fixed
  xdiscrete(cfg::kNvar, isdx);
  isdx(5) = 0;        // a continuous variable has no spacing
  hasdiscrete.needshift = true;
  discrete(3) = 9.0;
  StdoutCapture out;
  dxinfo(cfg::kNvar, discrete.slice(cfg::kNvar + 1, cfg::kNvar), discrete.slice(1, cfg::kNvar));
  EXPECT_EQ(out.text(), " number of discretized points per unit = 10000\n");
  EXPECT_EQ(ndsample(1), 10000.0);
  EXPECT_EQ(discrete(cfg::kNvar + 1), 1.0 / 9999.0);
  EXPECT_EQ(ndsample(2), 10000.0);
  EXPECT_EQ(discrete(cfg::kNvar + 2), 0.5 / 9999.0);
  EXPECT_EQ(ndsample(3), 25000.0);
  EXPECT_EQ(discrete(cfg::kNvar + 3), 2.5 / 24999.0);
  EXPECT_EQ(ndsample(4), 10000.0);
  EXPECT_EQ(discrete(cfg::kNvar + 4), 0.0);
  EXPECT_EQ(ndsample(5), 10000.0);
  EXPECT_EQ(discrete(cfg::kNvar + 5), 0.0);
  EXPECT_FALSE(hasdiscrete.needshift);
  EXPECT_EQ(discrete(3), 0.0);
}

TEST_F(PrepareTest, BoundsAndFlagsCoverTheProblemVariables) {
  prbcsa.n = 3;
  xbnd.xl(2) = -5.0;
  xbnd.xu(3) = 8.0;
  Array1<double, cfg::kNvar> xl, xu;
  xl(4) = 42.0;
  xbound(3, xl, xu);
  EXPECT_EQ(xl(2), -5.0);
  EXPECT_EQ(xu(3), 8.0);
  EXPECT_EQ(xl(4), 42.0);
  Array1<int, cfg::kNvar> flags;
  xdiscrete(3, flags);
  EXPECT_EQ(flags(3), 1);
  EXPECT_EQ(flags(4), 0);
}

TEST_F(PrepareTest, NoSpreadGivesTheLowestStart) {
  estimate();
  EXPECT_EQ(t0_, 1.0);
  EXPECT_EQ(tf_, 0.0);
  EXPECT_EQ(line_, " Initial temperature t0 =   1.  Stop tf =   0.\n");
}

TEST_F(PrepareTest, ViolationAboveOneThousandClampsBoth) {
  scripted.h(1) = -5000.0;
  estimate();
  EXPECT_EQ(t0_, 1000.0);
  EXPECT_EQ(tf_, 0.001);
}

TEST_F(PrepareTest, SmallSpreadKeepsTheUnclampedStop) {
  scripted.g(37) = 0.5;
  estimate();
  EXPECT_EQ(t0_, 1.0);
  EXPECT_EQ(tf_, 0.0005);
}

TEST_F(PrepareTest, LagrangianDifferencesRaiseTheEstimate) {
  // Each sample's second point lies 0.01 above the first (or just inside
  // the upper bound): differences of up to 2000 x 0.01.
  scripted.objective = [](CVec x) { return 2000.0 * x(1); };
  estimate();
  EXPECT_GT(t0_, 19.0);
  EXPECT_LE(t0_, 20.0 + 1e-9);
  EXPECT_EQ(tf_, 0.001);
}

TEST_F(PrepareTest, FormOneBeforeAnyPenaltyRestsOnTheViolations) {
  // Penalty 0 makes every form-1 Lagrangian NaN; NaN differences never
  // raise the estimate.
  scripted.objective = [](CVec x) { return 2000.0 * x(1); };
  scripted.g(1) = 0.3;
  mlag.value = 1;
  estimate();
  EXPECT_EQ(t0_, 1.0);
  EXPECT_EQ(tf_, 0.3 / 1000.0);
}

TEST_F(PrepareTest, SeedsBothGeneratorsAndDrawsTwoPerVariableAndSample) {
  std::srand(123);
  (void)std::rand();
  const int next_c = std::rand();
  rmarin(3, 4);
  for (int k = 0; k < 2 * cfg::kNvar * 100; ++k) (void)ranmar();
  const float next_main = ranmar();

  estimate();
  EXPECT_EQ(std::rand(), next_c);
  EXPECT_EQ(ranmar(), next_main);
}

}  // namespace
}  // namespace morlan
