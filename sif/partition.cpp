#include "sif/partition.hpp"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>

#include "io/console.hpp"

namespace morlan {

namespace {

void report_too_small(const char* array, int excess, int iout) {
  char text[96];
  std::snprintf(text, sizeof text, " The size of array %s must be increased by at least %8d", array,
                excess);
  io::line("", iout);
  io::line(text, iout);
}

void print_starts(const char* heading, const LocalRecord& p, int first, int last, int iout) {
  io::line(heading, iout);
  io::ListWriter w(iout);
  for (int i = first; i <= last; ++i) w.integer(p(i));
}

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
  using namespace loc;
  inform = kPartitionOk;

  // 1. Gradient starts from the internal-variable counts.
  int maxinv = 0;
  {
    int start = nel + 1;
    for (int e = 1; e <= nel; ++e) {
      const int count = intvar(e);
      maxinv = std::max(maxinv, count);
      intvar(e) = start;
      start += count;
    }
    intvar(nel + 1) = start;
  }
  const int totinv = intvar(nel + 1) - intvar(1);

  // 2. The head nodes of the per-variable chains need n entries.
  if (liwk < n) {
    report_too_small("IWK", n - liwk, iout);
    inform = kPartitionIwkTooSmall;
    return;
  }

  // 3. Count the chain nodes: one head per variable, one more node for every
  // further incidence of a variable in the element slots.
  const int nslots = istadg(ng + 1) - 1;
  const int lsptrs = 0;
  for (int v = 1; v <= n; ++v) iwk(lsptrs + v) = -1;
  int nodes = n;
  int maxelv = 0;
  for (int k = 1; k <= nslots; ++k) {
    const int e = ieling(k);
    maxelv = std::max(maxelv, istaev(e + 1) - istaev(e));
    for (int j = istaev(e); j < istaev(e + 1); ++j) {
      const int v = ielvar(j);
      if (iwk(lsptrs + v) < 0) {
        iwk(lsptrs + v) = 0;
      } else {
        ++nodes;
      }
    }
  }
  if (nodes > liwk) {
    report_too_small("IWK", nodes - liwk, iout);
    inform = kPartitionIwkTooSmall;
    return;
  }

  // 4. Integer partitions.
  const int c = nodes;
  p(kLsptrs) = lsptrs;
  p(kLselts) = c;
  p(kLindex) = 2 * c;
  p(kLswksp) = 2 * c + n;
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
  if (p(kLsvgrp) > liwk) {
    report_too_small("IWK", p(kLsvgrp) - liwk, iout);
    inform = kPartitionIwkTooSmall;
    return;
  }
  const int lselts = p(kLselts);
  const int lindex = p(kLindex);  // chain tails while the chains are built
  const int lswksp = p(kLswksp);
  const int lstajc = p(kLstajc);
  const int lstagv = p(kLstagv);
  const int lsvgrp = p(kLsvgrp);
  const int lslgrp = p(kLslgrp);

  // 5. Build the chains: each node holds the slot of its incidence.
  for (int v = 1; v <= n; ++v) iwk(lsptrs + v) = -1;
  nodes = n;
  for (int k = 1; k <= nslots; ++k) {
    const int e = ieling(k);
    for (int j = istaev(e); j < istaev(e + 1); ++j) {
      const int v = ielvar(j);
      if (iwk(lsptrs + v) < 0) {
        iwk(lsptrs + v) = 0;
        iwk(lselts + v) = k;
        iwk(lindex + v) = v;
      } else {
        ++nodes;
        iwk(lsptrs + nodes) = 0;
        iwk(lselts + nodes) = k;
        iwk(lsptrs + iwk(lindex + v)) = nodes;
        iwk(lindex + v) = nodes;
      }
    }
  }

  // 6. Index tables of the packed element Hessians.
  if (maxinv > 0) {
    dsymmh(maxinv, iwk.slice(p(kLsymmh) + 1, maxinv * maxinv),
           iwk.slice(p(kLsymmd) + 1, maxinv));
  }

  // 7. Hessian starts.
  isthes(1) = intvar(nel + 1);
  for (int e = 1; e <= nel; ++e) {
    const int ni = intvar(e + 1) - intvar(e);
    isthes(e + 1) = isthes(e) + ni * (ni + 1) / 2;
  }

  // 8. Real partitions; the first lqgrad entries are the evaluation scratch.
  p(kLqgrad) = std::max(std::max(ng, maxelv) + 2 * maxinv, n + totinv + std::max(maxelv, totinv));
  p(kLbreak) = p(kLqgrad) + n;
  p(kLp) = p(kLbreak) + n;
  p(kLxcp) = p(kLp) + n;
  p(kLx0) = p(kLxcp) + n;
  p(kLgx0) = p(kLx0) + n;
  p(kLdeltx) = p(kLgx0) + n;
  p(kLbnd) = p(kLdeltx) + n;
  p(kLwkstr) = p(kLbnd) + 2 * n;
  if (p(kLwkstr) > lwk) {
    report_too_small("WK", p(kLwkstr) - lwk, iout);
    inform = kPartitionWkTooSmall;
    return;
  }

