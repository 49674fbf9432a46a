#include "sif/decoded/element_forms.hpp"

#include <cmath>

#include "sif/records.hpp"

namespace morlan {

EltypeRecord eltype;

namespace {

// The elemental variables of element e, gathered (the parameters are
// contiguous in epvalu and are read in place). Only the form's own
// variables are set: a form reads no further.
struct Gathered {
  double y[kMaxFormVariables];
  const double* p;
};

Gathered gather(const ElementForm& form, int e, CVec xvalue, CVec epvalu, CIVec istaev,
                CIVec ielvar, CIVec istep) {
  Gathered out;
  const int first = istaev(e) - 1;
  for (int j = 0; j < form.shape.variables; ++j) out.y[j] = xvalue(ielvar(first + j + 1));
  out.p = epvalu.data() + (istep(e) - 1);
  return out;
}

}  // namespace

void evaluate_forms(std::span<const ElementForm> forms, Vec fuvals, CVec xvalue, CVec epvalu,
                    int ncalcf, CIVec itypee, CIVec istaev, CIVec ielvar, CIVec intvar,
                    CIVec isthes, CIVec istep, CIVec icalcf, int ifflag) {
  for (int k = 1; k <= ncalcf; ++k) {
    const int e = icalcf(k);
    const ElementForm& form = forms[itypee(e) - 1];
    const Gathered v = gather(form, e, xvalue, epvalu, istaev, ielvar, istep);
    if (ifflag == 1) {
      fuvals(e) = form.value(v.y, v.p);
    } else {
      double* hessian = ifflag == 3 ? &fuvals(isthes(e)) : nullptr;
      form.derivatives(v.y, v.p, &fuvals(intvar(e)), hessian);
    }
  }
}

double form_value(std::span<const ElementForm> forms, int ielemn, CVec xvalue, CVec epvalu,
                  CIVec itypee, CIVec istaev, CIVec ielvar, CIVec istep) {
  const ElementForm& form = forms[itypee(ielemn) - 1];
  const Gathered v = gather(form, ielemn, xvalue, epvalu, istaev, ielvar, istep);
  return form.value(v.y, v.p);
}

ElementShape form_shape(std::span<const ElementForm> forms, int type) {
  if (type < 1 || type > static_cast<int>(forms.size())) return {0, 0};
  return forms[type - 1].shape;
}

void record_element_types(int nelem, CIVec itypee) {
  for (int i = 1; i <= nelem; ++i) eltype(i) = itypee(i);
}

void identity_ranges(CVec w1, Vec w2, int nelvar) {
  for (int j = 1; j <= nelvar; ++j) w2(j) = w1(j);
}

namespace forms {

double square(const double* y, const double*) { return y[0] * y[0]; }
void d_square(const double* y, const double*, double* g, double* h) {
  g[0] = y[0] + y[0];
  if (h) h[0] = 2.0;
}

double shifted_square(const double* y, const double* p) {
  const double d = y[0] - p[0];
  return d * d;
}
void d_shifted_square(const double* y, const double* p, double* g, double* h) {
  const double d = y[0] - p[0];
  g[0] = d + d;
  if (h) h[0] = 2.0;
}

double product(const double* y, const double*) { return y[0] * y[1]; }
void d_product(const double* y, const double*, double* g, double* h) {
  g[0] = y[1];
  g[1] = y[0];
  if (h) {
    h[0] = 0.0;
    h[1] = 1.0;
    h[2] = 0.0;
  }
}

double cube(const double* y, const double*) { return y[0] * y[0] * y[0]; }
void d_cube(const double* y, const double*, double* g, double* h) {
  g[0] = 3.0 * (y[0] * y[0]);
  if (h) h[0] = 6.0 * y[0];
}

double power(const double* y, const double* p) { return std::pow(y[0], p[0]); }
void d_power(const double* y, const double* p, double* g, double* h) {
  g[0] = p[0] * std::pow(y[0], p[0] - 1.0);
  if (h) h[0] = p[0] * (p[0] - 1.0) * std::pow(y[0], p[0] - 2.0);
}

}  // namespace forms

}  // namespace morlan
