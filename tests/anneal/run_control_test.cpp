#include "anneal/chainrun.hpp"
#include "anneal/ladderrun.hpp"
#include "anneal/run_records.hpp"
#include "anneal/sa.hpp"
#include "measures/records.hpp"
#include "tests/anneal/engine_test_support.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <string>


namespace morlan {
namespace {

using test::Captured;

class RunControl : public ::testing::Test {
 protected:
  void SetUp() override { test::set_up_small_problem(true); }
  void start_at(double x1, double x2) {
    x = Array1<double, cfg::kNtot>{};
    x(1) = x1;
    x(2) = x2;
  }
  Array1<double, cfg::kNtot> x;
  Array1<double, cfg::kNpop * cfg::kNtot> pop;
  int isucc = -1;
  double objval = 123.0;
  double maxvio = 456.0;
};

using test::item;

// The objective the small problem reaches with the discrete tolerance: on
// x1 + x2 = 0.999, x1 = x2.
constexpr double kBandOptimum = 0.999 * 0.999 / 2.0;

TEST_F(RunControl, ChainrunConvergesToTheKnownOptimumAndReportsIt) {
  start_at(-1.5, 1.8);
  penalty.value = 5.0;
  Captured out;
  chainrun(isucc, pop, x, objval, maxvio, 1.0, 0.8);
  EXPECT_EQ(isucc, 1);
  EXPECT_NEAR(objval, kBandOptimum, 1.0e-4);
  EXPECT_NEAR(x(1), 0.4995, 0.005);
  EXPECT_NEAR(x(2), 0.4995, 0.005);
  EXPECT_EQ(maxvio, 0.0);
  EXPECT_EQ(objval, x(1) * x(1) + x(2) * x(2));
  const auto lines = out.lines();
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0], " cSA: Obj = " + item(objval) + "  maxVio = " + item(maxvio));
  EXPECT_EQ(lines[1], " cSA: x = " + item(x(1)) + item(x(2)));
  // The run's settings stay behind: penalty 1, the chain tolerance.
  EXPECT_EQ(penalty.value, 1.0);
  EXPECT_EQ(vtol.value, cfg::kChainVtol);
  EXPECT_EQ(nsaiter.value % cfg::kChainNt, 0);
}

TEST_F(RunControl, PrintedCoordinatesIncludeTheShift) {
  discrete(1) = 1.0;
  discrete(2) = -2.0;
  start_at(-1.5, 1.8);
  Captured out;
  chainrun(isucc, pop, x, objval, maxvio, 1.0, 0.8);
  ASSERT_EQ(isucc, 1);
  EXPECT_EQ(out.lines().at(1), " cSA: x = " + item(x(1) + 1.0) + item(x(2) - 2.0));
}

TEST_F(RunControl, TwoRunsFromTheSameStartPrintTheSameBytes) {
  std::string first;
  Array1<double, cfg::kNtot> first_x;
  for (int run = 0; run < 2; ++run) {
    start_at(-1.5, 1.8);
    Captured out;
    chainrun(isucc, pop, x, objval, maxvio, 1.0, 0.8);
    ladderrun(isucc, 3, pop, x, objval, maxvio, 1.0, 0.8);
    if (run == 0) {
      first = out.text();
      first_x = x;
    } else {
      EXPECT_EQ(out.text(), first);
      EXPECT_EQ(x(1), first_x(1));
      EXPECT_EQ(x(2), first_x(2));
      EXPECT_EQ(x(3), first_x(3));
    }
  }
}

TEST_F(RunControl, ChainrunFailureReportsThePointTheLoopEndedOn) {
  // Without the discrete tolerance the equality is never met within 1e-10.
  hasdiscrete.hasdiscrete = false;
  start_at(-1.5, 1.8);
  Captured out;
  chainrun(isucc, pop, x, objval, maxvio, 1.0, 0.8);
  EXPECT_EQ(isucc, 0);
  EXPECT_EQ(objval, 123.0);
  EXPECT_EQ(maxvio, 456.0);
  const double v = std::fabs(x(1) + x(2) - 1.0);
  EXPECT_GT(v, cfg::kChainVtol);
  const auto lines = out.lines();
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0], " cSA: stop Obj = " + item(x(1) * x(1) + x(2) * x(2)) + "  maxVio = " +
                          item(v));
  EXPECT_EQ(lines[1], " cSA: stop x = " + item(x(1)) + item(x(2)));
}

