#include "sif/decoded/decoded.hpp"

namespace morlan {

void groups(Vec, int, CVec, CVec, int, CIVec, CIVec, CIVec, bool) {}

}  // namespace morlan
