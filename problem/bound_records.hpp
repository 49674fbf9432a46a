// The layouts of the records in which each side of the problem keeps its
// sizes, bounds and constraint kinds (the annealing side's prbcsa, xbnd,
// cbnd, bdinfo in problem/adaptor.hpp; the SQP side's prbsqp, xxbnd, ccbnd,
// bbdinfo in sqp/sqpglue.hpp), and the view of them that the linked
// problem's routines fill and read. Header only.
#pragma once

#include <cstdint>

#include "base/config.hpp"
#include "base/one_based.hpp"

namespace morlan {

// Variables, constraints, equalities, inequalities.
struct ProblemSizes {
  std::int32_t n, m, neq, nineq;
};

struct VariableBounds {
  Array1<double, cfg::kBoundCapacity> xl, xu;
};

struct ConstraintBounds {
  Array1<double, cfg::kBoundCapacity> cl, cu;
};

// idineq(k): -1 equality (and beyond m), 1 one one-sided inequality, 2 a
// range giving two. idbd(i): finite bounds of variable i (-1 beyond n).
struct BoundKinds {
  Array1<std::int32_t, cfg::kBoundCapacity> idineq, idbd;
};

// One side's bounds and kinds, as views of their full capacity.
struct BoundRecords {
  Vec xl, xu;
  Vec cl, cu;
  IVec idineq, idbd;
};

inline BoundRecords bound_records(VariableBounds& x, ConstraintBounds& c, IVec idineq, IVec idbd) {
  return {x.xl, x.xu, c.cl, c.cu, idineq, idbd};
}

}  // namespace morlan
