// The element types of g09, in the numbering of its description (problem.py).
#include "sif/decoded/decoded.hpp"
#include "sif/decoded/element_forms.hpp"

namespace morlan {

namespace {

// 1 SQD: (y - p)^2; 2 POW: y^p; 3 PROD: y1 y2.
constexpr ElementForm kForms[] = {forms::kShiftedSquare, forms::kPower, forms::kProduct};

}  // namespace

MORLAN_ELEMENT_FORMS(kForms)

}  // namespace morlan
