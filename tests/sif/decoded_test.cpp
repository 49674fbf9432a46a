// Element functions of the linked problem: values at known points, gradients
// and packed Hessians against central differences, and the type aliases.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <random>

#include "sif/decoded/decoded.hpp"
#include "sif/records.hpp"

namespace morlan {
namespace {

// One element evaluated alone: variables 1..nv of x are its elemental
// variables, its parameters are p; gradient from entry 2, Hessian after it.
struct OneElement {
  int type;
  std::array<double, 4> x{};
  std::array<double, 2> p{};

  int nv() const { return type == 1 ? 3 : 4; }

  // mode 1: value in out[0]; 2: gradient in out[1..nv]; 3: also the packed
  // Hessian in out[1+nv ..].
  std::array<double, 16> eval(int mode) const {
    std::array<double, 16> out{};
    out.fill(-777.0);
    const int n = nv();
    int itypee[1] = {type};
    int istaev[2] = {1, 1 + n};
    int ielvar[4] = {1, 2, 3, 4};
    int intvar[2] = {2, 2 + n};
    int isthes[2] = {2 + n, 2 + n + n * (n + 1) / 2};
    int istep[2] = {1, type == 1 ? 2 : 3};
    int icalc[1] = {1};
    elfuns(Vec(out.data(), 16), CVec(x.data(), 4), CVec(p.data(), 2), 1, CIVec(itypee, 1),
           CIVec(istaev, 2), CIVec(ielvar, 4), CIVec(intvar, 2), CIVec(isthes, 2),
           CIVec(istep, 2), CIVec(icalc, 1), mode);
    return out;
  }
  double value() const { return eval(1)[0]; }
};

TEST(ElementType1, ValueAndGradientAtZeroFlow) {
  OneElement e{1, {3.0, 1.0, 0.0, 0.0}, {0.7, 0.0}};
  EXPECT_EQ(e.value(), 8.0);
  const auto g = e.eval(2);
  EXPECT_EQ(g[1], 6.0);
  EXPECT_EQ(g[2], -2.0);
  EXPECT_EQ(g[3], 0.0);
  // Mode 2 stores no Hessian and no value.
  EXPECT_EQ(g[0], -777.0);
  EXPECT_EQ(g[4], -777.0);
  // Mode 3: the (3,3) entry is infinite at zero flow.
  const auto h = e.eval(3);
  EXPECT_EQ(h[4], 2.0);
  EXPECT_EQ(h[5], 0.0);
  EXPECT_EQ(h[6], -2.0);
  EXPECT_TRUE(std::isinf(h[9]));
}

TEST(ElementType1, ValueAndGradientWithFlow) {
  OneElement e{1, {3.0, 1.0, 2.0, 0.0}, {0.5, 0.0}};
  EXPECT_NEAR(e.value(), 6.1926198, 1e-7);
  EXPECT_NEAR(e.eval(2)[3], -1.6753510, 1e-7);
  // Negative flow: the value is odd in y3.
  OneElement back{1, {3.0, 1.0, -2.0, 0.0}, {0.5, 0.0}};
  EXPECT_DOUBLE_EQ(back.value() - 8.0, -(e.value() - 8.0));
}

TEST(ElementType2, ValueAndGradientAtKnownPoint) {
  OneElement e{2, {2.0, 3.0, 1.0, 0.0}, {0.0, 0.0}};
  EXPECT_NEAR(e.value(), 19.981411, 1e-6);
  const auto g = e.eval(2);
  EXPECT_NEAR(g[1], -25.810864, 1e-6);
  EXPECT_NEAR(g[2], 17.207243, 1e-6);
  EXPECT_NEAR(g[3], 19.981411, 1e-6);
  EXPECT_EQ(g[4], 0.0);
}

TEST(ElementType2, EqualPressuresGiveNoWork) {
  // S = D: x1 - p1*x4 = x2 + p2*x4 = 3.
  OneElement e{2, {3.5, 2.5, 1.7, 1.0}, {0.5, 0.5}};
  EXPECT_EQ(e.value(), 0.0);
  const auto g = e.eval(2);
  const double ab = 0.23077 * 203.712;
  EXPECT_EQ(g[3], 0.0);
  EXPECT_NEAR(g[1], -ab * 1.7 / 3.0, 1e-12);
  EXPECT_NEAR(g[2], ab * 1.7 / 3.0, 1e-12);
}

TEST(ElementType3, IsTypeTwoExactly) {
  std::mt19937 rng(5);
  std::uniform_real_distribution<double> u(0.5, 4.0);
  for (int trial = 0; trial < 20; ++trial) {
    OneElement two{2, {u(rng) + 4.0, u(rng), u(rng), u(rng)}, {u(rng) / 4, u(rng) / 4}};
    OneElement three = two;
    three.type = 3;
    EXPECT_EQ(two.eval(1), three.eval(1));
    EXPECT_EQ(two.eval(3), three.eval(3));
  }
}

// Central differences of values (for gradients) and of gradients (for the
// packed Hessian) at random points where the functions are smooth.
void check_derivatives(const OneElement& e) {
  const int n = e.nv();
  const auto g = e.eval(3);
  for (int i = 0; i < n; ++i) {
    const double h = 1e-6 * std::max(1.0, std::fabs(e.x[i]));
    OneElement plus = e, minus = e;
    plus.x[i] += h;
    minus.x[i] -= h;
    const double fd = (plus.value() - minus.value()) / (2 * h);
    EXPECT_NEAR(g[1 + i], fd, 1e-6 * std::max(1.0, std::fabs(fd))) << "type " << e.type << " d" << i;
    const auto gp = plus.eval(2), gm = minus.eval(2);
    for (int j = 0; j < n; ++j) {
      const double hd = (gp[1 + j] - gm[1 + j]) / (2 * h);
      const int lo = std::min(i, j), hi = std::max(i, j);
      const double packed = g[1 + n + hi * (hi + 1) / 2 + lo];
      EXPECT_NEAR(packed, hd, 1e-5 * std::max(1.0, std::fabs(hd)))
          << "type " << e.type << " h" << i << j;
    }
  }
}

TEST(ElementDerivatives, MatchCentralDifferences) {
  std::mt19937 rng(11);
  std::uniform_real_distribution<double> u(0.2, 3.0);
  std::uniform_real_distribution<double> sign(-1.0, 1.0);
  for (int trial = 0; trial < 30; ++trial) {
    OneElement t1{1, {u(rng), u(rng), (sign(rng) < 0 ? -1 : 1) * u(rng), 0.0}, {u(rng), 0.0}};
    check_derivatives(t1);
    OneElement t2{2 + trial % 2, {u(rng) + 3.0, u(rng), u(rng), u(rng)}, {u(rng) / 3, u(rng) / 3}};
    check_derivatives(t2);
  }
}

TEST(Ranges, CopiesTheElementalCount) {
  double w1[4] = {1.5, -2.5, 3.5, 9.0};
  double w2[4] = {0.0, 0.0, 0.0, -1.0};
  ranges(1, true, CVec(w1, 4), Vec(w2, 4), 3, 3);
  EXPECT_EQ(w2[0], 1.5);
  EXPECT_EQ(w2[1], -2.5);
  EXPECT_EQ(w2[2], 3.5);
  EXPECT_EQ(w2[3], -1.0);
}

TEST(Settyp, RecordsTheTypes) {
  int types[3] = {3, 1, 2};
  settyp(3, CIVec(types, 3));
  EXPECT_EQ(eltype(1), 3);
  EXPECT_EQ(eltype(2), 1);
  EXPECT_EQ(eltype(3), 2);
}

}  // namespace
}  // namespace morlan
