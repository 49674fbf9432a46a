#include "driver/driver.hpp"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>

#include "anneal/chainrun.hpp"
#include "anneal/ladderrun.hpp"
#include "anneal/prepare.hpp"
#include "anneal/random.hpp"
#include "anneal/run_records.hpp"
#include "anneal/sa.hpp"
#include "anneal/trial_point.hpp"
#include "base/config.hpp"
#include "io/console.hpp"
#include "io/cpu_time.hpp"
#include "io/list_input.hpp"
#include "io/units.hpp"
#include "measures/records.hpp"
#include "problem/adaptor.hpp"
#include "problem/incremental_values.hpp"
#include "sqp/sqpglue.hpp"

namespace morlan {

namespace {

constexpr int kNvar = cfg::kNvar;
constexpr int kNtot = cfg::kNtot;
constexpr int kNpop = cfg::kNpop;

// Objective reported for a failed run, and the initial best/worst values.
constexpr double kNoObjective = 1.0e20;

// Seeds of the starting-point stream: one seeding per execution, so a series
// is the same from one execution to the next.
constexpr int kStartSeed1 = 1;
constexpr int kStartSeed2 = 2;

// Answers of the dialogue.
struct Settings {
  std::int32_t multilevel = 0;
  std::int32_t nconsec = 0;
  std::int32_t runmode = 0;
  std::int32_t nruns = 0;
  double rt = 0.0;
  double t0 = 0.0;
  double tf = 0.0;
};

// Statistics over the successful runs.
struct Statistics {
  std::int32_t nsucc = 0;
  std::int64_t itersum = 0;  // wide: a long series must not wrap the sum
  double bestobj = kNoObjective;
  double worstobj = -kNoObjective;
  double sumobj = 0.0;
};

// The driver's working storage lives for the whole program.
struct Storage {
  Array1<double, kNtot> x;           // starting point, then the run's result
  Array1<double, kNpop * kNtot> pop;  // population, member index fastest
  Array1<double, kNvar> xl, xu;       // variable bounds
  Array1<double, kNvar> shown;        // the point the "x0 = " line shows
};
Storage storage;

DriverOptions g_options;
RunExtension* g_extension = nullptr;

// Prints the prompt as one list-directed line.
void ask(std::string_view text) { io::say(text); }

double ask_real(std::string_view text) {
  ask(text);
  return io::read_real(io::trim_right(text));
}

std::int32_t ask_integer(std::string_view text) {
  ask(text);
  return io::read_integer(io::trim_right(text));
}

[[noreturn]] void error_message_stop(std::string_view message) {
  io::say(message);
  io::error_stop();
}

void start_up() {
  reuse.value = 0;
  gaussset.flag = 0;
  prbcsa.n = cfg::kNvar;
  prbcsa.m = cfg::kNcon;
  prbcsa.neq = cfg::kNeq;
  prbcsa.nineq = cfg::kNineq;
  init_csa_pd();
  // Every evaluation from here on (run preparation, loops, verdicts) takes
  // the fast path unless the reference path was asked for.
  use_incremental_values(!g_options.reference_eval);
}

// Steps 1-7 of the dialogue; rejected answers end the program here, before
// the initial temperature is computed.
Settings dialogue() {
  Settings s;
  slobj.value = ask_real(prompt::kScale);
  // A zero or non-finite scale makes the objective terms vanish or NaN while
  // runs still report success. A negative scale maximises the objective.
  if (slobj.value == 0.0 || !std::isfinite(slobj.value)) {
    error_message_stop("Wrong obj scale in main !");
  }
  io::cpu_time_delta();  // starts the per-reading clock; the value is not used

  mlag.value = 3;
  mlag.value = ask_integer(prompt::kLagrangian);

  if (mlag.value == 10) {
    msa.value = kRuleRelaxed;
    rleq.value = ask_real(prompt::kRelaxedSize);
    // The radius sets the reheating temperature: it must be a positive size.
    if (!(rleq.value > 0.0 && std::isfinite(rleq.value))) {
      error_message_stop("Wrong relaxed size in main !");
    }
  } else {
    msa.value = ask_integer(prompt::kRule);
    // Only 0 and 1 name a rule here; a negative rule has no loop to run.
    if (msa.value > 1 || msa.value < 0) error_message_stop("Wrong cSA rule in main !");
  }

  s.multilevel = ask_integer(prompt::kMultiLevel);
  // Every multi-level value asks for the count, so it is always defined.
  // A count of levels below one means nothing (it would act as one): it is
  // rejected like a run number below one.
  if (s.multilevel != 0) {
    s.nconsec = ask_integer(prompt::kConsecutive);
    if (s.nconsec < 1) error_message_stop("Wrong #consecutive NTs in main !");
  }

  s.runmode = ask_integer(prompt::kMultiStart);
  if (s.runmode == 1) {
    s.nruns = ask_integer(prompt::kRuns);
    if (s.nruns < 1) error_message_stop("Wrong run number in main !");
  } else if (s.runmode != 0) {
    error_message_stop("Wrong running mode in main !");
  }

  init_t(s.t0, s.tf);
  s.rt = ask_real(prompt::kRatio);
  // The temperature must fall at every stage and stay positive, or the run
  // never reaches its stop temperature.
  if (!(s.rt > 0.0 && s.rt < 1.0)) error_message_stop("Wrong ratio of reducing T in main !");
  return s;
}

void prepare() {
  hasdiscrete.hasdiscrete = false;
  xdiscrete(kNvar, isdx);
  for (int i = 1; i <= kNvar; ++i) {
    if (isdx(i) == 1) hasdiscrete.hasdiscrete = true;
  }
  dxinfo(kNvar, discrete.slice(kNvar + 1, kNvar), discrete.slice(1, kNvar));
  hasdiscrete.needshift = false;
  io::say("hasdiscrete = ", hasdiscrete.hasdiscrete, "   needshift = ", hasdiscrete.needshift);
  io::say("obj scale = ", slobj.value);
  io::flush();
  initial_orvale();
}

// Entry (k, i) of the population: member k, position i.
double& member(int k, int i) { return storage.pop((i - 1) * kNpop + k); }

// One starting point from the starting-point stream: a grid variable takes
// a grid point xl + g * k, k = 0 .. ndsample - 1; any other variable a
// uniform value in its range. Multipliers start at zero.
template <class Put>
void draw_point(Put put) {
  for (int i = 1; i <= kNvar; ++i) {
    const double u = static_cast<double>(x0ranmar());
    double v;
    if (isdx(i) == 1) {
      v = storage.xl(i) + discrete(kNvar + i) * std::trunc(u * ndsample(i));
    } else {
      v = storage.xl(i) + u * (storage.xu(i) - storage.xl(i));
    }
    put(i, v);
  }
  for (int i = kNvar + 1; i <= kNtot; ++i) put(i, 0.0);
}

// Fills the start of one run of a series and the point its "x0 = " line
// shows: x itself, or member 1 of the population under the population rule.
void draw_start() {
  if (msa.value != kRulePopulation) {
    draw_point([](int i, double v) { storage.x(i) = v; });
    for (int i = 1; i <= kNvar; ++i) storage.shown(i) = storage.x(i);
    return;
  }
  for (int k = 1; k <= kNpop; ++k) draw_point([k](int i, double v) { member(k, i) = v; });
  for (int i = 1; i <= kNvar; ++i) storage.shown(i) = member(1, i);
}

void print_start() {
  io::say(" ");
  io::say("x0 = ", CVec(storage.shown));
}

struct RunResult {
  std::int32_t isucc = 0;
  double objval = 0.0;
  double maxvio = 0.0;
};

// --count-evaluations: the Lagrangian evaluations of the search in this run,
// on standard error (standard output stays as without the option).
void report_evaluations(std::int32_t run) {
  if (g_options.count_evaluations) {
    std::fprintf(stderr, "morlan: run %d: %lld Lagrangian evaluations\n", static_cast<int>(run),
                 static_cast<long long>(lagcount.value));
  }
}

RunResult run_control(const Settings& s) {
  lagcount.value = 0;
  RunResult r;
  if (s.multilevel == 0) {
    chainrun(r.isucc, storage.pop, storage.x, r.objval, r.maxvio, s.t0, s.rt);
  } else {
    ladderrun(r.isucc, s.nconsec, storage.pop, storage.x, r.objval, r.maxvio, s.t0, s.rt);
  }
  return r;
}

void multi_start(const Settings& s, Statistics& st) {
  x0rmarin(kStartSeed1, kStartSeed2);
  xbound(kNvar, storage.xl, storage.xu);
  for (std::int32_t run = 1; run <= s.nruns; ++run) {
    io::cpu_time_delta();  // the next reading measures this run alone
    draw_start();
    print_start();
    const RunResult r = run_control(s);
    const float time = io::cpu_time_delta();
    if (r.isucc == 1) {
      io::say("run_id =", run, " : Obj =", r.objval, " time =", time);
      st.nsucc += 1;
      st.itersum += nsaiter.value;
      if (r.objval < st.bestobj) st.bestobj = r.objval;
      if (r.objval > st.worstobj) st.worstobj = r.objval;
      st.sumobj += r.objval;
    } else {
      io::say("run_id =", run, " : obj =", kNoObjective, " time =", time);
    }
    if (g_extension != nullptr) g_extension->after_run(r.isucc, storage.x);
    io::flush();
    report_evaluations(run);
  }
  io::say("========== Obj Summary of ", s.nruns, " runs ========== ");
  io::say(" best Obj = ", st.bestobj, ",  worst Obj = ", st.worstobj);
  if (st.nsucc > 0) io::say(" avrg Obj = ", st.sumobj / st.nsucc);
  if (g_extension != nullptr) g_extension->after_summary();
}

// Reads the starting point of a single run: kNvar finite values, list-directed.
void read_start_file() {
  std::string name = io::read_text(prompt::kStartFile);
  // A name cut to its field would name another file, or none.
  if (io::trim_right(name).size() > static_cast<std::size_t>(kFileNameWidth)) {
    io::say("File name longer than", kFileNameWidth, " characters!");
    io::error_stop();
  }
  name.resize(kFileNameWidth, ' ');
  io::open_old_or_stop(kStartUnit, name);
  {
    io::ListReader reader(kStartUnit, std::string(io::trim_right(name)));
    reader.reals(storage.x.slice(1, kNvar), /*require_finite=*/true);
  }
  io::close_unit(kStartUnit);
  for (int i = kNvar + 1; i <= kNtot; ++i) storage.x(i) = 0.0;
  for (int i = 1; i <= kNvar; ++i) storage.shown(i) = storage.x(i);
  // Under the population rule every member starts from the file's point.
  for (int k = 1; k <= kNpop; ++k) {
    for (int i = 1; i <= kNtot; ++i) member(k, i) = storage.x(i);
  }
}

void single_run(Settings& s, Statistics& st) {
  ask(prompt::kStartFile);
  read_start_file();
  print_start();
  s.nruns = 1;
  st.nsucc = 0;
  const RunResult r = run_control(s);
  if (r.isucc == 1) {
    st.nsucc = 1;
    st.itersum += nsaiter.value;
  }
  if (g_extension != nullptr) g_extension->after_run(r.isucc, storage.x);
  io::flush();
  report_evaluations(1);
}

[[noreturn]] void final_line(const Settings& s, const Statistics& st) {
  const float per_run = io::cpu_time_total() / static_cast<float>(s.nruns);
  if (st.nsucc < 1) {
    io::say("0 success run, time per Obj = ", per_run);
  } else {
    const double iterations =
        std::log(static_cast<double>(st.itersum) / static_cast<double>(st.nsucc)) / std::log(2.0);
    io::say(st.nsucc, " success run, time per Obj = ", per_run, " sec,  ", "iter = ", iterations);
  }
  io::stop();
}

}  // namespace

const DriverOptions& driver_options() { return g_options; }

void run_driver(const DriverOptions& options, RunExtension* extension) {
  g_options = options;
  g_extension = extension;
  start_up();
  Settings settings = dialogue();
  prepare();
  Statistics stats;
  if (settings.runmode == 1) {
    multi_start(settings, stats);
  } else {
    single_run(settings, stats);
  }
  final_line(settings, stats);
}

}  // namespace morlan
