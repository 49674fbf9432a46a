// TEMPORARY: stand-ins for routines and records that the program links
// against and that are not built yet. Each entry is deleted as soon as the
// real definition exists; a definition left here beside the real one is a
// link error or, worse, a silent choice of the stand-in.
#include "sif/csetup.hpp"
#include "sif/evaluate.hpp"

namespace morlan {

// Problem data set-up and evaluation, reached through the SQP binding.
void csetup(int, int, int& n, int& m, Vec, Vec, Vec, int, LVec, LVec, Vec, Vec, Vec, int, bool,
            bool, bool) {
  n = 0;
  m = 0;
}
void cofg(int, CVec, double& f, Vec, bool) { f = 0.0; }
void ccifg(int, int, CVec, double& ci, Vec, bool) { ci = 0.0; }

}  // namespace morlan
