// morlan-peers: the peer methods of scripts/compare on a problem folder's
// own evaluation (the set-up, cofg and ccifg linked with the folder's decoded
// routines), reading OUTSDIF.d from the current directory.
//
//   morlan-peers isres SEED EVALUATIONS
//       NLopt's ISRES (stochastic ranking evolution strategy) with that seed
//       and that many objective evaluations; reports the best feasible point
//       it evaluated (ISRES's own answer can be an early infeasible point
//       when it ranks by objective among points of equal penalty rank).
//   morlan-peers slsqp FILE
//       NLopt's SLSQP (analytic gradients) from every point of FILE (one
//       point a line, values separated by blanks).
//   morlan-peers check FILE
//       objective and largest violation of every point of FILE.
//
// One line per result on standard output:
//   objective=<f> violation=<largest violation> evaluations=<count> cpu=<seconds>
// The violation is the largest of |h| over the equalities, the one-sided
// inequalities (holding at or below zero) and the variable bounds; a point
// counts as feasible below kFeasible.
#include <nlopt.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fstream>
#include <limits>
#include <sstream>
#include <string>
#include <vector>

#include "io/units.hpp"
#include "sif/csetup.hpp"
#include "sif/evaluate.hpp"

namespace morlan {
namespace {

constexpr int kCapacity = 1000;
constexpr int kUnit = 55;
constexpr double kFeasible = 1.0e-4;
constexpr double kInfinite = 1.0e19;

// The problem as the set-up delivers it: bounds, and for each constraint
// whether it is an equality and its bounds.
struct Problem {
  int n = 0, m = 0;
  Array1<double, kCapacity> x0, xl, xu, v, cl, cu;
  Array1<bool, kCapacity> equatn, linear;
  std::vector<int> equalities;              // constraint numbers
  std::vector<std::pair<int, bool>> sides;  // one-sided: constraint, lower side
};
Problem problem;

void set_up() {
  if (io::open_old(kUnit, "OUTSDIF.d") != 0) {
    std::fprintf(stderr, "morlan-peers: cannot open OUTSDIF.d in the current directory\n");
    std::exit(2);
  }
  Problem& p = problem;
  csetup(kUnit, 6, p.n, p.m, p.x0, p.xl, p.xu, kCapacity, p.equatn, p.linear, p.v, p.cl, p.cu,
         kCapacity, true, false, false);
  for (int k = 1; k <= p.m; ++k) {
    if (p.equatn(k)) {
      p.equalities.push_back(k);
      continue;
    }
    if (p.cl(k) > -kInfinite) p.sides.push_back({k, true});
    if (p.cu(k) < kInfinite || p.cl(k) <= -kInfinite) p.sides.push_back({k, false});
  }
}

double seconds() { return static_cast<double>(std::clock()) / CLOCKS_PER_SEC; }

// Every value at one point: objective, equalities, one-sided inequalities.
struct Values {
  std::vector<double> x;
  double f = 0.0;
  std::vector<double> h, g;
  double violation = 0.0;
};

void evaluate(const double* x, Values& out) {
  const Problem& p = problem;
  out.x.assign(x, x + p.n);
  const CVec xv(out.x.data(), p.n);
  cofg(p.n, xv, out.f, Vec(), false);
  std::vector<double> c(p.m + 1);
  for (int k = 1; k <= p.m; ++k) ccifg(p.n, k, xv, c[k], Vec(), false);
  out.h.clear();
  out.g.clear();
  double worst = 0.0;
  for (int k : p.equalities) {
    out.h.push_back(c[k]);
    worst = std::max(worst, std::fabs(c[k]));
  }
  for (auto [k, lower] : p.sides) {
    out.g.push_back(lower ? p.cl(k) - c[k] : c[k] - p.cu(k));
    worst = std::max(worst, out.g.back());
  }
  for (int i = 1; i <= p.n; ++i) {
    worst = std::max({worst, p.xl(i) - x[i - 1], x[i - 1] - p.xu(i)});
  }
  out.violation = worst;
}

void report(double f, double violation, long long evaluations, double cpu) {
  std::printf("objective=%.15g violation=%.6g evaluations=%lld cpu=%.3f\n", f, violation,
              evaluations, cpu);
  std::fflush(stdout);
}

// ISRES: every point it asks for is evaluated once (objective and
// constraints, in whatever order it asks), and the best feasible one kept.
struct IsresState {
  Values last;
  bool have_last = false;
  long long evaluations = 0;
  bool have_best = false;
  Values best;
};

const Values& values_at(IsresState& s, const double* x) {
  const int n = problem.n;
  if (!s.have_last || std::memcmp(s.last.x.data(), x, sizeof(double) * n) != 0) {
    evaluate(x, s.last);
    s.have_last = true;
  }
  return s.last;
}

double isres_objective(unsigned, const double* x, double*, void* data) {
  auto& s = *static_cast<IsresState*>(data);
  const Values& v = values_at(s, x);
  ++s.evaluations;
  if (v.violation < kFeasible && (!s.have_best || v.f < s.best.f)) {
    s.best = v;
    s.have_best = true;
  }
  return v.f;
}

void isres_equalities(unsigned m, double* result, unsigned, const double* x, double*, void* data) {
  const Values& v = values_at(*static_cast<IsresState*>(data), x);
  std::copy(v.h.begin(), v.h.begin() + m, result);
}

void isres_inequalities(unsigned m, double* result, unsigned, const double* x, double*,
                        void* data) {
  const Values& v = values_at(*static_cast<IsresState*>(data), x);
  std::copy(v.g.begin(), v.g.begin() + m, result);
}

nlopt_opt make_optimizer(nlopt_algorithm algorithm) {
  const Problem& p = problem;
  nlopt_opt opt = nlopt_create(algorithm, static_cast<unsigned>(p.n));
  nlopt_set_lower_bounds(opt, p.xl.data());
  nlopt_set_upper_bounds(opt, p.xu.data());
  return opt;
}

int run_isres(unsigned long seed, long long evaluations) {
  const Problem& p = problem;
  IsresState state;
  nlopt_srand(seed);
  nlopt_opt opt = make_optimizer(NLOPT_GN_ISRES);
  nlopt_set_min_objective(opt, isres_objective, &state);
  // The published tolerances: 1e-4 on equalities, none on inequalities.
  const std::vector<double> htol(p.equalities.size(), kFeasible), gtol(p.sides.size(), 0.0);
  if (!p.equalities.empty()) {
    nlopt_add_equality_mconstraint(opt, static_cast<unsigned>(htol.size()), isres_equalities,
                                   &state, htol.data());
  }
  if (!p.sides.empty()) {
    nlopt_add_inequality_mconstraint(opt, static_cast<unsigned>(gtol.size()), isres_inequalities,
                                     &state, gtol.data());
  }
  nlopt_set_maxeval(opt, static_cast<int>(std::min<long long>(evaluations, 2000000000LL)));
  std::vector<double> x(p.x0.data(), p.x0.data() + p.n);
  // ISRES starts from a random population; the start only seeds one member.
  for (int i = 0; i < p.n; ++i) x[i] = 0.5 * (p.xl(i + 1) + p.xu(i + 1));
  double f = 0.0;
  const double start = seconds();
  nlopt_optimize(opt, x.data(), &f);
  const double cpu = seconds() - start;
  nlopt_destroy(opt);
  if (state.have_best) {
    report(state.best.f, state.best.violation, state.evaluations, cpu);
  } else {
    Values v;
    evaluate(x.data(), v);
    report(v.f, v.violation, state.evaluations, cpu);
  }
  return 0;
}

// SLSQP with analytic gradients.
struct SlsqpState {
  long long evaluations = 0;
};

double slsqp_objective(unsigned n, const double* x, double* grad, void* data) {
  ++static_cast<SlsqpState*>(data)->evaluations;
  double f = 0.0;
  std::vector<double> g(n);
  cofg(static_cast<int>(n), CVec(x, static_cast<int>(n)), f, Vec(g.data(), static_cast<int>(n)),
       grad != nullptr);
  if (grad) std::copy(g.begin(), g.end(), grad);
  return f;
}

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

std::vector<std::vector<double>> read_points(const char* path) {
  std::ifstream in(path);
  if (!in) {
    std::fprintf(stderr, "morlan-peers: cannot read %s\n", path);
    std::exit(2);
  }
  std::vector<std::vector<double>> points;
  std::string line;
  while (std::getline(in, line)) {
    std::istringstream words(line);
    std::vector<double> x;
    for (double v; words >> v;) x.push_back(v);
    if (x.empty()) continue;
    if (static_cast<int>(x.size()) != problem.n) {
      std::fprintf(stderr, "morlan-peers: %s: a point of %zu values, the problem has %d\n", path,
                   x.size(), problem.n);
      std::exit(2);
    }
    points.push_back(x);
  }
  return points;
}

int run_slsqp(const char* path) {
  const Problem& p = problem;
  for (auto x : read_points(path)) {
    SlsqpState state;
    nlopt_opt opt = make_optimizer(NLOPT_LD_SLSQP);
    nlopt_set_min_objective(opt, slsqp_objective, &state);
    const std::vector<double> htol(p.equalities.size(), 1e-8), gtol(p.sides.size(), 1e-8);
    if (!p.equalities.empty()) {
      nlopt_add_equality_mconstraint(opt, static_cast<unsigned>(htol.size()), slsqp_equalities,
                                     nullptr, htol.data());
    }
    if (!p.sides.empty()) {
      nlopt_add_inequality_mconstraint(opt, static_cast<unsigned>(gtol.size()),
                                       slsqp_inequalities, nullptr, gtol.data());
    }
    nlopt_set_ftol_rel(opt, 1e-12);
    nlopt_set_xtol_rel(opt, 1e-12);
    nlopt_set_maxeval(opt, 10000);
    double f = 0.0;
    const double start = seconds();
    nlopt_optimize(opt, x.data(), &f);
    const double cpu = seconds() - start;
    nlopt_destroy(opt);
    Values v;
    evaluate(x.data(), v);
    report(v.f, v.violation, state.evaluations, cpu);
  }
  return 0;
}

int run_check(const char* path) {
  for (const auto& x : read_points(path)) {
    Values v;
    evaluate(x.data(), v);
    report(v.f, v.violation, 1, 0.0);
  }
  return 0;
}

int usage() {
  std::fputs("usage: morlan-peers isres SEED EVALUATIONS | slsqp FILE | check FILE\n", stderr);
  return 2;
}

}  // namespace
}  // namespace morlan

int main(int argc, char** argv) {
  using namespace morlan;
  if (argc < 3) return usage();
  const std::string mode = argv[1];
  if (mode == "isres" && argc == 4) {
    set_up();
    return run_isres(std::strtoul(argv[2], nullptr, 10), std::strtoll(argv[3], nullptr, 10));
  }
  if ((mode == "slsqp" || mode == "check") && argc == 3) {
    set_up();
    return mode == "slsqp" ? run_slsqp(argv[2]) : run_check(argv[2]);
  }
  return usage();
}
