// The solver's date-and-time stamp at pinned moments (UTC seconds; the
// stamp runs one hour ahead), and its CPU clock.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "io/output.hpp"
#include "sqp/clocks.hpp"

namespace morlan {
namespace {

std::int64_t g_now = 0;
bool pinned(std::int64_t& seconds) {
  seconds = g_now;
  return true;
}
bool broken(std::int64_t&) { return false; }

std::string stamp_at(std::int64_t seconds, WallClock clock = pinned) {
  g_now = seconds;
  char* buffer = nullptr;
  std::size_t size = 0;
  std::FILE* stream = open_memstream(&buffer, &size);
  io::redirect_output(10, stream);
  const WallClock previous = set_wall_clock(clock);
  o8tida(10);
  set_wall_clock(previous);
  io::redirect_output(10, nullptr);
  std::fclose(stream);
  std::string text(buffer, size);
  std::free(buffer);
  return text;
}

TEST(Clocks, LeapYearFirstOfMarchIsDayOneOfMarch) {
  EXPECT_EQ(stamp_at(1709294400), " 2024  MAR   1  13H  0M  0S\n");  // 2024-03-01 12:00:00
  EXPECT_EQ(stamp_at(1709208000), " 2024  FEB  29  13H  0M  0S\n");  // 2024-02-29 12:00:00
  EXPECT_EQ(stamp_at(1677672000), " 2023  MAR   1  13H  0M  0S\n");  // 2023-03-01 12:00:00
}

TEST(Clocks, FieldsOfAnOrdinaryMoment) {
  EXPECT_EQ(stamp_at(0), " 1970  JAN   1   1H  0M  0S\n");
  EXPECT_EQ(stamp_at(1700000000), " 2023  NOV  14  23H 13M 20S\n");  // 22:13:20 UTC
}

// Before 23:00 UTC on 31 December the year search already gives the next
// year and day 0: the stamp names 31 December of the year before. After it,
// the hour shift carries the stamp into 1 January.
TEST(Clocks, LastDayOfTheYear) {
  EXPECT_EQ(stamp_at(1704024000), " 2023  DEC  31  13H  0M  0S\n");  // 2023-12-31 12:00:00
  EXPECT_EQ(stamp_at(1735646400), " 2024  DEC  31  13H  0M  0S\n");  // leap year, day 366
  EXPECT_EQ(stamp_at(1704065400), " 2024  JAN   1   0H 30M  0S\n");  // 2023-12-31 23:30:00
}

TEST(Clocks, FailedClockQueryWritesAsterisks) {
  EXPECT_EQ(stamp_at(0, broken), std::string(80, '*') + "\n");
}

TEST(Clocks, CpuTimeIsNonNegativeAndMonotone) {
  const float a = o8cpu();
  volatile double sink = 0.0;
  for (int i = 0; i < 2000000; ++i) sink = sink + 1.0 / (i + 1.0);
  const float b = o8cpu();
  EXPECT_GE(a, 0.0f);
  EXPECT_GE(b, a);
}

}  // namespace
}  // namespace morlan
