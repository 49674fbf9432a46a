// The element types of hs071, in the numbering of its description
// (problem.py): 1 OBJ, 2 PROD4, 3 SQ.
#include "sif/decoded/decoded.hpp"
#include "sif/decoded/element_forms.hpp"

namespace morlan {

namespace {

// OBJ: y1 y4 (y1 + y2 + y3).
double objective_value(const double* y, const double*) {
  return y[0] * y[3] * (y[0] + y[1] + y[2]);
}
void objective_derivatives(const double* y, const double*, double* g, double* h) {
  const double sum = y[0] + y[1] + y[2];
  g[0] = y[3] * (sum + y[0]);
  g[1] = y[0] * y[3];
  g[2] = y[0] * y[3];
  g[3] = y[0] * sum;
  if (h) {  // (1,1) (1,2) (2,2) (1,3) (2,3) (3,3) (1,4) (2,4) (3,4) (4,4)
    const double entries[10] = {2.0 * y[3], y[3], 0.0, y[3], 0.0, 0.0, sum + y[0], y[0], y[0], 0.0};
    for (int k = 0; k < 10; ++k) h[k] = entries[k];
  }
}

// PROD4: y1 y2 y3 y4.
double product_value(const double* y, const double*) { return y[0] * y[1] * y[2] * y[3]; }
void product_derivatives(const double* y, const double*, double* g, double* h) {
  g[0] = y[1] * y[2] * y[3];
  g[1] = y[0] * y[2] * y[3];
  g[2] = y[0] * y[1] * y[3];
  g[3] = y[0] * y[1] * y[2];
  if (h) {
    const double entries[10] = {0.0,         y[2] * y[3], 0.0,         y[1] * y[3], y[0] * y[3],
                                0.0,         y[1] * y[2], y[0] * y[2], y[0] * y[1], 0.0};
    for (int k = 0; k < 10; ++k) h[k] = entries[k];
  }
}

constexpr ElementForm kForms[] = {{{4, 0}, objective_value, objective_derivatives},
                                  {{4, 0}, product_value, product_derivatives},
                                  forms::kSquare};

}  // namespace

MORLAN_ELEMENT_FORMS(kForms)

}  // namespace morlan
