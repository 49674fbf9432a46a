#include "driver/driver.hpp"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>

#include "anneal/prepare.hpp"
#include "anneal/run_records.hpp"
#include "anneal/sa.hpp"
#include "anneal/trial_point.hpp"
#include "base/config.hpp"
#include "driver/fork_workers.hpp"
#include "driver/run_storage.hpp"
#include "driver/series.hpp"
#include "driver/watching.hpp"
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

DriverOptions g_options;
RunExtension* g_extension = nullptr;
SeriesExecutor* g_executor = nullptr;
Watching* g_watching = nullptr;

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

// The final line: T is the CPU seconds of the whole program, every process
// that ran a run included; `status` is the exit status.
[[noreturn]] void final_line(const Settings& s, const Statistics& st, float total, int status) {
  const float per_run = total / static_cast<float>(s.nruns);
  if (st.nsucc < 1) {
    io::say("0 success run, time per Obj = ", per_run);
  } else {
    const double iterations =
        std::log(static_cast<double>(st.itersum) / static_cast<double>(st.nsucc)) / std::log(2.0);
    io::say(st.nsucc, " success run, time per Obj = ", per_run, " sec,  ", "iter = ", iterations);
  }
  io::stop(status);
}

// Worker processes a series runs in: more than one when more than one job
// is asked for and there is more than one run.
int series_workers(const Settings& s) { return std::min(jobs_wanted(g_options.jobs), s.nruns); }

// True when the runs happen in this process (the single run, or a series in
// order here), which may then show their progress line.
bool runs_here(const Settings& s) {
  return s.runmode != 1 || (g_executor == nullptr && series_workers(s) <= 1);
}

// The runs of a series: in the executor given, in worker processes when
// more than one job is asked for and there is more than one run, else in
// order here. Returns the statistics and the CPU seconds of every process.
Statistics multi_start(const Settings& s, float& total) {
  Series series(s, g_extension, g_watching);
  InOrder in_order;
  WorkerProcesses workers(series_workers(s));
  SeriesExecutor* executor = g_executor;
  if (executor == nullptr && workers.count() > 1) executor = &workers;
  if (executor == nullptr) executor = &in_order;
  executor->execute(series);
  series.print_summary();
  total = executor->total_cpu_time();
  return series.statistics();
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

Statistics single_run(Settings& s) {
  ask(prompt::kStartFile);
  read_start_file();
  print_start();
  s.nruns = 1;
  Statistics st;
  set_run_in_progress(1);
  // The single run takes no reading of the run-time clock; its record has
  // its CPU time all the same.
  const double began = io::cpu_seconds();
  RunRecord record;
  record.run = 1;
  const RunResult r = g_watching->run(s, 1, 1, record);
  record.time = static_cast<float>(io::cpu_seconds() - began);
  record.isucc = r.isucc;
  record.objval = r.objval;
  record.maxvio = r.maxvio;
  if (r.isucc == 1) {
    st.nsucc = 1;
    st.itersum += nsaiter.value;
  }
  record.evaluations = lagcount.value;  // before the polish, which may spend what is left
  if (g_extension != nullptr) g_extension->after_run(r.isucc, storage.x, record);
  g_watching->keep_point(record);
  g_watching->fold(record);
  report_evaluations(record);
  set_run_in_progress(0);
  return st;
}

}  // namespace

const DriverOptions& driver_options() { return g_options; }

void run_driver(const DriverOptions& options, RunExtension* extension, SeriesExecutor* executor) {
  g_options = options;
  g_extension = extension;
  g_executor = executor;
  // The files are opened first: one that cannot be written is refused
  // before anything is asked.
  Watching watching(g_options);
  g_watching = &watching;
  start_up();
  Settings settings = dialogue();
  prepare();
  watching.start(settings, runs_here(settings));
  float total = 0.0f;
  Statistics stats;
  if (settings.runmode == 1) {
    stats = multi_start(settings, total);
  } else {
    stats = single_run(settings);
    total = io::cpu_time_total();
  }
  const bool written = watching.finish();
  final_line(settings, stats, total, written ? io::kExitNormal : io::kExitError);
}

}  // namespace morlan
