#include "anneal/relaxed_loop.hpp"

#include <cassert>
#include <limits>

#include "anneal/loop_steps.hpp"
#include "base/config.hpp"

namespace morlan {

namespace {

using namespace loop_steps;

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
// configuration keeps room for 4 entries and 2 constraints.
constexpr int kRoomNtot = cfg::kSmall ? 4 : cfg::kNtot;
constexpr int kRoomNcon = cfg::kSmall ? 2 : cfg::kNcon;

// One run of the relaxed-equality loop: the plain loop's steps under the
// Metropolis rule, with a radius on the equality constraints that shrinks
// whenever the search reaches a vector feasible for it. Best vectors are
// judged by the unrelaxed violation; a stop with that violation above vtol
// reheats from the vector of the last reduction.
//
// The radius is the loop's own: it starts at the measure's and each
// reduction hands the new one to the measure; the measure gets its radius
// back when the loop ends.
class RelaxedLoop : public LoopCore {
 public:
  // Multipliers stay at or above zero and have no upper limit here.
  static constexpr double kMultiplierCap = std::numeric_limits<double>::infinity();

  RelaxedLoop(const LoopCall& call, Vec xrelax, Vec x, Vec xtrial)
      : LoopCore(call),
        xrelax_(xrelax),
        x_(x),
        xtrial_(xtrial),
        radius_(call.measure.radius()),
        given_radius_(radius_) {
    thresholds_for(kIdist, thresholds_);
  }
  RelaxedLoop(const RelaxedLoop&) = delete;
  RelaxedLoop& operator=(const RelaxedLoop&) = delete;
  ~RelaxedLoop() { measure.set_radius(given_radius_); }

  double radius() const { return radius_; }

  // The steps of the run (loop_steps::anneal).
  bool enter() {
    if (!begin_run(*this)) return false;
    for (int i = 1; i <= nvar; ++i) {
      if (x_(i) > xupp(i) || x_(i) < xlow(i)) {
        prt1();
        ier = kIerOutsideBounds;
        return false;
      }
    }
    value_start(*this, x_);
    io::say("relaxed radius = ", radius_);
    if (measure.largest_violation_below(x_, kFvtol)) keep_feasible();
    objbest =
        first_best(measure, x_, measure.largest_unrelaxed_violation_below(x_, vtol), ntot, xbest);
    first_multiplier_steps(*this, x_);
    keep_reduction_point();
    return true;
  }
  // nt cycle blocks; a block that reduced the radius starts the stage again
  // at the same temperature.
  void temperature_stage() {
    for (;;) {
      start_stage(*this, factors_);
      if (blocks_without_reduction()) return;
      io::say("redo NT");
    }
  }
  void close_stage() { loop_steps::close_stage(*this); }
  // Instead of ending with the unrelaxed violation above vtol: reheat from
  // the radius, back at the vector of the last reduction, while the budget
  // lasts.
  bool reheat() {
    const double v = measure.largest_unrelaxed_violation(x_);
    if (!(v > vtol && reheats_left_ > 0)) return false;
    reheats_left_ = reheats_left_ - 1;
    reheat_to(*this, radius_);
    f = f0_;
    for (int i = 1; i <= ntot; ++i) x_(i) = xrelax_(i);
    io::say("Re-annealing from T =", t, " and rleq =", radius_);
    return true;
  }
  void finish() { loop_steps::finish(*this); }
  // Go on from the last feasible vector (reduction or new best).
  void restart_after_cooling() { restart_from(*this, x_, ffeas_, xfeas_); }

  // The policy of the sweeps (loop_steps.hpp).
  double value(CVec v) const { return search_value(*this, v); }
  Verdict verdict(double ftrial) const { return metropolis_variable(ftrial, f, t); }
  void check_new_vector() {
    reduce_radius_if_feasible();
    if (check_best(*this, x_, Judged::kUnrelaxed)) keep_feasible();
  }
  double multiplier_trial(int j, double r, double /*c*/, CVec x) const {
    return multiplier_step_trial(*this, j, r, x);
  }
  bool accepts_multiplier(double ftrial) const {
    return metropolis_multiplier(ftrial, f, t);
  }

  // For the observer (loop_steps.hpp).
  CVec current() const { return x_; }
  double lagrangian() const { return maximize ? f : -f; }

 private:
  // The stage's cycle blocks up to the first one that reduces the radius;
  // false when one did.
  bool blocks_without_reduction() {
    for (int block = 1; block <= nt; ++block) {
      if (cycle_block()) return false;
    }
    return true;
  }

  // One cycle block; true when it reduced the radius.
  bool cycle_block() {
    reduced_ = false;
    variable_sweeps(*this, x_, xtrial_, kIdist);
    adjust_steps(*this, kIdist, thresholds_);
    adapt_multiplier_steps(*this, factors_, x_);
    multiplier_trials(*this, x_, xtrial_);
    end_block(*this, x_);
    watch_block(*this);
    return reduced_;
  }

  // Feasible for the current radius: tighten it, and keep the vector as the
  // point to restart from and to reheat from.
  void reduce_radius_if_feasible() {
    if (!(measure.largest_violation_below(x_, kFvtol) && radius_ > kRadiusFloor)) return;
    reduced_ = true;
    radius_ = kReduction * radius_;
    measure.set_radius(radius_);
    keep_reduction_point();
    keep_feasible();
    counts.nnewopt = counts.nnewopt + 1;
    io::say("relaxed radius reduced to rleq = ", radius_);
    io::flush();
  }

  // The current vector and value as the point to restart from after cooling.
  void keep_feasible() {
    ffeas_ = f;
    for (int k = 1; k <= ntot; ++k) xfeas_(k) = x_(k);
  }

  // The current vector and value as the point a reheat goes back to.
  void keep_reduction_point() {
    f0_ = f;
    for (int k = 1; k <= ntot; ++k) xrelax_(k) = x_(k);
  }

  Vec xrelax_;
  Vec x_;
  Vec xtrial_;
  Thresholds thresholds_{};
  FactorCounts<kRoomNcon> factors_;
  Array1<double, kRoomNtot> xfeas_;
  double ffeas_ = 0.0;
  double f0_ = 0.0;  // value at the last reduction
  bool reduced_ = false;
  int reheats_left_ = kReheatBudget;
  double radius_;              // the relaxed radius, shrinking
  const double given_radius_;  // the measure's radius at the start
};

}  // namespace

double relaxed_loop(const LoopCall& call, Vec xrelax, Vec x, Vec xtrial) {
  assert(call.ntot <= kRoomNtot && call.ncon <= kRoomNcon);
  RelaxedLoop loop(call, xrelax, x, xtrial);
  anneal(loop);
  return loop.radius();
}

}  // namespace morlan
