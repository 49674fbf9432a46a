#include "anneal/relaxer.hpp"
#include "anneal/sa.hpp"
#include "measures/records.hpp"
#include "tests/anneal/engine_test_support.hpp"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>


namespace morlan {
namespace {

using test::Captured;

using test::item;

const std::string kReducedLine = " relaxed radius reduced to rleq = ";

// One call of the relaxed-equality loop on the small problem (2 variables,
// 1 equality) under the relaxed Lagrangian.
using RelaxerRun = test::LoopCall;

class Relaxer : public ::testing::Test {
 protected:
  void SetUp() override {
    test::set_up_small_problem(true);
    mlag.value = 10;
    msa.value = kRuleRelaxed;
    vtol.value = 1.0e-3;
  }
};

// The texts of the radii on the reduction lines, in order.
std::vector<std::string> reductions(const std::vector<std::string>& lines) {
  std::vector<std::string> out;
  for (const auto& l : lines) {
    if (l.rfind(kReducedLine, 0) == 0) out.push_back(l.substr(kReducedLine.size()));
  }
  return out;
}

TEST_F(Relaxer, ConvergesThroughShrinkingRadiiToTheOptimumAndRepeatsToTheByte) {
  // Continuous variables: a grid could not bring the residual below the
  // smallest radii.
  test::set_up_small_problem(false);
  mlag.value = 10;
  std::string first;
  for (int pass = 0; pass < 2; ++pass) {
    RelaxerRun run;
    run.start_at(-1.5, 1.8);
    run.nt = 20;
    run.rt = 0.8;
    rleq.value = 0.1;
    Captured out;
    run.run_relaxer();
    EXPECT_EQ(run.ier, kIerNormal);
    if (pass == 1) {
      EXPECT_EQ(out.text(), first);
      continue;
    }
    first = out.text();

    const auto lines = out.lines();
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines[0], " relaxed radius = " + item(0.1));

    // Every reduction is by 0.95 from the one before; the last one leaves
    // the radius just at or below 1e-6 and there it stays.
    const auto radii = reductions(lines);
    ASSERT_FALSE(radii.empty());
    double expected = 0.1;
    for (const auto& r : radii) {
      expected = 0.95 * expected;
      EXPECT_EQ(r, item(expected));
    }
    EXPECT_EQ(rleq.value, expected);
    EXPECT_GT(rleq.value, 0.95e-6);
    EXPECT_LE(rleq.value, 1.0e-6);

    // Each block with reductions ends in exactly one "redo NT", and a redo
    // follows only reductions.
    int pending = 0;
    for (std::size_t k = 1; k < lines.size(); ++k) {
      if (lines[k].rfind(kReducedLine, 0) == 0) {
        ++pending;
      } else if (lines[k] == " redo NT") {
        EXPECT_GT(pending, 0) << "line " << k;
        pending = 0;
      } else {
        ADD_FAILURE() << "unexpected line: " << lines[k];
      }
    }
    EXPECT_EQ(pending, 0);

    // The best vector is judged by the unrelaxed violation against the
    // relaxed mode's tolerance 1e-3: the optimum of x1 + x2 >= 0.999.
    const double h = run.xbest(1) + run.xbest(2) - 1.0;
    EXPECT_LT(std::abs(h), vtol.value);
    EXPECT_NEAR(run.xbest(1), 0.4995, 0.005);
    EXPECT_NEAR(run.xbest(2), 0.4995, 0.005);
    EXPECT_NEAR(test::measure().objective(run.xbest), 0.999 * 0.999 / 2.0, 1.0e-4);
  }
}

TEST_F(Relaxer, SeveralReductionsInOneBlockGiveOneRedoAndStopAtTheFloor) {
  // At a fixed feasible point every trial is a tie, accepted without a draw,
  // so the first block keeps reducing until the radius reaches the floor.
  RelaxerRun run;
  run.fix(0.5, 0.5);
  rleq.value = 2.0e-6;
  Captured out;
  run.run_relaxer();
  const auto lines = out.lines();
  ASSERT_GE(lines.size(), 2u);
  EXPECT_EQ(lines[0], " relaxed radius = " + item(2.0e-6));
  const auto radii = reductions(lines);
  ASSERT_EQ(radii.size(), 14u);  // 2e-6 * 0.95^14 = 0.976e-6
  EXPECT_EQ(lines.size(), 1u + 14u + 1u);
  EXPECT_EQ(lines.back(), " redo NT");
  EXPECT_EQ(radii.back(), item(rleq.value));
  EXPECT_GT(rleq.value, 0.95e-6);
  EXPECT_LE(rleq.value, 1.0e-6);
  EXPECT_EQ(run.xbest(1), 0.5);
  EXPECT_EQ(run.ier, kIerNormal);
}

TEST_F(Relaxer, RadiusAtTheFloorIsNeverReduced) {
  RelaxerRun run;
  run.fix(0.5, 0.5);
  rleq.value = 1.0e-6;
  Captured out;
  run.run_relaxer();
  EXPECT_EQ(out.text(), " relaxed radius = " + item(1.0e-6) + "\n");
  EXPECT_EQ(rleq.value, 1.0e-6);
  EXPECT_EQ(run.ier, kIerNormal);
  EXPECT_EQ(run.xbest(1), 0.5);  // the feasible start is the best vector
}

TEST_F(Relaxer, StopWithTheUnrelaxedViolationReheatsTenTimesFromTheLastReduction) {
  for (double radius : {0.4, 0.001}) {
    // Fixed at (0.25, 0.25): |h| = 0.5, never feasible, never reduced.
    RelaxerRun run;
    run.fix(0.25, 0.25);
    run.x(3) = 0.125;
    rleq.value = radius;
    Captured out;
    run.run_relaxer();
    const auto lines = out.lines();
    ASSERT_EQ(lines.size(), 11u);
    EXPECT_EQ(lines[0], " relaxed radius = " + item(radius));
    double t = 100.0 * radius;
    if (t > 1.0) t = 1.0;  // never above the start temperature
    for (std::size_t k = 1; k < lines.size(); ++k) {
      EXPECT_EQ(lines[k], " Re-annealing from T =" + item(t) + " and rleq =" + item(radius));
    }
    EXPECT_EQ(run.xrelax(3), 0.125);  // the start, multipliers included
    for (int i = 1; i <= cfg::kNtot; ++i) EXPECT_EQ(run.xbest(i), 0.0);
    EXPECT_EQ(run.ier, kIerNormal);
  }
}

TEST_F(Relaxer, PointsFeasibleOnlyForTheRelaxedProblemShrinkTheRadiusButNeverBecomeBest) {
  // Fixed at (0.25, 0.25): |h| = 0.5 lies inside the radius 0.6 until four
  // reductions bring it to 0.6 * 0.95^4 = 0.489.
  RelaxerRun run;
  run.fix(0.25, 0.25);
  rleq.value = 0.6;
  Captured out;
  run.run_relaxer();
  const auto lines = out.lines();
  double radius = 0.6;
  for (int k = 0; k < 4; ++k) radius = 0.95 * radius;
  EXPECT_EQ(rleq.value, radius);
  EXPECT_EQ(reductions(lines).size(), 4u);
  // Not feasible unrelaxed: no best vector, and the stop reheats from the
  // point of the last reduction with the reduced radius.
  for (int i = 1; i <= cfg::kNtot; ++i) EXPECT_EQ(run.xbest(i), 0.0);
  ASSERT_GE(lines.size(), 10u);
  EXPECT_EQ(lines.back(), " Re-annealing from T =" + item(1.0) + " and rleq =" + item(radius));
  EXPECT_EQ(run.xrelax(1), 0.25);
}

TEST_F(Relaxer, MultipliersHaveNoUpperClamp) {
  // A violation of 1e30 makes the multiplier steps huge; the plain loop
  // would stop the multiplier at 1e20.
  small_problem::rhs = 1.0e30;
  RelaxerRun run;
  run.fix(0.0, 0.0);
  run.t = 1.0e-5;
  rleq.value = 0.4;
  Captured out;
  run.run_relaxer();
  EXPECT_GT(run.x(3), 1.0e20);
}

TEST_F(Relaxer, RunControlDispatchesTheRelaxedRuleInBothModes) {
  Array1<double, cfg::kNtot> x;
  Array1<double, cfg::kNpop * cfg::kNtot> pop;
  int isucc = 0;
  double objval = 0.0, maxvio = 0.0;
  rleq.value = 0.1;
  x(1) = -1.5;
  x(2) = 1.8;
  {
    Captured out;
    chainrun(isucc, pop, x, objval, maxvio, 1.0, 0.8);
    EXPECT_EQ(out.lines().at(0), " relaxed radius = " + item(0.1));
    EXPECT_EQ(isucc, 1);
    EXPECT_NEAR(objval, 0.999 * 0.999 / 2.0, 1.0e-4);
  }
  x = Array1<double, cfg::kNtot>{};
  x(1) = -1.5;
  x(2) = 1.8;
  {
    Captured out;
    ladderrun(isucc, 2, pop, x, objval, maxvio, 1.0, 0.8);
    const auto lines = out.lines();
    EXPECT_EQ(lines.at(1), " relaxed radius = " + item(0.1));
    // The levels judge with the relaxed mode's tolerance 1e-3 on top of the
    // grid's 0.001: the optimum of x1 + x2 >= 0.998.
    EXPECT_EQ(isucc, 1);
    EXPECT_LT(maxvio, 1.0e-3);
    EXPECT_NEAR(objval, 0.998 * 0.998 / 2.0, 1.0e-3);
  }
  EXPECT_EQ(rleq.value, 0.1);
}

}  // namespace
}  // namespace morlan
