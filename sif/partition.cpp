#include "sif/partition.hpp"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdio>
#include <string>

#include "io/console.hpp"

namespace morlan {

namespace {

using namespace loc;

void print_starts(const char* heading, const LocalRecord& p, int first, int last, int iout) {
  io::line(heading, iout);
  io::ListWriter w(iout);
  for (int i = first; i <= last; ++i) w.integer(p(i));
}

// A length member of `local`: the distance between two of its starts.
struct Span {
  int member, from, to;
};

// Members 33 to 48: the IWK partitions, at least 1 each.
constexpr Span kIntegerLengths[] = {
    {33, kLsptrs, kLselts}, {34, kLselts, kLindex}, {35, kLindex, kLswksp},
    {36, kLswksp, kLiused}, {37, kLstagv, kLsvgrp}, {38, kLstajc, kLstagv},
    {39, kLiused, kLfreec}, {40, kLfreec, kLnnonz}, {41, kLnnonz, kLnonz2},
    {42, kLnonz2, kLsymmd}, {43, kLsymmd, kLsymmh}, {44, kLsymmh, kLslgrp},
    {45, kLslgrp, kLstajc}, {46, kLsvgrp, kLgcolj}, {47, kLgcolj, kLvaljr},
    {48, kLvaljr, kLsend}};
// Members 49 to 52: WK partitions, plain differences.
constexpr Span kRealLengths[] = {
    {49, kLqgrad, kLbreak}, {50, kLbreak, kLp}, {51, kLp, kLxcp}, {52, kLbnd, kLwkstr}};
// Members 73 to 77, 80 and 81: the (empty) transformation partitions, at least 1 each.
constexpr Span kTransformationLengths[] = {
    {73, kLstype, kLsswtr}, {74, kLsswtr, kLssiwt}, {75, kLssiwt, kLsiwtr},
    {76, kLsiwtr, kLsiset}, {77, kLswtra, kLwkstr}, {80, kLsiset, kLssvse},
    {81, kLssvse, kLsend}};
// Members 53 to 59: the FUVALS partitions up to LGRJAC, at least 1 each.
constexpr Span kElementStoreLengths[] = {
    {53, kLfxi, kLgxi}, {54, kLgxi, kLhxi}, {55, kLfxi, kLhxi}, {56, kLhxi, kLggfx},
    {57, kLfxi, kLggfx}, {58, kLggfx, kLdx}, {59, kLdx, kLgrjac}};

template <std::size_t kCount>
void set_lengths(LocalRecord& p, const Span (&spans)[kCount]) {
  for (const Span& s : spans) p(s.member) = std::max(1, p(s.to) - p(s.from));
}

template <std::size_t kCount>
void set_differences(LocalRecord& p, const Span (&spans)[kCount]) {
  for (const Span& s : spans) p(s.member) = p(s.to) - p(s.from);
}

// The largest and the total internal-variable count of the elements.
struct InternalCounts {
  int maxinv, totinv;
};

// The internal-variable counts become the starts of the element
// gradients in FUVALS, after the NELEM element values.
InternalCounts gradient_starts(int nel, IVec intvar) {
  int maxinv = 0;
  int start = nel + 1;
  for (int e = 1; e <= nel; ++e) {
    const int count = intvar(e);
    maxinv = std::max(maxinv, count);
    intvar(e) = start;
    start += count;
  }
  intvar(nel + 1) = start;
  return {maxinv, intvar(nel + 1) - intvar(1)};
}

// Each element's packed Hessian, n(n+1)/2 entries for n internal
// variables, after the gradients.
void hessian_starts(int nel, CIVec intvar, IVec isthes) {
  isthes(1) = intvar(nel + 1);
  for (int e = 1; e <= nel; ++e) {
    const int ni = intvar(e + 1) - intvar(e);
    isthes(e + 1) = isthes(e) + ni * (ni + 1) / 2;
  }
}

// The WK partitions; the first LQGRAD entries are the evaluation
// scratch (the gradient accumulator and the elemental gradient).
void place_real_partitions(LocalRecord& p, int n, int ng, InternalCounts inv, int maxelv) {
  p(kLqgrad) = std::max(std::max(ng, maxelv) + 2 * inv.maxinv,
                        n + inv.totinv + std::max(maxelv, inv.totinv));
  p(kLbreak) = p(kLqgrad) + n;
  p(kLp) = p(kLbreak) + n;
  p(kLxcp) = p(kLp) + n;
  p(kLx0) = p(kLxcp) + n;
  p(kLgx0) = p(kLx0) + n;
  p(kLdeltx) = p(kLgx0) + n;
  p(kLbnd) = p(kLdeltx) + n;
  p(kLwkstr) = p(kLbnd) + 2 * n;
}

// No transformation analysis, so its partitions are empty; then
// the room left in both tails.
void place_transformation_partitions(LocalRecord& p, int liwk, int lwk) {
  for (int member : {kLstype, kLsswtr, kLssiwt, kLsiwtr, kLsiset, kLssvse}) p(member) = p(kLsend);
  p(kLswtra) = p(kLwkstr);
  set_lengths(p, kTransformationLengths);
  p(66) = 0;
  p(67) = 0;
  p(kIwkRoom) = liwk - p(kLsend);
  p(kWkRoom) = lwk - p(kLwkstr);
}

// The FUVALS partitions after the element values, gradients and
// Hessians, for `listed` group-variable entries. Returns the end (LEND).
int place_element_store(LocalRecord& p, int n, int nel, CIVec intvar, CIVec isthes, int listed) {
  p(kLfxi) = 0;
  p(kLgxi) = nel;
  p(kLhxi) = intvar(nel + 1) - 1;
  p(kLggfx) = isthes(nel + 1) - 1;
  p(kLdx) = p(kLggfx) + n;
  p(kLgrjac) = p(kLdx) + n;
  return p(kLgrjac) + listed;
}

// The structures built in the integer tail, and the failure report.
struct Partition {
  int n, ng;
  CIVec ieling, istadg, ielvar, istaev, icna, istada;
  CLogVec gxeqx;
  IVec iwk;
  int liwk;
  LocalRecord& p;
  int iout;
  int& inform;

