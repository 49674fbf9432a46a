// One problem folder (kProblemFolder, defined beside each test program): its
// data file read by the
// set-up, its decoded routines against differences of themselves,
// and, for a published problem (best_known.txt), the published best-known
// point.
#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
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

// best_known.txt, line by line (lines starting with # are comments):
//   objective <value>          the best-known objective
//   point <x1> ... <xn>        its point (continued on lines of numbers)
//   values <label> x <x1 .. xn> f <f> h <h1 .. hk> g <g1 .. gl> [tol <t>]
//                              reference values at a point (h the
//                              equalities, g the one-sided values, each <= 0
//                              when met, both in the description's order; a
//                              two-sided constraint gives its lower then its
//                              upper value; a list may be empty)
//   infeasible g<k> | h<k>     the point violates that constraint (no
//                              feasible point is known)
//   published <value>          the published value where a better one is
//                              known (not checked)
struct ReferenceValues {
  std::string label;
  std::vector<double> x, f, h, g;
  double tolerance = 1.0e-12;
};

struct BestKnown {
  bool present = false;
  double objective = 0.0;
  std::vector<double> point;
  std::vector<ReferenceValues> values;
  std::vector<std::string> infeasible;  // "g1", "h3", ...
  std::vector<std::string> malformed;
};

// The numbers after keyword `key` up to the next word that is not one.
std::vector<double> numbers_after(std::istringstream& words, std::string& next) {
  std::vector<double> out;
  next.clear();
  for (std::string word; words >> word;) {
    char* end = nullptr;
    const double v = std::strtod(word.c_str(), &end);
    if (end == word.c_str() || *end != '\0') {
      next = word;
      break;
    }
    out.push_back(v);
  }
  return out;
}

// One "values" line (after the keyword); the label is empty when the line
// is malformed.
ReferenceValues read_values(const std::string& rest) {
  ReferenceValues out;
  std::istringstream words(rest);
  std::string label, key;
  if (!(words >> label >> key) || key != "x") return out;
  out.x = numbers_after(words, key);
  for (const char* expected : {"f", "h", "g"}) {
    if (key != expected) return out;
    std::vector<double>& list = key == "f" ? out.f : key == "h" ? out.h : out.g;
    list = numbers_after(words, key);
  }
  if (key == "tol") {
    const std::vector<double> t = numbers_after(words, key);
    if (t.size() != 1) return out;
    out.tolerance = t[0];
  }
  if (!key.empty() || out.f.size() != 1) return out;
  out.label = label;
  return out;
}

// The constraint named by an "infeasible" line: h<k> or g<k>, k >= 1.
bool constraint_name(const std::string& word) {
  if (word.size() < 2 || (word[0] != 'g' && word[0] != 'h')) return false;
  return word.find_first_not_of("0123456789", 1) == std::string::npos && word[1] != '0';
}

// One line of best_known.txt into out; false when it is malformed.
bool read_line(const std::string& line, bool& in_point, BestKnown& out) {
  std::istringstream words(line);
  std::string key, next;
  if (!(words >> key) || key[0] == '#') return true;
  char* end = nullptr;
  std::strtod(key.c_str(), &end);
  const bool number = end != key.c_str() && *end == '\0';
  if (number && in_point) {
    std::istringstream all(line);
    const std::vector<double> more = numbers_after(all, next);
    out.point.insert(out.point.end(), more.begin(), more.end());
    return next.empty();
  }
  in_point = key == "point";
  if (key == "values") {
    out.values.push_back(read_values(line.substr(line.find("values") + 6)));
    return !out.values.back().label.empty();
  }
  const std::vector<double> numbers = numbers_after(words, next);
  if (key == "point") {
    out.point.insert(out.point.end(), numbers.begin(), numbers.end());
    return next.empty();
  }
  if (key == "objective" || key == "published") {
    if (key == "objective" && numbers.size() == 1) out.objective = numbers[0];
    return numbers.size() == 1 && next.empty();
  }
  if (key == "infeasible" && numbers.empty() && constraint_name(next)) {
    out.infeasible.push_back(next);
    return !(words >> next);
  }
  return false;
}

BestKnown read_best_known_text(std::istream& in) {
  BestKnown out;
  bool in_point = false;
  for (std::string line; std::getline(in, line);) {
    if (!read_line(line, in_point, out)) out.malformed.push_back(line);
  }
  out.present = true;
  return out;
}

BestKnown read_best_known() {
  std::ifstream in(folder() + "/best_known.txt");
  if (!in) return BestKnown{};
  BestKnown out = read_best_known_text(in);
  for (const std::string& line : out.malformed) ADD_FAILURE() << "malformed line: " << line;
  return out;
}

