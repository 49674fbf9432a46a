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
//   hmax=<largest |h|> gmax=<largest inequality excess> bmax=<largest bound distance>
// The violation is the largest of |h| over the equalities, the one-sided
// inequalities (holding at or below zero) and the variable bounds; a point
// counts as feasible below kFeasible here.
//
// The published protocols (protocol_runs.hpp) add two methods with a trace
// of their best point, feasible as the protocols define it:
//   morlan-peers isres-trace SEED BUDGET
//   morlan-peers multistart SEED BUDGET
#include <nlopt.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "tools/peers/peer_nlopt.hpp"
#include "tools/peers/peer_problem.hpp"
#include "tools/peers/protocol_runs.hpp"

namespace morlan::peers {
namespace {

constexpr double kFeasible = 1.0e-4;

void report(const Values& v, long long evaluations, double cpu) {
  std::printf(
      "objective=%.17g violation=%.17g evaluations=%lld cpu=%.3f hmax=%.17g gmax=%.17g "
      "bmax=%.17g\n",
      v.f, v.violation, evaluations, cpu, v.hmax, v.gmax, v.bmax);
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

int run_isres(unsigned long seed, long long evaluations) {
  IsresState state;
  const IsresRun run = run_isres_once(seed, evaluations, isres_objective, isres_equalities,
                                      isres_inequalities, &state);
  if (state.have_best) {
    report(state.best, state.evaluations, run.cpu);
  } else {
    Values v;
    evaluate(run.x.data(), v);
    report(v, state.evaluations, run.cpu);
  }
  return 0;
}

// SLSQP with analytic gradients.
struct SlsqpState {
  long long evaluations = 0;
};

double slsqp_objective(unsigned n, const double* x, double* grad, void* data) {
  ++static_cast<SlsqpState*>(data)->evaluations;
  return objective_with_gradient(n, x, grad);
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
  for (auto x : read_points(path)) {
    SlsqpState state;
    nlopt_opt opt = make_slsqp(slsqp_objective, &state);
    nlopt_set_maxeval(opt, 10000);
    double f = 0.0;
    const double start = cpu_seconds();
    nlopt_optimize(opt, x.data(), &f);
    const double cpu = cpu_seconds() - start;
    nlopt_destroy(opt);
    Values v;
    evaluate(x.data(), v);
    report(v, state.evaluations, cpu);
  }
  return 0;
}

int run_check(const char* path) {
  for (const auto& x : read_points(path)) {
    Values v;
    evaluate(x.data(), v);
    report(v, 1, 0.0);
  }
  return 0;
}

int usage() {
  std::fputs(
      "usage: morlan-peers isres SEED EVALUATIONS | slsqp FILE | check FILE |\n"
      "                    isres-trace SEED BUDGET | multistart SEED BUDGET\n",
      stderr);
  return 2;
}

}  // namespace
}  // namespace morlan::peers

int main(int argc, char** argv) {
  using namespace morlan::peers;
  if (argc < 3) return usage();
  const std::string mode = argv[1];
  const bool traced = mode == "isres-trace" || mode == "multistart";
  if ((mode == "isres" || traced) && argc == 4) {
    set_up();
    const unsigned long seed = std::strtoul(argv[2], nullptr, 10);
    const long long budget = std::strtoll(argv[3], nullptr, 10);
    if (mode == "isres") return run_isres(seed, budget);
    return mode == "isres-trace" ? trace_isres(seed, budget) : trace_multistart(seed, budget);
  }
  if ((mode == "slsqp" || mode == "check") && argc == 3) {
    set_up();
    return mode == "slsqp" ? run_slsqp(argv[2]) : run_check(argv[2]);
  }
  return usage();
}
