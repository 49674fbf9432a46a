#include "tools/peers/peer_nlopt.hpp"

#include <algorithm>

#include "sif/evaluate.hpp"
#include "tools/peers/peer_problem.hpp"

namespace morlan::peers {

namespace {

// Constraint k's value with its gradient (into grad, n entries) when asked.
double constraint(int k, unsigned n, const double* x, double* grad) {
  double c = 0.0;
  std::vector<double> g(n);
  ccifg(static_cast<int>(n), k, CVec(x, static_cast<int>(n)), c,
        Vec(g.data(), static_cast<int>(n)), grad != nullptr);
  if (grad) std::copy(g.begin(), g.end(), grad);
  return c;
}

void slsqp_equalities(unsigned m, double* result, unsigned n, const double* x, double* grad,
                      void*) {
  for (unsigned j = 0; j < m; ++j) {
    result[j] = constraint(problem.equalities[j], n, x, grad ? grad + j * n : nullptr);
  }
}

void slsqp_inequalities(unsigned m, double* result, unsigned n, const double* x, double* grad,
                        void*) {
  for (unsigned j = 0; j < m; ++j) {
    const auto [k, lower] = problem.sides[j];
    double* row = grad ? grad + j * n : nullptr;
    const double c = constraint(k, n, x, row);
    result[j] = lower ? problem.cl(k) - c : c - problem.cu(k);
    if (row && lower) {
      for (unsigned i = 0; i < n; ++i) row[i] = -row[i];
    }
  }
}

}  // namespace

nlopt_opt make_optimizer(nlopt_algorithm algorithm) {
  const Problem& p = problem;
  nlopt_opt opt = nlopt_create(algorithm, static_cast<unsigned>(p.n));
  nlopt_set_lower_bounds(opt, p.xl.data());
  nlopt_set_upper_bounds(opt, p.xu.data());
  return opt;
}

void add_isres_constraints(nlopt_opt opt, nlopt_mfunc equalities, nlopt_mfunc inequalities,
                           void* data) {
  const Problem& p = problem;
  const std::vector<double> htol(p.equalities.size(), kEqualityTolerance);
  const std::vector<double> gtol(p.sides.size(), 0.0);
  if (!p.equalities.empty()) {
    nlopt_add_equality_mconstraint(opt, static_cast<unsigned>(htol.size()), equalities, data,
                                   htol.data());
  }
  if (!p.sides.empty()) {
    nlopt_add_inequality_mconstraint(opt, static_cast<unsigned>(gtol.size()), inequalities, data,
                                     gtol.data());
  }
}

std::vector<double> middle_of_the_box() {
  const Problem& p = problem;
  std::vector<double> x(p.n);
  for (int i = 0; i < p.n; ++i) x[i] = 0.5 * (p.xl(i + 1) + p.xu(i + 1));
  return x;
}

IsresRun run_isres_once(unsigned long seed, long long evaluations, nlopt_func objective,
                        nlopt_mfunc equalities, nlopt_mfunc inequalities, void* data) {
  nlopt_srand(seed);
  nlopt_opt opt = make_optimizer(NLOPT_GN_ISRES);
  nlopt_set_min_objective(opt, objective, data);
  add_isres_constraints(opt, equalities, inequalities, data);
  nlopt_set_maxeval(opt, static_cast<int>(std::min<long long>(evaluations, 2000000000LL)));
  IsresRun run{middle_of_the_box()};
  double f = 0.0;
  const double start = cpu_seconds();
  nlopt_optimize(opt, run.x.data(), &f);
  run.cpu = cpu_seconds() - start;
  nlopt_destroy(opt);
  return run;
}

double objective_with_gradient(unsigned n, const double* x, double* grad) {
  double f = 0.0;
  std::vector<double> g(n);
  cofg(static_cast<int>(n), CVec(x, static_cast<int>(n)), f, Vec(g.data(), static_cast<int>(n)),
       grad != nullptr);
  if (grad) std::copy(g.begin(), g.end(), grad);
  return f;
}

nlopt_opt make_slsqp(nlopt_func objective, void* data) {
  const Problem& p = problem;
  nlopt_opt opt = make_optimizer(NLOPT_LD_SLSQP);
  nlopt_set_min_objective(opt, objective, data);
  const std::vector<double> htol(p.equalities.size(), 1e-8), gtol(p.sides.size(), 1e-8);
  if (!p.equalities.empty()) {
    nlopt_add_equality_mconstraint(opt, static_cast<unsigned>(htol.size()), slsqp_equalities,
                                   nullptr, htol.data());
  }
  if (!p.sides.empty()) {
    nlopt_add_inequality_mconstraint(opt, static_cast<unsigned>(gtol.size()), slsqp_inequalities,
                                     nullptr, gtol.data());
  }
  nlopt_set_ftol_rel(opt, 1e-12);
  nlopt_set_xtol_rel(opt, 1e-12);
  return opt;
}

}  // namespace morlan::peers
