// The annealing side's view of the problem: start-up, bound and
// classification records, and the objective, equality constraints and
// one-sided inequalities (holding at or below zero) with their gradients.
//
// The engine is linked against one implementation of these routines: the
// linked problem (adaptor.cpp, evaluated from the problem data file) in the
// program, or a small problem of a test's own.
#pragma once

#include <vector>

#include "base/named_bytes.hpp"
#include "base/one_based.hpp"
#include "problem/bound_records.hpp"

namespace morlan {

// Problem sizes seen by the annealing side, stored by the driver before the
// start-up: variables, constraints, equalities, one-sided inequalities.
struct PrbcsaRecord : ProblemSizes {};
extern PrbcsaRecord prbcsa;

// Variable bounds, constraint bounds, constraint kinds (bound_records.hpp).
struct XbndRecord : VariableBounds {};
struct CbndRecord : ConstraintBounds {};
struct BdinfoRecord : BoundKinds {};
extern XbndRecord xbnd;
extern CbndRecord cbnd;
extern BdinfoRecord bdinfo;

// Start-up: load the problem and fill the records.
void init_csa_pd();
void init_sif();

// The records above, by name (for the check that two processes prepared the
// same problem).
std::vector<NamedBytes> adaptor_records();

// Evaluation. The dimension argument is accepted and ignored.
double obj(int n, CVec x);
void dobj(int n, CVec x, Vec g);
double ceq(int k, int n, CVec x);
void dceq(int k, int n, CVec x, Vec g);
double cineq(int m, int n, CVec x);
void dcineq(int m, int n, CVec x, Vec g);

}  // namespace morlan
