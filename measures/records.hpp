// Records the Lagrangian and violation measures read: the form and its
// weights, the cached-Lagrangian variant's slots, the relaxed radius of the
// equalities, and the grid's shift data. The dialogue, the run preparation,
// the run control and the relaxed-equality loop write them.
#pragma once

#include <cstdint>

#include "base/config.hpp"
#include "base/one_based.hpp"

namespace morlan {

struct MlagRecord {  // Lagrangian form: 0, 1, 2, 3, 4, 5 or 10
  std::int32_t value;
};
struct PenaltyRecord {  // penalty weight p of the forms
  double value;
};
struct SlobjRecord {  // objective scale: forms use objective / slobj
  double value;
};
struct ReuseRecord {  // nonzero selects the cached Lagrangian dlagru
  std::int32_t value;
};
struct RuindexRecord {  // (1): current slot 1..4; (2..5): slot holds constraint values
  Array1<std::int32_t, 5> v;
};
struct RudataRecord {  // per slot: objective; per slot and constraint: value
  Array1<double, 4> objective;
  Array1<double, 4 * (cfg::kNcon + 1)> constraint;
};
// Relaxed radius of the equality constraints: read in the dialogue, shrunk
// by the relaxed-equality loop, restored by the run control.
struct RleqRecord {
  double value;
};
// Whether any variable lives on a grid; whether points are shifted by the
// shift vector before evaluation.
struct HasdiscreteRecord {
  bool hasdiscrete;
  bool needshift;
};
// Positions 1..nvar: shift vector; nvar+1..2 nvar: grid spacing.
struct DiscreteRecord : Array1<double, 2 * cfg::kNvar> {};
// Lagrangian evaluations the search has asked for (sh_dlag) since the count
// was last cleared (the driver's --count-evaluations reports it), and the
// most it may ask for (--max-evaluations; 0: no limit).
struct LagcountRecord {
  std::int64_t value;
  std::int64_t limit;
};
// What sh_dlag throws instead of an evaluation past the limit; the annealing
// loops catch it and end where they stand, as at a normal end.
struct EvaluationLimitReached {};

extern MlagRecord mlag;
extern PenaltyRecord penalty;
extern SlobjRecord slobj;
extern ReuseRecord reuse;
extern RuindexRecord ruindex;
extern RudataRecord rudata;
extern RleqRecord rleq;
extern HasdiscreteRecord hasdiscrete;
extern DiscreteRecord discrete;
extern LagcountRecord lagcount;

// True when the count has reached a limit that is set.
inline bool evaluation_limit_reached() {
  return lagcount.limit > 0 && lagcount.value >= lagcount.limit;
}

}  // namespace morlan
