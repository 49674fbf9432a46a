// The entry the three annealing loops share: a temperature that is not
// positive, and a start outside the bounds.
#include "anneal/loop_steps.hpp"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "measures/records.hpp"
#include "tests/anneal/engine_test_support.hpp"

namespace morlan {
namespace {

using test::Captured;
using test::LoopCall;

const auto& kLoops = test::kEveryLoop;

class EveryLoop : public ::testing::Test {
 protected:
  void SetUp() override {
    test::set_up_small_problem(true);
    vtol.value = 1.0e-5;
    rleq.value = 0.1;
  }
};

TEST_F(EveryLoop, NonPositiveTemperatureWritesTheMessageAndTouchesNothing) {
  for (const auto& [name, run_loop] : kLoops) {
    for (double t0 : {0.0, -1.0}) {
      LoopCall call;
      call.t = t0;
      call.x(1) = 5.0;  // outside the bounds: the temperature is checked first
      call.xpop(1) = 5.0;
      call.xbest(1) = 7.0;
      call.fbest = 42.0;
      small_problem::evaluations = 0;
      Captured out;
      (call.*run_loop)();
      EXPECT_EQ(out.text(), test::kTemperatureNotPositive) << name;
      EXPECT_EQ(call.ier, kIerTemperature) << name;
      EXPECT_EQ(small_problem::evaluations, 0) << name;
      EXPECT_EQ(call.nevals, 0) << name;
      EXPECT_EQ(call.xbest(1), 7.0) << name;
      EXPECT_EQ(call.fbest, 42.0) << name;
      EXPECT_EQ(call.x(1), 5.0) << name;
      EXPECT_EQ(call.t, t0) << name;
    }
  }
}

// (sa only warns and runs: see the core loop's tests.)
TEST_F(EveryLoop, RelaxerAndPsaRefuseAStartOutsideTheBoundsWithoutEvaluating) {
  for (const auto& [name, run_loop] : {kLoops[1], kLoops[2]}) {
    for (double outside : {2.5, -2.0000001}) {
      LoopCall call;
      call.x(2) = outside;
      // The population's last member, last variable.
      call.xpop((2 - 1) * cfg::kNpop + cfg::kNpop) = outside;
      small_problem::evaluations = 0;
      Captured out;
      (call.*run_loop)();
      EXPECT_EQ(out.text(), test::kOutsideBounds) << name;
      EXPECT_EQ(call.ier, kIerOutsideBounds) << name;
      EXPECT_EQ(small_problem::evaluations, 0) << name;
      EXPECT_EQ(rleq.value, 0.1) << name;
    }
  }
}

}  // namespace
}  // namespace morlan
