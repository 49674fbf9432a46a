// TEMPORARY: stand-ins for routines and records that the program links
// against and that are not built yet. Each entry is deleted as soon as the
// real definition exists; a definition left here beside the real one is a
// link error or, worse, a silent choice of the stand-in.
#include "anneal/run_control.hpp"
#include "anneal/sa.hpp"
#include "sif/csetup.hpp"
#include "sif/evaluate.hpp"

namespace morlan {

NsaiterRecord nsaiter;
VtolRecord vtol;

void chainrun(int& isucc, CVec, Vec, double& objval, double& maxvio, double, double) {
  isucc = 0;
  objval = 1.0e20;
  maxvio = 1.0e20;
}

void ladderrun(int& isucc, int, CVec, Vec, double& objval, double& maxvio, double, double) {
  isucc = 0;
  objval = 1.0e20;
  maxvio = 1.0e20;
}

// Referred to by the relaxed-equality loop (linked with the record rleq).
void fcn(int, CVec, double& f) { f = 0.0; }

// Problem data set-up and evaluation, reached through the SQP binding.
void csetup(int, int, int& n, int& m, Vec, Vec, Vec, int, LVec, LVec, Vec, Vec, Vec, int, bool,
            bool, bool) {
  n = 0;
  m = 0;
}
void cofg(int, CVec, double& f, Vec, bool) { f = 0.0; }
void ccifg(int, int, CVec, double& ci, Vec, bool) { ci = 0.0; }

}  // namespace morlan
