// The SQP binding on the bundled problem (data/OUTSDIF.d): the numbering of
// the solver's inequalities, scaling, numerical against analytic gradients,
// and a local solve from near the reference point.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>

#include "base/config.hpp"
#include "io/console.hpp"
#include "io/units.hpp"
#include "measures/records.hpp"
#include "sif/csetup.hpp"
#include "sqp/nlcalls.hpp"
#include "sqp/polish.hpp"
#include "sqp/solver_records.hpp"
#include "sqp/sqpglue.hpp"
#include "sqp/sqpstart.hpp"
#include "tests/sif/sif_file.hpp"
#include "tests/sqp/objective_scale.hpp"
#include "tests/support/bundled_data.hpp"

namespace morlan {
namespace {

constexpr int kN = cfg::kNvar;
using Point = Array1<double, kN>;

// The problem's starting point, which is its reference operating point
// (feasible, equalities to 1.0e-7).
Point g_reference;

class BundledBinding : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    io::set_stop_handler(io::throwing_stop_handler);
    testing::enter_bundled_data();
    slobj.value = 1.0;
    initial_orvale();
    // Read the starting point with a set-up of our own on another unit; it
    // fills the same evaluation records with the same data.
    ASSERT_EQ(io::open_old(77, "OUTSDIF.d"), 0);
    static Array1<double, 1000> x0, bl, bu, v, cl, cu;
    static Array1<bool, 1000> equatn, linear;
    int n = 0, m = 0;
    csetup(77, 7, n, m, x0, bl, bu, 1000, equatn, linear, v, cl, cu, 1000, true, false, false);
    ASSERT_EQ(n, kN);
    ASSERT_EQ(m, cfg::kNcon);
    for (int i = 1; i <= kN; ++i) g_reference(i) = x0(i);
    io::close_unit(77);
  }
  void SetUp() override {
    slobj.value = 1.0;
    isslopefd.value = 0;
    o8mpar(1) = DBL_EPSILON;
  }
};

TEST_F(BundledBinding, StartUpSeesTheProblemAsTheSolverDoes) {
  EXPECT_EQ(o8dim(1), 144);
  EXPECT_EQ(o8dim(2), 123);
  EXPECT_EQ(o8dim(3), 325);
  EXPECT_EQ(prbsqp.m, 448);
  EXPECT_EQ(bbdinfo.ncineq, 37);
  for (int i = 1; i <= kN; ++i) ASSERT_EQ(bbdinfo.idbd(i), 2) << i;
  EXPECT_EQ(bbdinfo.idbd(145), -1);
  EXPECT_NE(io::input_stream(66), nullptr);
}

TEST_F(BundledBinding, BoundInequalitiesFollowTheConstraintOnes) {
  Point x = g_reference;
  double g = 0.0;
  eg(38, x, g);
  EXPECT_EQ(g, x(1) - xxbnd.xl(1));
  eg(39, x, g);
  EXPECT_EQ(g, xxbnd.xu(1) - x(1));
  eg(40, x, g);
  EXPECT_EQ(g, x(2) - xxbnd.xl(2));
  eg(325, x, g);
  EXPECT_EQ(g, xxbnd.xu(144) - x(144));
  // At the reference point every inequality holds.
  for (int j = 1; j <= 325; ++j) {
    eg(j, x, g);
    EXPECT_GE(g, 0.0) << "inequality " << j;
  }
  EXPECT_LT(vviomax(kN, x), 1.0e-6);
}

TEST_F(BundledBinding, IndexOneBeyondTheLastBoundStops) {
  Point x = g_reference;
  testing::Capture out(6);
  int status = -1;
  try {
    ccineq(326, kN, x);
  } catch (const io::StopRequest& stop) {
    status = stop.status;
  }
  EXPECT_EQ(out.text(), " wrong m in ccineq()\n");
  EXPECT_EQ(status, io::kExitError);
}

TEST_F(BundledBinding, ObjectiveScaleDividesValueAndGradients) {
  Point x = g_reference;
  const auto r = testing::objective_at_two_scales(x);
  EXPECT_DOUBLE_EQ(r.f10, r.f1 / 10.0);
  for (int k = 1; k <= kN; ++k) {
    EXPECT_DOUBLE_EQ(r.analytic10(k), r.analytic1(k) / 10.0);
    const double tolerance = 1e-9 * (1.0 + std::fabs(r.numerical1(k)));
    EXPECT_NEAR(r.numerical10(k), r.numerical1(k) / 10.0, tolerance);
  }
}

