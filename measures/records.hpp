// Records of the delivered modules' interface that the measures stand for:
// the Lagrangian form and its weights, the cached-Lagrangian variant's
// slots, the relaxed radius of the equalities, and the grid's shift data.
// A module's entry point reads them into a Measure (anneal/module_records
// .hpp); the program builds its measures from the dialogue's answers and
// never touches them.
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
struct ReuseRecord {  // nonzero selects the cached Lagrangian
  std::int32_t value;
};
struct RuindexRecord {  // (1): current slot 1..4; (2..5): slot holds constraint values
  Array1<std::int32_t, 5> v;
};
struct RudataRecord {  // per slot: objective; per slot and constraint: value
  Array1<double, 4> objective;
  Array1<double, 4 * (cfg::kNcon + 1)> constraint;
};
// Relaxed radius of the equality constraints: the relaxed-equality loop
// starts from it and leaves it shrunk.
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

extern MlagRecord mlag;
extern PenaltyRecord penalty;
extern SlobjRecord slobj;
extern ReuseRecord reuse;
extern RuindexRecord ruindex;
extern RudataRecord rudata;
extern RleqRecord rleq;
extern HasdiscreteRecord hasdiscrete;
extern DiscreteRecord discrete;

}  // namespace morlan
