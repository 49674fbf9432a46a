// The element types of g04, in the numbering of its description (problem.py).
#include "sif/decoded/decoded.hpp"
#include "sif/decoded/element_forms.hpp"

namespace morlan {

namespace {

// 1 SQ: y^2; 2 PROD: y1 y2.
constexpr ElementForm kForms[] = {forms::kSquare, forms::kProduct};

}  // namespace

MORLAN_ELEMENT_FORMS(kForms)

}  // namespace morlan
