#include "tools/peers/protocol_runs.hpp"

#include <nlopt.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <random>
#include <vector>

#include "tools/peers/peer_nlopt.hpp"
#include "tools/peers/peer_problem.hpp"

namespace morlan::peers {

namespace {

// Excess for ranking infeasible points: a NaN ranks last.
double rank(double excess) {
  return std::isnan(excess) ? std::numeric_limits<double>::infinity() : excess;
}

// The evaluations of one run and its best point, printed as they improve.
class Tracker {
 public:
  long long evaluations = 0;

  // The values at x, evaluated once per point (the constraint callbacks at
  // the point the objective was asked for reuse them).
  const Values& at(const double* x) {
    const int n = problem.n;
    if (!have_last_ || std::memcmp(last_.x.data(), x, sizeof(double) * n) != 0) {
      evaluate(x, last_);
      have_last_ = true;
    }
    return last_;
  }

  // One more evaluated point, costing `cost` evaluations.
  void count(const Values& v, long long cost) {
    evaluations += cost;
    if (v.feasible()) {
      if (feasible_ && !(v.f < best_.f)) return;
      feasible_ = true;
      best_ = v;
      std::printf("feasible evaluations=%lld objective=%.17g\n", evaluations, v.f);
      return;
    }
    if (feasible_ || (have_best_ && !(rank(v.excess) < rank(best_.excess)))) return;
    have_best_ = true;
    best_ = v;
    std::printf("infeasible evaluations=%lld excess=%.17g objective=%.17g\n", evaluations, v.excess,
                v.f);
  }

  void finish(double cpu, int starts) const {
    std::printf("end evaluations=%lld cpu=%.3f starts=%d\n", evaluations, cpu, starts);
    std::printf(
        "objective=%.17g violation=%.17g evaluations=%lld cpu=%.3f hmax=%.17g gmax=%.17g "
        "bmax=%.17g\n",
        best_.f, best_.violation, evaluations, cpu, best_.hmax, best_.gmax, best_.bmax);
    std::fflush(stdout);
  }

 private:
  Values last_;
  bool have_last_ = false;
  bool feasible_ = false;
  bool have_best_ = false;
  Values best_;
};

double isres_objective(unsigned, const double* x, double*, void* data) {
  auto& t = *static_cast<Tracker*>(data);
  const Values& v = t.at(x);
  t.count(v, 1);
  return v.f;
}

void isres_equalities(unsigned m, double* result, unsigned, const double* x, double*, void* data) {
  const Values& v = static_cast<Tracker*>(data)->at(x);
  std::copy(v.h.begin(), v.h.begin() + m, result);
}

void isres_inequalities(unsigned m, double* result, unsigned, const double* x, double*,
                        void* data) {
  const Values& v = static_cast<Tracker*>(data)->at(x);
  std::copy(v.g.begin(), v.g.begin() + m, result);
}

double multistart_objective(unsigned n, const double* x, double* grad, void* data) {
  auto& t = *static_cast<Tracker*>(data);
  t.count(t.at(x), grad != nullptr ? static_cast<long long>(n) + 1 : 1);
  return objective_with_gradient(n, x, grad);
}

}  // namespace

int trace_isres(unsigned long seed, long long budget) {
  Tracker tracker;
  const IsresRun run =
      run_isres_once(seed, budget, isres_objective, isres_equalities, isres_inequalities, &tracker);
  tracker.finish(run.cpu, 1);
  return 0;
}

int trace_multistart(unsigned long seed, long long budget) {
  const Problem& p = problem;
  const long long gradient_cost = static_cast<long long>(p.n) + 1;
  Tracker tracker;
  std::mt19937_64 draws(seed);
  std::uniform_real_distribution<double> unit(0.0, 1.0);
  int starts = 0;
  const double start = cpu_seconds();
  while (budget - tracker.evaluations >= gradient_cost) {
    std::vector<double> x(p.n);
    for (int i = 0; i < p.n; ++i) x[i] = p.xl(i + 1) + unit(draws) * (p.xu(i + 1) - p.xl(i + 1));
    const long long before = tracker.evaluations;
    nlopt_opt opt = make_slsqp(multistart_objective, &tracker);
    // NLopt counts its evaluations of the objective, each with gradients.
    const long long left = (budget - tracker.evaluations) / gradient_cost;
    nlopt_set_maxeval(opt, static_cast<int>(std::min<long long>(left, 2000000000LL)));
    double f = 0.0;
    nlopt_optimize(opt, x.data(), &f);
    nlopt_destroy(opt);
    ++starts;
    // A solve that evaluated nothing would never spend the budget.
    if (tracker.evaluations == before) break;
  }
  tracker.finish(cpu_seconds() - start, starts);
  return 0;
}

}  // namespace morlan::peers
