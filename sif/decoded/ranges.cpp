#include "sif/decoded/decoded.hpp"

namespace morlan {

void ranges(int, bool, CVec w1, Vec w2, int nelvar, int) {
  for (int j = 1; j <= nelvar; ++j) w2(j) = w1(j);
}

}  // namespace morlan
