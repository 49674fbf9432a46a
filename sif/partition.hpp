// Partition of the free workspace for evaluation: start positions of the
// element gradients and Hessians, group variable lists, per-variable element
// lists, the column structure of the non-trivial groups, and the positions
// reported in the record `local`.
#pragma once

#include "base/one_based.hpp"
#include "sif/decoded/decoded.hpp"
#include "sif/records.hpp"

namespace morlan {

// Status of dinitw.
inline constexpr int kPartitionOk = 0;
inline constexpr int kPartitionIwkTooSmall = 4;
inline constexpr int kPartitionWkTooSmall = 5;

// n, ng, nel: variables, groups, elements. The views carry the declared
// lengths of the structure arrays. intvar holds the internal-variable count
// of each element on entry and the start of its gradient in FUVALS on
// return; isthes receives the start of its packed Hessian. iwk and wk are the
// free tails of the workspaces (liwk, lwk = their lengths); every position
// stored in `positions` is relative to its tail. `second_derivs` chooses the
// larger integer scratch area; `analyse_ranges` (never set in this program)
// would analyse the internal-variable transformations. Messages go to iout.
void dinitw(int n, int ng, int nel, CIVec ieling, CIVec istadg, CIVec ielvar, CIVec istaev,
            IVec intvar, IVec isthes, CIVec icna, CIVec istada, CLogVec gxeqx, CLogVec intrep,
            int lfuval, int& alltrv, bool second_derivs, bool analyse_ranges,
            LocalRecord& positions, RangesRoutine ranges, IVec iwk, int liwk, Vec wk, int lwk,
            int iprint, int iout, int& inform);

// Index tables of an n x n symmetric matrix packed by columns as its upper
// triangle: table((j-1)*n + i) = table((i-1)*n + j) = position (from 0) of
// entry (i, j); diagonal(j) = position of (j, j).
void dsymmh(int n, IVec table, IVec diagonal);

// Gaussian elimination with complete pivoting of the m x n matrix a (stored
// by columns): at step k the entry of largest magnitude of the remaining
// block is moved to (k, k); ipvt(k) and jcol(k) record the rows and columns
// exchanged. The multipliers overwrite the eliminated entries.
void dgelim(int m, int n, IVec ipvt, IVec jcol, Vec a);

}  // namespace morlan
