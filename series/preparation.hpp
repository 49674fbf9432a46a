// The preparation of the runs from the answers and the problem data file:
// the same steps in the program and in every MPI rank, which then compare
// what they prepared.
//
//   load_problem        the data file, and the evaluation path
//   estimate            the initial temperature (between the dialogue's
//                       number of runs and its cooling ratio)
//   prepare_runs        the grid, its lines, and the SQP side's copy of the
//                       problem
//   plan_of             what every run takes (with the options' limit of
//                       a run's evaluations)
#pragma once

#include "anneal/prepare.hpp"
#include "anneal/run_control.hpp"
#include "measures/grid.hpp"
#include "measures/measure.hpp"
#include "problem/raw_values.hpp"
#include "series/answers.hpp"
#include "series/driver_options.hpp"

namespace morlan {

// What the preparation made, step by step.
struct Prepared {
  RawValueSource source = nullptr;  // the fast path's values, or none
  Temperatures temperatures;
  Grid grid;
};

// What every run of the program takes: the answers, the run control's
// settings and the runs' measures.
struct RunPlan {
  Answers answers;
  RunSettings settings;
  Measure measure;
  bool multilevel() const { return answers.multilevel != 0; }
};

// Loads the problem data file (with the set-up's messages and stops) and
// chooses the evaluation path: the fast one unless options.reference_eval.
void load_problem(const DriverOptions& options, Prepared& prepared);
// The initial temperature, from the answers' Lagrangian form before any run
// (no penalty weight, no grid yet); prints its line.
void estimate(const Answers& answers, Prepared& prepared);
// The grid of the variables and the SQP side's problem; prints the grid's
// lines and the objective scale.
void prepare_runs(const Answers& answers, Prepared& prepared);

RunPlan plan_of(const Answers& answers, const Prepared& prepared, const DriverOptions& options);

}  // namespace morlan
