// A deterministic stand-in for the engine, linked with the real driver into
// the program morlan_fake_driver, so that the series, the single run and
// their statistics can be pinned exactly and fast.
//
// Bounds: variable i has lower bound 0.1 i - 7 and a width cycling through
// 0.5, 1, 2.5, 0 (a fixed variable) and 3. Every sixth variable is
// continuous, the others live on a grid with the usual point counts.
//
// Runs: a run succeeds unless the objective scale is negative or it is
// every third run of the series; its objective is the sum of the starting
// variables (of member 1 and member 2 under the population rule) plus the
// run number, and the plain rule counts 16 times the run number of cycle
// blocks. Each run also draws
// from the main random stream (a number of values that depends on rt),
// which must not change the starting points. A watched run reports three
// temperature stages (two levels of them under the multi-level scheme) with
// values made from the run and the stage. A successful run ends on the upper
// bounds, except variable 7, which lies past its bound by a rounding's
// worth (kPastTheBound), as the grid of the real search can leave it.
//
// --polish: a successful run is polished to polished_point(run); its
// objective is x(1) - run and it is feasible unless it is run 4 (or
// MORLAN_FAKE_POLISH_INFEASIBLE=1 is set).
//
// Faults for the tests of parallel series, by environment variable:
//   MORLAN_FAKE_STOP_RUN=k   run k ends in an error stop ("Wrong fake run k !");
//   MORLAN_FAKE_HANG_RUN=k   run k writes its process id to the file
//                            $MORLAN_FAKE_PID_FILE and waits a minute;
//   MORLAN_FAKE_LEAVE_RUN=k  every run prints the normal-deviate store, and
//                            run k fills it (state left for the runs after
//                            it);
//   MORLAN_FAKE_RAND=1       every run prints a draw of the C library's
//                            generator;
//   MORLAN_FAKE_RUN_MS=t     every run takes t milliseconds more;
//   MORLAN_FAKE_OTHER_T0_RANK=r  the MPI rank r prepares another initial
//                            temperature than the others.
#pragma once

namespace morlan::fake {

double lower_bound(int i);
double upper_bound(int i);
bool is_grid_variable(int i);

// How far past its upper bound variable 7 of a successful run lies.
inline constexpr double kPastTheBound = 1.0e-13;

// The polished point of run `run`: variable i at lower_bound(i) + run / 8 of
// its width, except variable 2, which lies kPastTheBound below its lower
// bound.
double polished_value(int run, int i);

}  // namespace morlan::fake
