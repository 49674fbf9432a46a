#include "anneal/population_loop.hpp"

#include <limits>

#include "anneal/loop_steps.hpp"
#include "base/config.hpp"

namespace morlan {

namespace {

using namespace loop_steps;

// The population loop always draws from the Cauchy distribution and never
// reheats.
constexpr int kIdist = kCauchy;
constexpr int kReheatBudget = 0;

// Position of entry i of member k: the member index varies fastest.
constexpr int at(int k, int i) { return (i - 1) * cfg::kNpop + k; }

void copy_member(CVec xpop, int k, Vec member) {
  for (int i = 1; i <= cfg::kNtot; ++i) member(i) = xpop(at(k, i));
}

// One run of the population loop: each cycle block anneals one member,
// picked by its Boltzmann weight, and the multipliers all members share.
// The loop minimises the Lagrangian itself (no sign change), takes only
// strictly better variable trials and strictly higher multiplier trials
// without a draw, and adapts the multiplier step factors to the violations
// averaged over the population.
class PopulationLoop : public LoopCore {
 public:
  // Multipliers stay at or above zero and have no upper limit here.
  static constexpr double kMultiplierCap = std::numeric_limits<double>::infinity();

  PopulationLoop(const LoopCall& call, Vec xpop) : LoopCore(call), xpop_(xpop) {
    thresholds_for(kIdist, thresholds_);
  }

  // The steps of the run (loop_steps::anneal).
  bool enter() {
    if (!begin_run(*this)) return false;
    for (int k = 1; k <= cfg::kNpop; ++k) {
      for (int i = 1; i <= cfg::kNvar; ++i) {
        const double xi = xpop_(at(k, i));
        if (xi > xupp(i) || xi < xlow(i)) {
          prt1();
          ier = kIerOutsideBounds;
          return false;
        }
      }
    }
    value_members();
    for (int i = 1; i <= ncon; ++i) lamfac(i) = kFirstLamfac;
    return true;
  }
  void temperature_stage() {
    start_stage(*this, factors_);
    for (int block = 1; block <= nt; ++block) cycle_block();
  }
  // Every stage starts its adaptive steps from 1, whatever the range.
  void close_stage() {
    for (int i = 1; i <= nvar; ++i) vm(i) = 1.0;
  }
  bool reheat() { return reheat_for_violation(*this, reheats_left_, xcur_); }
  void finish() {
    ier = kIerNormal;
    io::say("finish swarmer");
    io::flush();
  }
  // Stages go on from where the last one ended.
  void restart_after_cooling() {}

  // The policy of the sweeps (loop_steps.hpp).
  double value(CVec v) const { return measure.lagrangian(v); }
  Verdict verdict(double ftrial) const {
    if (ftrial < f) return Verdict::kImproving;
    const double p = exprep((f - ftrial) / t);
    const double r = static_cast<double>(ranmar());
    return r < p ? Verdict::kWorse : Verdict::kRejected;
  }
  void check_new_vector() { check_best(*this, xcur_, Judged::kRelaxed); }
  double multiplier_trial(int j, double r, double c, CVec x) const {
    return x(j) + (2.0 * r - 1.0) * lamfac(j - nvar) * c;
  }
  bool accepts_multiplier(double ftrial) const {
    if (ftrial > f) return true;
    const double p = exprep((ftrial - f) / t);
    const double r = static_cast<double>(ranmar());
    return r < p;
  }

  // For the observer (loop_steps.hpp): the member of the block; this loop
  // keeps the Lagrangian unnegated.
  CVec current() const { return xcur_; }
  double lagrangian() const { return f; }

 private:
  // Every member valued; the best feasible one is the first best vector.
  void value_members() {
    fbest = 0.0;
    fhist(1) = 0.0;
    objbest = kNone;
    for (int i = 1; i <= ntot; ++i) xbest(i) = 0.0;
    for (int k = 1; k <= cfg::kNpop; ++k) {
      copy_member(xpop_, k, member_);
      fpop_(k) = measure.lagrangian(member_);
      take_if_best(*this, member_, Judged::kRelaxed, fpop_(k));
    }
  }

