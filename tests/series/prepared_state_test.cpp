// The digests of what a process prepared, and the first one that differs
// between two processes (on the fake engine's records).
#include <gtest/gtest.h>

#include "problem/adaptor.hpp"
#include "series/preparation.hpp"
#include "series/prepared_state.hpp"

namespace morlan {
namespace {

DriverOptions with_limit(std::int64_t max_evaluations) {
  DriverOptions options;
  options.max_evaluations = max_evaluations;
  return options;
}

PreparedDigests digests(double t0, double spacing, const DriverOptions& options = {}) {
  Answers answers;
  answers.scale = 1.0;
  answers.ratio = 0.5;
  Prepared prepared;
  prepared.temperatures.t0 = t0;
  prepared.grid.spacing(3) = spacing;
  return prepared_digests(plan_of(answers, prepared, options), options);
}

const char* const kRunOptions =
    "options of a run (--polish, --polish-margin, --max-evaluations, --log, --results, --best, "
    "--points)";

TEST(PreparedState, TheFirstDigestThatDiffersIsNamed) {
  const PreparedDigests mine = digests(2.5, 0.1);
  EXPECT_EQ(first_difference(mine, digests(2.5, 0.1)), std::nullopt);
  EXPECT_EQ(first_difference(mine, digests(2.6, 0.1)),
            "run settings (rule, levels, initial temperature, ratio)");
  EXPECT_EQ(first_difference(mine, digests(2.5, 0.2)), "grid");
  EXPECT_EQ(first_difference(mine, digests(2.5, 0.1, with_limit(5000))),
            "evaluation limit of a run");
  // The records come first: another problem size is named before the rest.
  const PrbcsaRecord kept = prbcsa;
  prbcsa.n += 1;
  EXPECT_EQ(first_difference(mine, digests(2.6, 0.2)), "prbcsa");
  prbcsa = kept;
  // Another list (another build) is no list to compare.
  PreparedDigests longer = mine;
  longer.push_back({"more", 1});
  EXPECT_EQ(first_difference(mine, longer), "the list of prepared records");
  PreparedDigests renamed = mine;
  renamed.front().name = "other";
  EXPECT_EQ(first_difference(mine, renamed), "the list of prepared records");
}

// Each process reads its own command line: a rank started with other run
// options would polish otherwise or keep no rows for rank 0's files.
TEST(PreparedState, OptionsThatShapeARunOrItsRecordAreCompared) {
  const PreparedDigests mine = digests(2.5, 0.1);
  DriverOptions polish;
  polish.polish = true;
  EXPECT_EQ(first_difference(mine, digests(2.5, 0.1, polish)), kRunOptions);
  DriverOptions margin = polish;
  margin.polish_margin = 1e-8;
  EXPECT_EQ(first_difference(digests(2.5, 0.1, polish), digests(2.5, 0.1, margin)), kRunOptions);
  DriverOptions log;
  log.log_file = "log.tsv";
  EXPECT_EQ(first_difference(mine, digests(2.5, 0.1, log)), kRunOptions);
  DriverOptions points;
  points.points_file = "points.txt";
  EXPECT_EQ(first_difference(mine, digests(2.5, 0.1, points)), kRunOptions);
  // Where the files go and what only rank 0 does are not compared.
  DriverOptions elsewhere = log;
  elsewhere.log_file = "other.tsv";
  elsewhere.count_evaluations = true;
  elsewhere.progress = DriverOptions::Progress::kNever;
  EXPECT_EQ(first_difference(digests(2.5, 0.1, log), digests(2.5, 0.1, elsewhere)), std::nullopt);
}

}  // namespace
}  // namespace morlan
