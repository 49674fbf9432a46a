// Objective and constraint evaluation: the hand-made problem against values
// computed from its description, gradients against central differences (on
// the hand-made problem and the bundled data file), counters and failures.
#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "io/console.hpp"
#include "io/units.hpp"
#include "sif/csetup.hpp"
#include "sif/evaluate.hpp"
#include "sif/records.hpp"
#include "tests/sif/sif_file.hpp"
#include "tests/sif/toy_values.hpp"

namespace morlan {
namespace {

double objective(std::vector<double> x) {
  double f = 0.0;
  cofg(static_cast<int>(x.size()), CVec(x.data(), static_cast<int>(x.size())), f, Vec(), false);
  return f;
}

double constraint(int icon, std::vector<double> x) {
  double c = 0.0;
  ccifg(static_cast<int>(x.size()), icon, CVec(x.data(), static_cast<int>(x.size())), c, Vec(),
        false);
  return c;
}

// Gradient of the objective (icon 0) or of a constraint.
std::vector<double> gradient(int icon, std::vector<double> x) {
  const int n = static_cast<int>(x.size());
  std::vector<double> g(x.size(), -99.0);
  double value = 0.0;
  if (icon == 0) {
    cofg(n, CVec(x.data(), n), value, Vec(g.data(), n), true);
  } else {
    ccifg(n, icon, CVec(x.data(), n), value, Vec(g.data(), n), true);
  }
  return g;
}

double value_of(int icon, const std::vector<double>& x) {
  return icon == 0 ? objective(x) : constraint(icon, x);
}

void expect_gradient_matches_differences(int icon, const std::vector<double>& x) {
  const auto g = gradient(icon, x);
  for (std::size_t i = 0; i < x.size(); ++i) {
    const double h = 1e-6 * std::max(1.0, std::fabs(x[i]));
    auto plus = x, minus = x;
    plus[i] += h;
    minus[i] -= h;
    const double fd = (value_of(icon, plus) - value_of(icon, minus)) / (2 * h);
    ASSERT_NEAR(g[i], fd, 2e-5 * std::max(1.0, std::fabs(fd)))
        << "function " << icon << ", variable " << i + 1;
  }
}

class ToyProblem : public ::testing::Test {
 protected:
  void SetUp() override {
    const auto run = testing::run_setup(testing::toy_problem().text());
    ASSERT_FALSE(run.stopped) << run.err;
  }
};

TEST_F(ToyProblem, ValuesMatchTheHandComputation) {
  std::mt19937 rng(3);
  std::uniform_real_distribution<double> u(-0.3, 0.3);
  for (int trial = 0; trial < 10; ++trial) {
    const std::array<double, 5> x = {2.0 + u(rng), 3.0 + u(rng), 1.5 * (trial % 2 ? -1 : 1) + u(rng),
                                     0.5 + u(rng), 1.0 + u(rng)};
    const std::vector<double> xv(x.begin(), x.end());
    const auto expected = testing::toy_values(x);
    EXPECT_NEAR(objective(xv), expected.objective, 1e-12 * std::fabs(expected.objective));
    for (int c = 1; c <= 4; ++c) {
      EXPECT_NEAR(constraint(c, xv), expected.constraint[c - 1],
                  1e-12 * std::max(1.0, std::fabs(expected.constraint[c - 1])))
          << "constraint " << c;
    }
  }
}

TEST_F(ToyProblem, GradientsMatchCentralDifferences) {
  std::mt19937 rng(7);
  std::uniform_real_distribution<double> u(-0.4, 0.4);
  for (int trial = 0; trial < 10; ++trial) {
    const std::vector<double> x = {2.0 + u(rng), 3.0 + u(rng), (trial % 2 ? -1.5 : 1.5) + u(rng),
                                   0.5 + u(rng), 1.0 + u(rng)};
    for (int icon = 0; icon <= 4; ++icon) expect_gradient_matches_differences(icon, x);
  }
}

TEST_F(ToyProblem, LinearConstraintGradientIsItsCoefficients) {
  const auto g = gradient(1, {0.3, 0.1, 0.4, 0.1, 0.9});
  EXPECT_EQ(g, (std::vector<double>{1.0, 1.0, 1.0, 1.0, 1.0}));
}

TEST_F(ToyProblem, SharedObjectiveElementIsEvaluatedOnce) {
  global.FUVALS(3) = -123.0;  // element 3 belongs to a constraint only
  objective({2.0, 3.0, 1.5, 0.5, 1.0});
  EXPECT_EQ(global.FUVALS(3), -123.0);
  EXPECT_EQ(ws::icalc()(1), 1);
  EXPECT_EQ(ws::icalc()(2), 2);
  // Constraint groups have no argument during an objective evaluation.
  EXPECT_EQ(ws::grparg()(2), 0.0);
}

TEST_F(ToyProblem, CountsEvaluations) {
  objective({2.0, 3.0, 1.5, 0.5, 1.0});
  gradient(0, {2.0, 3.0, 1.5, 0.5, 1.0});
  constraint(2, {2.0, 3.0, 1.5, 0.5, 1.0});
  gradient(3, {2.0, 3.0, 1.5, 0.5, 1.0});
  EXPECT_EQ(prfcts.count(1), 2);
  EXPECT_EQ(prfcts.count(2), 1);
  EXPECT_EQ(prfcts.count(4), 0);  // trivial groups are not counted
  EXPECT_EQ(prfcts.count(5), 1);
}

TEST_F(ToyProblem, InvalidConstraintIndexStops) {
  io::set_stop_handler(io::throwing_stop_handler);
  for (int icon : {0, 5}) {
    testing::Capture out(6);
    try {
      constraint(icon, {2.0, 3.0, 1.5, 0.5, 1.0});
      ADD_FAILURE() << "no stop for " << icon;
    } catch (const io::StopRequest& stop) {
      EXPECT_EQ(stop.status, 1);
    }
    EXPECT_EQ(out.text(), " ** SUBROUTINE CCIFG: invalid constraint index ICON \n");
  }
  io::set_stop_handler(nullptr);
}

TEST(Evaluation, WithoutConstraintsCcifgTouchesNothing) {
  ASSERT_FALSE(testing::run_setup(testing::linear_problem(3).text()).stopped);
  std::vector<double> x = {2.0, 5.0, 7.0};
  double c = -5.0;
  ccifg(3, 1, CVec(x.data(), 3), c, Vec(), false);
  EXPECT_EQ(c, -5.0);
  EXPECT_EQ(objective(x), 2.0);
}

// The bundled data file of the linked problem.
class BundledProblem : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* source = std::getenv("MORLAN_SOURCE_DIR");
    ASSERT_NE(source, nullptr);
    const std::string path = std::string(source) + "/data/OUTSDIF.d";
    ASSERT_EQ(io::open_old(55, path), 0) << path;
    static bool equatn[1000], linear[1000];
    static double v[1000], cl[1000], cu[1000];
    x0.assign(1000, 0.0);
    bl = bu = x0;
    io::set_stop_handler(io::throwing_stop_handler);
    csetup(55, 6, n, m, Vec(x0.data(), 1000), Vec(bl.data(), 1000), Vec(bu.data(), 1000), 1000,
           LVec(equatn, 1000), LVec(linear, 1000), Vec(v, 1000), Vec(cl, 1000), Vec(cu, 1000),
           1000, true, false, false);
    io::set_stop_handler(nullptr);
    io::close_unit(55);
    x0.resize(static_cast<std::size_t>(n));
  }
  int n = 0, m = 0;
  std::vector<double> x0, bl, bu;
};

TEST_F(BundledProblem, GradientsMatchCentralDifferences) {
  ASSERT_EQ(n, 144);
  ASSERT_EQ(m, 160);
  std::mt19937 rng(19);
  std::uniform_real_distribution<double> u(-0.01, 0.01);
  for (int trial = 0; trial < 3; ++trial) {
    std::vector<double> x = x0;
    for (double& xi : x) xi += u(rng) * std::max(1.0, std::fabs(xi));
    for (int icon = 0; icon <= m; ++icon) expect_gradient_matches_differences(icon, x);
  }
}

}  // namespace
}  // namespace morlan
