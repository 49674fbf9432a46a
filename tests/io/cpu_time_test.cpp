// Process CPU time: the reading since start and the reading since the
// previous reading.
#include <gtest/gtest.h>

#include <cmath>
#include <sys/wait.h>
#include <unistd.h>

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

TEST(CpuTime, TotalWithChildrenCountsAWaitedChild) {
  const float before = cpu_time_total_with_children();
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    burn(0.2);
    ::_exit(0);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  const float after = cpu_time_total_with_children();
  EXPECT_GE(after - before, 0.15f);
  EXPECT_LT(cpu_time_total(), after);
}

}  // namespace
}  // namespace morlan::io
