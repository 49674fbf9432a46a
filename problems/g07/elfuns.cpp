// The element types of g07, in the numbering of its description (problem.py).
#include "sif/decoded/decoded.hpp"
#include "sif/decoded/element_forms.hpp"

namespace morlan {

namespace {

// 1 SQD: (y - p)^2; 2 PROD: y1 y2.
constexpr ElementForm kForms[] = {forms::kShiftedSquare, forms::kProduct};

}  // namespace

MORLAN_ELEMENT_FORMS(kForms)

}  // namespace morlan
