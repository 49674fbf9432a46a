#include "anneal/stage_watch.hpp"

#include "anneal/loop_steps.hpp"

namespace morlan {

int stages_to_floor(double t0, double rt, int cap) {
  if (!(t0 > 0.0)) return 0;
  int stages = 1;
  // The same products as the loops' cooling, so the count is exact.
  for (double t = t0; !(t < loop_steps::kTemperatureFloor) && stages < cap; t = rt * t) ++stages;
  return stages;
}

}  // namespace morlan
