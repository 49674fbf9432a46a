// Records of the SQP solver core that the problem binding reads or writes.
// The solver owns them; the binding touches only the members named below.
#pragma once

#include <cfloat>
#include <cstdint>

#include "base/one_based.hpp"

namespace morlan {

// Capacities of the solver: variables, and constraints (equalities plus
// inequalities) it can hold.
inline constexpr int kO8MaxVariables = 800;
inline constexpr int kO8MaxConstraints = 800;

// (1) variables, (2) equality constraints, (3) inequality constraints.
struct O8dimRecord : Array1<std::int32_t, 3> {};
extern O8dimRecord o8dim;

// The solver's current point, (1..n).
struct O8xdatRecord : Array1<double, kO8MaxVariables> {};
extern O8xdatRecord o8xdat;

// Integer state of the solve; (2) is the number of iterations performed.
struct O8itinRecord : Array1<std::int32_t, 20> {};
extern O8itinRecord o8itin;

// Evaluation counters: (1) objective, (2) objective gradient, (3 + i)
// constraint i, (803 + i) gradient of constraint i; constraints numbered
// equalities first, then inequalities.
inline constexpr int kO8CntValue = 3;
inline constexpr int kO8CntGradient = 3 + kO8MaxConstraints;  // 803
struct O8cntRecord : Array1<std::int32_t, 3 + 2 * kO8MaxConstraints> {};
extern O8cntRecord o8cnt;

// Real parameters: (1) relative machine precision, (3) base step of the
// numerical differences. (1) starts at the double precision epsilon so that
// the numerical gradients are usable before any solve.
struct O8mparRecord : Array1<double, 10> {
  O8mparRecord() { (*this)(1) = DBL_EPSILON; }
};
extern O8mparRecord o8mpar;

}  // namespace morlan
