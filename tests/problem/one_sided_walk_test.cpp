// The one-sided walk that both sides of the problem use: ranges give their
// lower side first, a one-bound entry its finite side, and an index beyond
// the last one-sided inequality is refused, also when the kinds run to the
// end of the record without a negative entry.
#include <gtest/gtest.h>

#include <array>

#include "problem/one_sided_walk.hpp"

namespace morlan {
namespace {

// Entries: an equality (-1 before the walk's start), a range, an upper-only
// entry, a lower-only entry, then the end mark.
const std::array<int, 5> kKinds = {-1, 2, 1, 1, -1};
const std::array<double, 5> kLower = {0.0, -1.0, -2.0e19, 0.0, 0.0};

struct Located {
  bool found;
  int at;
  bool lower;
};

Located locate(int index, CIVec kinds) {
  WalkEnd end{};
  bool lower = false;
  if (!walk_kinds(index, 1, kinds, end)) return {false, 0, false};
  const bool decided = side_of(end, index, kinds, CVec(kLower.data(), 5), lower);
  return {decided, end.at, lower};
}

TEST(OneSidedWalk, RangeGivesLowerThenUpperAndLaterIndicesShiftByOne) {
  const CIVec kinds(kKinds.data(), 5);
  const Located first = locate(1, kinds);
  const Located second = locate(2, kinds);
  EXPECT_TRUE(first.found && first.at == 2 && first.lower);
  EXPECT_TRUE(second.found && second.at == 2 && !second.lower);
  const Located third = locate(3, kinds);  // upper bound only: the lower is infinite
  EXPECT_TRUE(third.found && third.at == 3 && !third.lower);
  const Located fourth = locate(4, kinds);
  EXPECT_TRUE(fourth.found && fourth.at == 4 && fourth.lower);
}

TEST(OneSidedWalk, IndexBeyondTheLastOrBelowOneIsRefused) {
  const CIVec kinds(kKinds.data(), 5);
  EXPECT_FALSE(locate(5, kinds).found);
  EXPECT_FALSE(locate(0, kinds).found);  // ends on the equality before the start
  // A record filled to its end: the walk stops at the end instead of
  // reading past it.
  const std::array<int, 3> full = {1, 2, 1};
  WalkEnd end{};
  EXPECT_TRUE(walk_kinds(4, 0, CIVec(full.data(), 3), end));
  EXPECT_EQ(end.at, 3);
  EXPECT_FALSE(walk_kinds(5, 0, CIVec(full.data(), 3), end));
}

}  // namespace
}  // namespace morlan
