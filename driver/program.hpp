// The program: start-up, dialogue, preparation, the runs and the final
// line. Ends through a stop.
#pragma once

#include "driver/driver_options.hpp"
#include "driver/run_extension.hpp"
#include "driver/series_executor.hpp"

namespace morlan {

// Runs the whole program: start-up, dialogue, preparation, the runs, the
// final line, and the stop. A series runs in `executor` when one is given,
// else in options.jobs worker processes, or here.
[[noreturn]] void run_program(const DriverOptions& options, RunExtension* extension = nullptr,
                              SeriesExecutor* executor = nullptr);

}  // namespace morlan
