// The bundled problem (data/OUTSDIF.d) as the annealing side sees it through
// the problem adaptor and the violation measures: its sizes and constraint
// kinds, a feasible reference point, and finite values everywhere in the box.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>

#include "io/console.hpp"
#include "io/units.hpp"
#include "measures/measure.hpp"
#include "problem/adaptor.hpp"
#include "sif/csetup.hpp"
#include "sif/records.hpp"

namespace morlan {
namespace {

constexpr int kN = 144, kM = 160, kNeq = 123, kNineq = 37;
using Point = Array1<double, kN>;

Point g_reference;  // the file's starting point: the reference operating point
int g_setup_n = 0, g_setup_m = 0;

class BundledProblem : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    const char* source = std::getenv("MORLAN_SOURCE_DIR");
    ASSERT_NE(source, nullptr);
    std::filesystem::current_path(std::filesystem::path(source) / "data");
    io::set_stop_handler(io::throwing_stop_handler);
    // The problem start-up as the program does it (unit 55, messages on 6).
    prbcsa = {kN, kM, kNeq, kNineq};
    init_csa_pd();
    // The starting point through a set-up of our own on another unit; it
    // reads the same file into the same records.
    ASSERT_EQ(io::open_old(77, "OUTSDIF.d"), 0);
    static Array1<double, 1000> x0, bl, bu, v, cl, cu;
    static Array1<bool, 1000> equatn, linear;
    csetup(77, 7, g_setup_n, g_setup_m, x0, bl, bu, 1000, equatn, linear, v, cl, cu, 1000, true,
           false, false);
    io::close_unit(77);
    for (int i = 1; i <= kN; ++i) g_reference(i) = x0(i);
  }
  static void TearDownTestSuite() { io::set_stop_handler(nullptr); }
};

// The largest unrelaxed violation at x: |h| for equalities, or under the
// grid's tolerance.
double largest_violation(const Point& x, bool grid_tolerance) {
  Grid grid;
  grid.any = grid_tolerance;
  return Measure(MeasureForm{}, grid).largest_unrelaxed_violation(x);
}

TEST_F(BundledProblem, ReaderReportsTheLinkedSizesAndKinds) {
  EXPECT_EQ(g_setup_n, kN);
  EXPECT_EQ(g_setup_m, kM);
  EXPECT_EQ(dims.N, kN);
  EXPECT_EQ(dims.M, kM);
  int equalities = 0, one_sided = 0;
  for (int k = 1; k <= kM; ++k) {
    if (bdinfo.idineq(k) == -1) ++equalities;
    if (bdinfo.idineq(k) == 1) ++one_sided;
  }
  EXPECT_EQ(equalities, kNeq);
  EXPECT_EQ(one_sided, kNineq);  // no ranges: each inequality gives one
  for (int k = 1; k <= kNeq; ++k) EXPECT_EQ(bdinfo.idineq(k), -1) << "constraint " << k;
  EXPECT_EQ(bdinfo.idineq(kM + 1), -1);
  // Every variable has two finite bounds, none of them clamped.
  for (int i = 1; i <= kN; ++i) {
    EXPECT_EQ(bdinfo.idbd(i), 2) << "variable " << i;
    EXPECT_LT(xbnd.xl(i), xbnd.xu(i)) << "variable " << i;
    EXPECT_GT(xbnd.xl(i), -10000.0) << "variable " << i;
    EXPECT_LT(xbnd.xu(i), 10000.0) << "variable " << i;
  }
}

TEST_F(BundledProblem, ReferencePointSatisfiesEveryConstraint) {
  for (int i = 1; i <= kN; ++i) {
    ASSERT_GE(g_reference(i), xbnd.xl(i)) << "variable " << i;
    ASSERT_LE(g_reference(i), xbnd.xu(i)) << "variable " << i;
  }
  EXPECT_LT(largest_violation(g_reference, false), 1.0e-5);
  for (int k = 1; k <= kNeq; ++k) EXPECT_LT(std::fabs(ceq(k, kN, g_reference)), 1.0e-5) << k;
  for (int j = 1; j <= kNineq; ++j) EXPECT_LE(cineq(j, kN, g_reference), 0.0) << j;
  // The reference operating point runs the compressors: its cost is positive.
  EXPECT_GT(obj(kN, g_reference), 0.0);
}

TEST_F(BundledProblem, GridPointNextToTheReferenceIsFeasibleWithinTheGridTolerance) {
  // On the grid of 10000 points per unit of range the equalities count as
  // satisfied within 0.001; the grid point nearest the reference point must
  // be feasible in that sense.
  Point x;
  for (int i = 1; i <= kN; ++i) {
    const double w = xbnd.xu(i) - xbnd.xl(i);
    const double points = w >= 1.0 ? std::trunc(w * 10000.0 + 1.0e-6) : 10000.0;
    const double step = w / (points - 1.0);
    x(i) = xbnd.xl(i) + step * std::round((g_reference(i) - xbnd.xl(i)) / step);
  }
  EXPECT_EQ(largest_violation(x, true), 0.0);
  double largest = 0.0;
  for (int k = 1; k <= kNeq; ++k) largest = std::max(largest, std::fabs(ceq(k, kN, x)));
  EXPECT_LT(largest, 0.1 * kDiscreteTolerance);
}

void expect_finite_everywhere(const Point& x, const std::string& where) {
  ASSERT_TRUE(std::isfinite(obj(kN, x))) << where;
  for (int k = 1; k <= kNeq; ++k) ASSERT_TRUE(std::isfinite(ceq(k, kN, x))) << where << " h" << k;
  for (int j = 1; j <= kNineq; ++j)
    ASSERT_TRUE(std::isfinite(cineq(j, kN, x))) << where << " g" << j;
}

TEST_F(BundledProblem, ValuesAreFiniteThroughoutTheBox) {
  Point x;
  // The two extreme corners, and corners mixing lower and upper bounds (the
  // compressor power needs suction and discharge pressures above the station
  // losses at the largest flows).
  for (int pattern = 0; pattern < 6; ++pattern) {
    for (int i = 1; i <= kN; ++i) {
      bool upper = false;
      switch (pattern) {
        case 0: upper = false; break;
        case 1: upper = true; break;
        case 2: upper = i % 2 == 0; break;
        case 3: upper = i % 2 == 1; break;
        case 4: upper = i > 66; break;   // low pressures, largest flows
        case 5: upper = i <= 66; break;  // high pressures, smallest flows
      }
      x(i) = upper ? xbnd.xu(i) : xbnd.xl(i);
    }
    expect_finite_everywhere(x, "corner pattern " + std::to_string(pattern));
  }
  std::mt19937 rng(2026);
  std::uniform_real_distribution<double> u(0.0, 1.0);
  for (int trial = 0; trial < 200; ++trial) {
    for (int i = 1; i <= kN; ++i) x(i) = xbnd.xl(i) + u(rng) * (xbnd.xu(i) - xbnd.xl(i));
    expect_finite_everywhere(x, "random point " + std::to_string(trial));
  }
}

}  // namespace
}  // namespace morlan
