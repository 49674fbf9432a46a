// Process CPU time (user plus system), in single precision as the run times
// are reported.
#pragma once

namespace morlan::io {

// Seconds of CPU time used by the process since it started.
float cpu_time_total();

// The same in double precision, for measurements finer than the reported
// times (the convergence log). It is not a reading of cpu_time_delta below.
double cpu_seconds();

// The same, plus the CPU time of the terminated children that were waited
// for (the worker processes of a parallel series).
float cpu_time_total_with_children();

// Seconds of CPU time since the previous call of this function (since the
// start of the process on the first call).
float cpu_time_delta();

}  // namespace morlan::io
