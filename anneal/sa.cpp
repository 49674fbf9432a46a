#include "anneal/sa.hpp"

#include <algorithm>
#include <cassert>
#include <cmath>

#include "anneal/chainrun.hpp"
#include "anneal/loop_steps.hpp"
#include "anneal/random.hpp"
#include "anneal/run_records.hpp"
#include "anneal/trace.hpp"
#include "anneal/trial_point.hpp"
#include "base/config.hpp"
#include "io/console.hpp"
#include "measures/shift.hpp"

namespace morlan {

NsaiterRecord nsaiter;

namespace {

// Multipliers are kept in [0, kMultiplierCap].
constexpr double kMultiplierCap = 1.0e20;
// Objective of "no feasible vector known yet", and the start of the history.
constexpr double kNone = 1.0e20;
// Below this temperature the run ends whatever the stopping test says.
constexpr double kTemperatureFloor = 1.0e-6;

struct Thresholds {
  double ratup;
  double ratlow;
};

// Acceptance-ratio thresholds of the step-length adjustment for a
// distribution; false for a distribution the loop does not know.
bool thresholds_for(int idist, Thresholds& th) {
  switch (idist) {
    case 0:
    case 2:
      th = {0.6, 0.4};
      return true;
    case 1:
      th = {0.3, 0.2};
      return true;
    case 3:
      th = {0.2, 0.05};
      return true;
    default:
      return false;
  }
}

// The probabilistic part of an acceptance decision. `gain` is the change of
// the value in the preferred direction (ftrial - F for variables, F - ftrial
// for multipliers), so a negative gain is a move the wrong way. Rules 1 and 3
// are only asked for such moves; rules 0 and 2 decide every move here.
// q and e are the parameters of rule 3 at the current temperature.
class Acceptance {
 public:
  Acceptance(int irule, double q, double e) : irule_(irule), q_(q), e_(e) {}

  // Rules 1 and 3 accept a move that does not go the wrong way without a draw.
  bool accepts_without_draw() const { return irule_ == 1 || irule_ == 3; }

  double probability(double gain, double loss, double t) const {
    switch (irule_) {
      case 1:  // Metropolis
        return exprep(gain / t);
      case 3:  // generalised Metropolis
        return std::pow(1.0 + (q_ - 1.0) * loss / t, e_);
      case 0: {  // logistic
        const double big_e = exprep(loss / t);
        return 1.0 / (1.0 + big_e);
      }
      case 2: {  // logistic with a correction term
        const double big_e = exprep(loss / t);
        const double m = std::min(big_e, 1.0 / big_e);
        return (1.0 + 2.0 * ((m / 2.0) * (m / 2.0))) / (1.0 + big_e);
      }
      default:
        io::say("wrong acceptance rule in cSA");
        io::error_stop();
    }
  }

  void check() const {
    if (irule_ < 0 || irule_ > 3) {
      io::say("wrong acceptance rule in cSA");
      io::error_stop();
    }
  }

