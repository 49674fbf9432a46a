// What one call of an annealing loop takes: the arguments every loop has
// always taken, the measures it judges points by, the feasibility tolerance
// of its best vectors, and its observer. Header only.
#pragma once

#include "base/one_based.hpp"
#include "measures/measure.hpp"

namespace morlan {

class StageWatch;

struct LoopCall {
  int ntot;        // entries of the search vector: nvar variables, then ncon multipliers
  int ncon;
  Vec lamfac;      // multiplier step factors, one per constraint
  int nvar;
  bool maximize;   // false: the loop minimises the Lagrangian in the variables
  double rt;       // cooling ratio per temperature stage
  double eps;      // tolerance of the stopping test
  int ncyc;        // trial sweeps between step-length adjustments
  int nt;          // cycle blocks per temperature stage
  int nhist;       // stage-end values the stopping test compares
  CVec xlow;       // variable bounds
  CVec xupp;
  CVec cfac;       // step-length factors of the variables
  int itrace;      // trace output: 0 none, up to 3 every trial
  int seed1;       // seeds of the main random stream at entry
  int seed2;
  double& t;       // temperature: at entry, and as the loop leaves it
  Vec vm;          // step lengths of every entry
  Vec xbest;       // the best feasible vector (zeros while there is none)
  double& fbest;   // its value
  int& naccept;    // accepted variable trials
  int& nevals;     // counted evaluations (variable trials and the start)
  int& noutb;      // out-of-bounds trials (never raised: trials lie inside)
  int& ier;        // result code (sa.hpp)
  Vec fhist;       // the stopping history, nhist entries
  IVec naccv;      // accepted trials per variable in the current block
  // The run's measures: the Lagrangian that the loop anneals, the
  // violations, the objective, the grid of its trial points.
  Measure& measure;
  // A best vector must have a violation below this.
  double vtol;
  // Told how the loop goes; nullptr when nobody watches.
  StageWatch* watch = nullptr;
  // Set to whether the loop ended with a best vector (without one xbest
  // holds zeros, which are no result even where they happen to be
  // feasible); nullptr when nobody asks.
  bool* found = nullptr;
};

}  // namespace morlan