  // False, with the message and the status, when `needed` entries do not
  // fit into `capacity`.
  bool fits(int needed, int capacity, const char* array, int status) const {
    if (needed <= capacity) return true;
    char text[96];
    std::snprintf(text, sizeof text, " The size of array %s must be increased by at least %8d",
                  array, needed - capacity);
    io::line("", iout);
    io::line(text, iout);
    inform = status;
    return false;
  }
  bool iwk_fits(int needed) const { return fits(needed, liwk, "IWK", kPartitionIwkTooSmall); }

  int element_slots() const { return istadg(ng + 1) - 1; }

  // The link after chain node `node`: the LSPTRS partition opens the tail
  // (LSPTRS = 0). 0 ends a chain; -1 marks a variable without incidences.
  int& link(int node) const { return iwk(node); }

  // visit(slot, variable, first) for every incidence of a variable in the
  // element slots, slot by slot and within a slot in IELVAR order; `first`
  // at the variable's first incidence (its head link is then -1).
  template <class Visit>
  void each_incidence(Visit visit) const {
    for (int v = 1; v <= n; ++v) link(v) = -1;
    for (int k = 1; k <= element_slots(); ++k) {
      const int e = ieling(k);
      for (int j = istaev(e); j < istaev(e + 1); ++j) {
        const int v = ielvar(j);
        const bool first = link(v) < 0;
        if (first) link(v) = 0;
        visit(k, v, first);
      }
    }
  }

  // The nodes of the per-variable chains: a head per variable (numbered as
  // the variable), a further node for every further incidence.
  int count_chain_nodes() const {
    int nodes = n;
    each_incidence([&nodes](int, int, bool first) {
      if (!first) ++nodes;
    });
    return nodes;
  }

  // MAXELV: the most elemental variables of an element in the slots.
  int most_element_variables() const {
    int maxelv = 0;
    for (int k = 1; k <= element_slots(); ++k) {
      const int e = ieling(k);
      maxelv = std::max(maxelv, istaev(e + 1) - istaev(e));
    }
    return maxelv;
  }

  // The IWK partitions for `nodes` chain nodes.
  void place_integer_partitions(int nodes, int nel, int maxinv, bool second_derivs) const {
    const int nslots = element_slots();
    p(kLsptrs) = 0;
    p(kLselts) = nodes;
    p(kLindex) = 2 * nodes;
    p(kLswksp) = 2 * nodes + n;
    p(kLiused) = p(kLswksp) + (second_derivs ? std::max({nslots, nel, 2 * n})
                                             : std::max({nslots, nel, n}));
    p(kLfreec) = p(kLiused) + std::max(n, ng);
    p(kLnnonz) = p(kLfreec) + n;
    p(kLnonz2) = p(kLnnonz) + n;
    p(kLsymmd) = p(kLnonz2) + ng;
    p(kLsymmh) = p(kLsymmd) + maxinv;
    p(kLslgrp) = p(kLsymmh) + maxinv * maxinv;
    p(kLstajc) = p(kLslgrp) + nslots;
    p(kLstagv) = p(kLstajc) + n + 1;
    p(kLsvgrp) = p(kLstagv) + ng + 1;
  }

