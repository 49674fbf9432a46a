// The SQP side's view of the problem: start-up, its own bound and
// classification records, and the problem routines the solver protocol
// calls, each forwarded onto the linked problem's one implementation
// (problem/linked_problem.hpp).
//
// The solver sees the equality constraints in the problem's own form (zero
// when they hold) and the inequalities as one-sided inequalities, here held
// at or below zero: first those from the problem's inequality constraints
// (a range gives two), then one per finite variable bound, lower before
// upper, variable by variable.
#pragma once

#include <cstdint>
#include <vector>

#include "base/config.hpp"
#include "base/named_bytes.hpp"
#include "base/one_based.hpp"
#include "problem/bound_records.hpp"

namespace morlan {

// Sizes as the solver sees them: variables, all constraints, equalities,
// inequalities (variable bounds included); 144, 448, 123, 325 for the linked
// problem.
struct PrbsqpRecord : ProblemSizes {};
extern PrbsqpRecord prbsqp;

// Variable bounds and constraint bounds, as the annealing side's.
struct XxbndRecord : VariableBounds {};
struct CcbndRecord : ConstraintBounds {};
// ncineq: one-sided inequalities from constraints; idineq and idbd as the
// annealing side's bdinfo.
struct BbdinfoRecord {
  std::int32_t ncineq;
  Array1<std::int32_t, cfg::kBoundCapacity> idineq, idbd;
};
extern XxbndRecord xxbnd;
extern CcbndRecord ccbnd;
extern BbdinfoRecord bbdinfo;

// When `relaxed` is nonzero, cceq returns max(|c| - tolerance, 0). Nothing
// sets it; it stays zero and cceq returns c.
struct HhasdiscreteRecord {
  std::int32_t flag;
  std::int32_t relaxed;
  double tolerance;
};
extern HhasdiscreteRecord hhasdiscrete;

// Start-up: set the solver's dimensions and sizes (from the build
// configuration), then load the problem a second time (data file on unit
// 66, messages on unit 7) into this side's records.
void initial_orvale();
void init_sqp_pd();
void iinit_sif();

// This side's records and the solver's dimensions, by name (for the check
// that two processes prepared the same problem).
std::vector<NamedBytes> binding_records();

// Problem routines, evaluated by the linked problem's one implementation
// with this side's records. The dimension argument is accepted and ignored;
// n of prbsqp is used.

// The variable bounds, n entries each.
void xxbound(int n, Vec xl, Vec xu);
// The objective, unscaled, and its gradient.
double oobj(int n, CVec x);
void doobj(int n, CVec x, Vec g);
// Equality constraint i (1..neq) and its gradient.
double cceq(int i, int n, CVec x);
void dcceq(int i, int n, CVec x, Vec g);
// Inequality j (1..nineq), holding at or below zero, and its gradient:
// j <= ncineq one-sided inequalities of the constraints, the rest variable
// bounds (xl(i) - x(i) or x(i) - xu(i)).
double ccineq(int j, int n, CVec x);
void dccineq(int j, int n, CVec x, Vec g);
// Largest violation: max(0, |cceq(i)|, ccineq(j)) over all of them.
double vviomax(int n, CVec x);

// No variable is discrete on the SQP side: flags(1..n) = 0.
void xxdiscrete(int n, IVec flags);

}  // namespace morlan
