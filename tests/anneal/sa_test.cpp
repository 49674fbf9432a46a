#include "anneal/sa.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "tests/anneal/engine_test_support.hpp"

namespace morlan {
namespace {

using test::Captured;
using test::consumed_since_seeding;
using test::traced_vectors;

// One call of the loop on the small problem (2 variables, 1 equality).
using SaRun = test::LoopCall;

class SaLoop : public ::testing::Test {
 protected:
  void SetUp() override {
    test::set_up_small_problem(true);
    vtol.value = 1.0e-5;
  }
};

TEST_F(SaLoop, StartOutsideTheBoundsWarnsOncePerVariableInOrderAndRuns) {
  SaRun run;
  run.start_at(3.0, -2.5);
  run.t = 1.0e-3;
  Captured out;
  run.run_sa();
  const auto lines = out.lines();
  ASSERT_GE(lines.size(), 2u);
  EXPECT_EQ(lines[0], " x( 1) is outside the bounds");
  EXPECT_EQ(lines[1], " x( 2) is outside the bounds");
  EXPECT_EQ(lines.size(), 2u);
  EXPECT_EQ(run.ier, kIerNormal);
  EXPECT_GT(run.nevals, 1);
}

TEST_F(SaLoop, StoppingTestCannotSucceedBeforeNhistStages) {
  // Fixed variables at a feasible point: the search value never changes, so
  // the run ends as soon as the history allows it.
  for (int nhist : {1, 4, 6}) {
    SaRun run;
    run.fix(0.5, 0.5);
    run.nhist = nhist;
    run.run_sa();
    EXPECT_EQ(run.ier, kIerNormal);
    EXPECT_EQ(run.blocks, nhist * run.nt) << nhist;
  }
}

TEST_F(SaLoop, TemperatureBelowTheFloorEndsTheRunAfterOneStage) {
  SaRun run;
  run.start_at(-1.5, 1.8);
  run.t = 5.0e-7;
  run.run_sa();
  EXPECT_EQ(run.ier, kIerNormal);
  EXPECT_EQ(run.blocks, run.nt);
  EXPECT_EQ(run.nevals, 1 + run.nt * run.ncyc * cfg::kNvar);
}

TEST_F(SaLoop, TiesAreAcceptedWithoutADraw) {
  // Fixed variables (no draws for their trials) a hair off the constraint:
  // every multiplier is tried with one draw, and its term is far below the
  // rounding of the objective, so every trial ties with the current value.
  hasdiscrete.hasdiscrete = false;
  vtol.value = 1.0e-20;
  SaRun run;
  run.fix(0.5, 0.5 + std::ldexp(1.0, -52));
  run.x(3) = 0.0;
  run.run_sa();
  EXPECT_EQ(run.ier, kIerNormal);
  EXPECT_EQ(run.naccept, run.nevals - 1);  // every variable trial accepted
  EXPECT_EQ(consumed_since_seeding(), run.blocks);
  EXPECT_EQ(run.blocks, run.nhist * run.nt);
}

TEST_F(SaLoop, SatisfiedConstraintKeepsItsMultiplier) {
  SaRun run;
  run.fix(0.5, 0.5);
  run.x(3) = 3.25;
  run.run_sa();
  EXPECT_EQ(run.x(3), 3.25);
  EXPECT_EQ(consumed_since_seeding(), 0);
  // Feasible from the start: the start is the best vector.
  EXPECT_EQ(run.xbest(3), 3.25);
  EXPECT_EQ(run.fbest, 0.5);
}

TEST_F(SaLoop, MultipliersStayWithinZeroAndTheCap) {
  // A huge violation makes the multiplier steps overshoot both ends.
  for (double start : {0.0, 5.0e19, 1.0e20}) {
    SaRun run;
    run.fix(1.0e23, 1.0e23);
    run.x(3) = start;
    run.t = 1.0e-3;
    run.itrace = 2;
    Captured out;
    run.run_sa();
    for (const auto& v : traced_vectors(out.text(), "CURRENT X", cfg::kNtot)) {
      EXPECT_GE(v[2], 0.0);
      EXPECT_LE(v[2], 1.0e20);
    }
    // Raising the multiplier raises the Lagrangian: it climbs to the cap.
    EXPECT_EQ(run.x(3), 1.0e20);
  }
}

TEST_F(SaLoop, MultiplierStepFactorShrinksToItsFloorAndGrowsWithoutBound) {
  {
    SaRun run;  // satisfied constraint: shrink every third block
    run.fix(0.5, 0.5);
    run.t = 5.0e-7;
    run.nt = 3;
    run.run_sa();
    EXPECT_DOUBLE_EQ(run.lamfac(1), 0.008);
  }
  {
    SaRun run;
    run.fix(0.5, 0.5);
    run.t = 5.0e-7;
    run.nt = 60;
    run.run_sa();
    EXPECT_EQ(run.lamfac(1), 0.001);
  }
  {
    SaRun run;  // violation above the temperature: grow every third block
    run.fix(0.0, 0.0);
    run.t = 5.0e-7;
    run.nt = 6;
    run.run_sa();
    EXPECT_DOUBLE_EQ(run.lamfac(1), 0.015625);
    EXPECT_DOUBLE_EQ(run.vm(3), 0.015625 * 0.999);  // factor times violation
  }
}

TEST_F(SaLoop, StepLengthsNeverExceedTheRangeAndResetEachStage) {
  // A hot run accepts nearly everything, so the steps grow to the cap.
  SaRun run;
  run.xlow(2) = 0.0;
  run.xupp(2) = 0.5;
  run.x(2) = 0.25;
  run.t = 1.0e6;
  run.rt = 0.01;
  run.nt = 3;
  run.itrace = 2;
  Captured out;
  run.run_sa();
  const auto steps = traced_vectors(out.text(), "NEW STEP LENGTH (VM)", cfg::kNtot);
  ASSERT_FALSE(steps.empty());
  bool capped = false;
  for (const auto& v : steps) {
    EXPECT_LE(v[0], 4.0);
    EXPECT_LE(v[1], 0.5);
    capped = capped || v[0] == 4.0;
  }
  EXPECT_TRUE(capped);
  // The stage reset: min(range, 1).
  EXPECT_EQ(run.vm(1), 1.0);
  EXPECT_EQ(run.vm(2), 0.5);
}

TEST_F(SaLoop, RestartFromTheBestVectorKeepsTheMultipliers) {
  SaRun run;
  run.start_at(-1.5, 1.8);
  run.t = 1.0;
  run.rt = 0.3;
  run.nt = 10;
  run.ncyc = 3;
  run.itrace = 3;
  Captured out;
  run.run_sa();
  const std::string text = out.text();
  const std::string stage_end = " INTERMEDIATE RESULTS BEFORE NEXT TEMPERATURE REDUCTION";
  const std::string new_minima = "  NEW MINIMA THIS TEMPERATURE:";
  int restarts = 0;
  int distinct = 0;
  for (std::size_t at = text.find(stage_end); at != std::string::npos;
       at = text.find(stage_end, at + 1)) {
    const std::string before = text.substr(0, at);
    const std::string after = text.substr(at);
    const std::size_t m = after.find(new_minima);
    ASSERT_NE(m, std::string::npos);
    if (std::stoi(after.substr(m + new_minima.size(), 8)) == 0) continue;
    const auto current = traced_vectors(before, "CURRENT X", cfg::kNtot);
    const auto best = traced_vectors(after, "CURRENT OPTIMAL X", cfg::kNtot);
    const auto next = traced_vectors(after, "CURRENT X", cfg::kNtot);
    if (next.empty()) break;  // the run ended at this stage
    ASSERT_FALSE(current.empty());
    ASSERT_FALSE(best.empty());
    // Variables from the best vector, multipliers as they were.
    EXPECT_EQ(next[0][0], best[0][0]);
    EXPECT_EQ(next[0][1], best[0][1]);
    EXPECT_EQ(next[0][2], current.back()[2]);
    ++restarts;
    if (best[0][2] != current.back()[2]) ++distinct;
  }
  EXPECT_GT(restarts, 0);
  EXPECT_GT(distinct, 0);
}

TEST_F(SaLoop, ReheatingRestartsFromTheViolationWhenABudgetIsGiven) {
  // Without the grid tolerance the equality is never met exactly enough.
  hasdiscrete.hasdiscrete = false;
  vtol.value = 1.0e-12;
  SaRun run;
  run.start_at(-1.5, 1.8);
  run.settings.nreheat = 2;
  Captured out;
  run.run_sa();
  int reheats = 0;
  for (const auto& l : out.lines()) {
    if (l.rfind(" Re-annealing from T =", 0) == 0) {
      ++reheats;
      EXPECT_LE(std::stod(l.substr(22)), 1.0);  // never above the start temperature
    }
  }
  EXPECT_EQ(reheats, 2);
  EXPECT_EQ(run.ier, kIerNormal);

  SaRun plain;  // the system's budget: none
  plain.start_at(-1.5, 1.8);
  Captured quiet;
  plain.run_sa();
  EXPECT_EQ(quiet.text(), "");
}

TEST_F(SaLoop, AlternativeSettingsRunToTheirEnd) {
  const SaSettings variants[] = {{0, 1, 0, 0}, {2, 1, 0, 0}, {3, 1, 0, 0}, {1, 0, 0, 0},
                                 {1, 2, 0, 0}, {1, 3, 0, 0}, {1, 1, 1, 0}};
  for (const SaSettings& s : variants) {
    SaRun run;
    run.settings = s;
    run.start_at(-1.5, 1.8);
    run.run_sa();
    EXPECT_EQ(run.ier, kIerNormal) << s.idist << s.irule << s.isched;
    // The best vector is feasible, or none was found.
    if (run.xbest(1) != 0.0 || run.xbest(2) != 0.0) {
      EXPECT_LT(test::measure().largest_violation(run.xbest), vtol.value);
    }
    for (int i = 1; i <= cfg::kNvar; ++i) {
      EXPECT_GE(run.x(i), run.xlow(i) - 1.0e-6);
      EXPECT_LE(run.x(i), run.xupp(i) + 1.0e-6);
    }
  }
}

TEST_F(SaLoop, UnknownSettingsStopTheProgram) {
  {
    SaRun run;
    run.settings.idist = 4;
    small_problem::evaluations = 0;
    Captured out;
    EXPECT_THROW(run.run_sa(), io::StopRequest);
    EXPECT_EQ(out.text(), " wrong distribution\n");
    EXPECT_EQ(small_problem::evaluations, 0);
  }
  {
    SaRun run;
    run.settings.irule = 4;
    small_problem::evaluations = 0;
    Captured out;
    try {
      run.run_sa();
      ADD_FAILURE() << "no stop";
    } catch (const io::StopRequest& stop) {
      EXPECT_EQ(stop.status, io::kExitError);
    }
    EXPECT_EQ(out.text(), " wrong acceptance rule in cSA\n");
    EXPECT_EQ(run.nevals, 2);  // the start and the first trial
  }
}

}  // namespace
}  // namespace morlan
