#include "problem/adaptor.hpp"

namespace morlan {

PrbcsaRecord prbcsa;
XbndRecord xbnd;
CbndRecord cbnd;
BdinfoRecord bdinfo;

// Placeholder problem of the linked sizes until the data-file set-up exists.
void init_csa_pd() { init_sif(); }
void init_sif() {}
double obj(int, CVec) { return 0.0; }
void dobj(int, CVec, Vec g) {
  for (double& v : g) v = 0.0;
}
double ceq(int, int, CVec) { return 0.0; }
void dceq(int, int, CVec, Vec g) {
  for (double& v : g) v = 0.0;
}
double cineq(int, int, CVec) { return 0.0; }
void dcineq(int, int, CVec, Vec g) {
  for (double& v : g) v = 0.0;
}

}  // namespace morlan
