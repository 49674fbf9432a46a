// The SQP solver core: one local solve from the point in o8xdat, with the
// problem seen only through the protocol routines (ef, egradf, eh, egradh,
// eg, egradg). The iteration is NLopt's SLSQP (sequential least-squares
// quadratic programming).
#pragma once

namespace morlan {

// Calls setup0, solves with at most noiter iterations, and leaves the final
// point in o8xdat(1..n) and the number of iterations in o8itin(2). Writes
// nothing.
void orvale();

}  // namespace morlan