  // Link the chains: each node holds the slot of its incidence (LSELTS
  // entries); LINDEX holds the tail of each chain while it grows.
  void link_chains() const {
    const int lselts = p(kLselts);
    const int lindex = p(kLindex);
    int nodes = n;
    each_incidence([&](int k, int v, bool first) {
      if (first) {
        iwk(lselts + v) = k;
        iwk(lindex + v) = v;
        return;
      }
      ++nodes;
      link(nodes) = 0;
      iwk(lselts + nodes) = k;
      link(iwk(lindex + v)) = nodes;
      iwk(lindex + v) = nodes;
    });
  }

  // Each group's variables, once each at its first appearance, element
  // variables first, then the linear ones; the group of each element slot;
  // ALLTRV; and, per variable, the number of non-trivial groups holding it. Returns the total length of the lists, or -1 when
  // they do not fit.
  int build_group_variable_lists(int& alltrv) const {
    const int lswksp = p(kLswksp), lstajc = p(kLstajc), lstagv = p(kLstagv),
              lsvgrp = p(kLsvgrp), lslgrp = p(kLslgrp);
    alltrv = 1;
    for (int v = 1; v <= n; ++v) {
      iwk(lswksp + v) = 0;  // listed in the current group
      iwk(lstajc + v + 1) = 0;
    }
    int listed = 0;
    auto append = [&](int v) {
      if (iwk(lswksp + v) != 0) return true;
      if (!iwk_fits(lsvgrp + listed + 1)) return false;
      iwk(lswksp + v) = 1;
      ++listed;
      iwk(lsvgrp + listed) = v;
      return true;
    };
    iwk(lstagv + 1) = 1;
    for (int ig = 1; ig <= ng; ++ig) {
      const bool trivial = gxeqx(ig) != 0;
      if (!trivial) alltrv = 0;
      for (int k = istadg(ig); k < istadg(ig + 1); ++k) {
        iwk(lslgrp + k) = ig;
        const int e = ieling(k);
        for (int j = istaev(e); j < istaev(e + 1); ++j) {
          if (!append(ielvar(j))) return -1;
        }
      }
      for (int j = istada(ig); j < istada(ig + 1); ++j) {
        if (!append(icna(j))) return -1;
      }
      iwk(lstagv + ig + 1) = listed + 1;
      for (int k = iwk(lstagv + ig); k <= listed; ++k) {
        const int v = iwk(lsvgrp + k);
        iwk(lswksp + v) = 0;
        if (!trivial) iwk(lstajc + v + 1) += 1;
      }
    }
    return listed;
  }

