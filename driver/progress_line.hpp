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
#pragma once

#include <cstdint>
#include <string>

namespace morlan {

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

std::string progress_text(const RunProgress& p);

// The progress of a series whose runs happen in other processes (-j N, MPI
// ranks), as the printing process sees it when it takes each run in order:
//
//   runs 3/10 done | 1:23 ~3:14 left | best 85.4712
//
// `best` is the lowest objective of the successful runs so far
// (kNoneFeasible while none); `remaining` is negative while unknown.
struct SeriesProgress {
  std::int32_t done = 0;
  std::int32_t runs = 0;
  double elapsed = 0.0;
  double remaining = -1.0;
  double best_objective = 0.0;
};

std::string series_progress_text(const SeriesProgress& p);

// Seconds as m:ss, or h:mm:ss from an hour on.
std::string clock_text(double seconds);

}  // namespace morlan