 private:
  int irule_;
  double q_;
  double e_;
};

// Search value: the loop maximises, so a minimised Lagrangian is negated.
double search_value(bool maximize, CVec v, int nvar) {
  double f;
  fcn(nvar, v, f);
  return maximize ? f : -f;
}

}  // namespace

void sa(int ntot, int ncon, Vec lamfac, int nvar, Vec x, bool maximize, double rt, double eps,
        int ncyc, int nt, int nhist, int maxevl, CVec xlow, CVec xupp, CVec cfac, int itrace,
        int seed1, int seed2, double& t, Vec vm, Vec xbest, double& fbest, int& naccept,
        int& nevals, int& noutb, int& ier, Vec fhist, Vec xtrial, IVec naccv) {
  sa_with_settings(kSaSettings, ntot, ncon, lamfac, nvar, x, maximize, rt, eps, ncyc, nt, nhist,
                   maxevl, xlow, xupp, cfac, itrace, seed1, seed2, t, vm, xbest, fbest, naccept,
                   nevals, noutb, ier, fhist, xtrial, naccv);
}

void sa_with_settings(const SaSettings& settings, int ntot, int ncon, Vec lamfac, int nvar, Vec x,
                      bool maximize, double rt, double eps, int ncyc, int nt, int nhist,
                      int /*maxevl: no evaluation limit in this loop*/, CVec xlow, CVec xupp,
                      CVec cfac, int itrace, int seed1, int seed2, double& t, Vec vm, Vec xbest,
                      double& fbest, int& naccept, int& nevals, int& noutb, int& ier, Vec fhist,
                      Vec xtrial, IVec naccv) {
  assert(nvar <= cfg::kNvar && ncon <= cfg::kNcon && ntot == nvar + ncon);
  const int idist = settings.idist;
  const int irule = settings.irule;
  const int isched = settings.isched;
  int reheats_left = settings.nreheat;

  Thresholds th{};
  if (!thresholds_for(idist, th)) {
    io::say("wrong distribution");
    io::error_stop();
  }
  const double ratup = th.ratup;
  const double ratlow = th.ratlow;

  // Per-constraint counts of consecutive cycle blocks with a nearly
  // satisfied (nsmall) or a badly violated (nlarge) constraint.
  Array1<int, cfg::kNcon> nsmall;
  Array1<int, cfg::kNcon> nlarge;
  // Initial step lengths, for the temperature-proportional schedule.
  Array1<double, cfg::kNvar> vm0;

  // Entry.
  const double t0 = t;
  rmarin(seed1, seed2);
  naccept = 0;
  nevals = 0;
  noutb = 0;
  ier = kIerRunning;
  for (int i = 1; i <= nvar; ++i) naccv(i) = 0;
  for (int i = 1; i <= nhist; ++i) fhist(i) = kNone;

  if (!(t > 0.0)) {
    loop_steps::write_temperature_not_positive();
    ier = kIerTemperature;
    return;
  }

  for (int i = 1; i <= nvar; ++i) {
    if (x(i) > xupp(i) || x(i) < xlow(i)) io::say("x(", i, ") is outside the bounds");
  }

  double f = search_value(maximize, x, nvar);
  nevals = nevals + 1;
  fbest = f;
  fhist(1) = f;
  if (itrace > 0) prt2(maximize, ntot, x, f);

  double objbest;
  if (sh_viomax(x) < vtol.value) {
    objbest = sh_obj(nvar, x);
    for (int i = 1; i <= ntot; ++i) xbest(i) = x(i);
  } else {
    objbest = kNone;
    for (int i = 1; i <= ntot; ++i) xbest(i) = 0.0;
  }

  if (idist == 3) {
    for (int i = 1; i <= nvar; ++i) vm(i) = 0.1 * std::log10((xupp(i) - xlow(i)) / 1.0e-6);
  }
  if (isched == 1) {
    for (int i = 1; i <= nvar; ++i) {
      vm(i) = 0.1 * (xupp(i) - xlow(i));
      vm0(i) = vm(i);
    }
  }

  for (int i = 1; i <= ncon; ++i) {
    lamfac(i) = 0.01;
    vm(nvar + i) = sh_cst(i, nvar, x) * lamfac(i);
  }
  nsaiter.value = 0;

  // Temperature stages.
  for (;;) {
    int nimprove = 0;
    int nworse = 0;
    int nreject = 0;
    int noutt = 0;  // trial points always lie inside the bounds
    int nnewopt = 0;
    for (int i = 1; i <= ncon; ++i) {
      nsmall(i) = 0;
      nlarge(i) = 0;
    }
    double q = 0.0;
    double e = 0.0;
    if (irule == 3) {
      q = 2.0 - 1.0 / exprep(t);
      e = 1.0 / (1.0 - q);
    }
    const Acceptance rule(irule, q, e);

    // Records x as the best vector when it is feasible and has a lower
    // objective than the best so far (ties keep the older vector).
    auto check_best = [&]() {
      if (sh_viomax(x) < vtol.value) {
        const double o = sh_obj(nvar, x);
        if (o < objbest) {
          if (itrace > 2) io::line("  NEW OPTIMUM");
          for (int k = 1; k <= ntot; ++k) xbest(k) = x(k);
          objbest = o;
          fbest = f;
          nnewopt = nnewopt + 1;
        }
      }
    };

    for (int block = 1; block <= nt; ++block) {
      for (int k = 1; k <= ntot; ++k) xtrial(k) = x(k);
      nsaiter.value = nsaiter.value + 1;

      // Variable trials: ncyc sweeps over the variables in order.
      for (int j = 1; j <= ncyc; ++j) {
        for (int i = 1; i <= nvar; ++i) {
          xtrial(i) = xpi(idist, i, x(i), vm(i), xlow(i), xupp(i));
          const double ftrial = search_value(maximize, xtrial, nvar);
          nevals = nevals + 1;
          if (itrace > 2) prt4(maximize, ntot, xtrial, x, ftrial, f);
          rule.check();

          bool accepted;
          bool by_draw;
          if (rule.accepts_without_draw() && ftrial >= f) {
            accepted = true;
            by_draw = false;
          } else {
            // Also reached by an unordered comparison (a NaN value).
            const double p = rule.probability(ftrial - f, f - ftrial, t);
            const double r = static_cast<double>(ranmar());
            accepted = r < p;
            by_draw = true;
          }

          if (accepted) {
            x(i) = xtrial(i);
            f = ftrial;
            naccept = naccept + 1;
            naccv(i) = naccv(i) + 1;
            if (!by_draw) {
              if (itrace > 2) io::line("  POINT ACCEPTED");
              nimprove = nimprove + 1;
              check_best();
            } else if (rule.accepts_without_draw()) {
              if (itrace > 2) prt6(maximize);
              nworse = nworse + 1;
            } else {
              // The logistic rules decide every move by the draw and check
              // every accepted vector.
              check_best();
            }
          } else {
            if (itrace > 2) prt7(maximize);
            xtrial(i) = x(i);
            nreject = nreject + 1;
          }
        }
      }

      // Step lengths of the variables.
      for (int i = 1; i <= nvar; ++i) {
        if (isched == 1) {
          vm(i) = (vm0(i) - 1.0e-6) / (t0 - 1.0e-6) * (t - t0) + vm0(i);
          continue;
        }
        const double ratio = static_cast<double>(naccv(i)) / static_cast<double>(ncyc);
        if (ratio > ratup) {
          if (idist == 1) {
            vm(i) = vm(i) * (1.0 + 3.5 * cfac(i) * (ratio - ratup) / (1.0 - ratup));
          } else if (idist == 3) {
            vm(i) = 2.0 * vm(i);
          } else {
            vm(i) = vm(i) * (1.0 + cfac(i) * (ratio - ratup) / (1.0 - ratup));
          }
        } else if (ratio < ratlow) {
          if (idist == 3) {
            vm(i) = 0.5 * vm(i);
          } else {
            vm(i) = vm(i) / (1.0 + cfac(i) * (ratlow - ratio) / ratlow);
          }
        }
        if (vm(i) > xupp(i) - xlow(i)) vm(i) = xupp(i) - xlow(i);
      }

      // Multiplier step factors and the multiplier step lengths.
      for (int i = 1; i <= ncon; ++i) {
        const double c = sh_cst(i, nvar, x);
        loop_steps::adapt_lamfac(c, t, nsmall(i), nlarge(i), lamfac(i));
        vm(nvar + i) = lamfac(i) * c;
      }

      for (int k = 1; k <= ntot; ++k) xtrial(k) = x(k);

      // Multiplier trials: ascend in the Lagrangian, i.e. accept when the
      // search value does not increase. Satisfied constraints are skipped.
      for (int jpos = nvar + 1; jpos <= ntot; ++jpos) {
        const double c = sh_cst(jpos - nvar, nvar, x);
        if (c < vtol.value) continue;
        const double r = static_cast<double>(ranmar());
        xtrial(jpos) = (2.0 * r - 1.0) * vm(jpos) + x(jpos);
        if (xtrial(jpos) < 0.0) xtrial(jpos) = 0.0;
        if (xtrial(jpos) > kMultiplierCap) xtrial(jpos) = kMultiplierCap;
        const double ftrial = search_value(maximize, xtrial, nvar);

        bool accepted;
        if (rule.accepts_without_draw() && ftrial <= f) {
          accepted = true;
        } else {
          rule.check();
          const double p = rule.probability(f - ftrial, ftrial - f, t);
          const double r2 = static_cast<double>(ranmar());
          accepted = r2 < p;
        }
        if (accepted) {
          x(jpos) = xtrial(jpos);
          f = ftrial;
        } else {
          xtrial(jpos) = x(jpos);
        }
      }

      if (itrace > 1) prt8(ntot, vm, xbest, x);
      for (int i = 1; i <= nvar; ++i) naccv(i) = 0;
    }

    if (itrace > 0) {
      prt9(maximize, ntot, t, xbest, vm, fbest, nimprove, nworse, nreject, noutt, nnewopt);
    }

    // Every stage starts its adaptive steps from the same length.
    for (int i = 1; i <= nvar; ++i) vm(i) = std::min(xupp(i) - xlow(i), 1.0);

    // Stopping test: the current value is as good as the best and has not
    // moved by more than eps over the last nhist stages.
    fhist(1) = f;
    bool quit = fbest - fhist(1) <= eps;
    for (int i = 1; i <= nhist; ++i) {
      if (std::fabs(f - fhist(i)) > eps) quit = false;
    }

    if (t < kTemperatureFloor || quit) {
      // The violation is needed only when a reheat is still possible.
      if (reheats_left > 0) {
        const double v = sh_viomax(x);
        if (v > vtol.value) {
          reheats_left = reheats_left - 1;
          t = 100.0 * v;
          if (t > t0) t = t0;
          io::say("Re-annealing from T =", t);
          continue;
        }
      }
      ier = kIerNormal;
      if (!maximize) fbest = -fbest;
      if (itrace > 0) prt10();
      return;
    }

    t = rt * t;
    for (int i = nhist; i >= 2; --i) fhist(i) = fhist(i - 1);

    // Restart from the best vector: its variables only; the multipliers keep
    // their current values and the search value is not re-evaluated.
    if (nnewopt > 0) {
      f = fbest;
      for (int i = 1; i <= nvar; ++i) x(i) = xbest(i);
    }
  }
}

}  // namespace morlan