  // The counts become column starts; each non-trivial group's
  // variables are placed in their columns in group order (LVALJR keeps the
  // position of each list entry); the starts, advanced by the placing, move
  // back one place.
  void build_column_structure() const {
    const int lstajc = p(kLstajc), lstagv = p(kLstagv), lsvgrp = p(kLsvgrp),
              lgcolj = p(kLgcolj), lvaljr = p(kLvaljr);
    iwk(lstajc + 1) = 1;
    for (int v = 1; v <= n; ++v) iwk(lstajc + v + 1) += iwk(lstajc + v);
    for (int ig = 1; ig <= ng; ++ig) {
      const bool trivial = gxeqx(ig) != 0;
      for (int k = iwk(lstagv + ig); k < iwk(lstagv + ig + 1); ++k) {
        if (trivial) {
          iwk(lvaljr + k) = 0;
          continue;
        }
        const int v = iwk(lsvgrp + k);
        const int pos = iwk(lstajc + v);
        iwk(lgcolj + pos) = ig;
        iwk(lvaljr + k) = pos;
        iwk(lstajc + v) = pos + 1;
      }
    }
    for (int v = n; v >= 1; --v) iwk(lstajc + v + 1) = iwk(lstajc + v);
    iwk(lstajc + 1) = 1;
    for (int i = 1; i <= std::max(n, ng); ++i) iwk(p(kLiused) + i) = 0;
  }
};

}  // namespace

void dsymmh(int n, IVec table, IVec diagonal) {
  for (int j = 1; j <= n; ++j) {
    const int column_start = j * (j - 1) / 2;  // entries before column j
    for (int i = 1; i <= j; ++i) {
      const int pos = column_start + i - 1;
      table((j - 1) * n + i) = pos;
      table((i - 1) * n + j) = pos;
    }
    diagonal(j) = column_start + j - 1;
  }
}

void dgelim(int m, int n, IVec ipvt, IVec jcol, Vec a) {
  auto at = [&](int i, int j) -> double& { return a((j - 1) * m + i); };
  for (int j = 1; j <= n; ++j) jcol(j) = j;
  const int steps = std::min(m, n);
  for (int k = 1; k <= steps; ++k) {
    double biggest = 0.0;
    int prow = k;
    int pcol = k;
    for (int j = k; j <= n; ++j) {
      for (int i = k; i <= m; ++i) {
        if (std::fabs(at(i, j)) > biggest) {
          biggest = std::fabs(at(i, j));
          prow = i;
          pcol = j;
        }
      }
    }
    ipvt(k) = prow;
    if (prow != k) {
      for (int j = 1; j <= n; ++j) std::swap(at(k, j), at(prow, j));
    }
    if (pcol != k) {
      for (int i = 1; i <= m; ++i) std::swap(at(i, k), at(i, pcol));
      std::swap(jcol(k), jcol(pcol));
    }
    if (biggest == 0.0) continue;  // the remaining block is zero
    const double pivot = at(k, k);
    for (int i = k + 1; i <= m; ++i) {
      const double factor = at(i, k) / pivot;
      at(i, k) = factor;
      for (int j = k + 1; j <= n; ++j) at(i, j) = at(i, j) - factor * at(k, j);
    }
  }
}

void dinitw(int n, int ng, int nel, CIVec ieling, CIVec istadg, CIVec ielvar, CIVec istaev,
            IVec intvar, IVec isthes, CIVec icna, CIVec istada, CLogVec gxeqx, CLogVec /*intrep*/,
            int lfuval, int& alltrv, bool second_derivs, bool /*analyse_ranges*/,
            LocalRecord& p, RangesRoutine /*ranges*/, IVec iwk, int liwk, Vec /*wk*/, int lwk,
            int iprint, int iout, int& inform) {
  inform = kPartitionOk;
  const Partition w{n, ng, ieling, istadg, ielvar, istaev, icna, istada, gxeqx,
                    iwk, liwk, p, iout, inform};
  const InternalCounts inv = gradient_starts(nel, intvar);
  if (!w.iwk_fits(n)) return;  // the chain heads
  const int nodes = w.count_chain_nodes();
  if (!w.iwk_fits(nodes)) return;
  w.place_integer_partitions(nodes, nel, inv.maxinv, second_derivs);
  if (!w.iwk_fits(p(kLsvgrp))) return;
  w.link_chains();
  if (inv.maxinv > 0) {  // index tables of the packed element Hessians
    dsymmh(inv.maxinv, iwk.slice(p(kLsymmh) + 1, inv.maxinv * inv.maxinv),
           iwk.slice(p(kLsymmd) + 1, inv.maxinv));
  }
  hessian_starts(nel, intvar, isthes);
  const int maxelv = w.most_element_variables();
  place_real_partitions(p, n, ng, inv, maxelv);
  if (!w.fits(p(kLwkstr), lwk, "WK", kPartitionWkTooSmall)) return;

  const int listed = w.build_group_variable_lists(alltrv);
  if (listed < 0) return;
  p(kLgcolj) = p(kLsvgrp) + listed + 1;  // the end of the lists
  p(kLvaljr) = p(kLgcolj) + listed;
  p(kLsend) = p(kLvaljr) + listed;
  if (!w.iwk_fits(p(kLsend))) return;
  set_lengths(p, kIntegerLengths);
  set_differences(p, kRealLengths);
  w.build_column_structure();
  place_transformation_partitions(p, liwk, lwk);

  const int lend = place_element_store(p, n, nel, intvar, isthes, listed);
  if (iprint > 2) {
    print_starts(" Starting addresses for the partitions of FUVALS ", p, 1, 6, iout);
    print_starts(" Starting addresses for partitions of IWK ", p, 16, 32, iout);
    print_starts(" Starting addresses for partitions of WK ", p, 7, 15, iout);
  }
  if (!w.fits(lend, lfuval, "FUVALS", kPartitionWkTooSmall)) return;
  set_lengths(p, kElementStoreLengths);
  p(60) = std::max(1, lend - p(kLgrjac));
  p(kMaxinv) = std::max(1, inv.maxinv);
  p(kTotinv) = inv.totinv;
  p(kMaxelv) = std::max(1, maxelv);
}

}  // namespace morlan
