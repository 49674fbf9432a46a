// One temperature stage of the core loop sa on the bundled problem with the
// run control's settings, reference path against fast path.
//
// The stage starts at the demo's initial temperature from a drawn point
// with zero multipliers. A stopping tolerance larger than any search value
// ends the loop after its first stage. The argument is the number of cycle
// blocks: the run control's full stage is 3040 (about 4.9 million
// Lagrangians); the reference path is measured on a tenth of it.
#include <benchmark/benchmark.h>

#include <random>

#include "anneal/loop_call.hpp"
#include "anneal/run_control.hpp"
#include "anneal/run_setup.hpp"
#include "anneal/sa.hpp"
#include "bench/bench_support.hpp"
#include "measures/measure.hpp"
#include "problem/incremental_values.hpp"

namespace morlan {
namespace {

constexpr double kDemoT0 = 13.3165407;  // initial temperature of the demo
constexpr double kOneStage = 1.0e30;    // stopping tolerance: stop after one stage

void one_stage(benchmark::State& state, bool fast) {
  using namespace run_setup;
  bench::load_bundled_problem();
  Grid grid;
  grid.any = true;
  const RawValueSource source = incremental_values(fast);
  const int nt = static_cast<int>(state.range(0));
  long evaluations = 0;
  for (auto _ : state) {
    state.PauseTiming();
    Array1<double, cfg::kNtot> x;
    std::mt19937 rng(2);
    std::uniform_real_distribution<double> u(0.0, 1.0);
    for (int i = 1; i <= cfg::kNvar; ++i) x(i) = xbnd.xl(i) + u(rng) * (xbnd.xu(i) - xbnd.xl(i));
    Measure measure(MeasureForm{0, 100.0, kRunPenalty, 0.0}, grid, source);
    LoopWork w;
    double t = kDemoT0;
    const LoopCall call{cfg::kNtot, cfg::kNcon, w.lamfac, cfg::kNvar, kMaximize, 0.8, kOneStage,
                        kNcyc, nt, kNhist, w.xlow, w.xupp, w.cfac, kItrace, kSeed1, kSeed2, t,
                        w.vm, w.xbest, w.fbest, w.naccept, w.nevals, w.noutb, w.ier, w.fhist,
                        w.naccv, measure, kTolerance};
    state.ResumeTiming();
    sa(call, x, w.xtrial);
    benchmark::DoNotOptimize(w.fbest);
    evaluations += w.nevals;
  }
  state.counters["blocks"] = nt;
  state.counters["evals"] = static_cast<double>(evaluations) / state.iterations();
  state.counters["blocks_per_s"] =
      benchmark::Counter(static_cast<double>(nt) * state.iterations(), benchmark::Counter::kIsRate);
}

void BM_SaStageReference(benchmark::State& state) { one_stage(state, false); }
void BM_SaStageFast(benchmark::State& state) { one_stage(state, true); }
BENCHMARK(BM_SaStageReference)->Arg(304)->Iterations(1)->Unit(benchmark::kSecond);
BENCHMARK(BM_SaStageFast)->Arg(304)->Arg(3040)->Iterations(1)->Unit(benchmark::kSecond);

}  // namespace
}  // namespace morlan

BENCHMARK_MAIN();
