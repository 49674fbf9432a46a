// The program's main routine: start-up, dialogue, preparation, the runs and
// the summary. Ends through a stop.
#pragma once

#include <string_view>

#include "base/one_based.hpp"

namespace morlan {

// Options beyond the dialogue, from the command line. Defaults leave the
// program's behaviour and output exactly as without options.
struct DriverOptions {
  bool polish = false;          // polish each successful run with the SQP solver
  bool reference_eval = false;  // evaluate through the literal reference path
  bool count_evaluations = false;  // one line per run on standard error
};

// The options given to run_driver, for the parts that act on them.
const DriverOptions& driver_options();

// Work that a command-line option adds to the runs (polishing). Without
// one, nothing is called and the output is exactly the plain program's.
class RunExtension {
 public:
  virtual ~RunExtension() = default;
  // After each run: in a series after its run line, in the single run after
  // the run. isucc = 1 marks a successful run; x is then its best point
  // (variables, then multipliers).
  virtual void after_run(int isucc, CVec x) = 0;
  // After the summary block of a series.
  virtual void after_summary() = 0;
};

// Runs the whole program: start-up, dialogue, preparation, the runs, the
// final line, and the stop.
[[noreturn]] void run_driver(const DriverOptions& options, RunExtension* extension = nullptr);

// Dialogue prompts, also used to name the value in input diagnostics.
namespace prompt {
inline constexpr std::string_view kScale = "Input scale slobj for obj (obj/slobj) =";
inline constexpr std::string_view kLagrangian = "Lagrange function/(0,1,2,3,4,5,10)";
inline constexpr std::string_view kRelaxedSize = "Input initial relaxed size for equality = ";
inline constexpr std::string_view kRule = "cSA rule/(0 - cSA, 1 - pSA)";
inline constexpr std::string_view kMultiLevel = "Multi-level CSA/(0,1)";
inline constexpr std::string_view kConsecutive = "Input #consecutive NTs for stop";
inline constexpr std::string_view kMultiStart = "Multi start /(0,1)";
inline constexpr std::string_view kRuns = "Input number of runs = ";
inline constexpr std::string_view kRatio = "Input ratio of reducing T =";
inline constexpr std::string_view kStartFile = "Input file name for starting point:";
}  // namespace prompt

// Width of the starting-point file name field.
inline constexpr int kFileNameWidth = 20;
// Unit the starting-point file is read on.
inline constexpr int kStartUnit = 20;

}  // namespace morlan
