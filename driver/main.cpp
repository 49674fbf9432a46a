// morlan: constrained simulated annealing on the linked problem.
//
// The command line only carries options; everything about a run comes from
// the dialogue on standard input.
#include <cstdio>
#include <memory>
#include <string_view>

#include "driver/driver.hpp"
#include "driver/polish_extension.hpp"
#include "io/console.hpp"
#include "io/signals.hpp"

#ifndef MORLAN_VERSION
#define MORLAN_VERSION "unknown"
#endif

namespace {

constexpr const char* kUsage =
    "Usage: morlan [--polish] [--reference-eval] [--help] [--version]\n"
    "\n"
    "Constrained simulated annealing (CSA) on the linked test problem: 144\n"
    "variables, 160 constraints (123 equalities, then 37 inequalities).\n"
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
    "  Input file name for starting point:        (single run) a file of 144\n"
    "                                             values, name up to 20 characters\n"
    "\n"
    "Prints the preparation lines, each run's result, the series summary and a\n"
    "final line on standard output. Writes no files.\n"
    "\n"
    "Exit status: 0 on normal completion; 1 after an error message (a rejected\n"
    "answer, a missing starting-point file, a problem data error); 2 when an\n"
    "answer or the starting-point file cannot be read (malformed value or end\n"
    "of input; the diagnostic goes to standard error).\n"
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
    "  --help      print this text and exit\n"
    "  --version   print the version and exit\n";

void usage_error(const char* arg) {
  std::fprintf(stderr, "morlan: unknown option '%s'\n", arg);
  std::fputs("Usage: morlan [--polish] [--reference-eval] [--help] [--version]\n", stderr);
  std::fputs("Try 'morlan --help' for more information.\n", stderr);
}

}  // namespace

int main(int argc, char** argv) {
  morlan::DriverOptions options;
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    if (arg == "--help") {
      std::fputs(kUsage, stdout);
      return morlan::io::kExitNormal;
    }
    if (arg == "--version") {
      std::printf("morlan %s\n", MORLAN_VERSION);
      return morlan::io::kExitNormal;
    }
    if (arg == "--polish") {
      options.polish = true;
    } else if (arg == "--reference-eval") {
      options.reference_eval = true;
    } else {
      usage_error(argv[i]);
      return morlan::io::kExitInputError;
    }
  }
  std::unique_ptr<morlan::RunExtension> extension;
  if (options.polish) extension = morlan::make_polish_extension();
  morlan::io::install_signal_handlers();
  morlan::run_driver(options, extension.get());
}
