// The Lagrangian over cached raw values, kept as running sums of its terms
// so that a change in one term re-adds only the terms after it.
//
// The Lagrangian is L = f / slobj, then + term(1), + term(2), ... +
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
#include "measures/lagrangian_terms.hpp"
#include "base/one_based.hpp"
#include "problem/raw_values.hpp"

namespace morlan::lagrangian_detail {

inline std::uint64_t bits_of(double v) {
  std::uint64_t u;
  std::memcpy(&u, &v, sizeof u);
  return u;
}

class PartialSums {
 public:
  // The Lagrangian of form mlag (not 4) at y, whose variables have the raw
  // values `values`.
  double lagrangian(const RawValues& values, CVec y) {
    const double* mult = y.data() + cfg::kNvar;
    const double* raw = values.c.data();
    const int form = mlag.value;
    const double p = penalty.value;
    const double start = values.objective / slobj.value;
    // A sum that starts at -0.0 becomes +0.0 at its first zero term, so the
    // zero terms cannot be left out: add every term, as the template does.
    if (bits_of(start) == bits_of(-0.0)) {
      valid_ = false;
      return lagrangian_detail::lagrangian(CachedValues{values}, y);
    }
    int lowest = kNone;  // lowest constraint (0-based) whose term changed the sums
    if (!valid_ || form != form_ || bits_of(p) != bits_of(p_) ||
        bits_of(slobj.value) != bits_of(slobj_) || bits_of(rleq.value) != bits_of(rleq_) ||
        hasdiscrete.hasdiscrete != hasdiscrete_) {
      // New settings: every term afresh.
      valid_ = true;
      form_ = form;
      p_ = p;
      slobj_ = slobj.value;
      rleq_ = rleq.value;
      hasdiscrete_ = hasdiscrete.hasdiscrete;
      count_ = 0;
      for (int q = 0; q < cfg::kNcon; ++q) {
        renew_term(q, raw, mult, form, p);
        if (nonzero(term_[q])) list_[count_++] = q;
      }
      lowest = 0;
    } else {
      // Raw values: only those the source lists as changed since the
      // version seen last, when it can tell; else all of them.
      if (values.version != version_) {
        if (values.version == version_ + 1 && !values.all_changed) {
          for (int r = 1; r <= values.nchanged; ++r) {
            lowest = consider(values.changed(r) - 1, raw, mult, form, p, lowest);
          }
        } else {
          for (int q = 0; q < cfg::kNcon; ++q) lowest = consider(q, raw, mult, form, p, lowest);
        }
      }
      // Multipliers: the changed ones, found in blocks after a quick test.
      if (std::memcmp(mult, mult_, sizeof mult_) != 0) {
        constexpr int kBlock = 8;
        for (int first = 0; first < cfg::kNcon; first += kBlock) {
          const int last = first + kBlock < cfg::kNcon ? first + kBlock : cfg::kNcon;
          if (std::memcmp(mult + first, mult_ + first, sizeof(double) * (last - first)) == 0) continue;
          for (int q = first; q < last; ++q) lowest = consider(q, raw, mult, form, p, lowest);
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

  void renew_term(int q, const double* raw, const double* mult, int form, double p) {
    raw_[q] = raw[q];
    mult_[q] = mult[q];
    term_[q] = q < cfg::kNeq ? equality_term(form, mult[q], raw[q], p)
                             : inequality_term(form, mult[q], raw[q], p);
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
  int consider(int q, const double* raw, const double* mult, int form, double p, int lowest) {
    if (bits_of(raw[q]) == bits_of(raw_[q]) && bits_of(mult[q]) == bits_of(mult_[q])) return lowest;
    const double old = term_[q];
    const bool was = nonzero(old);
    renew_term(q, raw, mult, form, p);
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
  int form_ = 0;
  double p_ = 0.0, slobj_ = 0.0, rleq_ = 0.0;
  bool hasdiscrete_ = false;
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
