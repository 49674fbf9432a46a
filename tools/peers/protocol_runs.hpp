// The peer methods of the published protocols (scripts/compare --protocol),
// each one run of at most BUDGET evaluations, one evaluation being the
// objective and every constraint at one point:
//
//   trace_isres       NLopt's ISRES with the seed; one evaluation per point.
//   trace_multistart  NLopt's SLSQP (analytic gradients) from points drawn
//                     uniformly in the box with the seed, start after
//                     start until the budget is spent; a point evaluated
//                     with its gradients counts as n + 1 evaluations.
//
// Each reports the best point it evaluated, feasible as the protocols define
// it (every one-sided inequality at or below zero, every |h| within 1e-4,
// within the bounds), as it goes, one line per improvement:
//   feasible evaluations=<k> objective=<f>
//       the best feasible point so far, found at the k-th evaluation;
//   infeasible evaluations=<k> excess=<e> objective=<f>
//       while no point is feasible: the point of least excess so far;
// and at the end
//   end evaluations=<k> cpu=<seconds> starts=<local solves>
// followed by the best point in the line format of morlan-peers check.
#pragma once

namespace morlan::peers {

int trace_isres(unsigned long seed, long long budget);
int trace_multistart(unsigned long seed, long long budget);

}  // namespace morlan::peers