// The published tolerance is 1e-4 on equalities and none on inequalities;
// the published points are printed to about 15 digits, which leaves
// residues of that order.
constexpr double kEqualityTolerance = 1.0e-4;
constexpr double kDigitsSlack = 1.0e-9;

// The program's own values at x, in the description's order: the
// objective, the equalities, the one-sided values (lower side first), the
// constraints taken in the order of their groups in the file.
struct OwnValues {
  double f = 0.0;
  std::vector<double> h, g;
};

OwnValues own_values(const std::vector<double>& x) {
  OwnValues out;
  out.f = function_at(0, x);
  const IVec group_constraint = ws::kndofc();
  for (int i = 1; i <= global.NGROUP; ++i) {
    const int k = group_constraint(i);
    if (k <= 0) continue;
    const double c = function_at(k, x);
    if (problem.equatn(k)) {
      out.h.push_back(c);
      continue;
    }
    if (problem.cl(k) > -1e19) out.g.push_back(problem.cl(k) - c);
    if (problem.cu(k) < 1e19) out.g.push_back(c - problem.cu(k));
  }
  return out;
}

bool listed(const std::vector<std::string>& names, const std::string& name) {
  return std::find(names.begin(), names.end(), name) != names.end();
}

// Each constraint at the best-known point holds (an equality within the
// published tolerance, a one-sided value up to the digits' slack), except
// those named infeasible, which must be violated there.
void expect_best_known_feasibility(const BestKnown& best, const OwnValues& own) {
  for (const std::string& name : best.infeasible) {
    const size_t k = std::stoul(name.substr(1));
    EXPECT_LE(k, (name[0] == 'h' ? own.h : own.g).size()) << "infeasible " << name;
  }
  for (size_t i = 0; i < own.h.size(); ++i) {
    const std::string name = "h" + std::to_string(i + 1);
    if (listed(best.infeasible, name)) {
      EXPECT_GT(std::fabs(own.h[i]), kEqualityTolerance) << name << " is listed infeasible";
    } else {
      EXPECT_LE(std::fabs(own.h[i]), kEqualityTolerance + kDigitsSlack) << name;
    }
  }
  for (size_t i = 0; i < own.g.size(); ++i) {
    const std::string name = "g" + std::to_string(i + 1);
    if (listed(best.infeasible, name)) {
      EXPECT_GT(own.g[i], 0.0) << name << " is listed infeasible";
    } else {
      EXPECT_LE(own.g[i], kDigitsSlack) << name;
    }
  }
}

TEST_F(ProblemFolder, PublishedBestKnownPointHasThePublishedValueAndIsFeasible) {
  const BestKnown best = read_best_known();
  if (!best.present) GTEST_SKIP() << "no best_known.txt: not a published problem";
  if (best.point.empty()) GTEST_SKIP() << "best_known.txt gives reference values only";
  ASSERT_EQ(static_cast<int>(best.point.size()), problem.n);
  for (int i = 1; i <= problem.n; ++i) {
    EXPECT_GE(best.point[i - 1], problem.bl(i)) << "variable " << i;
    EXPECT_LE(best.point[i - 1], problem.bu(i)) << "variable " << i;
  }
  const OwnValues own = own_values(best.point);
  EXPECT_LE(std::fabs(own.f - best.objective), 1e-6 * std::fabs(best.objective))
      << "objective " << own.f << ", published " << best.objective;
  expect_best_known_feasibility(best, own);
}

void expect_close(double own, double reference, double tolerance, const std::string& what) {
  EXPECT_LE(std::fabs(own - reference), tolerance * std::max(1.0, std::fabs(reference)))
      << what << ": the program gives " << own << ", the reference " << reference;
}

void expect_reference_values(const ReferenceValues& ref) {
  ASSERT_EQ(static_cast<int>(ref.x.size()), problem.n) << ref.label;
  const OwnValues own = own_values(ref.x);
  ASSERT_EQ(own.h.size(), ref.h.size()) << ref.label << ": equalities";
  ASSERT_EQ(own.g.size(), ref.g.size()) << ref.label << ": one-sided values";
  expect_close(own.f, ref.f[0], ref.tolerance, ref.label + " objective");
  for (size_t i = 0; i < own.h.size(); ++i) {
    expect_close(own.h[i], ref.h[i], ref.tolerance, ref.label + " h" + std::to_string(i + 1));
  }
  for (size_t i = 0; i < own.g.size(); ++i) {
    expect_close(own.g[i], ref.g[i], ref.tolerance, ref.label + " g" + std::to_string(i + 1));
  }
}

