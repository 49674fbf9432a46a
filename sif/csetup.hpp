// Set-up of the problem from the problem data file: reads the records into
// the evaluation workspace, lists the constraints (equalities first when
// asked) and partitions the workspace for evaluation.
#pragma once

#include "base/one_based.hpp"

namespace morlan {

using LVec = OneBased<bool>;

// input: unit of the opened data file; iout: message unit. Capacities nmax
// and mmax bound the arrays x, bl, bu and equatn, linear, v, cl, cu.
// The file is checked as it is read (counts, start pointers, indices,
// element types, numbers, end of file): a violation ends the program with
// one line on standard error naming the record and the entry, exit status 2.
// Capacity failures write their messages to iout and stop with status 1.
void csetup(int input, int iout, int& n, int& m, Vec x, Vec bl, Vec bu, int nmax, LVec equatn,
            LVec linear, Vec v, Vec cl, Vec cu, int mmax, bool equfst, bool linfst, bool nlvfst);

// CPU seconds used by the process so far.
float cputim();

}  // namespace morlan
