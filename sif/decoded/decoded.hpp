// The decoded routines of the linked problem: element types, element
// functions with gradients and packed Hessians, group functions and the
// internal-variable transformation of the elements.
//
// Every problem folder (problems/<name>/) defines these routines for its own
// problem; the build links the one it was configured for. sif/ calls them and
// knows nothing else of the problem.
#pragma once

#include "base/one_based.hpp"

namespace morlan {

// What the routines know of an element type: its number of elemental
// variables (here also its internal variables) and of parameters. The set-up
// checks every element of the data file against it.
struct ElementShape {
  int variables;
  int parameters;
};

// The element types the routines evaluate: types 1..element_type_count().
int element_type_count();
// The shape of element type `type` (1..element_type_count()).
ElementShape element_type_shape(int type);

// Record the type of every element (copies itypee(1..nelem) into eltype).
void settyp(int nelem, CIVec itypee);

// Evaluate the elements icalcf(1..ncalcf). ifflag 1: values into fuvals(e);
// any other value: gradients from fuvals(intvar(e)); 3: also the Hessians,
// packed by columns as the upper triangle, from fuvals(isthes(e)).
void elfuns(Vec fuvals, CVec xvalue, CVec epvalu, int ncalcf, CIVec itypee, CIVec istaev,
            CIVec ielvar, CIVec intvar, CIVec isthes, CIVec istep, CIVec icalcf, int ifflag);

// The value of element ielemn alone, bit for bit the one elfuns stores in
// mode 1 (without the derivative work that elfuns may do in every mode).
double element_value(int ielemn, CVec xvalue, CVec epvalu, CIVec itypee, CIVec istaev,
                     CIVec ielvar, CIVec istep);

// Group functions, for the non-trivial groups listed in icalcg(1..ncalcg).
void groups(Vec gvalue, int lgvalu, CVec fvalue, CVec gpvalu, int ncalcg, CIVec itypeg,
            CIVec istgp, CIVec icalcg, bool derivs);

// Map the internal gradient w1 of element ielemn to its elemental variables
// in w2 (transp true) or back.
void ranges(int ielemn, bool transp, CVec w1, Vec w2, int nelvar, int ninvar);

using RangesRoutine = void (*)(int, bool, CVec, Vec, int, int);

}  // namespace morlan
