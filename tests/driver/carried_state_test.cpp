// The carried state of a series: saving and restoring it (the C library
// generator included, which keeps its state out of reach), and the rules
// that decide whether a run began as it would have in order.
#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <vector>

#include "anneal/sa.hpp"
#include "driver/carried_state.hpp"
#include "measures/records.hpp"

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

TEST(CarriedState, RestoringGivesBackTheGeneratorAndTheRecords) {
  std::srand(123);
  draws(3);
  rleq.value = 0.25;
  nsaiter.value = 42;
  const CarriedState saved = save_carried_state();
  const std::vector<int> next = draws(4);
  std::srand(99);
  rleq.value = 9.0;
  nsaiter.value = 7;
  restore_carried_state(saved);
  EXPECT_EQ(draws(4), next);
  EXPECT_EQ(rleq.value, 0.25);
  EXPECT_EQ(nsaiter.value, 42);
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

TEST(CarriedState, APassedOnItemMustBeWhatTheRunBeforeLeft) {
  const CarriedDigests previous = digests_of(save_carried_state());
  const CarriedDigests other = digests_after([] { rleq.value += 1.0; });
  EXPECT_EQ(carried_difference(previous, previous, previous), std::nullopt);
  EXPECT_EQ(carried_difference(other, other, previous), "rleq");
  // Also in a run that ended in an error stop.
  EXPECT_EQ(carried_difference(other, std::nullopt, previous), "rleq");
}

TEST(CarriedState, AnItemReadAfterTheRunCountsOnlyWhenTheRunLeftItAsItFoundIt) {
  nsaiter.value = 16;
  const CarriedDigests previous = digests_of(save_carried_state());
  const CarriedDigests began = digests_after([] { nsaiter.value = 3; });
  const CarriedDigests written = digests_after([] { nsaiter.value = 48; });
  EXPECT_EQ(carried_difference(began, written, previous), std::nullopt);
  EXPECT_EQ(carried_difference(began, began, previous), "nsaiter");
  // Nothing is read after a failed run or an error stop.
  EXPECT_EQ(carried_difference(began, std::nullopt, previous), std::nullopt);
}

TEST(CarriedState, TheStateLeftInOrderKeepsWhatARunDidNotWrite) {
  nsaiter.value = 16;
  rleq.value = 0.5;
  const CarriedState previous = save_carried_state();
  nsaiter.value = 3;  // another process's count, which the run does not write
  const CarriedState left = save_carried_state();
  const CarriedState in_order = state_left_in_order(previous, digests_of(left), left);
  restore_carried_state(in_order);
  EXPECT_EQ(nsaiter.value, 16);
  nsaiter.value = 3;
  const CarriedDigests began = digests_of(save_carried_state());
  nsaiter.value = 80;  // written by the run
  restore_carried_state(state_left_in_order(previous, began, save_carried_state()));
  EXPECT_EQ(nsaiter.value, 80);
}

}  // namespace
}  // namespace morlan
