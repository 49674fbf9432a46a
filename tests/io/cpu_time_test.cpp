// Process CPU time: the reading since start and the reading since the
// previous reading.
#include <gtest/gtest.h>

#include <cmath>

#include "io/cpu_time.hpp"

namespace morlan::io {
namespace {

double burn(double seconds) {
  const float start = cpu_time_total();
  volatile double acc = 0.0;
  while (cpu_time_total() - start < seconds) {
    for (int i = 0; i < 100000; ++i) acc = acc + std::sqrt(static_cast<double>(i));
  }
  return acc;
}

TEST(CpuTime, DeltaMeasuresOnlyTheTimeSinceThePreviousReading) {
  cpu_time_delta();
  burn(0.05);
  const float first = cpu_time_delta();
  const float second = cpu_time_delta();
  EXPECT_GE(first, 0.04f);
  EXPECT_LT(second, first);
  EXPECT_GE(second, 0.0f);
}

TEST(CpuTime, TotalGrowsAndCoversTheDeltas) {
  const float before = cpu_time_total();
  cpu_time_delta();
  burn(0.05);
  const float delta = cpu_time_delta();
  const float after = cpu_time_total();
  EXPECT_GE(after - before, 0.04f);
  EXPECT_GE(after, delta);
}

}  // namespace
}  // namespace morlan::io
