#include "series/run_storage.hpp"

#include "io/console.hpp"
#include "series/preparation.hpp"

namespace morlan {

void print_start(const Storage& storage) {
  io::say(" ");
  io::say("x0 = ", CVec(storage.shown));
}

RunOutcome run_once(const RunPlan& plan, Storage& storage, StageWatch* watch) {
  if (!plan.multilevel()) return chain_run(plan.settings, plan.measure, watch, storage.pop, storage.x);
  return ladder_run(plan.settings, plan.measure, watch, storage.pop, storage.x);
}

}  // namespace morlan
