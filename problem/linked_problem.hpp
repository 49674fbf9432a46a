// The linked problem, once for both of its views: the annealing side's
// adaptor (problem/adaptor.cpp) and the SQP side's copy (sqp/sqpglue.cpp).
// Each side keeps bound and classification records of its own and its own
// units, sizes and messages, and hands them to these routines.
#pragma once

#include "base/one_based.hpp"
#include "problem/bound_records.hpp"
#include "problem/one_sided_walk.hpp"

namespace morlan {

// A variable bound beyond +-kBigInf is replaced by +-kReplacedBound.
inline constexpr double kReplacedBound = 10000.0;

// One side's view: the variables every evaluation hands on, the equalities
// after which the one-sided inequalities are walked, and its records.
struct ProblemSide {
  int n;
  int neq;
  BoundRecords records;
};

// What the set-up found in the data file.
struct LoadedSizes {
  int n;    // variables
  int m;    // constraints
  int neq;  // equality constraints, the first neq
};

// Opens "OUTSDIF.d" on data_unit (stopping with the missing-file line, or
// going on after the open-failure line) and runs the set-up on it with
// message_unit, equalities first, into the records' bounds.
LoadedSizes read_problem(int data_unit, int message_unit, const BoundRecords& records);

// Classifies constraints neq+1..m, replaces infinite variable bounds and
// counts each variable's finite bounds. Returns the number of one-sided
// inequalities the constraints give.
int classify_problem(const LoadedSizes& sizes, const BoundRecords& records);

// The objective, constraint k, and their gradients (n entries), at x.
double objective(int n, CVec x);
void objective_gradient(int n, CVec x, Vec g);
double constraint(int n, int k, CVec x);
void constraint_gradient(int n, int k, CVec x, Vec g);

// The messages of a routine that evaluates one-sided inequalities: index
// beyond the last one, and the kind reached neither 1 nor 2.
struct OneSidedMessages {
  const char* wrong_m;
  const char* wrong_idineq;
};

// One-sided inequality m, holding at or below zero: cl(k) - c for the
// lower-bound side of constraint k, c - cu(k) for its upper-bound side; its
// gradient is the constraint's, negated for a lower-bound side.
double one_sided(const ProblemSide& side, int m, CVec x, const OneSidedMessages& messages);
void one_sided_gradient(const ProblemSide& side, int m, CVec x, Vec g,
                        const OneSidedMessages& messages);

}  // namespace morlan