TEST_F(RunControl, ALoopThatFoundNoFeasibleVectorHasNoResultWhereZerosAreFeasible) {
  // A start temperature of 0 runs no search, so the loop has no best vector
  // and its xbest holds zeros. With b = 0 the zero vector meets the
  // constraint exactly; it must not be taken for the run's result.
  hasdiscrete.hasdiscrete = false;
  const std::string& no_search = test::kTemperatureNotPositive;

  small_problem::rhs = 0.0;
  start_at(0.7, 0.1);
  {
    Captured out;
    chainrun(isucc, pop, x, objval, maxvio, 0.0, 0.8);
    EXPECT_EQ(isucc, 0);
    EXPECT_EQ(objval, 123.0);
    EXPECT_EQ(out.text(), no_search + " cSA: stop Obj = " + item(0.7 * 0.7 + 0.1 * 0.1) +
                              "  maxVio = " + item(0.7 + 0.1) + "\n cSA: stop x = " + item(0.7) +
                              item(0.1) + "\n");
  }

  start_at(0.7, 0.1);
  {
    Captured out;
    ladderrun(isucc, 2, pop, x, objval, maxvio, 0.0, 0.8);
    EXPECT_EQ(isucc, 0);
    EXPECT_EQ(vtol.value, 1.0e-5);
    std::string expected = "  \n";
    for (int nt = 10; nt < cfg::kLadderNtMax; nt *= 2) {
      expected += no_search + " cSA: Obj fails at NT = " + std::to_string(nt) + "\n";
    }
    EXPECT_EQ(out.text(), expected);  // no "return" lines
    EXPECT_EQ(x(1), 0.7);             // the caller's point untouched
    EXPECT_EQ(x(2), 0.1);
  }
}

TEST_F(RunControl, LadderEndsAtTheFirstAgreeingLevelWhenNconsecIsTwoOrLess) {
  std::string at_two;
  for (int nconsec : {2, 1, 0}) {
    start_at(-1.5, 1.8);
    Captured out;
    ladderrun(isucc, nconsec, pop, x, objval, maxvio, 1.0, 0.8);
    const auto lines = out.lines();
    // Level 10 finds one objective, level 20 a better one outside the
    // agreement band (a new best), and level 40 agrees with it.
    ASSERT_EQ(lines.size(), 9u) << out.text();
    EXPECT_EQ(lines[0], "  ");
    EXPECT_NE(lines[1].find(" at NT = 10"), std::string::npos);
    EXPECT_NE(lines[3].find(" at NT = 20"), std::string::npos);
    EXPECT_NE(lines[5].find(" at NT = 40"), std::string::npos);
    EXPECT_EQ(lines[7], " return Obj =" + item(objval) + " vioMax =" + item(maxvio) + " NT = 40");
    EXPECT_EQ(lines[8], " return x = " + item(x(1)) + item(x(2)));
    // The best is the level-20 point, not the agreeing level's.
    EXPECT_EQ(lines[4], " cSA: x =" + item(x(1)) + item(x(2)));
    EXPECT_EQ(isucc, 1);
    EXPECT_NEAR(objval, kBandOptimum, 1.0e-4);
    if (nconsec == 2) at_two = out.text();
    EXPECT_EQ(out.text(), at_two);
  }
}

