// The evaluation limit of a measure (--max-evaluations): every loop stops at
// exactly the limit and ends as at a normal end with the best vector it has;
// a limit the run does not reach changes nothing; the multi-level scheme
// counts the evaluations of all its levels and starts none after the limit.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "anneal/run_control.hpp"
#include "anneal/stage_watch.hpp"
#include "measures/records.hpp"
#include "tests/anneal/engine_test_support.hpp"

namespace morlan {
namespace {

using test::Captured;
using test::LoopCall;

class EvaluationLimit : public ::testing::Test {
 protected:
  void SetUp() override {
    test::set_up_small_problem(true);
    vtol.value = 1.0e-5;
    rleq.value = 0.1;
  }

  // One loop call from (-1.5, 1.8) (every population member there) with at
  // most `limit` evaluations (0: none); returns the evaluations it made.
  static std::int64_t run(const test::RunLoop& loop, std::int64_t limit, LoopCall& call) {
    call.start_at(-1.5, 1.8);
    for (int k = 1; k <= cfg::kNpop; ++k) {
      call.xpop(k) = -1.5;
      call.xpop(cfg::kNpop + k) = 1.8;
    }
    rleq.value = 0.1;  // the relaxed loop shrinks it; its run control restores it
    call.core = true;
    call.limit = limit > 0 ? limit : kNoEvaluationLimit;
    Captured out;
    (call.*loop)();
    return call.counted;
  }
};

TEST_F(EvaluationLimit, EveryLoopStopsAtTheLimitAndEndsNormally) {
  for (const auto& [name, loop] : test::kEveryLoop) {
    LoopCall whole;
    const std::int64_t total = run(loop, 0, whole);
    ASSERT_GT(total, 100) << name;
    // 1 stops psa while it values its population.
    for (std::int64_t limit : {std::int64_t{1}, std::int64_t{37}, total / 3, total - 1}) {
      LoopCall cut;
      EXPECT_EQ(run(loop, limit, cut), limit) << name << " " << limit;
      EXPECT_EQ(cut.ier, kIerNormal) << name << " " << limit;
      EXPECT_LE(cut.nevals, limit) << name << " " << limit;
    }
    // A limit the run does not reach changes nothing.
    LoopCall same;
    EXPECT_EQ(run(loop, total, same), total) << name;
    for (int i = 1; i <= cfg::kNtot; ++i) {
      EXPECT_EQ(same.x(i), whole.x(i)) << name << " " << i;
      EXPECT_EQ(same.xbest(i), whole.xbest(i)) << name << " " << i;
    }
    EXPECT_EQ(same.fbest, whole.fbest) << name;
    EXPECT_EQ(same.nevals, whole.nevals) << name;
  }
}

// Counts what the loops tell their observer.
class CountingWatch final : public StageWatch {
 public:
  void loop_started(int, double, double) override { ++loops; }
  bool block_report_due() override { return false; }
  void block_ended(const StageReport&) override {}
  void stage_ended(const StageReport& report) override { reports.push_back(report); }
  int loops = 0;
  std::vector<StageReport> reports;
};

TEST_F(EvaluationLimit, TheStageInProgressIsReportedOnceMoreAtTheLimit) {
  CountingWatch whole_watch;
  LoopCall whole;
  whole.watch = &whole_watch;
  const std::int64_t total = run(&LoopCall::run_sa, 0, whole);
  ASSERT_GT(whole_watch.reports.size(), 3u);

  // Cut in the third stage: two whole stages, then the third as it stood.
  CountingWatch watch;
  LoopCall cut;
  cut.watch = &watch;
  const std::int64_t third = whole_watch.reports[2].evaluations;
  const std::int64_t limit = whole_watch.reports[1].counted_evaluations + 5;
  run(&LoopCall::run_sa, limit, cut);
  ASSERT_LT(limit, total);
  EXPECT_EQ(watch.loops, 1);
  ASSERT_EQ(watch.reports.size(), 3u);
  EXPECT_EQ(watch.reports[0].evaluations, whole_watch.reports[0].evaluations);
  EXPECT_EQ(watch.reports[1].objective, whole_watch.reports[1].objective);
  EXPECT_EQ(watch.reports[2].counted_evaluations, limit);
  EXPECT_EQ(watch.reports[2].evaluations, cut.nevals);
  EXPECT_LT(watch.reports[2].evaluations, third);
  EXPECT_EQ(watch.reports[2].temperature, whole_watch.reports[2].temperature);
}

TEST_F(EvaluationLimit, ARunCutBeforeItFoundAFeasibleVectorFails) {
  // With b = 0 the zero vector, which an unsuccessful loop leaves in xbest,
  // meets the constraint; a run cut after its first evaluation from an
  // infeasible start must still fail, with the point it stopped on.
  small_problem::rhs = 0.0;
  Array1<double, cfg::kNtot> x;
  Array1<double, cfg::kNpop * cfg::kNtot> pop;
  x(1) = 1.5;
  x(2) = 1.25;
  Measure measure = test::measure();
  measure.set_evaluation_limit(1);
  Captured out;
  const RunOutcome r = chain_run({kRulePlain, 0, 1.0, 0.8}, measure, nullptr, pop, x);
  EXPECT_EQ(r.evaluations, 1);
  EXPECT_EQ(r.isucc, 0);
  EXPECT_EQ(out.lines().at(0).rfind(" cSA: stop Obj = ", 0), 0u) << out.text();
  EXPECT_EQ(x(1), 1.5);
}

TEST_F(EvaluationLimit, TheLadderCountsEveryLevelAndStartsNoneAfterTheLimit) {
  Array1<double, cfg::kNpop * cfg::kNtot> pop;
  const auto ladder = [&pop](std::int64_t limit, std::string& text) {
    Array1<double, cfg::kNtot> x;
    x(1) = -1.5;
    x(2) = 1.8;
    Measure measure = test::measure();
    measure.set_evaluation_limit(limit > 0 ? limit : kNoEvaluationLimit);
    Captured out;
    const RunOutcome r = ladder_run({kRulePlain, 9, 1.0, 0.8}, measure, nullptr, pop, x);
    text = out.text();
    return r.evaluations;
  };
  std::string whole;
  const std::int64_t total = ladder(0, whole);
  std::string cut;
  // Each level doubles the blocks of the one before: a quarter of the
  // whole falls in the third of the four levels.
  EXPECT_EQ(ladder(total / 4, cut), total / 4);
  // The levels before the one the limit cut print as in the whole run; the
  // cut level is the last, and the best level is handed back after it.
  const auto levels = [](const std::string& text) {
    std::vector<std::string> lines;
    for (std::size_t at = text.find("at NT = "); at != std::string::npos;
         at = text.find("at NT = ", at + 1)) {
      const std::size_t begin = text.rfind('\n', at) + 1;
      lines.push_back(text.substr(begin, text.find('\n', at) - begin));
    }
    return lines;
  };
  const std::vector<std::string> all = levels(whole);
  const std::vector<std::string> some = levels(cut);
  ASSERT_GE(some.size(), 2u);
  ASSERT_LT(some.size(), all.size());
  for (std::size_t k = 0; k + 1 < some.size(); ++k) EXPECT_EQ(some[k], all[k]);
  const std::string nt = some.back().substr(some.back().find("at NT = ") + 8);
  EXPECT_NE(cut.find(" return Obj ="), std::string::npos) << cut;
  EXPECT_NE(cut.find(" NT = " + nt + "\n return x ="), std::string::npos) << cut;
}

}  // namespace
}  // namespace morlan
