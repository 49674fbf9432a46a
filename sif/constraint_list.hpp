// The general constraints of the problem: every group that is not an
// objective group is one constraint, numbered in group order and then,
// when asked, ordered equalities first (or linear ones first).
#pragma once

#include "base/one_based.hpp"
#include "sif/csetup.hpp"

namespace morlan {

// The caller's arrays of csetup, indexed by constraint number.
struct ConstraintArrays {
  LVec equatn, linear;
  Vec v, cl, cu;
};

// Number the constraint groups 1, 2, ... in group order (KNDOFC becomes the
// number, 0 for an objective group) and fill the caller's arrays for the
// first mmax of them. Returns the number of constraints, which may exceed
// mmax.
int list_constraints(int mmax, const ConstraintArrays& c);

// The warning when there is no constraint; the capacity messages and the
// stop (the data file on unit `input` closed) when there are more than mmax.
void check_constraint_count(int m, int mmax, int input, int iout);

// Renumber constraints 1..m: linear ones first when linfst, then
// equalities first (within each of those blocks) when equfst, each by a
// two-pointer exchange (not a stable sort). Needs m entries of the IWK room
// left after the partition, for the map from constraint to group.
void order_constraints(int m, bool equfst, bool linfst, const ConstraintArrays& c, int iout);

}  // namespace morlan