TEST_F(RunControl, LadderWithoutEnoughAgreementReturnsTheBestAfterTheLastLevel) {
  start_at(-1.5, 1.8);
  Captured out;
  ladderrun(isucc, 9, pop, x, objval, maxvio, 1.0, 0.8);
  const auto lines = out.lines();
  ASSERT_GE(lines.size(), 2u);
  EXPECT_EQ(lines[lines.size() - 2],
            " return Obj =" + item(objval) + " vioMax =" + item(maxvio) + " NT = 80");
  EXPECT_EQ(isucc, 1);
  EXPECT_NEAR(objval, kBandOptimum, 1.0e-4);
  EXPECT_EQ(objval, x(1) * x(1) + x(2) * x(2));
}

TEST_F(RunControl, RuleWithoutALoopFailsWithoutJudgingAnything) {
  msa.value = -1;
  start_at(-1.5, 1.8);
  small_problem::evaluations = 0;
  {
    Captured out;
    chainrun(isucc, pop, x, objval, maxvio, 1.0, 0.8);
    EXPECT_EQ(isucc, 0);
    EXPECT_EQ(out.text(), " cSA: stop Obj = " + item(1.5 * 1.5 + 1.8 * 1.8) + "  maxVio = " +
                              item(std::fabs(-1.5 + 1.8 - 1.0) - 0.001) + "\n cSA: stop x = " +
                              item(-1.5) + item(1.8) + "\n");
    EXPECT_EQ(x(1), -1.5);
  }
  {
    Captured out;
    ladderrun(isucc, 2, pop, x, objval, maxvio, 1.0, 0.8);
    EXPECT_EQ(isucc, 0);
    EXPECT_EQ(out.text(),
              "  \n cSA: Obj fails at NT = 10\n cSA: Obj fails at NT = 20\n"
              " cSA: Obj fails at NT = 40\n cSA: Obj fails at NT = 80\n");
    EXPECT_EQ(x(1), -1.5);
  }
  EXPECT_LT(small_problem::evaluations, 3);  // only the failure line's objective
}

TEST_F(RunControl, PopulationFailurePrintsOnlyItsLineAndKeepsThePoint) {
  msa.value = kRulePopulation;
  start_at(0.25, 0.5);
  for (int k = 1; k <= cfg::kNpop; ++k) {
    pop(k) = -1.0;  // variable 1 of member k
    pop(cfg::kNpop + k) = 1.5;
  }
  Captured out;
  chainrun(isucc, pop, x, objval, maxvio, 0.0, 0.8);  // no search: zero vector judged
  EXPECT_EQ(isucc, 0);
  const auto lines = out.lines();
  EXPECT_EQ(lines.back(), " pSA fails");
  EXPECT_EQ(x(1), 0.25);
  EXPECT_EQ(x(2), 0.5);
  EXPECT_EQ(pop(1), -1.0);  // the caller's population is input only
}

TEST_F(RunControl, RelaxedRuleUsesItsToleranceAndRestoresTheRadius) {
  msa.value = kRuleRelaxed;
  mlag.value = 10;
  rleq.value = 0.1;
  start_at(-1.5, 1.8);
  {
    Captured out;
    chainrun(isucc, pop, x, objval, maxvio, 1.0, 0.8);
  }
  EXPECT_EQ(rleq.value, 0.1);
  EXPECT_EQ(vtol.value, cfg::kChainVtol);  // the small chain judges every rule alike
  start_at(-1.5, 1.8);
  {
    Captured out;
    ladderrun(isucc, 2, pop, x, objval, maxvio, 1.0, 0.8);
  }
  EXPECT_EQ(rleq.value, 0.1);
  EXPECT_EQ(vtol.value, 1.0e-3);
}

TEST(Fcn, IsTheLagrangianOfTheExtendedPoint) {
  test::set_up_small_problem(false);
  Array1<double, cfg::kNtot> y;
  y(1) = 1.0;
  y(2) = 2.0;
  y(3) = 0.5;
  double f = 0.0;
  fcn(99, y, f);
  EXPECT_EQ(f, 5.0 + 0.5 * 2.0);  // form 0: f + lambda |h|
  EXPECT_EQ(f, test::measure().lagrangian(y));
}

}  // namespace
}  // namespace morlan
