#include "anneal/stage_watch.hpp"

namespace morlan {

namespace {
// The loops end a run after a stage whose temperature is below this.
constexpr double kTemperatureFloor = 1.0e-6;
}  // namespace

StageWatch* stage_watch = nullptr;

int stages_to_floor(double t0, double rt, int cap) {
  if (!(t0 > 0.0)) return 0;
  int stages = 1;
  // The same products as the loops' cooling, so the count is exact.
  for (double t = t0; !(t < kTemperatureFloor) && stages < cap; t = rt * t) ++stages;
  return stages;
}

}  // namespace morlan
