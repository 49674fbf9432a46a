// The carried state of a series: saving and restoring it (the C library
// generator included), and the rule that decides whether a run began as it
// would have in order.
#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <vector>

#include "anneal/trial_point.hpp"
#include "series/carried_state.hpp"

namespace morlan {
namespace {

std::vector<int> draws(int n) {
  std::vector<int> d;
  for (int i = 0; i < n; ++i) d.push_back(std::rand());
  return d;
}

TEST(CarriedState, SavingLeavesTheCLibraryGeneratorWhereItWas) {
  std::srand(7);
  const std::vector<int> plain = draws(5);
  std::srand(7);
  save_carried_state();
  EXPECT_EQ(draws(5), plain);
}

TEST(CarriedState, RestoringGivesBackTheGeneratorAndTheDeviateStore) {
  std::srand(123);
  draws(3);
  gaussset = {1, 0.25};
  const CarriedState saved = save_carried_state();
  const std::vector<int> next = draws(4);
  std::srand(99);
  gaussset = {0, 9.0};
  restore_carried_state(saved);
  EXPECT_EQ(draws(4), next);
  EXPECT_EQ(gaussset.flag, 1);
  EXPECT_EQ(gaussset.cached, 0.25);
}

// Digests of the state after `change` is applied to it.
template <class Change>
CarriedDigests digests_after(Change change) {
  const CarriedState saved = save_carried_state();
  change();
  const CarriedDigests d = digests_of(save_carried_state());
  restore_carried_state(saved);
  return d;
}

TEST(CarriedState, ARunMustBeginWithWhatTheRunBeforeLeft) {
  const CarriedDigests previous = digests_of(save_carried_state());
  EXPECT_EQ(carried_difference(previous, previous), std::nullopt);
  const CarriedDigests stored = digests_after([] { gaussset = {1, 2.0}; });
  EXPECT_EQ(carried_difference(stored, previous), "gaussset");
  const CarriedDigests drawn = digests_after([] { (void)std::rand(); });
  EXPECT_EQ(carried_difference(drawn, previous), "C library generator");
  EXPECT_EQ(carried_difference({}, previous), "the list of carried items");
}

}  // namespace
}  // namespace morlan
