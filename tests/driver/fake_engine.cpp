#include "tests/driver/fake_engine.hpp"

#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "anneal/prepare.hpp"
#include "anneal/random.hpp"
#include "anneal/run_control.hpp"
#include "anneal/stage_watch.hpp"
#include "anneal/trial_point.hpp"
#include "base/config.hpp"
#include "driver/polish_extension.hpp"
#include "io/console.hpp"
#include "problem/adaptor.hpp"
#include "problem/incremental_values.hpp"
#include "series/run_record.hpp"
#include "series/series.hpp"
#include "sif/records.hpp"
#include "sqp/sqpglue.hpp"

namespace morlan {

// Records, with start values that the driver's start-up must set.
PrbcsaRecord prbcsa{-1, -1, -1, -1};
// The bounds as the problem states them, which the measures' problem
// violation reads: the fake's own, set at start-up.
XbndRecord xbnd;
GausssetRecord gaussset{0, 0.0};

namespace fake {

double lower_bound(int i) { return 0.1 * i - 7.0; }

double upper_bound(int i) {
  static const double widths[5] = {0.5, 1.0, 2.5, 0.0, 3.0};
  return lower_bound(i) + widths[i % 5];
}

bool is_grid_variable(int i) { return i % 6 != 0; }

double polished_value(int run, int i) {
  if (i == 2) return lower_bound(i) - kPastTheBound;
  return lower_bound(i) + (upper_bound(i) - lower_bound(i)) * run / 8.0;
}

}  // namespace fake

namespace {

// A fault asked for by the environment: the run whose index the variable
// holds misbehaves; 0 when it is not set.
int faulty_run(const char* variable) {
  const char* value = std::getenv(variable);
  return value == nullptr ? 0 : std::atoi(value);
}

// Writes this process's id to $MORLAN_FAKE_PID_FILE, then waits there for a
// minute, long enough for a test to send its signal.
void hang() {
  if (const char* path = std::getenv("MORLAN_FAKE_PID_FILE")) {
    const std::string tmp = std::string(path) + ".tmp";
    if (std::FILE* f = std::fopen(tmp.c_str(), "w")) {
      std::fprintf(f, "%d\n", static_cast<int>(::getpid()));
      std::fclose(f);
      std::rename(tmp.c_str(), path);
    }
  }
  for (int i = 0; i < 600; ++i) ::usleep(100000);
}

// The faults of run `run`, after its first line.
void misbehave(int run) {
  // A run that takes a while, so that every worker of a parallel series has
  // runs to do before any one of them could run the whole series alone.
  if (const int ms = faulty_run("MORLAN_FAKE_RUN_MS"); ms > 0) ::usleep(1000u * ms);
  if (run == faulty_run("MORLAN_FAKE_HANG_RUN")) hang();
  if (run == faulty_run("MORLAN_FAKE_STOP_RUN")) {
    io::say("Wrong fake run", run, "!");
    io::error_stop();
  }
  // State an earlier run left, made visible: the normal-deviate store.
  if (faulty_run("MORLAN_FAKE_LEAVE_RUN") != 0) {
    io::say("fake run: stored deviate =", gaussset.flag, gaussset.cached);
  }
  if (run == faulty_run("MORLAN_FAKE_LEAVE_RUN")) {
    gaussset.flag = 1;
    gaussset.cached += 1.0;
  }
  if (faulty_run("MORLAN_FAKE_RAND") != 0) io::say("fake run: rand =", std::rand());
}

}  // namespace

void init_csa_pd() {
  io::say("fake start-up: prbcsa =", prbcsa.n, prbcsa.m, prbcsa.neq, prbcsa.nineq);
  for (int i = 1; i <= cfg::kNvar; ++i) {
    xbnd.xl(i) = fake::lower_bound(i);
    xbnd.xu(i) = fake::upper_bound(i);
  }
}

// The fake evaluates nothing: its runs make their results from their starts.
double obj(int, CVec) { return 0.0; }
double ceq(int, int, CVec) { return 0.0; }
double cineq(int, int, CVec) { return 0.0; }
void dceq(int, int, CVec, Vec) {}
void dcineq(int, int, CVec, Vec) {}

RawValueSource incremental_values(bool) { return nullptr; }

// The fake's records: the sizes it was handed; it loads no data file.
std::vector<NamedBytes> evaluation_records() { return {}; }
std::vector<NamedBytes> adaptor_records() { return {named_bytes("prbcsa", prbcsa)}; }
std::vector<NamedBytes> binding_records() { return {}; }

Temperatures initial_temperature(Measure& measure) {
  io::say("fake init_t: slobj =", measure.scale(), " mlag =", measure.form(), " rleq =",
          measure.radius());
  Temperatures t{2.5, 0.0025};
  // An MPI rank that prepares another state than the others.
  const char* rank = std::getenv("OMPI_COMM_WORLD_RANK");
  const char* other = std::getenv("MORLAN_FAKE_OTHER_T0_RANK");
  if (rank != nullptr && other != nullptr && std::string(rank) == other) t.t0 = 2.6;
  io::say("Initial temperature t0 = ", t.t0, "  Stop tf = ", t.tf);
  return t;
}

void xbound(int, Vec xl, Vec xu) {
  for (int i = 1; i <= cfg::kNvar; ++i) {
    xl(i) = fake::lower_bound(i);
    xu(i) = fake::upper_bound(i);
  }
}

Grid prepare_grid() {
  Grid grid;
  Array1<double, cfg::kNvar> xl, xu;
  xbound(cfg::kNvar, xl, xu);
  io::say("number of discretized points per unit =", kGridPointsPerUnit);
  for (int i = 1; i <= cfg::kNvar; ++i) {
    grid.on_grid(i) = fake::is_grid_variable(i) ? 1 : 2;
    if (grid.on_grid(i) == 1) grid.any = true;
    const double w = xu(i) - xl(i);
    grid.points(i) = w >= 1.0 ? std::trunc(w * kGridPointsPerUnit + 1.0e-6) : kGridPointsPerUnit;
    grid.spacing(i) = grid.on_grid(i) == 1 ? w / (grid.points(i) - 1.0) : 0.0;
  }
  return grid;
}

void initial_orvale() { io::say("fake initial_orvale"); }

namespace {

bool multipliers_zero(CVec point) {
  for (int i = cfg::kNvar + 1; i <= cfg::kNtot; ++i) {
    if (point(i) != 0.0) return false;
  }
  return true;
}

double sum_of_variables(CVec point) {
  double s = 0.0;
  for (int i = 1; i <= cfg::kNvar; ++i) s += point(i);
  return s;
}

// What a watched loop call reports: kFakeStages stages of kFakeNt blocks
// from t0, cooling by rt; every block asks whether a report is due. The
// values are made from the run and the stage; the last stage's best
// objective is the run's objective `last_best` (kNoneFeasible for a run
// that fails).
constexpr int kFakeNt = 5;
constexpr int kFakeStages = 3;

void report_stages(StageWatch* watch, int run, double t0, double rt, double last_best) {
  if (watch == nullptr) return;
  watch->loop_started(kFakeNt, t0, rt);
  double t = t0;
  for (int stage = 1; stage <= kFakeStages; ++stage) {
    StageReport r;
    r.temperature = t;
    r.lagrangian = 100.0 * run + stage;
    r.objective = 10.0 * run + stage + 0.5;
    r.violation = 1.0 / (10.0 * stage);
    r.problem_violation = r.violation + 0.001;
    r.counted_evaluations = 1000 * run;
    r.best_objective = stage == 1 ? kNoneFeasible : last_best + (kFakeStages - stage);
    r.acceptance = 0.25 * stage;
    for (int block = 1; block <= kFakeNt; ++block) {
      r.evaluations = 1000 * (stage - 1) + 10 * block;
      if (watch->block_report_due()) watch->block_ended(r);
    }
    watch->stage_ended(r);
    t = rt * t;
  }
}

// One fake run: reports what it was given, consumes main-stream numbers,
// and produces a result from the start.
RunOutcome fake_run(const RunSettings& s, const Measure& measure, StageWatch* watch, CVec pop,
                    Vec x, int levels) {
  const int run = run_in_progress();
  rmarin(1, 2);
  const int draws = static_cast<int>(s.rt * 1000.0) * run;
  for (int k = 0; k < draws; ++k) ranmar();

  double start_sum;
  bool zero;
  if (s.rule == kRulePopulation) {
    Array1<double, cfg::kNtot> m1, m2;
    for (int i = 1; i <= cfg::kNtot; ++i) {
      m1(i) = pop((i - 1) * cfg::kNpop + 1);
      m2(i) = pop((i - 1) * cfg::kNpop + 2);
    }
    start_sum = sum_of_variables(m1) + sum_of_variables(m2);
    zero = multipliers_zero(m1) && multipliers_zero(m2);
    io::say("fake run: members", sum_of_variables(m1), sum_of_variables(m2), " zero multipliers =",
            zero);
  } else {
    start_sum = sum_of_variables(x);
    zero = multipliers_zero(x);
    io::say("fake run: start", start_sum, " zero multipliers =", zero);
  }
  misbehave(run);
  RunOutcome r;
  r.evaluations = 1000 * run;  // what --count-evaluations reports

  r.isucc = (measure.scale() >= 0.0 && run % 3 != 0) ? 1 : 0;
  for (int level = 1; level <= levels; ++level) {
    report_stages(watch, run, s.t0, s.rt, r.isucc == 1 ? start_sum + run : kNoneFeasible);
  }
  if (r.isucc == 1) {
    r.objval = start_sum + run;
    r.maxvio = 0.0;
    if (s.rule == kRulePlain) r.blocks = 16 * run;
    for (int i = 1; i <= cfg::kNvar; ++i) x(i) = fake::upper_bound(i);
    x(7) += fake::kPastTheBound;
  } else {
    r.objval = -1.0;
    r.maxvio = 1.0;
  }
  return r;
}

}  // namespace

RunOutcome chain_run(const RunSettings& s, const Measure& measure, StageWatch* watch, CVec pop,
                     Vec x) {
  io::say("fake chainrun: t0 =", s.t0, " rt =", s.rt);
  return fake_run(s, measure, watch, pop, x, 1);
}

RunOutcome ladder_run(const RunSettings& s, const Measure& measure, StageWatch* watch, CVec pop,
                      Vec x) {
  io::say("fake ladderrun: nconsec =", s.nconsec, " t0 =", s.t0, " rt =", s.rt);
  return fake_run(s, measure, watch, pop, x, 2);
}

namespace {

// Reports where the driver calls the extension of --polish, and folds the
// runs it polished.
class FakePolish final : public RunExtension {
 public:
  void after_run(const Answers&, int isucc, CVec x, RunRecord& record) override {
    io::say("fake polish: isucc =", isucc, " x(1) =", x(1), " x(145) =", x(cfg::kNvar + 1));
    record.polish.polished = isucc;
    record.polish.objective = x(1) - record.run;
    record.polish.violation = 1.0e-9;
    const bool infeasible = faulty_run("MORLAN_FAKE_POLISH_INFEASIBLE") != 0 || record.run == 4;
    record.polish.feasible = isucc == 1 && !infeasible ? 1 : 0;
    if (isucc != 1) return;
    record.polish.point.clear();
    for (int i = 1; i <= cfg::kNvar; ++i) {
      record.polish.point.push_back(fake::polished_value(record.run, i));
    }
  }
  void fold(const RunRecord& record) override { polished_ += record.polish.polished; }
  void after_summary() override { io::say("fake polish summary: polished runs =", polished_); }

 private:
  int polished_ = 0;
};

}  // namespace

std::unique_ptr<RunExtension> make_polish_extension(const DriverOptions&) {
  return std::make_unique<FakePolish>();
}

}  // namespace morlan
