#include "driver/options.hpp"

#include <CLI/CLI.hpp>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <limits>
#include <string>
#include <string_view>

#include "base/config.hpp"
#include "io/console.hpp"
#include "io/output.hpp"

namespace morlan {

namespace {

// A margin beyond round-off that still leaves the polished point close to
// the problem's own solution.
constexpr double kLargestPolishMargin = 1.0e-3;

constexpr const char* kSynopsis =
    "Usage: morlan [-j N] [--polish] [--reference-eval] [--progress | --no-progress]\n"
    "              [--log FILE] [--results FILE] [--best FILE] [--points FILE]\n"
    "              [--count-evaluations] [--max-evaluations N] [--polish-margin M]\n"
    "              [--help] [--version]\n";

// The description; its %d are the linked problem's sizes (variables,
// constraints, equalities, inequalities, then variables twice more).
constexpr const char* kDescription =
    "\n"
    "Constrained simulated annealing (CSA) on the linked test problem: %d\n"
    "variables, %d constraints (%d equalities, then %d inequalities).\n"
    "\n"
    "Reads the problem data file OUTSDIF.d from the current directory, then asks\n"
    "on standard input, one answer per prompt (values separated by blanks, commas\n"
    "or line ends):\n"
    "  Input scale slobj for obj (obj/slobj) =   objective scale (real)\n"
    "  Lagrange function/(0,1,2,3,4,5,10)         Lagrangian form (10: relaxed\n"
    "                                             equalities, then asks the\n"
    "                                             initial relaxed size)\n"
    "  cSA rule/(0 - cSA, 1 - pSA)                annealing rule (not asked for 10)\n"
    "  Multi-level CSA/(0,1)                      multi-level scheme; nonzero asks\n"
    "                                             #consecutive NTs for stop\n"
    "  Multi start /(0,1)                         1: a series of runs from random\n"
    "                                             starting points (asks the number\n"
    "                                             of runs); 0: one run from a file\n"
    "  Input ratio of reducing T =                temperature reduction ratio\n"
    "  Input file name for starting point:        (single run) a file of %d\n"
    "                                             values, name up to 20 characters\n"
    "\n"
    "Prints the preparation lines, each run's result, the series summary and a\n"
    "final line on standard output. Writes files only when --log, --results,\n"
    "--best or --points asks, and none of them changes what is printed.\n"
    "\n"
    "Exit status: 0 on normal completion; 1 after an error message (a rejected\n"
    "answer, a missing starting-point file, a problem data error), after an\n"
    "interrupt, or when standard output or a file of --log, --results, --best or\n"
    "--points cannot be written; 2 when an answer, the starting-point file or\n"
    "the problem data file cannot be read (malformed value, end of input, a\n"
    "line over 65536 characters) or a file of those options cannot be opened\n"
    "(the diagnostic goes to standard error).\n"
    "\n"
    "Options:\n"
    "  -j N, --jobs N\n"
    "              run the runs of a series in N processes at once (0: one per\n"
    "              online core; default 1); the output is the same bytes as with\n"
    "              one process, except the CPU times, which count every process\n"
    "  --polish    after each successful run, polish its best point with the SQP\n"
    "              solver and print one line with the polished objective, its\n"
    "              largest violation and the iteration count; a series adds\n"
    "              the best polished objective after its summary\n"
    "  --reference-eval\n"
    "              evaluate every objective and constraint value through the\n"
    "              literal problem routines, one full evaluation per value,\n"
    "              instead of the incremental cache; results are the same to\n"
    "              the last bit, only much slower (for checking and timing)\n"
    "  --progress  show the progress line on standard error while runs go on,\n"
    "              also when it is not a terminal (one line every two seconds);\n"
    "              by default it is shown only on a terminal: run k/N, level,\n"
    "              temperature stage/estimated stages, elapsed and estimated\n"
    "              remaining time of the run, temperature T, current\n"
    "              Lagrangian L, best feasible objective, largest violation\n"
    "              (a narrow terminal leaves out L, then T, then the estimates);\n"
    "              with -j N: runs done/N and in flight, time, best objective\n"
    "              so far\n"
    "  --no-progress\n"
    "              never show the progress line\n"
    "  --log FILE  write the convergence log: a header row, then one\n"
    "              tab-separated row per temperature stage of every run: run,\n"
    "              level, stage, temperature, Lagrangian and objective at the\n"
    "              current point, its largest violation by the program's\n"
    "              measure and as the data file states the problem, best\n"
    "              feasible objective so far, acceptance ratio of the stage,\n"
    "              variable trials and counted evaluations so far, CPU seconds\n"
    "              (scripts/plot draws it)\n"
    "  --results FILE\n"
    "              write a header row, then one tab-separated row per run:\n"
    "              run, success, objective, largest violation (the program's\n"
    "              measure), largest violation as the data file states the\n"
    "              problem, CPU seconds, and under --polish the polished\n"
    "              objective and violation\n"
    "  --best FILE write the best feasible point of the series (of the single\n"
    "              run): %d values, one a line, readable as a starting-point\n"
    "              file that starts a run from exactly that point; left as it\n"
    "              was when no run succeeds. Under --polish the best polished\n"
    "              point that is feasible (the best point of the runs, with a\n"
    "              line on standard error, when none is)\n"
    "  --points FILE\n"
    "              write a header row, then one tab-separated row per point:\n"
    "              run, \"best\" and every successful run's best point, and\n"
    "              under --polish \"polished\" and its polished point, with all\n"
    "              their digits\n"
    "  --count-evaluations\n"
    "              after each run, write the number of Lagrangian evaluations\n"
    "              its search made on standard error (standard output is\n"
    "              unchanged)\n"
    "  --max-evaluations N\n"
    "              end each run when its search has made N Lagrangian\n"
    "              evaluations (those --count-evaluations counts; under the\n"
    "              multi-level scheme over all its levels), with the best point\n"
    "              it has, as at a normal end. Under --polish the run and its\n"
    "              polish share the N evaluations (a gradient evaluation of the\n"
    "              polish counts n + 1, n the variables): the search ends at N\n"
    "              less a reserve for the polish, the polish's worst case\n"
    "              1001 (n + 1) but at most N/20, and the polish stops when the\n"
    "              evaluations are spent\n"
    "  --polish-margin M\n"
    "              under --polish, tighten the problem's one-sided inequalities\n"
    "              by M for the polish (g <= -M) and keep its point within the\n"
    "              variable bounds exactly, so that a polished point on an\n"
    "              active inequality lies strictly inside it instead of on it\n"
    "              within round-off; the printed violation is the problem's own\n"
    "  --help      print this text and exit\n"
    "  --version   print the version and exit\n";

// CLI11 reports a flag given a value ("--polish=1") by the flag's name;
// the usage error names the argument as it was typed. Options that take a
// value keep CLI11's own message.
std::string typed_argument(int argc, char** argv, const CLI::App& app, const CLI::ParseError& e) {
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    const auto eq = arg.find('=');
    if (!arg.starts_with("--") || eq == std::string_view::npos) continue;
    const std::string name(arg.substr(0, eq));
    const CLI::Option* option = app.get_option_no_throw(name);
    if (option != nullptr && option->get_items_expected_min() != 0) continue;
    if (std::string_view(e.what()).find(name.substr(2)) != std::string_view::npos) {
      return std::string(arg);
    }
  }
  return {};
}

// -j N: the number of processes, read whole (digits only) and checked
// against its range; false for anything else.
bool read_jobs(const std::string& text, int& jobs) {
  if (text.empty() || text.size() > 9) return false;
  int value = 0;
  for (const char c : text) {
    if (c < '0' || c > '9') return false;
    value = value * 10 + (c - '0');
  }
  if (value > cfg::kMostJobs) return false;
  jobs = value;
  return true;
}

std::string jobs_error(const std::string& text) {
  const std::string wants = "-j wants a number of processes from 0 (one per online core) to " +
                            std::to_string(cfg::kMostJobs);
  return text.empty() ? wants : wants + ", not '" + text + "'";
}

}  // namespace

