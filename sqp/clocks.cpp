#include "sqp/clocks.hpp"

#include <sys/time.h>
#include <sys/times.h>

#include <cstdio>
#include <string>

#include "io/console.hpp"

namespace morlan {

namespace {
WallClock g_wall_clock = system_wall_clock;
}  // namespace

bool system_wall_clock(std::int64_t& seconds) {
  timeval tv{};
  if (gettimeofday(&tv, nullptr) != 0) return false;
  seconds = static_cast<std::int64_t>(tv.tv_sec);
  return true;
}

WallClock set_wall_clock(WallClock clock) {
  WallClock previous = g_wall_clock;
  g_wall_clock = clock ? clock : system_wall_clock;
  return previous;
}

float o8cpu() {
  // times() counts in USER_HZ, which Linux fixes at 100 per second.
  tms t{};
  times(&t);
  return static_cast<float>(static_cast<double>(t.tms_utime) / 100.0);
}

void o8tida(int unit) {
  std::int64_t t = 0;
  if (!g_wall_clock(t)) {
    io::line(std::string(80, '*'), unit);
    return;
  }
  // Years are counted with L one less than the leap days passed, which makes
  // the day of the year below one-based.
  std::int64_t year = 1970, leap = -1, start = 0;
  std::int64_t y0 = year, l0 = leap;
  while (start <= t) {
    y0 = year;
    l0 = leap;
    if ((year % 100) % 4 == 0) ++leap;
    start = ((year - 1969) * 365 + leap) * 86400;
    ++year;
  }
  std::int64_t cumulative[14] = {0, 0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334, 365};
  if (leap != l0) {
    for (int month = 3; month <= 13; ++month) ++cumulative[month];
  }
  const std::int64_t s = t - ((y0 - 1970) * 365 + l0) * 86400;
  std::int64_t day = s / 86400;
  std::int64_t sec = s - 86400 * day + 3600;  // a fixed shift of one hour
  if (sec > 86400) {
    ++day;
    sec -= 86400;
  }
  if (day > 366) {
    io::line("UPDATE TIMDAT-ROUTINE ,IS INVALID ", unit);
    return;
  }
  const std::int64_t hours = sec / 3600;
  const std::int64_t minutes = (sec - 3600 * hours) / 60;
  const std::int64_t seconds = sec - 3600 * hours - 60 * minutes;
  static const char kMonths[] = "JANFEBMARAPRMAYJUNJULAUGSEPOCTNOVDEC";
  int month = 0;
  for (int k = 1; k <= 12; ++k) {
    if (cumulative[k] < day) month = k;
  }
  std::int64_t day_of_month = 0;
  std::int64_t printed_year = y0;
  if (month == 0) {
    // Day 0 of a year: the last day of December of the year before (the
    // hour shift did not carry 31 December into the next day).
    month = 12;
    day_of_month = 31;
    printed_year = y0 - 1;
  } else {
    day_of_month = day - cumulative[month];
  }
  char buffer[128];
  std::snprintf(buffer, sizeof buffer, " %4lld  %.3s %3lld %3lldH%3lldM%3lldS",
                static_cast<long long>(printed_year), kMonths + 3 * (month - 1),
                static_cast<long long>(day_of_month), static_cast<long long>(hours),
                static_cast<long long>(minutes), static_cast<long long>(seconds));
  io::line(buffer, unit);
}

}  // namespace morlan
