#include "sif/decoded/decoded.hpp"

namespace morlan {

// hs071 has no group functions: every group is trivial.
void groups(Vec, int, CVec, CVec, int, CIVec, CIVec, CIVec, bool) {}

}  // namespace morlan
