// The program: start-up, dialogue, preparation, the runs and the final
// line. Ends through a stop.
#pragma once

#include "series/driver_options.hpp"
#include "series/run_extension.hpp"
#include "series/series_executor.hpp"

namespace morlan {

// Runs the whole program: start-up, dialogue, preparation, the runs, the
// final line, and the stop. A series runs in `executor` when one is given,
// else in options.jobs worker processes, or here.
[[noreturn]] void run_program(const DriverOptions& options, RunExtension* extension = nullptr,
                              SeriesExecutor* executor = nullptr);

}  // namespace morlan
