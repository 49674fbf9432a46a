#include "anneal/relaxer.hpp"

#include <algorithm>
#include <cassert>
#include <cmath>

#include "anneal/chainrun.hpp"
#include "anneal/loop_steps.hpp"
#include "anneal/random.hpp"
#include "anneal/run_records.hpp"
#include "anneal/sa.hpp"
#include "anneal/trace.hpp"
#include "anneal/trial_point.hpp"
#include "base/config.hpp"
#include "io/console.hpp"
#include "measures/records.hpp"
#include "measures/shift.hpp"

namespace morlan {

namespace {

// A vector whose relaxed violation is below this counts as feasible for the
// current radius and triggers the next reduction.
constexpr double kFvtol = 1.0e-6;
// Each reduction multiplies the radius by this; none starts at or below the
// floor, so the last one leaves the radius in (0.95e-6, 1e-6].
constexpr double kReduction = 0.95;
constexpr double kRadiusFloor = 1.0e-6;
// Times the loop may reheat instead of ending with a violated point.
constexpr int kReheatBudget = 10;
// The loop always draws from the Cauchy distribution.
constexpr int kIdist = kCauchy;
// Room of the local working storage: the configuration's sizes; the small
// configuration's module keeps room for 4 entries and 2 constraints.
constexpr int kRoomNtot = cfg::kSmall ? 4 : cfg::kNtot;
constexpr int kRoomNcon = cfg::kSmall ? 2 : cfg::kNcon;

}  // namespace

void relaxer(int ntot, int ncon, Vec lamfac, Vec xrelax, int nvar, Vec x, bool maximize, double rt,
             double eps, int ncyc, int nt, int nhist, int /*maxevl*/, CVec xlow, CVec xupp,
             CVec cfac, int itrace, int seed1, int seed2, double& t, Vec vm, Vec xbest,
             double& fbest, int& naccept, int& nevals, int& noutb, int& ier, Vec fhist, Vec xtrial,
             IVec naccv) {
  // Thresholds of the acceptance ratio; the uniform pair would apply to a
  // loop built with the uniform distribution.
  const double ratup = kIdist == kUniform ? loop_steps::kUniformRatup : loop_steps::kCauchyRatup;
  const double ratlow = kIdist == kUniform ? loop_steps::kUniformRatlow : loop_steps::kCauchyRatlow;

  assert(ntot <= kRoomNtot && ncon <= kRoomNcon);
  Array1<double, kRoomNtot> xfeas;
  Array1<int, kRoomNcon> nsmall;
  Array1<int, kRoomNcon> nlarge;

  // Search value: the loop always maximises, so a minimised Lagrangian is
  // negated.
  auto value = [&](CVec v) {
    double f;
    fcn(nvar, v, f);
    return maximize ? f : -f;
  };

  const double t0 = t;
  rmarin(seed1, seed2);
  naccept = 0;
  nevals = 0;
  noutb = 0;
  ier = kIerRunning;
  for (int i = 1; i <= nvar; ++i) naccv(i) = 0;
  for (int i = 1; i <= nhist; ++i) fhist(i) = 1.0e20;

  if (!(t > 0.0)) {
    loop_steps::write_temperature_not_positive();
    ier = kIerTemperature;
    return;
  }

  for (int i = 1; i <= nvar; ++i) {
    if (x(i) > xupp(i) || x(i) < xlow(i)) {
      prt1();
      ier = kIerOutsideBounds;
      return;
    }
  }

  double f = value(x);
  nevals = nevals + 1;
  fbest = f;
  fhist(1) = f;
  if (itrace > 0) prt2(maximize, ntot, x, f);
  io::say("relaxed radius = ", rleq.value);

  double ffeas = 0.0;
  if (sh_viomax(x) < kFvtol) {
    ffeas = f;
    for (int i = 1; i <= ntot; ++i) xfeas(i) = x(i);
  }

  // Best vectors are judged by the unrelaxed violation.
  double objbest;
  if (sh_oviomax(x) < vtol.value) {
    objbest = sh_obj(nvar, x);
    for (int i = 1; i <= ntot; ++i) xbest(i) = x(i);
  } else {
    objbest = 1.0e20;
    for (int i = 1; i <= ntot; ++i) xbest(i) = 0.0;
  }

  for (int i = 1; i <= ncon; ++i) {
    lamfac(i) = 0.01;
    vm(nvar + i) = sh_cst(i, nvar, x) * lamfac(i);
  }

  // Search value and vector at the last radius reduction: where a reheat
  // goes back to.
  double f0 = f;
  for (int i = 1; i <= ntot; ++i) xrelax(i) = x(i);

  int nreheat = kReheatBudget;

  for (;;) {  // temperature stages
    int nimprove = 0;
    int nworse = 0;
    int nreject = 0;
    int noutt = 0;
    int nnewopt = 0;
    for (int i = 1; i <= ncon; ++i) {
      nsmall(i) = 0;
      nlarge(i) = 0;
    }

    // A block that reduced the radius starts the stage again at the same
    // temperature.
    bool redo = false;
    for (int block = 1; block <= nt; ++block) {
      bool reduced = false;
      for (int i = 1; i <= ntot; ++i) xtrial(i) = x(i);

      for (int j = 1; j <= ncyc; ++j) {
        for (int i = 1; i <= nvar; ++i) {
          xtrial(i) = xpi(kIdist, i, x(i), vm(i), xlow(i), xupp(i));
          const double ftrial = value(xtrial);
          nevals = nevals + 1;
          if (itrace > 2) prt4(maximize, ntot, xtrial, x, ftrial, f);

          if (ftrial >= f) {
            if (itrace > 2) io::line("  POINT ACCEPTED");
            x(i) = xtrial(i);
            f = ftrial;
            naccept = naccept + 1;
            naccv(i) = naccv(i) + 1;
            nimprove = nimprove + 1;

            // Feasible for the current radius: tighten it.
            if (sh_viomax(x) < kFvtol && rleq.value > kRadiusFloor) {
              reduced = true;
              rleq.value = kReduction * rleq.value;
              f0 = f;
              ffeas = f;
              for (int k = 1; k <= ntot; ++k) {
                xrelax(k) = x(k);
                xfeas(k) = x(k);
              }
              nnewopt = nnewopt + 1;
              io::say("relaxed radius reduced to rleq = ", rleq.value);
              io::flush();
            }

            if (sh_oviomax(x) < vtol.value) {
              const double o = sh_obj(nvar, x);
              if (o < objbest) {
                if (itrace > 2) io::line("  NEW OPTIMUM");
                for (int k = 1; k <= ntot; ++k) {
                  xfeas(k) = x(k);
                  xbest(k) = x(k);
                }
                objbest = o;
                ffeas = f;
                fbest = f;
                nnewopt = nnewopt + 1;
              }
            }
          } else {
            const double p = exprep((ftrial - f) / t);
            const double r = static_cast<double>(ranmar());
            if (r < p) {
              if (itrace > 2) prt6(maximize);
              x(i) = xtrial(i);
              f = ftrial;
              naccept = naccept + 1;
              naccv(i) = naccv(i) + 1;
              nworse = nworse + 1;
            } else {
              xtrial(i) = x(i);
              nreject = nreject + 1;
              if (itrace > 2) prt7(maximize);
            }
          }
        }
      }

      for (int i = 1; i <= nvar; ++i) {
        vm(i) = loop_steps::cauchy_step(vm(i), naccv(i), ncyc, cfac(i), ratup, ratlow,
                                        xupp(i) - xlow(i));
      }

      for (int i = 1; i <= ncon; ++i) {
        const double c = sh_cst(i, nvar, x);
        loop_steps::adapt_lamfac(c, t, nsmall(i), nlarge(i), lamfac(i));
        vm(nvar + i) = lamfac(i) * c;
      }

      // Multiplier trials: ascend in the Lagrangian; multipliers stay at or
      // above zero and have no upper limit here.
      for (int i = 1; i <= ntot; ++i) xtrial(i) = x(i);
      for (int j = nvar + 1; j <= ntot; ++j) {
        const double c = sh_cst(j - nvar, nvar, x);
        if (c < vtol.value) continue;
        const double r = static_cast<double>(ranmar());
        xtrial(j) = (2.0 * r - 1.0) * vm(j) + x(j);
        if (xtrial(j) < 0.0) xtrial(j) = 0.0;
        const double ftrial = value(xtrial);
        bool accept = ftrial <= f;
        if (!accept) {
          const double p = exprep((f - ftrial) / t);
          const double r2 = static_cast<double>(ranmar());
          accept = r2 < p;
        }
        if (accept) {
          x(j) = xtrial(j);
          f = ftrial;
        } else {
          xtrial(j) = x(j);
        }
      }

      if (itrace > 1) prt8(ntot, vm, xbest, x);
      for (int i = 1; i <= nvar; ++i) naccv(i) = 0;

      if (reduced) {
        io::say("redo NT");
        redo = true;
        break;
      }
    }
    if (redo) continue;

    if (itrace > 0) prt9(maximize, ntot, t, xbest, vm, fbest, nimprove, nworse, nreject, noutt, nnewopt);

    for (int i = 1; i <= nvar; ++i) vm(i) = std::min(xupp(i) - xlow(i), 1.0);

    fhist(1) = f;
    bool quit = fbest - fhist(1) <= eps;
    for (int i = 1; i <= nhist; ++i) {
      if (std::abs(f - fhist(i)) > eps) quit = false;
    }

    if (t < 1.0e-6 || quit) {
      const double v = sh_oviomax(x);
      if (v > vtol.value && nreheat > 0) {
        // Reheat from the radius, back at the vector of the last reduction.
        nreheat = nreheat - 1;
        t = 100.0 * rleq.value;
        if (t > t0) t = t0;
        f = f0;
        for (int i = 1; i <= ntot; ++i) x(i) = xrelax(i);
        io::say("Re-annealing from T =", t, " and rleq =", rleq.value);
        continue;
      }
      ier = kIerNormal;
      if (!maximize) fbest = -fbest;
      if (itrace > 0) prt10();
      return;
    }

    t = rt * t;
    for (int i = nhist; i >= 2; --i) fhist(i) = fhist(i - 1);

    // Go on from the last feasible vector (reduction or new best); the
    // multipliers keep their values.
    if (nnewopt > 0) {
      f = ffeas;
      for (int i = 1; i <= nvar; ++i) x(i) = xfeas(i);
    }
  }
}

}  // namespace morlan
