// The digests of what a process prepared, and the first one that differs
// between two processes (on the fake engine's records).
#include <gtest/gtest.h>

#include "problem/adaptor.hpp"
#include "series/preparation.hpp"
#include "series/prepared_state.hpp"

namespace morlan {
namespace {

RunPlan plan(double t0, double spacing, std::int64_t max_evaluations = 0) {
  Answers answers;
  answers.scale = 1.0;
  answers.ratio = 0.5;
  Prepared prepared;
  prepared.temperatures.t0 = t0;
  prepared.grid.spacing(3) = spacing;
  DriverOptions options;
  options.max_evaluations = max_evaluations;
  return plan_of(answers, prepared, options);
}

TEST(PreparedState, TheFirstDigestThatDiffersIsNamed) {
  const PreparedDigests mine = prepared_digests(plan(2.5, 0.1));
  EXPECT_EQ(first_difference(mine, prepared_digests(plan(2.5, 0.1))), std::nullopt);
  EXPECT_EQ(first_difference(mine, prepared_digests(plan(2.6, 0.1))),
            "run settings (rule, levels, initial temperature, ratio)");
  EXPECT_EQ(first_difference(mine, prepared_digests(plan(2.5, 0.2))), "grid");
  EXPECT_EQ(first_difference(mine, prepared_digests(plan(2.5, 0.1, 5000))),
            "evaluation limit of a run");
  // The records come first: another problem size is named before the rest.
  const PrbcsaRecord kept = prbcsa;
  prbcsa.n += 1;
  EXPECT_EQ(first_difference(mine, prepared_digests(plan(2.6, 0.2))), "prbcsa");
  prbcsa = kept;
  // Another list (another build) is no list to compare.
  PreparedDigests longer = mine;
  longer.push_back({"more", 1});
  EXPECT_EQ(first_difference(mine, longer), "the list of prepared records");
  PreparedDigests renamed = mine;
  renamed.front().name = "other";
  EXPECT_EQ(first_difference(mine, renamed), "the list of prepared records");
}

}  // namespace
}  // namespace morlan
