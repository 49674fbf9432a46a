// Run preparation: initial temperature, variable bounds, the grid.
//
// The preparation of the program works on values (initial_temperature,
// prepare_grid); init_t and dxinfo are the same steps on the records of
// the delivered modules' interface (isdx, ndsample here; the measures'
// records), for programs built from those modules.
#pragma once

#include <cstdint>

#include "base/config.hpp"
#include "base/one_based.hpp"
#include "measures/grid.hpp"
#include "measures/measure.hpp"

namespace morlan {

inline constexpr int kGridPointsPerUnit = cfg::kGridPointsPerUnit;

// The initial and the stop temperature.
struct Temperatures {
  double t0 = 0.0;
  double tf = 0.0;
};

// Seeds the C library generator and the main stream, estimates the initial
// temperature from the spread of the Lagrangian and the largest violation
// over random points of the box, and prints it with the stop temperature.
Temperatures initial_temperature(Measure& measure);

// The grid of the problem's variables, every one of them a grid variable of
// kGridPointsPerUnit points per unit of its range (at least that many), and
// no shift. Prints the points per unit.
Grid prepare_grid();

// The grid's points and spacing, from the variable bounds, for the
// variables on_grid marks; the shift zeroed. Prints the points per unit.
void lay_out_grid(CIVec on_grid, Vec points, Vec spacing, Vec shift);

// The variable bounds of the problem, n entries.
void xbound(int n, Vec xl, Vec xu);
// 1 for every variable of the problem: all are grid variables.
void xdiscrete(int n, IVec isdx_out);

// The same steps on the records.
// 1 marks a grid variable.
struct IsdxRecord : Array1<std::int32_t, cfg::kNvar> {};
// Grid points of each variable (a whole number held as a double).
struct NdsampleRecord : Array1<double, cfg::kNvar> {};
extern IsdxRecord isdx;
extern NdsampleRecord ndsample;

// initial_temperature with the measure of the records (no shift), as t0, tf.
void init_t(double& t0, double& tf);
// The grid's points (into ndsample) and spacing for the variables isdx
// marks, no shift (needshift cleared, shift zeroed).
void dxinfo(int n, Vec gspace, Vec shift);

}  // namespace morlan
