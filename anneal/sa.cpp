#include "anneal/sa.hpp"

#include <cassert>
#include <cmath>

#include "anneal/loop_steps.hpp"
#include "base/config.hpp"

namespace morlan {

namespace {

using namespace loop_steps;

// The acceptance rule of a temperature stage. Rules 1 (Metropolis) and 3
// (generalised Metropolis) take a move that does not go the wrong way
// without a draw; rules 0 (logistic) and 2 (logistic with a correction term)
// decide every move by the draw. Any other rule stops the program at the
// first variable trial.
class Acceptance {
 public:
  Acceptance(int irule, double t) : irule_(irule), t_(t) {
    if (irule == 3) {
      q_ = 2.0 - 1.0 / exprep(t);
      e_ = 1.0 / (1.0 - q_);
    }
  }

  // A variable trial: the value should not decrease.
  Verdict variable(double ftrial, double f) const {
    check();
    if (draws_for_worse_only() && ftrial >= f) return Verdict::kImproving;
    // Also reached by an unordered comparison (a NaN value).
    const double p = probability(ftrial - f, f - ftrial);
    const double r = static_cast<double>(ranmar());
    if (!(r < p)) return Verdict::kRejected;
    return draws_for_worse_only() ? Verdict::kWorse : Verdict::kDrawn;
  }

  // A multiplier trial: the value should not increase.
  bool multiplier(double ftrial, double f) const {
    if (draws_for_worse_only() && ftrial <= f) return true;
    check();
    const double p = probability(f - ftrial, ftrial - f);
    const double r = static_cast<double>(ranmar());
    return r < p;
  }

 private:
  bool draws_for_worse_only() const { return irule_ == 1 || irule_ == 3; }

  void check() const {
    if (irule_ < 0 || irule_ > 3) stop();
  }

  [[noreturn]] static void stop() {
    io::say("wrong acceptance rule in cSA");
    io::error_stop();
  }

  // Probability of taking a move; `gain` is the change of the value in the
  // preferred direction, `loss` its negation.
  double probability(double gain, double loss) const {
    switch (irule_) {
      case 1:
        return exprep(gain / t_);
      case 3:
        return std::pow(1.0 + (q_ - 1.0) * loss / t_, e_);
      case 0: {
        const double big_e = exprep(loss / t_);
        return 1.0 / (1.0 + big_e);
      }
      case 2: {
        const double big_e = exprep(loss / t_);
        const double m = std::min(big_e, 1.0 / big_e);
        return (1.0 + 2.0 * ((m / 2.0) * (m / 2.0))) / (1.0 + big_e);
      }
      default:
        stop();
    }
  }

  int irule_;
  double t_;
  double q_ = 0.0;  // parameters of rule 3 at the stage's temperature
  double e_ = 0.0;
};

// One run of the plain loop: the shared steps with the acceptance rule, the
// distribution, the step-length schedule and the reheat budget of the
// settings; new best vectors are judged by the relaxed violation and a
// stage with new best vectors hands its best vector to the next. It counts
// its cycle blocks.
class PlainLoop : public LoopCore {
 public:
  // Multipliers are kept in [0, kMultiplierCap].
  static constexpr double kMultiplierCap = 1.0e20;

  PlainLoop(const SaSettings& settings, const LoopCall& call, Vec x, Vec xtrial)
      : LoopCore(call),
        settings_(settings),
        x_(x),
        xtrial_(xtrial),
        reheats_left_(settings.nreheat) {
    if (!thresholds_for(settings.idist, thresholds_)) {
      io::say("wrong distribution");
      io::error_stop();
    }
  }

  // The steps of the run (loop_steps::anneal).
  bool enter() {
    if (!begin_run(*this)) return false;
    // A start outside the bounds is only reported; the run goes on.
    for (int i = 1; i <= nvar; ++i) {
      if (x_(i) > xupp(i) || x_(i) < xlow(i)) io::say("x(", i, ") is outside the bounds");
    }
    value_start(*this, x_);
    objbest = first_best(measure, x_, measure.largest_violation_below(x_, vtol), ntot, xbest);
    first_variable_steps();
    first_multiplier_steps(*this, x_);
    blocks_ = 0;
    return true;
  }
  void temperature_stage() {
    start_stage(*this, factors_);
    rule_ = Acceptance(settings_.irule, t);
    for (int block = 1; block <= nt; ++block) cycle_block();
  }
  void close_stage() { loop_steps::close_stage(*this); }
  bool reheat() { return reheat_for_violation(*this, reheats_left_, x_); }
  void finish() { loop_steps::finish(*this); }
  // A stage with new best vectors hands its best vector to the next.
  void restart_after_cooling() { restart_from(*this, x_, fbest, xbest); }

  // The policy of the sweeps (loop_steps.hpp).
  double value(CVec v) const { return search_value(*this, v); }
  Verdict verdict(double ftrial) const { return rule_.variable(ftrial, f); }
  void check_new_vector() { check_best(*this, x_, Judged::kRelaxed); }
  double multiplier_trial(int j, double r, double /*c*/, CVec x) const {
    return multiplier_step_trial(*this, j, r, x);
  }
  bool accepts_multiplier(double ftrial) const { return rule_.multiplier(ftrial, f); }

  // For the observer (loop_steps.hpp).
  CVec current() const { return x_; }
  double lagrangian() const { return maximize ? f : -f; }

  // Cycle blocks performed; kNoBlocks before the run has begun.
  int blocks() const { return blocks_; }

 private:
  // The logarithmic distribution and the temperature-proportional schedule
  // set their own first step lengths; otherwise they are the caller's.
  void first_variable_steps() {
    for (int i = 1; i <= nvar; ++i) {
      if (settings_.idist == kLogarithmic) {
        vm(i) = 0.1 * std::log10((xupp(i) - xlow(i)) / 1.0e-6);
      }
      if (settings_.isched == 1) {
        vm(i) = 0.1 * (xupp(i) - xlow(i));
        vm0_(i) = vm(i);
      }
    }
  }

  void cycle_block() {
    blocks_ = blocks_ + 1;
    variable_sweeps(*this, x_, xtrial_, settings_.idist);
    if (settings_.isched == 1) {
      steps_proportional_to_temperature();
    } else {
      adjust_steps(*this, settings_.idist, thresholds_);
    }
    adapt_multiplier_steps(*this, factors_, x_);
    multiplier_trials(*this, x_, xtrial_);
    end_block(*this, x_);
    watch_block(*this);
  }

  void steps_proportional_to_temperature() {
    for (int i = 1; i <= nvar; ++i) {
      vm(i) = (vm0_(i) - 1.0e-6) / (t0 - 1.0e-6) * (t - t0) + vm0_(i);
    }
  }

  const SaSettings& settings_;
  Vec x_;
  Vec xtrial_;
  int reheats_left_;
  int blocks_ = kNoBlocks;
  Thresholds thresholds_{};
  Acceptance rule_{1, 0.0};
  FactorCounts<cfg::kNcon> factors_;
  // Initial step lengths, for the temperature-proportional schedule.
  Array1<double, cfg::kNvar> vm0_;
};

}  // namespace

int sa(const LoopCall& call, Vec x, Vec xtrial) { return sa_with_settings(kSaSettings, call, x, xtrial); }

int sa_with_settings(const SaSettings& settings, const LoopCall& call, Vec x, Vec xtrial) {
  assert(call.nvar <= cfg::kNvar && call.ncon <= cfg::kNcon && call.ntot == call.nvar + call.ncon);
  PlainLoop loop(settings, call, x, xtrial);
  anneal(loop);
  return loop.blocks();
}

}  // namespace morlan
