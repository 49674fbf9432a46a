// The element types of g05, in the numbering of its description (problem.py).
#include <cmath>

#include "sif/decoded/decoded.hpp"
#include "sif/decoded/element_forms.hpp"

namespace morlan {

namespace {

// SIN1: sin(a y + b), parameters a and b.
double sin_affine(const double* y, const double* p) { return std::sin(p[0] * y[0] + p[1]); }
void d_sin_affine(const double* y, const double* p, double* g, double* h) {
  const double u = p[0] * y[0] + p[1];
  g[0] = p[0] * std::cos(u);
  if (h) h[0] = -(p[0] * p[0]) * std::sin(u);
}

// SIN2: sin(y1 - y2 + c), parameter c.
double sin_difference(const double* y, const double* p) { return std::sin(y[0] - y[1] + p[0]); }
void d_sin_difference(const double* y, const double* p, double* g, double* h) {
  const double u = y[0] - y[1] + p[0];
  const double c = std::cos(u);
  g[0] = c;
  g[1] = -c;
  if (h) {
    const double s = std::sin(u);
    h[0] = -s;
    h[1] = s;
    h[2] = -s;
  }
}

// 1 CUBE: y^3; 2 SIN1; 3 SIN2.
constexpr ElementForm kForms[] = {
    forms::kCube, {{1, 2}, sin_affine, d_sin_affine}, {{2, 1}, sin_difference, d_sin_difference}};

}  // namespace

MORLAN_ELEMENT_FORMS(kForms)

}  // namespace morlan
