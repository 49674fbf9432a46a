// The Lagrangian over cached raw values, kept as the running sums of its
// terms so that a change in a late term does not re-add the early ones.
//
// The Lagrangian is L = f / slobj, then + term(1), + term(2), ... +
// term(ncon), added one by one in this order (lagrangian() in
// lagrangian_terms.hpp). The sums kept hold L just before each term is
// added, and the result. When the objective, the settings and the
// terms before k0 are unchanged, partial(k0) is bit for bit what a full
// evaluation would reach there, and continuing the same additions from it
// gives the same bits as the full sum. Terms are kept too and recomputed
// only where their raw value or multiplier changed (by bits).
#pragma once

#include <cstdint>
#include <cstring>

#include "problem/config.hpp"
#include "problem/lagrangian_terms.hpp"
#include "problem/one_based.hpp"
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
    int k0 = cfg::kNcon + 1;
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
      for (int q = 0; q < cfg::kNcon; ++q) renew_term(q, raw, mult, form, p);
      k0 = 1;
    } else {
      // Terms whose raw value or multiplier changed, scanned in blocks.
      constexpr int kBlock = 8;
      int start = 0;
      for (; start + kBlock <= cfg::kNcon; start += kBlock) {
        std::uint64_t diff = 0;
        for (int q = start; q < start + kBlock; ++q) {
          diff |= (bits_of(raw[q]) ^ bits_of(raw_[q])) | (bits_of(mult[q]) ^ bits_of(mult_[q]));
        }
        if (diff != 0) k0 = renew_changed(start, start + kBlock, raw, mult, form, p, k0);
      }
      k0 = renew_changed(start, cfg::kNcon, raw, mult, form, p, k0);
    }
    if (k0 == 1 || bits_of(values.objective) != bits_of(objective_)) {
      objective_ = values.objective;
      partial_[0] = objective_ / slobj.value;
      k0 = 1;
    }
    // partial_[k - 1] is L before term k is added.
    double lag = partial_[k0 - 1];
    for (int q = k0 - 1; q < cfg::kNcon; ++q) {
      lag = lag + term_[q];
      partial_[q + 1] = lag;
    }
    return lag;
  }

  void forget() { valid_ = false; }

 private:
  void renew_term(int q, const double* raw, const double* mult, int form, double p) {
    raw_[q] = raw[q];
    mult_[q] = mult[q];
    term_[q] = q < cfg::kNeq ? equality_term(form, mult[q], raw[q], p)
                             : inequality_term(form, mult[q], raw[q], p);
  }

  // Renews the changed terms among first .. last - 1 (0-based); returns the
  // lowest changed constraint number, or k0 when it is lower.
  int renew_changed(int first, int last, const double* raw, const double* mult, int form, double p,
                    int k0) {
    for (int q = first; q < last; ++q) {
      if (bits_of(raw[q]) != bits_of(raw_[q]) || bits_of(mult[q]) != bits_of(mult_[q])) {
        renew_term(q, raw, mult, form, p);
        if (q + 1 < k0) k0 = q + 1;
      }
    }
    return k0;
  }

  bool valid_ = false;
  int form_ = 0;
  double p_ = 0.0, slobj_ = 0.0, rleq_ = 0.0;
  bool hasdiscrete_ = false;
  double objective_ = 0.0;
  double raw_[cfg::kNcon] = {};
  double mult_[cfg::kNcon] = {};
  double term_[cfg::kNcon] = {};
  double partial_[cfg::kNcon + 1] = {};
};

}  // namespace morlan::lagrangian_detail
