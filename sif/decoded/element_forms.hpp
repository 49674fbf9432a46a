// Building blocks of a problem's decoded routines.
//
// An element type can be written as two small functions of its elemental
// variables y[0..k-1] and parameters p[0..l-1]: its value, and its gradient
// g[0..k-1] with (when h is not null) its Hessian packed by columns as the
// upper triangle, h = (1,1), (1,2), (2,2), (1,3), (2,3), (3,3), ... A table of
// such forms, type t being entry t-1, gives the whole of elfuns,
// element_value and the element-type shapes: MORLAN_ELEMENT_FORMS(table) in
// the problem's elfuns.cpp defines them. Common forms are below; a problem
// writes its own beside them.
//
// The standard pieces of the other routines (the element-type record, the
// identity transformation of internal variables) are here too.
#pragma once

#include <iterator>
#include <span>

#include "base/one_based.hpp"
#include "sif/decoded/decoded.hpp"

namespace morlan {

using FormValue = double (*)(const double* y, const double* p);
using FormDerivatives = void (*)(const double* y, const double* p, double* g, double* h);

struct ElementForm {
  ElementShape shape;
  FormValue value;
  FormDerivatives derivatives;
};

// Most elemental variables a form may have (the formula writer's limit,
// tools/problem_writer/decompose.py).
inline constexpr int kMaxFormVariables = 256;

// True when no form of the table has more variables than a form may have
// (MORLAN_ELEMENT_FORMS checks it when the table is compiled).
constexpr bool forms_fit(std::span<const ElementForm> forms) {
  for (const ElementForm& form : forms) {
    if (form.shape.variables > kMaxFormVariables) return false;
  }
  return true;
}

// elfuns over a table of forms: mode 1 values, other modes gradients, mode 3
// with the Hessians.
void evaluate_forms(std::span<const ElementForm> forms, Vec fuvals, CVec xvalue, CVec epvalu,
                    int ncalcf, CIVec itypee, CIVec istaev, CIVec ielvar, CIVec intvar,
                    CIVec isthes, CIVec istep, CIVec icalcf, int ifflag);

// element_value over a table of forms.
double form_value(std::span<const ElementForm> forms, int ielemn, CVec xvalue, CVec epvalu,
                  CIVec itypee, CIVec istaev, CIVec ielvar, CIVec istep);

// The shape of type `type` in a table (a type outside it has no variables,
// which no element matches).
ElementShape form_shape(std::span<const ElementForm> forms, int type);

// settyp's work: copy itypee(1..nelem) into the element-type record.
void record_element_types(int nelem, CIVec itypee);

// ranges for elements whose internal variables are their elemental ones.
void identity_ranges(CVec w1, Vec w2, int nelvar);

// Common forms.
namespace forms {
double square(const double* y, const double* p);              // y^2
void d_square(const double* y, const double* p, double* g, double* h);
double shifted_square(const double* y, const double* p);      // (y - p)^2
void d_shifted_square(const double* y, const double* p, double* g, double* h);
double product(const double* y, const double* p);             // y1 y2
void d_product(const double* y, const double* p, double* g, double* h);
double cube(const double* y, const double* p);                // y^3
void d_cube(const double* y, const double* p, double* g, double* h);
double power(const double* y, const double* p);               // y^p (p an integer)
void d_power(const double* y, const double* p, double* g, double* h);

inline constexpr ElementForm kSquare{{1, 0}, square, d_square};
inline constexpr ElementForm kShiftedSquare{{1, 1}, shifted_square, d_shifted_square};
inline constexpr ElementForm kProduct{{2, 0}, product, d_product};
inline constexpr ElementForm kCube{{1, 0}, cube, d_cube};
inline constexpr ElementForm kPower{{1, 1}, power, d_power};
}  // namespace forms

}  // namespace morlan

// Defines element_type_count, element_type_shape, elfuns and element_value
// from the table of forms `table` (an array in scope, in namespace morlan).
#define MORLAN_ELEMENT_FORMS(table)                                                          \
  static_assert(forms_fit(table), "a form has more than kMaxFormVariables variables");     \
  int element_type_count() { return static_cast<int>(std::size(table)); }                    \
  ElementShape element_type_shape(int type) { return form_shape(table, type); }              \
  void elfuns(Vec fuvals, CVec xvalue, CVec epvalu, int ncalcf, CIVec itypee, CIVec istaev,  \
              CIVec ielvar, CIVec intvar, CIVec isthes, CIVec istep, CIVec icalcf,           \
              int ifflag) {                                                                  \
    evaluate_forms(table, fuvals, xvalue, epvalu, ncalcf, itypee, istaev, ielvar, intvar,    \
                   isthes, istep, icalcf, ifflag);                                           \
  }                                                                                          \
  double element_value(int ielemn, CVec xvalue, CVec epvalu, CIVec itypee, CIVec istaev,     \
                       CIVec ielvar, CIVec istep) {                                          \
    return form_value(table, ielemn, xvalue, epvalu, itypee, istaev, ielvar, istep);         \
  }
