// Trace output of the annealing loops (fixed-layout lines).
#pragma once

#include <string_view>

#include "problem/one_based.hpp"

namespace morlan {

void prt1();
void prt2(bool maximize, int n, CVec x, double f);
void prt4(bool maximize, int n, CVec xtrial, CVec x, double ftrial, double f);
void prt6(bool maximize);
void prt7(bool maximize);
void prt8(int n, CVec vm, CVec xbest, CVec x);
void prt9(bool maximize, int n, double t, CVec xbest, CVec vm, double fbest, int nimprove,
          int nworse, int nreject, int noutt, int nnewopt);
void prt10();
void prtvec(CVec vector, int ncols, std::string_view name);

}  // namespace morlan
