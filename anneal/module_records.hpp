// The named records of the delivered modules' interface (chainrun.o,
// ladderrun.o, relaxer.o, swarmer.o) and of the preparation routines they
// are linked with: what their entry points read, and what they leave. Each
// entry point reads them here and calls the core with values; the program
// itself calls the core and never touches them. Header only.
#pragma once

#include "anneal/prepare.hpp"
#include "anneal/run_control.hpp"
#include "anneal/run_records.hpp"
#include "base/config.hpp"
#include "measures/grid.hpp"
#include "measures/measure.hpp"
#include "measures/records.hpp"

namespace morlan::module_records {

// The grid of the records: hasdiscrete, needshift, discrete (the shift,
// then the spacing), isdx and ndsample.
inline Grid grid() {
  Grid g;
  g.any = hasdiscrete.hasdiscrete;
  g.shifted = hasdiscrete.needshift;
  for (int i = 1; i <= cfg::kNvar; ++i) {
    g.shift(i) = discrete(i);
    g.spacing(i) = discrete(cfg::kNvar + i);
    g.on_grid(i) = isdx(i);
    g.points(i) = ndsample(i);
  }
  return g;
}

// The Lagrangian form mlag with slobj, penalty and rleq.
inline MeasureForm form() { return {mlag.value, slobj.value, penalty.value, rleq.value}; }

// The measure of the records: their form and grid; the cached Lagrangian's
// slots (ruindex, rudata) when reuse is set. Its values come from the
// problem routines.
inline Measure measure() {
  Measure m(form(), grid());
  if (reuse.value != 0) m.use_slots({&ruindex.v, &rudata.objective, &rudata.constraint});
  return m;
}

// What a run control leaves in the records: the penalty weight and the
// tolerance it ran with, and the cycle blocks of its last plain loop call
// (left as they were when none ran).
inline void keep(const RunOutcome& outcome) {
  penalty.value = kRunPenalty;
  vtol.value = outcome.tolerance;
  if (outcome.blocks != kNoBlocks) nsaiter.value = outcome.blocks;
}

}  // namespace morlan::module_records
