// The polishing extension of the runs (--polish).
#pragma once

#include <memory>

#include "driver/run_extension.hpp"

namespace morlan {

// After each successful run, a local SQP solve from its best point and one
// line with the result, and with keep_points (--best) the polished point in
// the run's record; after the summary of a series, the best polished
// objective.
std::unique_ptr<RunExtension> make_polish_extension(bool keep_points);

}  // namespace morlan
