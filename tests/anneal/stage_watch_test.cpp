// The observer of the loops: a watched run of each loop is the same run to
// the last bit; it hears of every stage in order with the loop's own values;
// and the stage count until the temperature floor.
#include "anneal/stage_watch.hpp"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "tests/anneal/engine_test_support.hpp"

namespace morlan {
namespace {

using test::Captured;
using test::LoopCall;

// Keeps everything it is told; asks for a report after every cycle block.
class Recorder final : public StageWatch {
 public:
  void loop_started(int nt, double t0, double rt) override { starts.push_back({nt, t0, rt}); }
  bool block_report_due() override { return true; }
  void block_ended(const StageReport& r) override { blocks.push_back(r); }
  void stage_ended(const StageReport& r) override { stages.push_back(r); }

  struct Start {
    int nt;
    double t0;
    double rt;
  };
  std::vector<Start> starts;
  std::vector<StageReport> blocks;
  std::vector<StageReport> stages;
};

const auto& kLoops = test::kEveryLoop;

class Watched : public ::testing::Test {
 protected:
  void SetUp() override {
    test::set_up_small_problem(true);
    vtol.value = 1.0e-5;
  }
  // A loop call from a start away from the optimum, long enough to find it.
  static LoopCall call() {
    rleq.value = 0.1;
    LoopCall c;
    c.start_at(-1.5, 1.8);
    c.xpop(1) = -1.5;
    c.xpop(2) = 1.0;
    c.xpop(1 + cfg::kNpop) = 1.8;
    c.xpop(2 + cfg::kNpop) = -0.3;
    c.t = 2.0;
    c.rt = 0.3;
    c.nt = 40;
    return c;
  }
};

template <class A>
bool same_bits(const A& a, const A& b) {
  return std::memcmp(a.data(), b.data(), sizeof a.v) == 0;
}

TEST_F(Watched, AWatchedRunIsTheSameRunToTheLastBit) {
  for (const auto& [name, run_loop] : kLoops) {
    LoopCall plain = call();
    std::string plain_text;
    {
      Captured out;
      (plain.*run_loop)();
      plain_text = out.text();
    }
    const RanmarState plain_stream = raset1;
    const double plain_rleq = rleq.value;

    LoopCall watched = call();
    Recorder recorder;
    watched.watch = &recorder;
    Captured out;
    (watched.*run_loop)();
    ASSERT_FALSE(recorder.stages.empty()) << name;
    EXPECT_EQ(out.text(), plain_text) << name;
    EXPECT_TRUE(same_bits(watched.x, plain.x)) << name;
    EXPECT_TRUE(same_bits(watched.xpop, plain.xpop)) << name;
    EXPECT_TRUE(same_bits(watched.xbest, plain.xbest)) << name;
    EXPECT_TRUE(same_bits(watched.vm, plain.vm)) << name;
    EXPECT_TRUE(same_bits(watched.lamfac, plain.lamfac)) << name;
    EXPECT_EQ(std::memcmp(&watched.fbest, &plain.fbest, sizeof(double)), 0) << name;
    EXPECT_EQ(watched.t, plain.t) << name;
    EXPECT_EQ(watched.nevals, plain.nevals) << name;
    EXPECT_EQ(watched.naccept, plain.naccept) << name;
    EXPECT_EQ(std::memcmp(&raset1, &plain_stream, sizeof raset1), 0) << name;
    EXPECT_EQ(rleq.value, plain_rleq) << name;
  }
}

TEST_F(Watched, EveryStageIsReportedInOrderWithTheLoopsValues) {
  for (const auto& [name, run_loop] : kLoops) {
    LoopCall c = call();
    Recorder recorder;
    c.watch = &recorder;
    Captured out;
    (c.*run_loop)();
    ASSERT_EQ(recorder.starts.size(), 1u) << name;
    EXPECT_EQ(recorder.starts[0].nt, c.nt) << name;
    EXPECT_EQ(recorder.starts[0].t0, 2.0) << name;
    EXPECT_EQ(recorder.starts[0].rt, 0.3) << name;
    // Stage k runs at t0 rt^(k-1) (relaxer may reheat: then it begins
    // again below t0); the last at the temperature the loop ends with.
    const auto& stages = recorder.stages;
    ASSERT_GE(stages.size(), 4u) << name;
    double t = 2.0;
    for (const StageReport& s : stages) {
      if (s.temperature != t) {  // a reheat
        EXPECT_EQ(name, "relaxer");
        EXPECT_LE(s.temperature, 2.0);
      }
      t = 0.3 * s.temperature;
      EXPECT_GE(s.acceptance, 0.0) << name;
      EXPECT_LE(s.acceptance, 1.0) << name;
    }
    EXPECT_EQ(stages.front().temperature, 2.0) << name;
    EXPECT_EQ(stages.back().temperature, c.t) << name;
    // Every cycle block asked, and was answered; the counts only grow.
    EXPECT_GE(recorder.blocks.size(), stages.size() * static_cast<std::size_t>(c.nt)) << name;
    for (std::size_t k = 1; k < stages.size(); ++k) {
      EXPECT_GT(stages[k].evaluations, stages[k - 1].evaluations) << name;
    }
    EXPECT_EQ(stages.back().evaluations, c.nevals) << name;
    // The best objective is that of the loop's best vector, while it has one.
    const bool found = c.xbest(1) != 0.0 || c.xbest(2) != 0.0;
    EXPECT_TRUE(found || name != "sa");
    EXPECT_EQ(stages.back().best_objective, found ? test::measure().objective(c.xbest) : kNoneFeasible)
        << name;
  }
}

TEST_F(Watched, ThePlainLoopsReportTheLagrangianOfTheVectorTheyEndOn) {
  for (const auto& [name, run_loop] : {kLoops[0], kLoops[1]}) {
    LoopCall c = call();
    Recorder recorder;
    c.watch = &recorder;
    Captured out;
    (c.*run_loop)();
    ASSERT_FALSE(recorder.stages.empty()) << name;
    const StageReport& last = recorder.stages.back();
    EXPECT_EQ(last.lagrangian, test::measure().lagrangian(c.x)) << name;
    EXPECT_EQ(last.objective, test::measure().objective(c.x)) << name;
    EXPECT_EQ(last.violation, test::measure().largest_unrelaxed_violation(c.x)) << name;
  }
}

TEST(StagesToFloor, CountsTheStagesTheLoopsRunUntilTheFloor) {
  EXPECT_EQ(stages_to_floor(13.3165407, 0.0001, 1000), 3);  // 13.3, 1.3e-3, 1.3e-7
  EXPECT_EQ(stages_to_floor(13.3165407, 0.5, 1000), 25);
  EXPECT_EQ(stages_to_floor(1.0e-6, 0.5, 1000), 2);  // the floor itself is not below it
  EXPECT_EQ(stages_to_floor(5.0e-7, 0.5, 1000), 1);
  EXPECT_EQ(stages_to_floor(0.0, 0.5, 1000), 0);
  EXPECT_EQ(stages_to_floor(2.0, 1.0, 1000), 1000);  // a ratio that does not cool
}

}  // namespace
}  // namespace morlan
