// The polishing extension of the runs (--polish).
#pragma once

#include <memory>

#include "series/driver_options.hpp"
#include "series/run_extension.hpp"

namespace morlan {

// After each successful run, a local SQP solve from its best point within
// the options' limits (--max-evaluations, --polish-margin) and one line with
// the result, and under --best or --points the polished point in the run's
// record; after the summary of a series, the best polished objective.
std::unique_ptr<RunExtension> make_polish_extension(const DriverOptions& options);

}  // namespace morlan
