// The element types of g13, in the numbering of its description (problem.py).
#include <cmath>

#include "sif/decoded/decoded.hpp"
#include "sif/decoded/element_forms.hpp"

namespace morlan {

namespace {

constexpr int kFactors = 5;

// The product of y[0..4] leaving out factors i and j (pass j = i to leave
// out one; -1 for none). Products, not divisions: a factor may be zero.
double product_without(const double* y, int i, int j) {
  double p = 1.0;
  for (int k = 0; k < kFactors; ++k) {
    if (k != i && k != j) p *= y[k];
  }
  return p;
}

// EXPPROD5: exp(y1 y2 y3 y4 y5).
double exp_product(const double* y, const double*) { return std::exp(product_without(y, -1, -1)); }
void d_exp_product(const double* y, const double*, double* g, double* h) {
  const double e = std::exp(product_without(y, -1, -1));
  double without[kFactors];
  for (int i = 0; i < kFactors; ++i) {
    without[i] = product_without(y, i, i);
    g[i] = e * without[i];
  }
  if (!h) return;
  for (int j = 0; j < kFactors; ++j) {
    for (int i = 0; i <= j; ++i) {
      const double cross = i == j ? 0.0 : product_without(y, i, j);
      h[j * (j + 1) / 2 + i] = e * (without[i] * without[j] + cross);
    }
  }
}

// 1 EXPPROD5; 2 SQ: y^2; 3 PROD: y1 y2; 4 CUBE: y^3.
constexpr ElementForm kForms[] = {
    {{5, 0}, exp_product, d_exp_product}, forms::kSquare, forms::kProduct, forms::kCube};

}  // namespace

MORLAN_ELEMENT_FORMS(kForms)

}  // namespace morlan