const char* usage_text() {
  static const std::string text = [] {
    const auto format = [](char* out, std::size_t size) {
      return std::snprintf(out, size, kDescription, cfg::kNvar, cfg::kNcon, cfg::kNeq, cfg::kNineq,
                           cfg::kNvar, cfg::kNvar);
    };
    std::string description(static_cast<std::size_t>(format(nullptr, 0)) + 1, '\0');
    description.resize(static_cast<std::size_t>(format(description.data(), description.size())));
    return std::string(kSynopsis) + description;
  }();
  return text.c_str();
}

void print_usage_error(const std::string& first_line) {
  io::write_text(io::kStderr, "morlan: " + io::shown_bytes(first_line) + "\n" + kSynopsis +
                                  "Try 'morlan --help' for more information.\n");
}

int answer_command_line(const CommandLine& line, const char* version) {
  switch (line.action) {
    case CommandLine::Action::kHelp:
      io::write_text(io::kStdout, usage_text());
      return io::kExitNormal;
    case CommandLine::Action::kVersion:
      io::write_text(io::kStdout, std::string("morlan ") + version + "\n");
      return io::kExitNormal;
    case CommandLine::Action::kUsageError:
      print_usage_error(line.error);
      return io::kExitInputError;
    case CommandLine::Action::kRun:
      break;
  }
  return kRunTheProgram;
}