  void cycle_block() {
    pick_member(mpick_, fpop_, xpop_, xcur_, t);
    f = fpop_(mpick_);
    variable_sweeps(*this, xcur_, trial_, kIdist);
    adjust_steps(*this, kIdist, thresholds_);
    adapt_to_average_violations();
    multiplier_trials(*this, xcur_, trial_);
    write_back();
    for (int i = 1; i <= nvar; ++i) naccv(i) = 0;
    watch_block(*this);
  }

  // The multiplier step factors follow the violations summed over the
  // population as stored before this block (the chosen member counts with
  // its old variables), divided by the number of constraints.
  void adapt_to_average_violations() {
    for (int c = 1; c <= cfg::kNcon; ++c) avgvio_(c) = 0.0;
    for (int k = 1; k <= cfg::kNpop; ++k) {
      copy_member(xpop_, k, member_);
      for (int c = 1; c <= cfg::kNcon; ++c) {
        avgvio_(c) = avgvio_(c) + measure.violation(c, member_);
      }
    }
    for (int c = 1; c <= cfg::kNcon; ++c) {
      avgvio_(c) = avgvio_(c) / static_cast<double>(cfg::kNcon);
      adapt_lamfac(avgvio_(c), t, factors_.nsmall(c), factors_.nlarge(c), lamfac(c));
    }
  }

  // The chosen member takes its new variables and value; every member takes
  // the new multipliers.
  void write_back() {
    fpop_(mpick_) = f;
    for (int i = 1; i <= cfg::kNvar; ++i) xpop_(at(mpick_, i)) = xcur_(i);
    for (int k = 1; k <= cfg::kNpop; ++k) {
      for (int i = cfg::kNvar + 1; i <= cfg::kNtot; ++i) xpop_(at(k, i)) = xcur_(i);
    }
  }

  Vec xpop_;
  Thresholds thresholds_{};
  FactorCounts<cfg::kNcon> factors_;
  Array1<double, cfg::kNpop> fpop_;  // value of each member as last computed
  int mpick_ = 0;                    // the member of the current block
  Array1<double, cfg::kNtot> xcur_;  // its working copy
  Array1<double, cfg::kNtot> trial_;
  Array1<double, cfg::kNtot> member_;
  Array1<double, cfg::kNcon> avgvio_;
  int reheats_left_ = kReheatBudget;
};

}  // namespace

void pick_member(int& mpick, CVec fpop, CVec xpop, Vec xcur, double t) {
  Array1<double, cfg::kNpop> cum;
  double sum = 0.0;
  for (int k = 1; k <= cfg::kNpop; ++k) {
    cum(k) = exprep(-(fpop(k) - fpop(1)) / t);
    sum = sum + cum(k);
  }
  for (int k = 1; k <= cfg::kNpop; ++k) cum(k) = cum(k) / sum;
  for (int k = 2; k <= cfg::kNpop; ++k) cum(k) = cum(k - 1) + cum(k);

  const double r = static_cast<double>(ranmar());
  int pick = 0;
  for (int k = 1; k <= cfg::kNpop && pick == 0; ++k) {
    if (cum(k) >= r) pick = k;
  }
  // Reachable only through rounding of the weights or values that are not
  // numbers.
  if (pick == 0) {
    io::say("wrong in selection");
    io::say("p=", cum.view(), "  ff=", fpop.slice(1, cfg::kNpop));
    io::error_stop();
  }

  mpick = pick;
  copy_member(xpop, pick, xcur);
}

void population_loop(const LoopCall& call, Vec xpop) {
  PopulationLoop loop(call, xpop);
  anneal(loop);
}

}  // namespace morlan
