// The Lagrangian over cached raw values, kept as running sums of its terms
// so that a change in one term re-adds only the terms after it. Header only.
//
// The Lagrangian is L = f / scale, then + term(1), + term(2), ... +
// term(ncon), added one by one in this order (lagrangian() in
// lagrangian_terms.hpp). Two facts keep a shortened sum bit for bit equal
// to that one:
// - when the scaled objective and the terms before a position are
//   unchanged, the running sum there is unchanged, and continuing the same
//   additions from it gives the same bits;
// - adding a zero term (+0.0 or -0.0) leaves any sum other than -0.0
//   unchanged to the bit (NaN and infinities included), and a sum of
//   nonzero terms is never -0.0 in round-to-nearest. So only the nonzero
//   terms need adding, in order, unless the sum starts at -0.0 (then the
//   template adds every term).
// Terms are kept and recomputed only where their raw value or multiplier
// changed (by bits); a change that leaves a term zero re-adds nothing.
#pragma once

#include <cstdint>
#include <cstring>

#include "base/config.hpp"
#include "base/one_based.hpp"
#include "measures/lagrangian_terms.hpp"
#include "problem/raw_values.hpp"

namespace morlan::lagrangian_detail {

inline std::uint64_t bits_of(double v) {
  std::uint64_t u;
  std::memcpy(&u, &v, sizeof u);
  return u;
}

class PartialSums {
 public:
  // The Lagrangian of form t.form (not 4) at y, whose variables have the
  // raw values `values`.
  double lagrangian(const Terms& t, const RawValues& values, CVec y) {
    const double* mult = y.data() + cfg::kNvar;
    const double* raw = values.c.data();
    const double start = values.objective / t.scale;
    // A sum that starts at -0.0 becomes +0.0 at its first zero term, so the
    // zero terms cannot be left out: add every term, as the template does.
    if (bits_of(start) == bits_of(-0.0)) {
      valid_ = false;
      return lagrangian_detail::lagrangian(t, CachedValues{values}, y);
    }
    int lowest = kNone;  // lowest constraint (0-based) whose term changed the sums
    if (!valid_ || !same_terms(t)) {
      // New settings: every term afresh.
      valid_ = true;
      terms_ = t;
      count_ = 0;
      for (int q = 0; q < cfg::kNcon; ++q) {
        renew_term(q, raw, mult);
        if (nonzero(term_[q])) list_[count_++] = q;
      }
      lowest = 0;
    } else {
      // Raw values: only those the source lists as changed since the
      // version seen last, when it can tell; else all of them.
      if (values.version != version_) {
        if (values.version == version_ + 1 && !values.all_changed) {
          for (int r = 1; r <= values.nchanged; ++r) {
            lowest = consider(values.changed(r) - 1, raw, mult, lowest);
          }
        } else {
          for (int q = 0; q < cfg::kNcon; ++q) lowest = consider(q, raw, mult, lowest);
        }
      }
      // Multipliers: the changed ones, found in blocks after a quick test.
      if (std::memcmp(mult, mult_, sizeof mult_) != 0) {
        constexpr int kBlock = 8;
        for (int first = 0; first < cfg::kNcon; first += kBlock) {
          const int last = first + kBlock < cfg::kNcon ? first + kBlock : cfg::kNcon;
          if (std::memcmp(mult + first, mult_ + first, sizeof(double) * (last - first)) == 0) continue;
          for (int q = first; q < last; ++q) lowest = consider(q, raw, mult, lowest);
        }
      }
    }
    version_ = values.version;
    int from = lowest == kNone ? kNone : position(lowest);
    if (bits_of(start) != bits_of(sums_[0])) {
      sums_[0] = start;
      from = 0;
    }
    if (from == kNone) return sums_[count_];
    double lag = sums_[from];
    for (int m = from; m < count_; ++m) {
      lag = lag + term_[list_[m]];
      sums_[m + 1] = lag;
    }
    return lag;
  }

 private:
  static constexpr int kNone = cfg::kNcon + 1;

  // Zero terms (either sign) leave a sum that is not -0.0 unchanged to the
  // bit; a NaN counts as nonzero.
  static bool nonzero(double term) { return !(term == 0.0); }

  // The settings the sums were made with, to the bit.
  bool same_terms(const Terms& t) const {
    return t.form == terms_.form && bits_of(t.penalty) == bits_of(terms_.penalty) &&
           bits_of(t.scale) == bits_of(terms_.scale) &&
           bits_of(t.radius) == bits_of(terms_.radius) && t.grid == terms_.grid;
  }

  void renew_term(int q, const double* raw, const double* mult) {
    raw_[q] = raw[q];
    mult_[q] = mult[q];
    term_[q] = q < cfg::kNeq ? equality_term(terms_, mult[q], raw[q])
                             : inequality_term(terms_, mult[q], raw[q]);
  }

  // Position in the list of nonzero terms of constraint q (0-based), or of
  // the first one after it: the number of nonzero terms before q.
  int position(int q) const {
    int lo = 0;
    int hi = count_;
    while (lo < hi) {
      const int mid = (lo + hi) / 2;
      if (list_[mid] < q) {
        lo = mid + 1;
      } else {
        hi = mid;
      }
    }
    return lo;
  }

  // Renews the term of constraint q (0-based) when its raw value or
  // multiplier changed, keeping the list of nonzero terms in order; returns
  // the lowest constraint whose term changed the sums, q or `lowest`.
  int consider(int q, const double* raw, const double* mult, int lowest) {
    if (bits_of(raw[q]) == bits_of(raw_[q]) && bits_of(mult[q]) == bits_of(mult_[q])) return lowest;
    const double old = term_[q];
    const bool was = nonzero(old);
    renew_term(q, raw, mult);
    const bool is = nonzero(term_[q]);
    if (was && !is) {
      const int m = position(q);
      for (int r = m; r + 1 < count_; ++r) list_[r] = list_[r + 1];
      --count_;
    } else if (!was && is) {
      const int m = position(q);
      for (int r = count_; r > m; --r) list_[r] = list_[r - 1];
      list_[m] = q;
      ++count_;
    } else if (bits_of(term_[q]) == bits_of(old)) {
      return lowest;  // the same term (a zero staying zero, or equal bits)
    }
    return q < lowest ? q : lowest;
  }

  bool valid_ = false;
  Terms terms_;  // the settings of the sums
  std::uint64_t version_ = 0;  // version of the raw values last seen
  double raw_[cfg::kNcon] = {};
  double mult_[cfg::kNcon] = {};
  double term_[cfg::kNcon] = {};
  // The nonzero terms in constraint order, and the running sums over them:
  // sums_[0] is the scaled objective, sums_[m + 1] the sum after list_[m].
  int list_[cfg::kNcon] = {};
  int count_ = 0;
  double sums_[cfg::kNcon + 1] = {};
};

}  // namespace morlan::lagrangian_detail
