// The evaluations a polished run keeps back for its polish, and the
// iterations its polish may make with what is left.
#include "series/polish_budget.hpp"

#include <gtest/gtest.h>

namespace morlan {
namespace {

TEST(PolishBudget, TheReserveIsThePolishsWorstCaseAtMostATwentiethOfTheLimit) {
  EXPECT_EQ(polish_reserve(500000, 9), 10010);   // 1001 gradients of 10
  EXPECT_EQ(polish_reserve(500000, 24), 25000);  // 25025 capped at 1/20
  EXPECT_EQ(polish_reserve(800000, 150), 40000);
  EXPECT_EQ(polish_reserve(19, 2), 0);           // a tiny limit keeps its all
}

TEST(PolishBudget, IterationsFitWhatIsLeftAfterTheFirstGradient) {
  EXPECT_EQ(polish_iterations(9, 9), 0);  // not even the first gradient
  EXPECT_EQ(polish_iterations(10, 9), 0);
  EXPECT_EQ(polish_iterations(39, 9), 2);
  EXPECT_EQ(polish_iterations(25000, 24), 999);
  EXPECT_EQ(polish_iterations(10000000, 9), 1000);
  EXPECT_EQ(polish_iterations(-5, 9), 0);  // a search that overran the limit
}

}  // namespace
}  // namespace morlan
