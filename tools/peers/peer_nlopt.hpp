// NLopt set-ups shared by the peer methods: the optimizers on the
// problem's box, ISRES's constraints and one ISRES run, SLSQP with analytic
// gradients.
#pragma once

#include <nlopt.h>

#include <vector>

namespace morlan::peers {

// An optimizer of the algorithm with the variable bounds as its box.
nlopt_opt make_optimizer(nlopt_algorithm algorithm);

// ISRES's equalities (tolerance 1e-4, as the protocols) and one-sided
// inequalities (tolerance 0) through the callbacks given.
void add_isres_constraints(nlopt_opt opt, nlopt_mfunc equalities, nlopt_mfunc inequalities,
                           void* data);

// The middle of the box (ISRES starts from a random population; the start
// only seeds one member).
std::vector<double> middle_of_the_box();

// One ISRES run seeded with seed, from the middle of the box, of at most
// evaluations objective evaluations (capped at NLopt's int range), with the
// objective and constraint callbacks given, all called with data: the point
// NLopt returns and the CPU seconds the run took.
struct IsresRun {
  std::vector<double> x;
  double cpu = 0.0;
};
IsresRun run_isres_once(unsigned long seed, long long evaluations, nlopt_func objective,
                        nlopt_mfunc equalities, nlopt_mfunc inequalities, void* data);

// The objective at x, and its gradient into grad when grad is not null.
double objective_with_gradient(unsigned n, const double* x, double* grad);

// SLSQP with analytic gradients of the objective given and of every
// constraint (tolerances 1e-8), relative tolerances 1e-12 on the objective
// and the point.
nlopt_opt make_slsqp(nlopt_func objective, void* data);

}  // namespace morlan::peers
