// Lagrangian and violation measures over the extended point (variables,
// then one multiplier per constraint), with the shift layer (sh_*) that the
// search calls.
#pragma once

#include <cstdint>

#include "problem/config.hpp"
#include "problem/one_based.hpp"

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
extern MlagRecord mlag;
extern PenaltyRecord penalty;
extern SlobjRecord slobj;
extern ReuseRecord reuse;
extern RuindexRecord ruindex;
extern RudataRecord rudata;

// Tolerance on equality residuals when the problem has grid variables.
inline constexpr double kDiscreteTolerance = 0.001;

// Shift layer.
double sh_obj(int n, CVec x);
double sh_cst(int i, int n, CVec x);
double sh_dlag(CVec y);
void sh_lambda_rule(Vec y);
double sh_viomax(CVec x);
double sh_ocst(int i, int n, CVec x);
double sh_oviomax(CVec x);

// Inner routines.
double cst(int i, int n, CVec x);
double ocst(int i, int n, CVec x);
void dcst(int i, int n, CVec x, Vec g);
double viomax(CVec x);
double oviomax(CVec x);
double dlag(CVec y);
void lambda_rule(Vec y);
void gdesc_inx(int iterations, Vec y);
double dlagru(CVec y);

}  // namespace morlan
