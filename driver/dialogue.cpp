#include "driver/dialogue.hpp"

#include <cmath>
#include <cstdint>

#include "anneal/run_control.hpp"
#include "base/config.hpp"
#include "io/console.hpp"
#include "io/cpu_time.hpp"
#include "io/list_input.hpp"
#include "io/units.hpp"

namespace morlan {

namespace {

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

// The scale, then the form with its radius or the rule.
void ask_measure(Answers& a) {
  a.scale = ask_real(prompt::kScale);
  // A zero or non-finite scale makes the objective terms vanish or NaN while
  // runs still report success. A negative scale maximises the objective.
  if (a.scale == 0.0 || !std::isfinite(a.scale)) error_message_stop("Wrong obj scale in main !");
  io::cpu_time_delta();  // starts the per-reading clock; the value is not used

  a.form = ask_integer(prompt::kLagrangian);
  if (a.form == 10) {
    a.rule = kRuleRelaxed;
    a.radius = ask_real(prompt::kRelaxedSize);
    // The radius sets the reheating temperature: it must be a positive size.
    if (!(a.radius > 0.0 && std::isfinite(a.radius))) {
      error_message_stop("Wrong relaxed size in main !");
    }
  } else {
    a.rule = ask_integer(prompt::kRule);
    // Only 0 and 1 name a rule here; a negative rule has no loop to run.
    if (a.rule > 1 || a.rule < 0) error_message_stop("Wrong cSA rule in main !");
  }
}

// The multi-level scheme, then the run mode with the number of runs.
void ask_runs(Answers& a) {
  a.multilevel = ask_integer(prompt::kMultiLevel);
  // Every multi-level value asks for the count, so it is always defined.
  // A count of levels below one means nothing (it would act as one): it is
  // rejected like a run number below one.
  if (a.multilevel != 0) {
    a.nconsec = ask_integer(prompt::kConsecutive);
    if (a.nconsec < 1) error_message_stop("Wrong #consecutive NTs in main !");
  }

  a.runmode = ask_integer(prompt::kMultiStart);
  if (a.runmode == 1) {
    a.nruns = ask_integer(prompt::kRuns);
    if (a.nruns < 1) error_message_stop("Wrong run number in main !");
  } else if (a.runmode != 0) {
    error_message_stop("Wrong running mode in main !");
  } else {
    a.nruns = 1;
  }
}

}  // namespace

Answers ask_answers() {
  Answers a;
  ask_measure(a);
  ask_runs(a);
  return a;
}

void ask_ratio(Answers& a) {
  a.ratio = ask_real(prompt::kRatio);
  // The temperature must fall at every stage and stay positive, or the run
  // never reaches its stop temperature.
  if (!(a.ratio > 0.0 && a.ratio < 1.0)) error_message_stop("Wrong ratio of reducing T in main !");
}

void read_start_point(Vec x) {
  ask(prompt::kStartFile);
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
    reader.reals(x.slice(1, cfg::kNvar), /*require_finite=*/true);
  }
  io::close_unit(kStartUnit);
}

}  // namespace morlan
