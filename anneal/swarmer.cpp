#include "anneal/swarmer.hpp"

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
#include "measures/shift.hpp"

namespace morlan {

namespace {

// Fixed dimensions of the population loop.
constexpr int kNpop = cfg::kNpop;
constexpr int kNtot = cfg::kNtot;
constexpr int kNcon = cfg::kNcon;
constexpr int kNvar = cfg::kNvar;

// The loop always draws from the Cauchy distribution and never reheats.
constexpr int kIdist = kCauchy;
constexpr int kReheatBudget = 0;

// Position of entry i of member k: the member index varies fastest.
constexpr int at(int k, int i) { return (i - 1) * kNpop + k; }

void copy_member(CVec xpop, int k, Vec member) {
  for (int i = 1; i <= kNtot; ++i) member(i) = xpop(at(k, i));
}

}  // namespace

void newpick(int& mpick, CVec fpop, CVec xpop, Vec xcur, double t) {
  Array1<double, kNpop> cum;
  double sum = 0.0;
  for (int k = 1; k <= kNpop; ++k) {
    cum(k) = exprep(-(fpop(k) - fpop(1)) / t);
    sum = sum + cum(k);
  }
  for (int k = 1; k <= kNpop; ++k) cum(k) = cum(k) / sum;
  for (int k = 2; k <= kNpop; ++k) cum(k) = cum(k - 1) + cum(k);

  const double r = static_cast<double>(ranmar());
  int pick = 0;
  for (int k = 1; k <= kNpop; ++k) {
    if (cum(k) >= r) {
      pick = k;
      break;
    }
  }
  // Reachable only through rounding of the weights or values that are not
  // numbers.
  if (pick == 0) {
    io::say("wrong in selection");
    io::say("p=", cum.view(), "  ff=", fpop.slice(1, kNpop));
    io::error_stop();
  }

  mpick = pick;
  copy_member(xpop, pick, xcur);
}

void psa(Vec lamfac, int nvar, Vec xpop, bool maximize, double rt, double eps, int ncyc, int nt,
         int nhist, int /*maxevl*/, CVec xlow, CVec xupp, CVec cfac, int itrace, int seed1,
         int seed2, double& t, Vec vm, Vec xbest, double& fbest, int& naccept, int& nevals,
         int& noutb, int& ier, Vec fhist, Vec /*xtrial*/, IVec naccv) {
  const double ratup = kIdist == kUniform ? loop_steps::kUniformRatup : loop_steps::kCauchyRatup;
  const double ratlow = kIdist == kUniform ? loop_steps::kUniformRatlow : loop_steps::kCauchyRatlow;

  Array1<double, kNpop> fpop;
  Array1<double, kNtot> xcur;
  Array1<double, kNtot> trial;
  Array1<double, kNtot> member;
  Array1<double, kNcon> avgvio;
  Array1<int, kNcon> nsmall;
  Array1<int, kNcon> nlarge;

  const double t0 = t;
  rmarin(seed1, seed2);
  naccept = 0;
  noutb = 0;
  nevals = 0;
  ier = kIerRunning;
  for (int i = 1; i <= nvar; ++i) naccv(i) = 0;
  for (int i = 1; i <= nhist; ++i) fhist(i) = 1.0e20;

  if (!(t > 0.0)) {
    loop_steps::write_temperature_not_positive();
    ier = kIerTemperature;
    return;
  }

  for (int k = 1; k <= kNpop; ++k) {
    for (int i = 1; i <= kNvar; ++i) {
      const double xi = xpop(at(k, i));
      if (xi > xupp(i) || xi < xlow(i)) {
        prt1();
        ier = kIerOutsideBounds;
        return;
      }
    }
  }

  fbest = 0.0;
  fhist(1) = 0.0;
  double objbest = 1.0e20;
  for (int i = 1; i <= kNtot; ++i) xbest(i) = 0.0;

  for (int k = 1; k <= kNpop; ++k) {
    copy_member(xpop, k, member);
    fcn(nvar, member, fpop(k));
    if (sh_viomax(member) < vtol.value) {
      const double o = sh_obj(nvar, member);
      if (o < objbest) {
        for (int i = 1; i <= kNtot; ++i) xbest(i) = member(i);
        fbest = fpop(k);
        objbest = o;
      }
    }
  }

  for (int i = 1; i <= kNcon; ++i) lamfac(i) = 0.01;

  int nreheat = kReheatBudget;
  int mpick = 0;
  double fc = 0.0;

  for (;;) {  // temperature stages
    // Counted for symmetry with the other loops; this loop prints none.
    [[maybe_unused]] int nimprove = 0;
    [[maybe_unused]] int nworse = 0;
    [[maybe_unused]] int nreject = 0;
    [[maybe_unused]] int noutt = 0;
    [[maybe_unused]] int nnewopt = 0;
    for (int i = 1; i <= kNcon; ++i) {
      nsmall(i) = 0;
      nlarge(i) = 0;
    }

    for (int block = 1; block <= nt; ++block) {
      newpick(mpick, fpop, xpop, xcur, t);
      fc = fpop(mpick);
      for (int i = 1; i <= kNtot; ++i) trial(i) = xcur(i);

      // Variable trials on the chosen member: the Lagrangian is minimised.
      for (int j = 1; j <= ncyc; ++j) {
        for (int i = 1; i <= nvar; ++i) {
          trial(i) = xpi(kIdist, i, xcur(i), vm(i), xlow(i), xupp(i));
          double f;
          fcn(nvar, trial, f);
          nevals = nevals + 1;
          if (itrace > 2) prt4(maximize, kNtot, trial, xcur, f, fc);

          if (f < fc) {
            if (itrace > 2) io::line("  POINT ACCEPTED");
            xcur(i) = trial(i);
            fc = f;
            naccept = naccept + 1;
            naccv(i) = naccv(i) + 1;
            nimprove = nimprove + 1;
            if (sh_viomax(xcur) < vtol.value) {
              const double o = sh_obj(nvar, xcur);
              if (o < objbest) {
                if (itrace > 2) io::line("  NEW OPTIMUM");
                for (int k = 1; k <= kNtot; ++k) xbest(k) = xcur(k);
                objbest = o;
                fbest = f;
                nnewopt = nnewopt + 1;
              }
            }
          } else {
            const double p = exprep((fc - f) / t);
            const double r = static_cast<double>(ranmar());
            if (r < p) {
              if (itrace > 2) prt6(maximize);
              xcur(i) = trial(i);
              fc = f;
              naccept = naccept + 1;
              naccv(i) = naccv(i) + 1;
              nworse = nworse + 1;
            } else {
              trial(i) = xcur(i);
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

      // Average violation over the population, as stored before this block
      // (the chosen member counts with its old variables), divided by the
      // number of constraints.
      for (int c = 1; c <= kNcon; ++c) avgvio(c) = 0.0;
      for (int k = 1; k <= kNpop; ++k) {
        copy_member(xpop, k, member);
        for (int c = 1; c <= kNcon; ++c) avgvio(c) = avgvio(c) + sh_cst(c, nvar, member);
      }
      for (int c = 1; c <= kNcon; ++c) avgvio(c) = avgvio(c) / static_cast<double>(kNcon);

      for (int c = 1; c <= kNcon; ++c) {
        loop_steps::adapt_lamfac(avgvio(c), t, nsmall(c), nlarge(c), lamfac(c));
      }

      // Multiplier trials: maximise; stay at or above zero, no upper limit.
      for (int i = 1; i <= kNtot; ++i) trial(i) = xcur(i);
      for (int j = nvar + 1; j <= kNtot; ++j) {
        const double c = sh_cst(j - nvar, nvar, xcur);
        if (c < vtol.value) continue;
        const double r = static_cast<double>(ranmar());
        trial(j) = xcur(j) + (2.0 * r - 1.0) * lamfac(j - nvar) * c;
        if (trial(j) < 0.0) trial(j) = 0.0;
        double f;
        fcn(nvar, trial, f);
        bool accept = f > fc;
        if (!accept) {
          const double p = exprep((f - fc) / t);
          const double r2 = static_cast<double>(ranmar());
          accept = r2 < p;
        }
        if (accept) {
          xcur(j) = trial(j);
          fc = f;
        } else {
          trial(j) = xcur(j);
        }
      }

      // Write the member back; every member takes the new multipliers.
      fpop(mpick) = fc;
      for (int i = 1; i <= kNvar; ++i) xpop(at(mpick, i)) = xcur(i);
      for (int k = 1; k <= kNpop; ++k) {
        for (int i = kNvar + 1; i <= kNtot; ++i) xpop(at(k, i)) = xcur(i);
      }
      for (int i = 1; i <= nvar; ++i) naccv(i) = 0;
    }

    for (int i = 1; i <= nvar; ++i) vm(i) = 1.0;

    fhist(1) = fc;
    bool quit = fbest - fhist(1) <= eps;
    for (int i = 1; i <= nhist; ++i) {
      if (std::abs(fc - fhist(i)) > eps) quit = false;
    }

    if (t < 1.0e-6 || quit) {
      const double v = sh_viomax(xcur);
      if (v <= vtol.value || nreheat <= 0) break;
      nreheat = nreheat - 1;
      t = 100.0 * v;
      if (t > t0) t = t0;
      io::say("Re-annealing from T =", t);
      continue;
    }

    t = rt * t;
    for (int i = nhist; i >= 2; --i) fhist(i) = fhist(i - 1);
  }

  ier = kIerNormal;
  io::say("finish swarmer");
  io::flush();
}

}  // namespace morlan
