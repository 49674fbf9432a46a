// The progress line of a run (--progress): what it shows and how it reads.
//
//   run 2/5 level 3 stage 7/~25 | 0:41 ~1:10 left | T 0.00123 L 8.55123
//   best 85.4712 vio 3.1e-06
//
// (one line): the run of the series, the level under the multi-level
// scheme, the temperature stage with the stages a level runs until the
// temperature floor, the run's elapsed time and an estimate of its
// remaining time; then the stage's temperature, the Lagrangian, the best
// feasible objective ("none feasible yet" before there is one) and the
// largest violation at the current point.
//
// A line longer than the room it is given loses whole fields, the least
// telling first: the Lagrangian, the temperature, the estimate of the time
// left, the estimated stage count. The run, the time, the best objective
// and the violation always stay.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace morlan {

// Room without limit.
inline constexpr std::size_t kAnyWidth = 0;

struct RunProgress {
  std::int32_t run = 0;     // from 1
  std::int32_t runs = 0;    // in the series (1 for the single run)
  std::int32_t level = 0;   // level of the multi-level scheme, from 1; 0 with one level
  std::int32_t stage = 0;   // stage in progress, from 1; 0 before the loop begins
  std::int32_t stages = 0;  // stages a level runs until the temperature floor; 0 unknown
  bool valued = false;      // the four values below are set
  double temperature = 0.0;
  double lagrangian = 0.0;
  double best_objective = 0.0;  // kNoneFeasible while none
  double violation = 0.0;
  double elapsed = 0.0;     // wall-clock seconds since the run began
  double remaining = -1.0;  // estimated seconds left; negative while unknown
};

// The line in at most `width` characters where the fields that may go allow
// it (kAnyWidth: all of them).
std::string progress_text(const RunProgress& p, std::size_t width = kAnyWidth);

// The progress of a series whose runs happen in other processes (-j N, MPI
// ranks), as the printing process sees it: from the start, as it hands out
// runs and as it takes each run in order,
//
//   runs 3/10 done, 2 running | 1:23 ~3:14 left | best 85.4712
//
// `running` is the runs handed out and not yet back; `best` is the lowest
// objective of the successful runs so far (kNoneFeasible while none);
// `remaining` is negative while unknown. A narrow line loses the estimate
// of the time left, then the runs in flight.
struct SeriesProgress {
  std::int32_t done = 0;
  std::int32_t runs = 0;
  std::int32_t running = 0;
  double elapsed = 0.0;
  double remaining = -1.0;
  double best_objective = 0.0;
};

std::string series_progress_text(const SeriesProgress& p, std::size_t width = kAnyWidth);

// Seconds as m:ss, or h:mm:ss from an hour on.
std::string clock_text(double seconds);

}  // namespace morlan
