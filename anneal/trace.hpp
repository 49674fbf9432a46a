// Trace output of the annealing loops (fixed-layout lines).
#pragma once

#include <string>
#include <string_view>

#include "base/one_based.hpp"

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

// Field texts of the trace lines.
// General field of width w with d significant digits: values with
// 0.1 <= |v| < 10^d, and zero, in fixed notation (right-aligned in w - 4
// characters, then 4 blanks); any other value as [-]0.<d digits>E<sign><2
// digits>, right-aligned in w. A field too narrow for its text is filled
// with '*'.
std::string general_field(double v, int w, int d);
// Integer right-aligned in w characters ('*' when it does not fit).
std::string integer_field(long long v, int w = 8);

}  // namespace morlan
