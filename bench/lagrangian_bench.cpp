// Lagrangian evaluations per second in the access pattern of the core loop:
// each trial point differs from the previous one in one variable (two after
// a rejected trial, whose variable is restored), on the bundled problem,
// through the measure as the loops call it; reference path against fast
// path.
#include <benchmark/benchmark.h>

#include <random>
#include <vector>

#include "bench/bench_support.hpp"
#include "measures/measure.hpp"
#include "problem/incremental_values.hpp"

namespace morlan {
namespace {

void core_loop_pattern(benchmark::State& state, bool fast, int form) {
  bench::load_bundled_problem();
  Grid grid;
  grid.any = true;
  Measure measure(MeasureForm{form, 100.0, 1.0, 0.01}, grid, incremental_values(fast));

  std::mt19937 rng(1);
  std::uniform_real_distribution<double> u(0.0, 1.0);
  Array1<double, cfg::kNtot> x, trial;
  for (int i = 1; i <= cfg::kNvar; ++i) x(i) = xbnd.xl(i) + u(rng) * (xbnd.xu(i) - xbnd.xl(i));
  for (int k = 1; k <= cfg::kNcon; ++k) x(cfg::kNvar + k) = u(rng);
  trial = x;
  // Trial values and accept decisions drawn beforehand.
  constexpr int kDraws = 1 << 14;
  std::vector<double> share(kDraws);
  std::vector<char> accept(kDraws);
  for (int d = 0; d < kDraws; ++d) {
    share[d] = u(rng);
    accept[d] = u(rng) < 0.4;
  }
  int i = 0;
  int d = 0;
  double f = 0.0;
  for (auto _ : state) {
    i = i % cfg::kNvar + 1;
    d = (d + 1) & (kDraws - 1);
    trial(i) = xbnd.xl(i) + share[d] * (xbnd.xu(i) - xbnd.xl(i));
    f = measure.lagrangian(trial);
    benchmark::DoNotOptimize(f);
    if (accept[d]) {
      x(i) = trial(i);
    } else {
      trial(i) = x(i);
    }
  }
  state.SetItemsProcessed(state.iterations());
}

void BM_LagrangianReference(benchmark::State& state) {
  core_loop_pattern(state, false, static_cast<int>(state.range(0)));
}
void BM_LagrangianFast(benchmark::State& state) {
  core_loop_pattern(state, true, static_cast<int>(state.range(0)));
}
BENCHMARK(BM_LagrangianReference)->Arg(0)->Arg(1);
BENCHMARK(BM_LagrangianFast)->Arg(0)->Arg(1);

}  // namespace
}  // namespace morlan

BENCHMARK_MAIN();