CommandLine parse_command_line(int argc, char** argv) {
  CommandLine line;
  DriverOptions& o = line.options;
  bool help = false;
  bool version = false;

  CLI::App app;
  app.set_help_flag();  // --help prints this program's own text
  app.allow_extras();   // unknown arguments are collected and reported below
  app.add_flag("--help", help)->disable_flag_override();
  app.add_flag("--version", version)->disable_flag_override();
  // Read here rather than by CLI11, so that a bad or missing value is
  // reported in the program's words.
  std::string jobs_text;
  CLI::Option* jobs = app.add_option("-j,--jobs", jobs_text)
                          ->expected(0, 1)
                          ->multi_option_policy(CLI::MultiOptionPolicy::TakeLast);
  app.add_flag("--polish", o.polish)->disable_flag_override();
  app.add_flag("--reference-eval", o.reference_eval)->disable_flag_override();
  bool progress = false;
  bool no_progress = false;
  CLI::Option* on = app.add_flag("--progress", progress)->disable_flag_override();
  CLI::Option* off = app.add_flag("--no-progress", no_progress)->disable_flag_override();
  on->excludes(off);
  std::string log_file, results_file, best_file, points_file;
  CLI::Option* log = app.add_option("--log", log_file);
  CLI::Option* results = app.add_option("--results", results_file);
  CLI::Option* best = app.add_option("--best", best_file);
  CLI::Option* points = app.add_option("--points", points_file);
  app.add_flag("--count-evaluations", o.count_evaluations)->disable_flag_override();
  app.add_option("--max-evaluations", o.max_evaluations)
      ->check(CLI::Range(std::int64_t{1}, std::numeric_limits<std::int64_t>::max()))
      ->multi_option_policy(CLI::MultiOptionPolicy::TakeLast);
  app.add_option("--polish-margin", o.polish_margin)
      ->check(CLI::Range(0.0, kLargestPolishMargin))
      ->multi_option_policy(CLI::MultiOptionPolicy::TakeLast);

  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& e) {
    line.action = CommandLine::Action::kUsageError;
    const std::string typed = typed_argument(argc, argv, app, e);
    line.error = typed.empty() ? e.what() : "unknown option '" + typed + "'";
    return line;
  }
  if (jobs->count() > 0 && !read_jobs(jobs_text, o.jobs)) {
    line.action = CommandLine::Action::kUsageError;
    line.error = jobs_error(jobs_text);
    return line;
  }
  // A NaN passes a range check; it is no margin.
  if (std::isnan(o.polish_margin)) {
    line.action = CommandLine::Action::kUsageError;
    line.error = "--polish-margin: Value nan not in range 0 to 0.001";
    return line;
  }
  if (progress) o.progress = DriverOptions::Progress::kAlways;
  if (no_progress) o.progress = DriverOptions::Progress::kNever;
  if (log->count() > 0) o.log_file = log_file;
  if (results->count() > 0) o.results_file = results_file;
  if (best->count() > 0) o.best_file = best_file;
  if (points->count() > 0) o.points_file = points_file;
  // As with getopt, every argument is read before --help or --version is
  // acted on: an unknown one is a usage error wherever it stands.
  if (!app.remaining().empty()) {
    line.action = CommandLine::Action::kUsageError;
    line.error = "unknown option '" + app.remaining().front() + "'";
  } else if (help) {
    line.action = CommandLine::Action::kHelp;
  } else if (version) {
    line.action = CommandLine::Action::kVersion;
  }
  return line;
}

}  // namespace morlan
