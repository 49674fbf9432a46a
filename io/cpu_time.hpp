// Process CPU time (user plus system), in single precision as the run times
// are reported.
#pragma once

namespace morlan::io {

// Seconds of CPU time used by the process since it started.
float cpu_time_total();

// The same in double precision, for measurements finer than the reported
// times (the convergence log). It is not a reading of cpu_time_delta below.
double cpu_seconds();

// Seconds of CPU time since the previous call of this function (since the
// start of the process on the first call).
float cpu_time_delta();

}  // namespace morlan::io
