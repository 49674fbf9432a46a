// Run preparation: initial temperature, variable bounds, grid data.
#pragma once

#include <cstdint>

#include "base/config.hpp"
#include "base/one_based.hpp"

namespace morlan {

// 1 marks a grid variable.
struct IsdxRecord : Array1<std::int32_t, cfg::kNvar> {};
// Grid points of each variable (a whole number held as a double).
struct NdsampleRecord : Array1<double, cfg::kNvar> {};
extern IsdxRecord isdx;
extern NdsampleRecord ndsample;

inline constexpr int kGridPointsPerUnit = cfg::kGridPointsPerUnit;

void init_t(double& t0, double& tf);
void xdiscrete(int n, IVec isdx_out);
void xbound(int n, Vec xl, Vec xu);
void dxinfo(int n, Vec gspace, Vec shift);

}  // namespace morlan
