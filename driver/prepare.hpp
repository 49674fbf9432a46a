// Run preparation: initial temperature, variable bounds, grid data.
#pragma once

#include <cstdint>

#include "problem/config.hpp"
#include "problem/one_based.hpp"

namespace morlan {

// 1 marks a grid variable.
struct IsdxRecord : Array1<std::int32_t, cfg::kNvar> {};
// Whether any variable lives on a grid; whether points are shifted by the
// shift vector before evaluation.
struct HasdiscreteRecord {
  bool hasdiscrete;
  bool needshift;
};
// Positions 1..nvar: shift vector; nvar+1..2 nvar: grid spacing.
struct DiscreteRecord : Array1<double, 2 * cfg::kNvar> {};
// Grid points of each variable (a whole number held as a double).
struct NdsampleRecord : Array1<double, cfg::kNvar> {};
extern IsdxRecord isdx;
extern HasdiscreteRecord hasdiscrete;
extern DiscreteRecord discrete;
extern NdsampleRecord ndsample;

inline constexpr int kGridPointsPerUnit = 10000;

void init_t(double& t0, double& tf);
void xdiscrete(int n, IVec isdx_out);
void xbound(int n, Vec xl, Vec xu);
void dxinfo(int n, Vec gspace, Vec shift);

}  // namespace morlan