  // 9. Group variable lists: element variables first, then the linear ones,
  // each once, at its first appearance.
  alltrv = 1;
  for (int v = 1; v <= n; ++v) {
    iwk(lswksp + v) = 0;
    iwk(lstajc + v + 1) = 0;
  }
  int listed = 0;
  iwk(lstagv + 1) = 1;
  auto append = [&](int v) {
    if (iwk(lswksp + v) != 0) return true;
    const int end = lsvgrp + listed + 1;
    if (end > liwk) {
      report_too_small("IWK", end - liwk, iout);
      inform = kPartitionIwkTooSmall;
      return false;
    }
    iwk(lswksp + v) = 1;
    ++listed;
    iwk(end) = v;
    return true;
  };
  for (int ig = 1; ig <= ng; ++ig) {
    const bool trivial = gxeqx(ig) != 0;
    if (!trivial) alltrv = 0;
    for (int k = istadg(ig); k < istadg(ig + 1); ++k) {
      iwk(lslgrp + k) = ig;
      const int e = ieling(k);
      for (int j = istaev(e); j < istaev(e + 1); ++j) {
        if (!append(ielvar(j))) return;
      }
    }
    for (int j = istada(ig); j < istada(ig + 1); ++j) {
      if (!append(icna(j))) return;
    }
    iwk(lstagv + ig + 1) = listed + 1;
    for (int k = iwk(lstagv + ig); k <= listed; ++k) {
      const int v = iwk(lsvgrp + k);
      iwk(lswksp + v) = 0;
      if (!trivial) iwk(lstajc + v + 1) += 1;
    }
  }
  const int l = listed;
  p(kLgcolj) = lsvgrp + l + 1;  // the running end after the last group
  p(kLvaljr) = p(kLgcolj) + l;
  p(kLsend) = p(kLvaljr) + l;
  if (p(kLsend) > liwk) {
    report_too_small("IWK", p(kLsend) - liwk, iout);
    inform = kPartitionIwkTooSmall;
    return;
  }

  // 10. Lengths of the integer partitions.
  auto len1 = [](int d) { return std::max(1, d); };
  p(33) = len1(p(kLselts) - p(kLsptrs));
  p(34) = len1(p(kLindex) - p(kLselts));
  p(35) = len1(p(kLswksp) - p(kLindex));
  p(36) = len1(p(kLiused) - p(kLswksp));
  p(37) = len1(p(kLsvgrp) - p(kLstagv));
  p(38) = len1(p(kLstagv) - p(kLstajc));
  p(39) = len1(p(kLfreec) - p(kLiused));
  p(40) = len1(p(kLnnonz) - p(kLfreec));
  p(41) = len1(p(kLnonz2) - p(kLnnonz));
  p(42) = len1(p(kLsymmd) - p(kLnonz2));
  p(43) = len1(p(kLsymmh) - p(kLsymmd));
  p(44) = len1(p(kLslgrp) - p(kLsymmh));
  p(45) = len1(p(kLstajc) - p(kLslgrp));
  p(46) = len1(p(kLgcolj) - p(kLsvgrp));
  p(47) = len1(p(kLvaljr) - p(kLgcolj));
  p(48) = len1(p(kLsend) - p(kLvaljr));
  p(49) = p(kLbreak) - p(kLqgrad);
  p(50) = p(kLp) - p(kLbreak);
  p(51) = p(kLxcp) - p(kLp);
  p(52) = p(kLwkstr) - p(kLbnd);

  // 11. Column structure of the non-trivial groups: counts become starts,
  // each group's variables are placed in their columns in group order, then
  // the starts (advanced by the placing) move back one place.
  const int lgcolj = p(kLgcolj);
  const int lvaljr = p(kLvaljr);
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

  // 12. No transformation analysis: its partitions are empty.
  p(kLstype) = p(kLsend);
  p(kLsswtr) = p(kLsend);
  p(kLssiwt) = p(kLsend);
  p(kLsiwtr) = p(kLsend);
  p(kLsiset) = p(kLsend);
  p(kLssvse) = p(kLsend);
  p(kLswtra) = p(kLwkstr);
  p(73) = len1(p(kLsswtr) - p(kLstype));
  p(74) = len1(p(kLssiwt) - p(kLsswtr));
  p(75) = len1(p(kLsiwtr) - p(kLssiwt));
  p(76) = len1(p(kLsiset) - p(kLsiwtr));
  p(77) = len1(p(kLwkstr) - p(kLswtra));
  p(80) = len1(p(kLssvse) - p(kLsiset));
  p(81) = len1(p(kLsend) - p(kLssvse));
  p(66) = 0;
  p(67) = 0;
  p(kIwkRoom) = liwk - p(kLsend);
  p(kWkRoom) = lwk - p(kLwkstr);

  // 13. Element store partitions.
  p(kLfxi) = 0;
  p(kLgxi) = nel;
  p(kLhxi) = intvar(nel + 1) - 1;
  p(kLggfx) = isthes(nel + 1) - 1;
  p(kLdx) = p(kLggfx) + n;
  p(kLgrjac) = p(kLdx) + n;
  const int lend = p(kLgrjac) + l;
  if (iprint > 2) {
    print_starts(" Starting addresses for the partitions of FUVALS ", p, 1, 6, iout);
    print_starts(" Starting addresses for partitions of IWK ", p, 16, 32, iout);
    print_starts(" Starting addresses for partitions of WK ", p, 7, 15, iout);
  }
  if (lend > lfuval) {
    report_too_small("FUVALS", lend - lfuval, iout);
    inform = kPartitionWkTooSmall;
    return;
  }
  p(53) = len1(p(kLgxi) - p(kLfxi));
  p(54) = len1(p(kLhxi) - p(kLgxi));
  p(55) = len1(p(kLhxi) - p(kLfxi));
  p(56) = len1(p(kLggfx) - p(kLhxi));
  p(57) = len1(p(kLggfx) - p(kLfxi));
  p(58) = len1(p(kLdx) - p(kLggfx));
  p(59) = len1(p(kLgrjac) - p(kLdx));
  p(60) = len1(lend - p(kLgrjac));
  p(kMaxinv) = std::max(1, maxinv);
  p(kTotinv) = totinv;
  p(kMaxelv) = std::max(1, maxelv);
}

}  // namespace morlan
