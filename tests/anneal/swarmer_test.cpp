#include "anneal/swarmer.hpp"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <limits>
#include <string>

#include "anneal/sa.hpp"
#include "tests/anneal/engine_test_support.hpp"

namespace morlan {
namespace {

using test::Captured;

using test::item;

constexpr int kNpop = cfg::kNpop;
// Position of entry i of member k (member index fastest).
constexpr int at(int k, int i) { return (i - 1) * kNpop + k; }

// One call of the population loop on the small problem, members spread over
// the box.
struct PsaRun : test::LoopCall {
  PsaRun() {
    nt = 10;
    fbest = 99.0;  // the loop sets it
    const std::array<std::array<double, 2>, 3> starts{{{-1.5, 1.8}, {1.2, 1.1}, {-0.7, -1.9}}};
    for (int k = 1; k <= kNpop; ++k) {
      xpop(at(k, 1)) = starts[static_cast<std::size_t>(k - 1) % 3][0];
      xpop(at(k, 2)) = starts[static_cast<std::size_t>(k - 1) % 3][1];
    }
  }
};

class Swarmer : public ::testing::Test {
 protected:
  void SetUp() override {
    test::set_up_small_problem(true);
    msa.value = kRulePopulation;
    vtol.value = 1.0e-5;
  }
};

TEST_F(Swarmer, ConvergesToTheOptimumSharesTheMultipliersAndRepeatsToTheByte) {
  std::string first;
  for (int pass = 0; pass < 2; ++pass) {
    PsaRun run;
    Captured out;
    run.run_psa();
    if (pass == 1) {
      EXPECT_EQ(out.text(), first);
      continue;
    }
    first = out.text();
    EXPECT_EQ(first, " finish swarmer\n");
    EXPECT_EQ(run.ier, kIerNormal);
    // The best vector lies at the optimum of the grid setting, where an
    // equality residual up to 0.001 counts as met. (Members that are no
    // longer picked keep their violation in the average, so the shared
    // multiplier keeps growing and the search ends less sharply than the
    // plain loop's.)
    EXPECT_LT(test::measure().largest_violation(run.xbest), vtol.value);
    EXPECT_NEAR(test::measure().objective(run.xbest), 0.999 * 0.999 / 2.0, 2.0e-4);
    EXPECT_NEAR(run.xbest(1), 0.4995, 0.01);
    EXPECT_NEAR(run.xbest(2), 0.4995, 0.01);
    // fbest is the Lagrangian of the best vector, unnegated.
    EXPECT_GT(run.fbest, 0.0);
    // Every member carries the same multipliers; the variables stay in the
    // box.
    for (int k = 2; k <= kNpop; ++k) {
      for (int i = cfg::kNvar + 1; i <= cfg::kNtot; ++i) {
        EXPECT_EQ(run.xpop(at(k, i)), run.xpop(at(1, i)));
      }
    }
    for (int k = 1; k <= kNpop; ++k) {
      for (int i = 1; i <= cfg::kNvar; ++i) {
        EXPECT_GE(run.xpop(at(k, i)), small_problem::kLower);
        EXPECT_LE(run.xpop(at(k, i)), small_problem::kUpper);
      }
    }
    EXPECT_GT(run.xpop(at(1, cfg::kNvar + 1)), 0.0);  // the multiplier moved
  }
}

TEST_F(Swarmer, StepLengthsRestartAtOneEvenForANarrowRange) {
  PsaRun run;
  for (int i = 1; i <= cfg::kNvar; ++i) {
    run.xlow(i) = 0.2;
    run.xupp(i) = 0.7;
    for (int k = 1; k <= kNpop; ++k) run.xpop(at(k, i)) = 0.45;
  }
  run.nt = 3;
  Captured out;
  run.run_psa();
  EXPECT_EQ(run.vm(1), 1.0);
  EXPECT_EQ(run.vm(2), 1.0);
}

TEST_F(Swarmer, WithoutAFeasibleMemberTheBestStaysZero) {
  // Fixed variables at (0.25, 0.25): |h| = 0.5 throughout.
  PsaRun run;
  for (int i = 1; i <= cfg::kNvar; ++i) {
    run.xlow(i) = run.xupp(i) = 0.25;
    for (int k = 1; k <= kNpop; ++k) run.xpop(at(k, i)) = 0.25;
  }
  run.nt = 3;
  Captured out;
  run.run_psa();
  EXPECT_EQ(out.text(), " finish swarmer\n");
  EXPECT_EQ(run.fbest, 0.0);
  for (int i = 1; i <= cfg::kNtot; ++i) EXPECT_EQ(run.xbest(i), 0.0);
}

// newpick on a population whose members are told apart by variable 1.
struct Pick {
  Array1<double, kNpop * cfg::kNtot> xpop;
  Array1<double, kNpop> fpop;
  Array1<double, cfg::kNtot> xcur;
  Pick() {
    for (int k = 1; k <= kNpop; ++k) {
      for (int i = 1; i <= cfg::kNtot; ++i) xpop(at(k, i)) = 10.0 * k + i;
    }
  }
};

TEST(Newpick, EqualValuesChooseEveryMemberAlikeAndCopyTheWholeMember) {
  Pick p;
  rmarin(1, 2);
  Array1<int, kNpop> count;
  const int draws = 3000 * kNpop;
  for (int n = 0; n < draws; ++n) {
    int mpick = 0;
    newpick(mpick, p.fpop, p.xpop, p.xcur, 1.0);
    ASSERT_GE(mpick, 1);
    ASSERT_LE(mpick, kNpop);
    count(mpick) = count(mpick) + 1;
    for (int i = 1; i <= cfg::kNtot; ++i) ASSERT_EQ(p.xcur(i), 10.0 * mpick + i);
  }
  for (int k = 1; k <= kNpop; ++k) EXPECT_NEAR(count(k), draws / kNpop, draws / kNpop / 10);
}

TEST(Newpick, LowerValuesWinAtLowTemperatureAndOneDrawIsTaken) {
  Pick p;
  for (int k = 1; k <= kNpop; ++k) p.fpop(k) = 5.0;
  p.fpop(2) = 1.0;
  rmarin(1, 2);
  int mpick = 0;
  newpick(mpick, p.fpop, p.xpop, p.xcur, 1.0e-3);
  EXPECT_EQ(mpick, 2);
  EXPECT_EQ(test::consumed_since_seeding(), 1);
}

TEST(Newpick, WeightsThatAreNotNumbersStopTheProgramWithTheSelectionLines) {
  Pick p;
  const double nan = std::numeric_limits<double>::quiet_NaN();
  p.fpop(1) = nan;
  rmarin(1, 2);
  Captured out;
  int mpick = 0;
  try {
    newpick(mpick, p.fpop, p.xpop, p.xcur, 1.0);
    FAIL() << "no stop";
  } catch (const io::StopRequest& stop) {
    EXPECT_EQ(stop.status, io::kExitError);
  }
  // The cumulative weights are all NaN (0/0, whatever its sign), then the
  // member values.
  const auto lines = out.lines();
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0], " wrong in selection");
  std::string ff = "  ff=";
  for (int k = 1; k <= kNpop; ++k) ff += item(p.fpop(k));
  ASSERT_GT(lines[1].size(), ff.size());
  EXPECT_EQ(lines[1].substr(lines[1].size() - ff.size()), ff);
  const std::string weights = lines[1].substr(0, lines[1].size() - ff.size());
  EXPECT_EQ(weights.rfind(" p=", 0), 0u);
  int nans = 0;
  for (std::size_t at = weights.find("NAN"); at != std::string::npos; at = weights.find("NAN", at + 1)) ++nans;
  EXPECT_EQ(nans, kNpop);
}

TEST_F(Swarmer, RunControlDispatchesThePopulationRuleInBothModes) {
  PsaRun members;  // for its starting population
  Array1<double, cfg::kNtot> x;
  int isucc = 0;
  double objval = 0.0, maxvio = 0.0;
  {
    Captured out;
    chainrun(isucc, members.xpop, x, objval, maxvio, 1.0, 0.95);
    const auto lines = out.lines();
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0], " finish swarmer");
    EXPECT_EQ(isucc, 1);
    EXPECT_NEAR(objval, 0.999 * 0.999 / 2.0, 1.0e-4);
  }
  {
    Captured out;
    ladderrun(isucc, 2, members.xpop, x, objval, maxvio, 1.0, 0.95);
    const auto lines = out.lines();
    EXPECT_EQ(lines.at(1), " finish swarmer");
    EXPECT_EQ(isucc, 1);
    EXPECT_NEAR(objval, 0.999 * 0.999 / 2.0, 1.0e-4);
  }
}

}  // namespace
}  // namespace morlan
