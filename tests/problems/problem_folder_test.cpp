// One problem folder (kProblemFolder, defined beside each test program): its
// data file read by the
// set-up, its decoded routines against differences of themselves,
// and, for a published problem (best_known.txt), the published best-known
// point.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "io/console.hpp"
#include "io/units.hpp"
#include "sif/csetup.hpp"
#include "sif/decoded/decoded.hpp"
#include "sif/evaluate.hpp"
#include "sif/records.hpp"

namespace morlan {

// The folder under test (problems/<name>), one per test program.
extern const char* const kProblemFolder;

namespace {

constexpr int kUnit = 55;
constexpr int kCapacity = 1000;

// The set-up's outputs, kept for the whole test program.
struct Problem {
  int n = 0, m = 0;
  Array1<double, kCapacity> x0, bl, bu, v, cl, cu;
  Array1<bool, kCapacity> equatn, linear;
};
Problem problem;

std::string folder() { return kProblemFolder; }

class ProblemFolder : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    io::set_stop_handler(io::throwing_stop_handler);
    ASSERT_EQ(io::open_old(kUnit, folder() + "/OUTSDIF.d"), 0);
    Problem& p = problem;
    csetup(kUnit, io::kStdout, p.n, p.m, p.x0, p.bl, p.bu, kCapacity, p.equatn, p.linear, p.v,
           p.cl, p.cu, kCapacity, true, false, false);
    io::close_unit(kUnit);
  }
  static void TearDownTestSuite() { io::set_stop_handler(nullptr); }
};

std::vector<double> random_point(std::mt19937& rng) {
  std::uniform_real_distribution<double> u(0.05, 0.95);
  std::vector<double> x(problem.n);
  for (int i = 1; i <= problem.n; ++i) {
    x[i - 1] = problem.bl(i) + u(rng) * (problem.bu(i) - problem.bl(i));
  }
  return x;
}

// Element e's type and parameters, laid out alone: its elemental variables
// are 1..k (an element of the file may name one variable twice, and its
// derivatives are those of its elemental variables taken apart).
struct LoneElement {
  int k = 0;
  std::vector<int> itypee, istaev, ielvar, intvar, isthes, istep;
  std::vector<double> epvalu;

  explicit LoneElement(int e) {
    k = ws::istaev()(e + 1) - ws::istaev()(e);
    const int first = ws::istep()(e), npar = ws::istep()(e + 1) - first;
    for (int j = 0; j < npar; ++j) epvalu.push_back(ws::epvalu()(first + j));
    epvalu.push_back(0.0);  // a view of no parameters still needs storage
    itypee = {ws::itypee()(e)};
    istaev = {1, k + 1};
    for (int j = 1; j <= k; ++j) ielvar.push_back(j);
    intvar = {2, 2 + k};        // gradient after the value in fuvals
    isthes = {2 + k, 2 + k + k * (k + 1) / 2};
    istep = {1, npar + 1};
  }
};

// The value, gradient and packed Hessian of the lone element at y, from
// elfuns; and its value from element_value.
struct ElementAt {
  double value, value_alone;
  std::vector<double> gradient, hessian;
};

ElementAt element_at(const LoneElement& le, const std::vector<double>& y) {
  const int k = le.k;
  std::vector<double> fuvals(2 + k + k * (k + 1) / 2);
  int one = 1;
  const auto call = [&](int mode) {
    elfuns(Vec(fuvals.data(), static_cast<int>(fuvals.size())), CVec(y.data(), k),
           CVec(le.epvalu.data(), static_cast<int>(le.epvalu.size())), 1, CIVec(le.itypee.data(), 1),
           CIVec(le.istaev.data(), 2), CIVec(le.ielvar.data(), k), CIVec(le.intvar.data(), 2),
           CIVec(le.isthes.data(), 2), CIVec(le.istep.data(), 2), CIVec(&one, 1), mode);
  };
  ElementAt out;
  call(1);
  out.value = fuvals[0];
  out.value_alone = element_value(1, CVec(y.data(), k),
                                  CVec(le.epvalu.data(), static_cast<int>(le.epvalu.size())),
                                  CIVec(le.itypee.data(), 1), CIVec(le.istaev.data(), 2),
                                  CIVec(le.ielvar.data(), k), CIVec(le.istep.data(), 2));
  call(3);
  out.gradient.assign(fuvals.begin() + 1, fuvals.begin() + 1 + k);
  out.hessian.assign(fuvals.begin() + 1 + k, fuvals.end());
  return out;
}

// The elemental variables of element e at the problem point x.
std::vector<double> elemental(int e, const std::vector<double>& x) {
  std::vector<double> y;
  for (int p = ws::istaev()(e); p < ws::istaev()(e + 1); ++p) y.push_back(x[ws::ielvar()(p) - 1]);
  return y;
}

double difference_step(double v) { return 1e-6 * std::max(1.0, std::fabs(v)); }

