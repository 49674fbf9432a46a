// The pieces of the run control's loop calls: the fixed loop settings, the
// loop's work storage, and the printing of a result point. Header only.
#pragma once

#include <string_view>

#include "anneal/prepare.hpp"
#include "base/config.hpp"
#include "base/one_based.hpp"
#include "io/console.hpp"
#include "measures/grid.hpp"

namespace morlan::run_setup {

// Fixed settings of every loop call.
inline constexpr bool kMaximize = false;  // minimise the Lagrangian in the variables
inline constexpr double kEps = 1.0e-6;    // tolerance of the stopping test
inline constexpr int kNcyc = 10;          // trial cycles between step-length adjustments
inline constexpr int kNhist = 4;          // stage-end values compared by the stopping test
inline constexpr int kMaxevl = 1000000000;
inline constexpr int kItrace = 0;         // no trace output
inline constexpr int kSeed1 = 1;
inline constexpr int kSeed2 = 2;
inline constexpr double kStepFactor = 2.0;   // cfac of every variable
inline constexpr double kStepShare = 0.1;    // initial step: this share of the range

inline constexpr double kTolerance = 1.0e-5;         // vtol of the plain and population rules
inline constexpr double kRelaxedTolerance = 1.0e-3;  // vtol of the relaxed-equality rule

// Bounds, step data and the work storage of one loop call (zeroed on
// construction, so every call starts fresh).
struct LoopWork {
  Array1<double, cfg::kNvar> xlow, xupp, cfac;
  Array1<double, cfg::kNtot> vm, xbest, xtrial, xrelax;
  Array1<double, cfg::kNcon> lamfac;
  Array1<double, kNhist> fhist;
  Array1<int, cfg::kNvar> naccv;
  double fbest = 0.0;
  int naccept = 0;
  int nevals = 0;
  int noutb = 0;
  int ier = 0;
  bool found = false;  // whether the loop call ended with a best vector

  LoopWork() {
    xbound(cfg::kNvar, xlow, xupp);
    for (int i = 1; i <= cfg::kNvar; ++i) {
      cfac(i) = kStepFactor;
      vm(i) = kStepShare * (xupp(i) - xlow(i));
    }
  }
};

// One list-directed line: the label, then x(i) + shift(i) for every
// variable (the printed coordinates are those of the unshifted problem).
inline void say_point(std::string_view label, CVec x, const Grid& grid) {
  Array1<double, cfg::kNvar> shifted;
  for (int i = 1; i <= cfg::kNvar; ++i) shifted(i) = x(i) + grid.shift(i);
  io::say(label, shifted.view());
}

}  // namespace morlan::run_setup
