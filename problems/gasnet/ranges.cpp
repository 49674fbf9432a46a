#include "sif/decoded/decoded.hpp"
#include "sif/decoded/element_forms.hpp"

namespace morlan {

// Every element type of the gas network uses its elemental variables as its
// internal ones.
void ranges(int, bool, CVec w1, Vec w2, int nelvar, int) { identity_ranges(w1, w2, nelvar); }

}  // namespace morlan