// Central differences of the element's values against its gradient, and of
// its gradients against its Hessian.
void expect_element_derivatives(int e, const std::vector<double>& y) {
  const LoneElement le(e);
  const ElementAt at = element_at(le, y);
  for (int j = 0; j < le.k; ++j) {
    const double h = difference_step(y[j]);
    auto plus = y, minus = y;
    plus[j] += h;
    minus[j] -= h;
    const ElementAt up = element_at(le, plus), down = element_at(le, minus);
    const double slope = (up.value - down.value) / (2 * h);
    EXPECT_NEAR(at.gradient[j], slope, 1e-5 * std::max(1.0, std::fabs(slope)))
        << "element " << e << ", gradient entry " << j + 1;
    for (int i = 0; i < le.k; ++i) {
      // Entry (i, j) of the upper triangle packed by columns.
      const int hi = std::max(i, j), lo = std::min(i, j);
      const double second = (up.gradient[i] - down.gradient[i]) / (2 * h);
      EXPECT_NEAR(at.hessian[hi * (hi + 1) / 2 + lo], second,
                  1e-5 * std::max(1.0, std::fabs(second)))
          << "element " << e << ", Hessian entry (" << i + 1 << ", " << j + 1 << ")";
    }
  }
}

TEST_F(ProblemFolder, ElementDerivativesMatchDifferences) {
  std::mt19937 rng(14);
  for (int trial = 0; trial < 5; ++trial) {
    const auto x = random_point(rng);
    for (int e = 1; e <= global.NELEM; ++e) expect_element_derivatives(e, elemental(e, x));
  }
}

TEST_F(ProblemFolder, ValueOnlyRoutineGivesTheSameBitsAsElfuns) {
  std::mt19937 rng(15);
  for (int trial = 0; trial < 5; ++trial) {
    const auto x = random_point(rng);
    for (int e = 1; e <= global.NELEM; ++e) {
      const ElementAt at = element_at(LoneElement(e), elemental(e, x));
      EXPECT_EQ(at.value_alone, at.value) << "element " << e;
    }
  }
}

// The objective (icon 0) or constraint icon at x, with its gradient.
double function_at(int icon, const std::vector<double>& x, std::vector<double>* g = nullptr) {
  double value = 0.0;
  std::vector<double> scratch(problem.n);
  Vec gv(g ? g->data() : scratch.data(), problem.n);
  if (icon == 0) {
    cofg(problem.n, CVec(x.data(), problem.n), value, gv, g != nullptr);
  } else {
    ccifg(problem.n, icon, CVec(x.data(), problem.n), value, gv, g != nullptr);
  }
  return value;
}

TEST_F(ProblemFolder, ObjectiveAndConstraintGradientsMatchDifferences) {
  std::mt19937 rng(16);
  const auto x = random_point(rng);
  for (int icon = 0; icon <= problem.m; ++icon) {
    std::vector<double> g(problem.n);
    function_at(icon, x, &g);
    for (int i = 0; i < problem.n; ++i) {
      const double h = difference_step(x[i]);
      auto plus = x, minus = x;
      plus[i] += h;
      minus[i] -= h;
      const double slope = (function_at(icon, plus) - function_at(icon, minus)) / (2 * h);
      EXPECT_NEAR(g[i], slope, 1e-5 * std::max(1.0, std::fabs(slope)))
          << "function " << icon << ", variable " << i + 1;
    }
  }
}

// best_known.txt: "objective <value>" and "point <x1> ... <xn>" (over as many
// lines as needed); lines starting with # are comments.
struct BestKnown {
  bool present = false;
  double objective = 0.0;
  std::vector<double> point;
};

BestKnown read_best_known() {
  BestKnown out;
  std::ifstream in(folder() + "/best_known.txt");
  if (!in) return out;
  std::string line, text;
  while (std::getline(in, line)) {
    if (!line.empty() && line[0] != '#') text += line + " ";
  }
  std::istringstream words(text);
  std::string word;
  while (words >> word) {
    if (word == "objective") words >> out.objective;
    if (word == "point") {
      for (double v; words >> v;) out.point.push_back(v);
    }
  }
  out.present = true;
  return out;
}

// The published tolerance is 1e-4 on equalities and none on inequalities;
// the published points are printed to about 15 digits, which leaves
// residues of that order.
constexpr double kEqualityTolerance = 1.0e-4;
constexpr double kDigitsSlack = 1.0e-9;

TEST_F(ProblemFolder, PublishedBestKnownPointHasThePublishedValueAndIsFeasible) {
  const BestKnown best = read_best_known();
  if (!best.present) GTEST_SKIP() << "no best_known.txt: not a published problem";
  ASSERT_EQ(static_cast<int>(best.point.size()), problem.n);
  for (int i = 1; i <= problem.n; ++i) {
    EXPECT_GE(best.point[i - 1], problem.bl(i)) << "variable " << i;
    EXPECT_LE(best.point[i - 1], problem.bu(i)) << "variable " << i;
  }
  const double f = function_at(0, best.point);
  EXPECT_LE(std::fabs(f - best.objective), 1e-6 * std::fabs(best.objective))
      << "objective " << f << ", published " << best.objective;
  for (int k = 1; k <= problem.m; ++k) {
    const double c = function_at(k, best.point);
    if (problem.equatn(k)) {
      EXPECT_LE(std::fabs(c), kEqualityTolerance + kDigitsSlack) << "equality " << k;
    } else {
      if (problem.cl(k) > -1e19) {
        EXPECT_LE(problem.cl(k) - c, kDigitsSlack) << "inequality " << k;
      }
      if (problem.cu(k) < 1e19) {
        EXPECT_LE(c - problem.cu(k), kDigitsSlack) << "inequality " << k;
      }
    }
  }
}

}  // namespace
}  // namespace morlan
