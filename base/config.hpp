// Build configuration: the fixed sizes of the problem the engine is built for.
//
// The annealing engine, the Lagrangian layer and the run preparation are
// compiled twice. The main configuration is the linked problem: the problem
// folder chosen when the build is configured (MORLAN_PROBLEM, by default the
// gas network of problems/gasnet: 144 variables, 160 constraints, 123
// equalities then 37 one-sided inequalities), whose sizes are read from its
// data file into morlan_problem_sizes.hpp. The small configuration (2
// variables, 1 constraint) lets the loops and the run control run end to end
// on a tiny problem in tests; it is selected by defining MORLAN_SMALL_CONFIG.
#pragma once

#ifndef MORLAN_SMALL_CONFIG
#include "morlan_problem_sizes.hpp"
#endif

namespace morlan::cfg {

#ifdef MORLAN_SMALL_CONFIG
inline constexpr bool kSmall = true;
inline constexpr int kNvar = 2;          // problem variables
inline constexpr int kNcon = 1;          // constraints (and multipliers)
inline constexpr int kNeq = 1;           // equalities, constraints 1..kNeq
inline constexpr int kNineq = 0;         // one-sided inequalities after them
inline constexpr int kNpop = 3;          // members of the population rule
inline constexpr int kChainNt = 100;     // step-length adjustments per temperature, chainrun
inline constexpr int kLadderNtMax = 100; // ladderrun runs levels while nt < this
inline constexpr double kChainVtol = 1.0e-10;  // chainrun tolerance, every rule
inline constexpr int kGridPointsPerUnit = 10000;  // annealing grid, per unit of range
#else
inline constexpr bool kSmall = false;
inline constexpr int kNvar = linked::kNvar;
inline constexpr int kNcon = linked::kNcon;
inline constexpr int kNeq = linked::kNeq;
inline constexpr int kNineq = linked::kNineq;
inline constexpr int kNpop = 2;
inline constexpr int kChainNt = 3040;
inline constexpr int kLadderNtMax = 3040;
inline constexpr double kChainVtol = 1.0e-5;   // 1.0e-3 under the relaxed rule
// The linked problem's description may declare a finer grid (10000 unless
// it does): trial moves are whole grid steps.
inline constexpr int kGridPointsPerUnit = linked::kGridPointsPerUnit;
#endif

// Length of the extended point: variables, then one multiplier per constraint.
inline constexpr int kNtot = kNvar + kNcon;

// Capacity of the bound and classification records of the problem adaptor,
// passed to the data-file set-up as the largest number of variables and of
// constraints. The same in both configurations.
inline constexpr int kBoundCapacity = 1000;

// The most processes a series may run its runs in (-j N): more than this is
// a mistake, not a machine.
inline constexpr int kMostJobs = 1024;

static_assert(kNeq + kNineq == kNcon);

// Input limits, far beyond any real answer, starting point or data record,
// so that endless or hostile input ends in an input error instead of
// exhausting memory or time: the longest line (record, token) any read
// takes, and the most characters one list-directed read may pass over
// (blank lines and separators included) in search of its values.
inline constexpr int kMaxInputLine = 65536;
inline constexpr int kMaxReadLength = 1048576;

}  // namespace morlan::cfg
