// The pieces shared by the single-level and the multi-level run control:
// the fixed loop settings, the loop's work storage, the dispatch to the
// annealing loop of the selected rule, and the printing of a result point.
//
// Everything here is inline so that each run control stays one self-contained
// object module.
#pragma once

#include <string_view>

#include "anneal/prepare.hpp"
#include "anneal/relaxer.hpp"
#include "anneal/run_records.hpp"
#include "anneal/sa.hpp"
#include "anneal/swarmer.hpp"
#include "base/config.hpp"
#include "base/one_based.hpp"
#include "io/console.hpp"
#include "measures/records.hpp"

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

  LoopWork() {
    xbound(cfg::kNvar, xlow, xupp);
    for (int i = 1; i <= cfg::kNvar; ++i) {
      cfac(i) = kStepFactor;
      vm(i) = kStepShare * (xupp(i) - xlow(i));
    }
  }
};

// The penalty and the tolerance at the entry of a run control; returns the
// relaxed radius to restore after each relaxed-equality loop.
inline double enter(double tolerance) {
  penalty.value = 1.0;
  vtol.value = tolerance;
  return rleq.value;
}

// One call of the loop of the rule in msa with nt step-length adjustments
// per temperature, from temperature t with reduction ratio rt, on the point
// x or the population pop. After the relaxed-equality loop the radius is
// restored. False when msa names no loop: nothing ran and w.xbest holds no
// result.
inline bool run_loop(LoopWork& w, Vec x, Vec pop, int nt, double& t, double rt,
                     double saved_rleq) {
  switch (msa.value) {
    case kRulePlain:
      sa(cfg::kNtot, cfg::kNcon, w.lamfac, cfg::kNvar, x, kMaximize, rt, kEps, kNcyc, nt, kNhist,
         kMaxevl, w.xlow, w.xupp, w.cfac, kItrace, kSeed1, kSeed2, t, w.vm, w.xbest, w.fbest,
         w.naccept, w.nevals, w.noutb, w.ier, w.fhist, w.xtrial, w.naccv);
      return true;
    case kRulePopulation:
      psa(w.lamfac, cfg::kNvar, pop, kMaximize, rt, kEps, kNcyc, nt, kNhist, kMaxevl, w.xlow,
          w.xupp, w.cfac, kItrace, kSeed1, kSeed2, t, w.vm, w.xbest, w.fbest, w.naccept, w.nevals,
          w.noutb, w.ier, w.fhist, w.xtrial, w.naccv);
      return true;
    case kRuleRelaxed:
      relaxer(cfg::kNtot, cfg::kNcon, w.lamfac, w.xrelax, cfg::kNvar, x, kMaximize, rt, kEps, kNcyc,
              nt, kNhist, kMaxevl, w.xlow, w.xupp, w.cfac, kItrace, kSeed1, kSeed2, t, w.vm,
              w.xbest, w.fbest, w.naccept, w.nevals, w.noutb, w.ier, w.fhist, w.xtrial, w.naccv);
      rleq.value = saved_rleq;
      return true;
    default:
      return false;
  }
}

// One list-directed line: the label, then x(i) + shift(i) for every
// variable (the printed coordinates are those of the unshifted problem).
inline void say_point(std::string_view label, CVec x) {
  Array1<double, cfg::kNvar> shifted;
  for (int i = 1; i <= cfg::kNvar; ++i) shifted(i) = x(i) + discrete(i);
  io::say(label, shifted.view());
}

}  // namespace morlan::run_setup
