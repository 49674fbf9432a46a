#include "sif/decoded/decoded.hpp"
#include "sif/decoded/element_forms.hpp"

namespace morlan {

// The elements of hs071 use their elemental variables as internal ones.
void ranges(int, bool, CVec w1, Vec w2, int nelvar, int) { identity_ranges(w1, w2, nelvar); }

}  // namespace morlan
