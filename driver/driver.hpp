// The program's main routine: start-up, dialogue, preparation, the runs and
// the summary. Ends through a stop.
#pragma once

namespace morlan {

// Options beyond the dialogue, from the command line. Defaults leave the
// program's behaviour and output exactly as without options.
struct DriverOptions {
  bool polish = false;         // polish each successful run with the SQP solver
  bool reference_eval = false; // evaluate through the literal reference path
};

[[noreturn]] void run_driver(const DriverOptions& options);

}  // namespace morlan
