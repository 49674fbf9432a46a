// The decoded routines of the linked problem: element types, element
// functions with gradients and packed Hessians, group functions and the
// internal-variable transformation of the elements.
#pragma once

#include "base/one_based.hpp"

namespace morlan {

// Record the type of every element (copies itypee(1..nelem) into eltype).
void settyp(int nelem, CIVec itypee);

// Evaluate the elements icalcf(1..ncalcf). ifflag 1: values into fuvals(e);
// any other value: gradients from fuvals(intvar(e)); 3: also the Hessians,
// packed by columns as the upper triangle, from fuvals(isthes(e)).
void elfuns(Vec fuvals, CVec xvalue, CVec epvalu, int ncalcf, CIVec itypee, CIVec istaev,
            CIVec ielvar, CIVec intvar, CIVec isthes, CIVec istep, CIVec icalcf, int ifflag);

// The value of element ielemn alone, bit for bit the one elfuns stores in
// mode 1 (without the derivative work that elfuns does in every mode).
double element_value(int ielemn, CVec xvalue, CVec epvalu, CIVec itypee, CIVec istaev,
                     CIVec ielvar, CIVec istep);

// Group functions: the linked problem has none (every group is trivial), so
// this computes nothing.
void groups(Vec gvalue, int lgvalu, CVec fvalue, CVec gpvalu, int ncalcg, CIVec itypeg,
            CIVec istgp, CIVec icalcg, bool derivs);

// Map the internal gradient w1 of element ielemn to its elemental variables
// in w2 (transp true) or back; the identity for every element type here.
void ranges(int ielemn, bool transp, CVec w1, Vec w2, int nelvar, int ninvar);

using RangesRoutine = void (*)(int, bool, CVec, Vec, int, int);

}  // namespace morlan
