#include "driver/options.hpp"

#include <CLI/CLI.hpp>

#include <cstdio>
#include <string>
#include <string_view>

#include "base/config.hpp"
#include "io/console.hpp"
#include "io/output.hpp"

namespace morlan {

namespace {

// The synopsis names the options a user picks; --count-evaluations, for
// measurements, is listed with them below.
constexpr const char* kSynopsis = "Usage: morlan [--polish] [--reference-eval] [--help] [--version]\n";

// The description; its %d are the linked problem's sizes (variables,
// constraints, equalities, inequalities, then variables again).
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
    "final line on standard output. Writes no files.\n"
    "\n"
    "Exit status: 0 on normal completion; 1 after an error message (a rejected\n"
    "answer, a missing starting-point file, a problem data error), after an\n"
    "interrupt, or when standard output cannot be written; 2 when an answer,\n"
    "the starting-point file or the problem data file cannot be read\n"
    "(malformed value, end of input, a line over 65536 characters; the\n"
    "diagnostic goes to standard error).\n"
    "\n"
    "Options:\n"
    "  --polish    after each successful run, polish its best point with the SQP\n"
    "              solver and print one line with the polished objective, its\n"
    "              largest violation and the iteration count; a series adds\n"
    "              the best polished objective after its summary\n"
    "  --reference-eval\n"
    "              evaluate every objective and constraint value through the\n"
    "              literal problem routines, one full evaluation per value,\n"
    "              instead of the incremental cache; results are the same to\n"
    "              the last bit, only much slower (for checking and timing)\n"
    "  --count-evaluations\n"
    "              after each run, write the number of Lagrangian evaluations\n"
    "              its search made on standard error (standard output is\n"
    "              unchanged)\n"
    "  --help      print this text and exit\n"
    "  --version   print the version and exit\n";

// CLI11 reports a flag given a value ("--polish=1") by the flag's name;
// the usage error names the argument as it was typed.
std::string typed_argument(int argc, char** argv, const CLI::ParseError& e) {
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    const auto eq = arg.find('=');
    if (arg.starts_with("--") && eq != std::string_view::npos &&
        std::string_view(e.what()).find(arg.substr(2, eq - 2)) != std::string_view::npos) {
      return std::string(arg);
    }
  }
  return {};
}

}  // namespace

const char* usage_text() {
  static const std::string text = [] {
    char description[4096];
    std::snprintf(description, sizeof description, kDescription, cfg::kNvar, cfg::kNcon,
                  cfg::kNeq, cfg::kNineq, cfg::kNvar);
    return std::string(kSynopsis) + description;
  }();
  return text.c_str();
}

void print_usage_error(const std::string& first_line) {
  io::write_text(io::kStderr, "morlan: " + io::shown_bytes(first_line) + "\n" + kSynopsis +
                                  "Try 'morlan --help' for more information.\n");
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
  app.add_flag("--polish", o.polish)->disable_flag_override();
  app.add_flag("--reference-eval", o.reference_eval)->disable_flag_override();
  app.add_flag("--count-evaluations", o.count_evaluations)->disable_flag_override();

  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& e) {
    line.action = CommandLine::Action::kUsageError;
    const std::string typed = typed_argument(argc, argv, e);
    line.error = typed.empty() ? e.what() : "unknown option '" + typed + "'";
    return line;
  }
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
