#include "sif/decoded/decoded.hpp"
#include "sif/decoded/element_forms.hpp"

namespace morlan {

void settyp(int nelem, CIVec itypee) { record_element_types(nelem, itypee); }

}  // namespace morlan
