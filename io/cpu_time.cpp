#include "io/cpu_time.hpp"

#include <sys/resource.h>

namespace morlan::io {

namespace {

double seconds_of(int who) {
  struct rusage ru {};
  ::getrusage(who, &ru);
  return static_cast<double>(ru.ru_utime.tv_sec + ru.ru_stime.tv_sec) +
         1.0e-6 * static_cast<double>(ru.ru_utime.tv_usec + ru.ru_stime.tv_usec);
}

double g_previous = 0.0;

}  // namespace

double cpu_seconds() { return seconds_of(RUSAGE_SELF); }

float cpu_time_total() { return static_cast<float>(cpu_seconds()); }

float cpu_time_total_with_children() {
  return static_cast<float>(cpu_seconds() + seconds_of(RUSAGE_CHILDREN));
}

float cpu_time_delta() {
  const double now = cpu_seconds();
  const double delta = now - g_previous;
  g_previous = now;
  return static_cast<float>(delta);
}

}  // namespace morlan::io
