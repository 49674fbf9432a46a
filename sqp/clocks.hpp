// Clocks of the SQP solver: user CPU time and a date-and-time stamp.
#pragma once

#include <cstdint>

namespace morlan {

// User CPU time of the process in seconds (clock ticks / 100).
float o8cpu();

// Write the current date and time as one line on the unit, e.g.
// "  2024  MAR   1  13H  0M  0S" (local time one hour ahead of UTC).
void o8tida(int unit);

// Wall clock: seconds since 1 January 1970 UTC; false when the query fails.
// Tests replace it to pin a moment.
using WallClock = bool (*)(std::int64_t& seconds);
WallClock set_wall_clock(WallClock clock);  // nullptr restores gettimeofday
bool system_wall_clock(std::int64_t& seconds);

}  // namespace morlan