// Largest gap between numerical and analytic gradient, relative to the
// gradient's size.
template <class Gradient>
double gradient_gap(Point& x, Gradient gradient) {
  Point num, ana;
  isslopefd.value = 1;
  gradient(x, num);
  isslopefd.value = 0;
  gradient(x, ana);
  double scale = 1.0, gap = 0.0;
  for (int k = 1; k <= kN; ++k) scale = std::max(scale, std::fabs(ana(k)));
  for (int k = 1; k <= kN; ++k) gap = std::max(gap, std::fabs(num(k) - ana(k)));
  return gap / scale;
}

TEST_F(BundledBinding, NumericalGradientsAgreeWithAnalyticOnes) {
  // Away from the reference point, inside the box.
  Point x = g_reference;
  for (int k = 1; k <= kN; ++k) {
    x(k) = x(k) + 0.01 * ((k % 3) - 1) * (xxbnd.xu(k) - xxbnd.xl(k));
    x(k) = std::clamp(x(k), xxbnd.xl(k), xxbnd.xu(k));
  }
  const Point before = x;
  EXPECT_LT(gradient_gap(x, [](Point& p, Point& g) { egradf(p, g); }), 1e-6);
  for (int i = 1; i <= 123; ++i) {
    EXPECT_LT(gradient_gap(x, [i](Point& p, Point& g) { egradh(i, p, g); }), 1e-6) << i;
  }
  for (int j : {1, 2, 17, 36, 37, 38, 39, 200, 325}) {
    EXPECT_LT(gradient_gap(x, [j](Point& p, Point& g) { egradg(j, p, g); }), 1e-6) << j;
  }
  for (int k = 1; k <= kN; ++k) ASSERT_EQ(x(k), before(k));
}

// Grid step of variable i on the annealing grid: about 10000 points per unit
// of range.
double grid_step(int i) {
  const double w = xxbnd.xu(i) - xxbnd.xl(i);
  const double points = w >= 1.0 ? std::trunc(w * 10000.0 + 1.0e-6) : 10000.0;
  return w / (points - 1.0);
}

TEST_F(BundledBinding, SolveFromAPerturbedReferencePointIsFeasibleAndNoWorse) {
  Point x = g_reference;
  const double f_reference = oobj(kN, x);
  for (int i = 1; i <= kN; ++i) {
    const int steps = (i % 7) - 3;  // -3 .. 3 grid steps
    x(i) = std::clamp(x(i) + steps * grid_step(i), xxbnd.xl(i), xxbnd.xu(i));
  }
  EXPECT_GT(vviomax(kN, x), 1.0e-5);  // the perturbation does break feasibility
  int ifeas = 0, iters = 0;
  double fobj = 0.0, vmax = 0.0;
  sqpstart(ifeas, x, fobj, vmax, iters);
  std::printf("reference objective %.10g; solve: objective %.10g, violation %.3g, %d iterations\n",
              f_reference, fobj, vmax, iters);
  EXPECT_EQ(ifeas, 1);
  EXPECT_LT(vmax, 1.0e-5);
  EXPECT_LE(fobj, f_reference);
  EXPECT_GT(iters, 0);
  EXPECT_LE(iters, 1000);
  EXPECT_EQ(fobj, oobj(kN, x));
}

// What --polish prints for a run whose best point is the reference point:
// one line for the run, then the best polished objective, no worse than the
// reference point's.
TEST_F(BundledBinding, PolishingTheReferencePointPrintsItsLines) {
  Polisher polisher;
  std::string text;
  {
    testing::Capture out(6);
    polisher.polish_run(g_reference, 1.0, {kSolveIterations, 0.0});
    polisher.print_summary();
    text = out.text();
  }
  std::printf("%s", text.c_str());
  EXPECT_EQ(text.rfind(" polished: Obj = ", 0), 0u);
  EXPECT_NE(text.find(" best polished Obj = "), std::string::npos);
  EXPECT_EQ(polisher.feasible_runs(), 1);
  EXPECT_LE(polisher.best(), oobj(kN, g_reference));
}

}  // namespace
}  // namespace morlan
