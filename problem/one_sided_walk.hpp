// Locating a one-sided inequality among the entries that produce it.
//
// Each entry (a constraint, or on the SQP side a variable) yields kinds(k)
// one-sided inequalities: 1 for one bound, 2 for both (the lower-bound side
// first), and a negative kind marks the end of the list. One-sided index
// `index` belongs to the entry at which the running sum of the kinds first
// reaches it. The walk is repeated on every call; there is no table.
#pragma once

#include "base/one_based.hpp"

namespace morlan {

// A lower bound counts as finite above -kBigInf, an upper bound below it.
inline constexpr double kBigInf = 1.0e19;

// Where a walk ended: the entry reached, and the running sum of the kinds
// up to and including it.
struct WalkEnd {
  int at;
  int count;
};

// Walks from the entry after `start` until the count reaches `index`
// (index < 1 ends at `start` itself). False when a negative kind or the end
// of `kinds` comes first: the index lies beyond the last one-sided
// inequality.
bool walk_kinds(int index, int start, CIVec kinds, WalkEnd& end);

// Whether `index` is the lower-bound side of the entry the walk reached: the
// first of a pair (kind 2), or the one inequality of a kind-1 entry whose
// lower bound (lower(at)) is finite. False when the entry's kind is neither
// 1 nor 2 (the walk for an index below 1): nothing to decide.
bool side_of(const WalkEnd& end, int index, CIVec kinds, CVec lower, bool& lower_side);

// The same two steps for routines that stop the program instead: each
// writes its message (the routine's "wrong m ..." or "wrong idineq(k) ..."
// line) and stops.
WalkEnd walk_kinds_or_stop(int index, int start, CIVec kinds, const char* wrong_index);
bool lower_side_or_stop(const WalkEnd& end, int index, CIVec kinds, CVec lower,
                        const char* wrong_kind);

}  // namespace morlan