TEST_F(ProblemFolder, ProgramGivesTheReferenceValuesOfBestKnownTxt) {
  const BestKnown best = read_best_known();
  if (best.values.empty()) GTEST_SKIP() << "no values lines in best_known.txt";
  for (const ReferenceValues& ref : best.values) {
    if (!ref.label.empty()) expect_reference_values(ref);
  }
}

// A reference objective off by a thousand times the tolerance fails, naming
// the point and the value.
ReferenceValues shifted_reference;

TEST_F(ProblemFolder, ReferenceValuesThatDifferFail) {
  const BestKnown best = read_best_known();
  if (best.values.empty()) GTEST_SKIP() << "no values lines in best_known.txt";
  shifted_reference = best.values.front();
  shifted_reference.f[0] += 1e3 * shifted_reference.tolerance *
                            std::max(1.0, std::fabs(shifted_reference.f[0]));
  EXPECT_NONFATAL_FAILURE(expect_reference_values(shifted_reference), " objective: the program");
}

TEST(ReferenceValuesLine, IsReadWithItsListsAndTolerance) {
  const ReferenceValues v = read_values(" start x 1 -2.5e0 f 3 h g 4 5 tol 1e-9");
  EXPECT_EQ(v.label, "start");
  EXPECT_EQ(v.x, (std::vector<double>{1.0, -2.5}));
  EXPECT_EQ(v.f, std::vector<double>{3.0});
  EXPECT_TRUE(v.h.empty());
  EXPECT_EQ(v.g, (std::vector<double>{4.0, 5.0}));
  EXPECT_EQ(v.tolerance, 1e-9);
  EXPECT_EQ(read_values(" best x 1 f 2 h 3").label, "");          // no g
  EXPECT_EQ(read_values(" best x 1 f 2 3 h g").label, "");        // two objectives
  EXPECT_EQ(read_values(" best x 1 f 2 h g tol").label, "");      // tol without a value
  EXPECT_EQ(read_values(" best x 1 f 2 h g 1 extra").label, "");  // a stray word
}

TEST(BestKnownTxt, IsReadLineByLine) {
  std::istringstream text(
      "# g20: no feasible point is known\n"
      "objective 1.5\n"
      "point 1 2\n"
      "  3e0\n"
      "published 2.0\n"
      "infeasible g2\n"
      "values best x 1 2 3 f 1.5 h 0.5 g\n"
      "values start x 1 2 3 f 1 h g -1 2\n");
  const BestKnown best = read_best_known_text(text);
  EXPECT_TRUE(best.malformed.empty());
  EXPECT_EQ(best.objective, 1.5);
  EXPECT_EQ(best.point, (std::vector<double>{1.0, 2.0, 3.0}));
  EXPECT_EQ(best.infeasible, std::vector<std::string>{"g2"});
  ASSERT_EQ(best.values.size(), 2u);
  EXPECT_EQ(best.values[0].h, std::vector<double>{0.5});
  EXPECT_TRUE(best.values[0].g.empty());
  for (const char* line : {"infeasible g0", "infeasible x1", "infeasible g1 g2", "infeasible",
                           "objective", "published two", "4 5", "pointless 3", "point 1 a"}) {
    std::istringstream one(line);
    EXPECT_EQ(read_best_known_text(one).malformed.size(), 1u) << line;
  }
}

// A constraint listed infeasible must be violated at the point; the others
// must hold.
BestKnown listed_best;
OwnValues listed_values;

TEST(BestKnownTxt, InfeasibleConstraintsAreViolatedAndTheOthersHold) {
  listed_best.infeasible = {"g2"};
  listed_values.h = {5e-5};
  listed_values.g = {-1.0, 0.14};
  expect_best_known_feasibility(listed_best, listed_values);  // as listed: passes
  listed_values.g = {-1.0, -0.14};
  EXPECT_NONFATAL_FAILURE(expect_best_known_feasibility(listed_best, listed_values),
                          "g2 is listed infeasible");
  listed_values.g = {0.14, 0.14};
  EXPECT_NONFATAL_FAILURE(expect_best_known_feasibility(listed_best, listed_values), "g1");
  listed_best.infeasible = {"h1"};
  listed_values.g = {-1.0, -1.0};
  EXPECT_NONFATAL_FAILURE(expect_best_known_feasibility(listed_best, listed_values),
                          "h1 is listed infeasible");
  listed_best.infeasible = {"g3"};
  listed_values.h = {};
  EXPECT_NONFATAL_FAILURE(expect_best_known_feasibility(listed_best, listed_values),
                          "infeasible g3");
}

}  // namespace
}  // namespace morlan

