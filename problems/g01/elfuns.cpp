// The element types of g01, in the numbering of its description (problem.py).
#include "sif/decoded/decoded.hpp"
#include "sif/decoded/element_forms.hpp"

namespace morlan {

namespace {

// 1 SQ: y^2.
constexpr ElementForm kForms[] = {forms::kSquare};

}  // namespace

MORLAN_ELEMENT_FORMS(kForms)

}  // namespace morlan
