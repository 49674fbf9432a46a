// The driver's answers and working storage, and the steps of one run that
// the single run and the series share: the block that shows the start and
// the call of the run control.
#pragma once

#include <cstdint>

#include "base/config.hpp"
#include "base/one_based.hpp"

namespace morlan {

// Answers of the dialogue, and the temperatures of the preparation.
struct Settings {
  std::int32_t multilevel = 0;
  std::int32_t nconsec = 0;
  std::int32_t runmode = 0;
  std::int32_t nruns = 0;
  double rt = 0.0;
  double t0 = 0.0;
  double tf = 0.0;
};

// The driver's working storage lives for the whole program.
struct Storage {
  Array1<double, cfg::kNtot> x;                // starting point, then the run's result
  Array1<double, cfg::kNpop * cfg::kNtot> pop;  // population, member index fastest
  Array1<double, cfg::kNvar> xl, xu;           // variable bounds
  Array1<double, cfg::kNvar> shown;            // the point the "x0 = " line shows
};
extern Storage storage;

// Entry (k, i) of the population: member k, position i.
double& member(int k, int i);

// Prints a line of two blanks, then "x0 = " and the point in `shown`.
void print_start();

struct RunResult {
  std::int32_t isucc = 0;
  double objval = 0.0;
  double maxvio = 0.0;
};

// One call of the run control on the storage's point or population:
// single-level, or multi-level when the dialogue asked for it.
RunResult run_control(const Settings& s);

}  // namespace morlan
