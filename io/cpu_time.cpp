#include "io/cpu_time.hpp"

#include <sys/resource.h>

namespace morlan::io {

double cpu_seconds() {
  struct rusage ru {};
  ::getrusage(RUSAGE_SELF, &ru);
  return static_cast<double>(ru.ru_utime.tv_sec + ru.ru_stime.tv_sec) +
         1.0e-6 * static_cast<double>(ru.ru_utime.tv_usec + ru.ru_stime.tv_usec);
}

namespace {

double g_previous = 0.0;

}  // namespace

float cpu_time_total() { return static_cast<float>(cpu_seconds()); }

float cpu_time_delta() {
  const double now = cpu_seconds();
  const double delta = now - g_previous;
  g_previous = now;
  return static_cast<float>(delta);
}

}  // namespace morlan::io
