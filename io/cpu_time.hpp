// Process CPU time (user plus system), in single precision as the run times
// are reported.
#pragma once

namespace morlan::io {

// Seconds of CPU time used by the process since it started.
float cpu_time_total();

// Seconds of CPU time since the previous call of this function (since the
// start of the process on the first call).
float cpu_time_delta();

}  // namespace morlan::io
