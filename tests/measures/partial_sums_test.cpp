// The Lagrangian from running sums (the fast path) against the plain
// template sum over the same raw values, bit for bit, along random walks
// through awkward values: signed zeros, an objective of -0.0, NaN,
// infinities, subnormals, terms that cancel.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <random>

#include "measures/lagrangian_terms.hpp"
#include "measures/partial_sums.hpp"
#include "problem/raw_values.hpp"

namespace morlan {
namespace {

RawValues crafted;

std::uint64_t bits(double v) {
  std::uint64_t u;
  std::memcpy(&u, &v, sizeof u);
  return u;
}

double awkward(std::mt19937& rng) {
  static const double kValues[] = {0.0,   -0.0,  1.0,   -1.0,  0.0005, -0.0015, 2.5e-310,
                                   -1e300, 1e300, 3.0,   -3.0,  0.1,    -0.1,    0.0};
  std::uniform_int_distribution<int> pick(0, 17);
  const int k = pick(rng);
  if (k < 14) return kValues[k];
  if (k == 14) return std::numeric_limits<double>::quiet_NaN();
  if (k == 15) return std::numeric_limits<double>::infinity();
  return std::uniform_real_distribution<double>(-2.0, 2.0)(rng);
}

TEST(PartialSums, RunningSumsGiveTheTemplateBits) {
  lagrangian_detail::PartialSums sums;
  Terms t;
  std::mt19937 rng(5);
  std::uniform_real_distribution<double> u(0.0, 1.0);
  Array1<double, cfg::kNtot> y;
  crafted.objective = 1.0;
  for (int k = 1; k <= cfg::kNcon; ++k) crafted.c(k) = awkward(rng);
  for (int k = 1; k <= cfg::kNcon; ++k) y(cfg::kNvar + k) = u(rng) < 0.5 ? 0.0 : awkward(rng);
  t.scale = 10.0;
  t.penalty = 1.0;
  t.radius = 0.001;
  for (int step = 0; step < 20000; ++step) {
    const double r = u(rng);
    // Each step is a new version of the values; a single changed value is
    // announced in the list, anything else as a change of every value.
    crafted.version += 1;
    crafted.all_changed = true;
    if (r < 0.4) {
      const int k = 1 + static_cast<int>(u(rng) * cfg::kNcon);
      crafted.c(k) = awkward(rng);
      crafted.all_changed = u(rng) < 0.2;
      crafted.nchanged = 1;
      crafted.changed(1) = k;
    } else if (r < 0.7) {
      y(cfg::kNvar + 1 + static_cast<int>(u(rng) * cfg::kNcon)) = awkward(rng);
    } else if (r < 0.8) {
      crafted.objective = u(rng) < 0.3 ? -0.0 : awkward(rng);
    } else if (r < 0.85) {
      static const int kForms[] = {0, 1, 2, 3, 5, 10};
      t.form = kForms[static_cast<int>(u(rng) * 6)];
    } else if (r < 0.9) {
      t.grid = !t.grid;
    } else if (r < 0.93) {
      t.penalty = u(rng) < 0.5 ? 1.0 : 0.25;
    } else if (r < 0.95) {
      // Every multiplier zero and every value finite: under form 0 every
      // term is a signed zero, and an objective of -0.0 stays -0.0 only if
      // no +0.0 term is added.
      for (int k = 1; k <= cfg::kNcon; ++k) {
        y(cfg::kNvar + k) = u(rng) < 0.5 ? 0.0 : -0.0;
        crafted.c(k) = u(rng) - 0.5;
      }
      t.form = 0;
      crafted.objective = u(rng) < 0.5 ? -0.0 : 0.0;
    } else {
      // Most terms zero: multipliers cleared in a block.
      const int first = 1 + static_cast<int>(u(rng) * cfg::kNcon);
      for (int k = first; k <= cfg::kNcon && k < first + 40; ++k) y(cfg::kNvar + k) = 0.0;
    }
    const double fast = sums.lagrangian(t, crafted, y);
    const double plain = lagrangian_detail::lagrangian(t, lagrangian_detail::CachedValues{crafted}, y);
    ASSERT_EQ(bits(fast), bits(plain)) << "step " << step << ": " << fast << " vs " << plain;
  }
}

}  // namespace
}  // namespace morlan
