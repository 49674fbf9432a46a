// TEMPORARY: stand-ins for engine routines and records that the driver
// links against and that are not built yet. Each entry is deleted as soon as
// the real definition exists. The definitions are weak, so a real one wins
// wherever both are linked.
#include "anneal/run_control.hpp"
#include "anneal/sa.hpp"
#include "anneal/trial_point.hpp"

#define MORLAN_PLACEHOLDER __attribute__((weak))

namespace morlan {

MORLAN_PLACEHOLDER GausssetRecord gaussset;
MORLAN_PLACEHOLDER NsaiterRecord nsaiter;
MORLAN_PLACEHOLDER VtolRecord vtol;

MORLAN_PLACEHOLDER void chainrun(int& isucc, CVec, Vec, double& objval, double& maxvio, double,
                                 double) {
  isucc = 0;
  objval = 1.0e20;
  maxvio = 1.0e20;
}

MORLAN_PLACEHOLDER void ladderrun(int& isucc, int, CVec, Vec, double& objval, double& maxvio,
                                  double, double) {
  isucc = 0;
  objval = 1.0e20;
  maxvio = 1.0e20;
}

// Routines the relaxed-equality loop refers to (linked with the record rleq).
MORLAN_PLACEHOLDER void fcn(int, CVec, double& f) { f = 0.0; }
MORLAN_PLACEHOLDER double xpi(int, int, double x, double, double, double) { return x; }

}  // namespace morlan
