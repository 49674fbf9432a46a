// Incremental evaluation of the linked problem: the objective and every
// constraint value at the last point asked for, kept up to date by
// recomputing only what the changed variables touch.
//
// The annealing loops move one or two variables (or one multiplier) between
// evaluations, and each variable enters only a few elements and groups. The
// cache holds the element values, the group arguments and the raw values
// (objective, h_i, g_j) of the last point; a new point is compared with it
// bit by bit, and only the elements and groups that contain a changed
// variable are evaluated again. Every value is computed by the same code as
// in cofg and ccifg (the decoded value of each element, the shared group-argument
// sum, the same products and sums in the same order), so each one is bit for
// bit what obj, ceq and cineq return (the element values come from the
// decoded routines' own value code, without the derivative work that
// elfuns does in every mode).
//
// The maps (variable -> elements, variable -> groups, constraint -> group,
// one-sided inequality -> constraint and side) are built from the layout
// after a set-up, and rebuilt when a set-up runs again. All storage is
// fixed; nothing is allocated. A layout this cache does not cover (a
// non-trivial group, capacities exceeded, a constraint the one-sided walk
// or the group search would reject) switches it off: the problem routines
// then answer every request, with their own messages and stops.
#include "problem/incremental_values.hpp"

#include <bit>
#include <cstdint>
#include <cstring>

#include "base/config.hpp"
#include "base/one_based.hpp"
#include "problem/adaptor.hpp"
#include "problem/one_sided_walk.hpp"
#include "problem/raw_values.hpp"
#include "sif/decoded/decoded.hpp"
#include "sif/evaluate.hpp"
#include "sif/records.hpp"

namespace morlan {

namespace {

// Capacities of the cache. The linked problem needs a fraction of them.
constexpr int kMaxElements = 4096;
constexpr int kMaxGroups = 4096;
constexpr int kMaxLinks = 65536;  // entries of each variable map

// More changed variables than this: evaluate everything afresh.
constexpr int kFullUpdateThreshold = 24;

// Role of a group: the objective, the group of constraint k (k > 0), or
// none (a group that no evaluation reads).
constexpr int kObjectiveGroup = 0;
constexpr int kUnusedGroup = -1;

struct Structure {
  std::int32_t built_for = -1;                // setupcount.value when built
  int n = 0;                                  // prbcsa.n and prbcsa.neq when built
  int neq = 0;
  bool usable = false;
  int nel = 0;
  int ng = 0;

  Array1<int, kMaxGroups> role;               // per group: kObjectiveGroup, k, or kUnusedGroup
  Array1<int, kMaxGroups> objective;          // objective groups in group order
  int nobjective = 0;
  Array1<int, cfg::kNcon> group_of;           // group of constraint k (first match, as ccifg)
  Array1<int, cfg::kNineq> source_of;         // constraint of one-sided inequality j
  Array1<bool, cfg::kNineq> lower_side;       // lower-bound side of it
  Array1<int, cfg::kNcon + 1> sides_start;    // one-sided inequalities of constraint k:
  Array1<int, 2 * cfg::kNineq + 1> sides;     //   sides(sides_start(k) .. sides_start(k+1)-1)
  Array1<int, kMaxElements> used;             // elements of the groups read, each once
  int nused = 0;
  Array1<int, cfg::kNvar + 1> element_start;  // elements containing variable v
  Array1<int, kMaxLinks> elements;
  Array1<int, cfg::kNvar + 1> group_start;    // groups read whose value depends on v
  Array1<int, kMaxLinks> groups;
};

struct State {
  bool valid = false;                          // the values below belong to `x`
  Array1<double, cfg::kNvar> x;
  Array1<double, kMaxElements> element_value;  // indexed by element
  Array1<double, kMaxGroups> argument;         // indexed by group
  RawValues values;
  // Marks of the current update (stamp per element and group) and its lists.
  std::uint32_t stamp = 0;
  Array1<std::uint32_t, kMaxElements> element_mark;
  Array1<std::uint32_t, kMaxGroups> group_mark;
  Array1<int, kMaxElements> calc;              // elements to evaluate
  Array1<int, kMaxGroups> touched;             // groups to recompute
  Array1<int, cfg::kNvar> changed;             // changed variables
};

Structure s;
State st;

std::uint64_t bits_of(double v) {
  std::uint64_t u;
  std::memcpy(&u, &v, sizeof u);
  return u;
}

// Appends v's entries to a variable map; false when the map is full.
bool append(Array1<int, kMaxLinks>& list, int& count, int value) {
  if (count >= kMaxLinks) return false;
  list(++count) = value;
  return true;
}

// The layout this cache is built for: the configuration's sizes, and
// capacities it can hold.
bool layout_fits() {
  s.n = prbcsa.n;
  s.neq = prbcsa.neq;
  s.nel = global.NELEM;
  s.ng = global.NGROUP;
  if (s.n != cfg::kNvar || s.neq != cfg::kNeq || prbcsa.m != cfg::kNcon) return false;
  if (dims.N != cfg::kNvar || dims.M != cfg::kNcon) return false;
  return s.nel >= 0 && s.nel <= kMaxElements && s.ng >= 1 && s.ng <= kMaxGroups;
}

// Roles: the objective groups, and for each constraint the first group of
// its number (the group ccifg finds); every constraint must have one.
bool assign_roles() {
  const CIVec kndofc = ws::kndofc();
  s.nobjective = 0;
  for (int k = 1; k <= cfg::kNcon; ++k) s.group_of(k) = 0;
  for (int ig = 1; ig <= s.ng; ++ig) {
    s.role(ig) = kUnusedGroup;
    const int kind = kndofc(ig);
    if (kind == 0) {
      s.role(ig) = kObjectiveGroup;
      s.objective(++s.nobjective) = ig;
    } else if (kind >= 1 && kind <= cfg::kNcon && s.group_of(kind) == 0) {
      s.group_of(kind) = ig;
      s.role(ig) = kind;
    }
  }
  for (int k = 1; k <= cfg::kNcon; ++k) {
    if (s.group_of(k) == 0) return false;
  }
  return true;
}

// One-sided inequalities: their constraint and side by the walk of cineq
// (false where cineq would stop), and for each constraint the list of the
// one-sided inequalities it produces.
bool map_one_sided() {
  Array1<int, cfg::kNcon> count_of;
  for (int j = 1; j <= cfg::kNineq; ++j) {
    WalkEnd end{};
    bool lower = false;
    if (!walk_kinds(j, s.neq, bdinfo.idineq, end)) return false;
    if (!side_of(end, j, bdinfo.idineq, cbnd.cl, lower) || end.at > cfg::kNcon) return false;
    s.source_of(j) = end.at;
    s.lower_side(j) = lower;
    count_of(end.at) += 1;
  }
  int next = 1;
  for (int k = 1; k <= cfg::kNcon; ++k) {
    s.sides_start(k) = next;
    next += count_of(k);
  }
  s.sides_start(cfg::kNcon + 1) = next;
  Array1<int, cfg::kNcon> filled;
  for (int j = 1; j <= cfg::kNineq; ++j) {
    const int k = s.source_of(j);
    s.sides(s.sides_start(k) + filled(k)) = j;
    filled(k) += 1;
  }
  return true;
}

// The elements of the groups read, each once. Every group read must be
// trivial (no group function), and every element of it must read variables
// 1..n only.
bool collect_used_elements() {
  const CIVec istadg = ws::istadg();
  const CIVec istaev = ws::istaev();
  const CIVec ieling = ws::ieling();
  const CIVec ielvar = ws::ielvar();
  const CLogVec gxeqx = ws::gxeqx();
  static Array1<std::uint8_t, kMaxElements> element_used;
  for (int e = 1; e <= s.nel; ++e) element_used(e) = 0;
  s.nused = 0;
  for (int ig = 1; ig <= s.ng; ++ig) {
    if (s.role(ig) == kUnusedGroup) continue;
    if (gxeqx(ig) == 0) return false;
    for (int k = istadg(ig); k < istadg(ig + 1); ++k) {
      const int e = ieling(k);
      if (e < 1 || e > s.nel) return false;
      if (element_used(e) != 0) continue;
      element_used(e) = 1;
      s.used(++s.nused) = e;
      for (int p = istaev(e); p < istaev(e + 1); ++p) {
        if (ielvar(p) < 1 || ielvar(p) > s.n) return false;
      }
    }
  }
  return true;
}

// Whether element e reads variable v.
bool element_reads(int e, int v) {
  const CIVec istaev = ws::istaev();
  const CIVec ielvar = ws::ielvar();
  for (int p = istaev(e); p < istaev(e + 1); ++p) {
    if (ielvar(p) == v) return true;
  }
  return false;
}

// Whether the argument of group ig depends on variable v: through a linear
// entry (v <= n) or through one of its elements.
bool group_reads(int ig, int v) {
  const CIVec istada = ws::istada();
  const CIVec icna = ws::icna();
  const CIVec istadg = ws::istadg();
  const CIVec ieling = ws::ieling();
  for (int j = istada(ig); j < istada(ig + 1); ++j) {
    if (icna(j) == v) return true;
  }
  for (int k = istadg(ig); k < istadg(ig + 1); ++k) {
    if (element_reads(ieling(k), v)) return true;
  }
  return false;
}

// A variable map: for each variable v, the items that read it, listed in
// list(start(v) .. start(v+1)-1). The candidates are candidate(1..count),
// each an item or 0 for none; false when the map is full.
template <class Candidate, class Reads>
bool map_variables(Array1<int, cfg::kNvar + 1>& start, Array1<int, kMaxLinks>& list, int count,
                   Candidate candidate, Reads reads) {
  int nlinks = 0;
  for (int v = 1; v <= cfg::kNvar; ++v) {
    start(v) = nlinks + 1;
    for (int q = 1; q <= count; ++q) {
      const int item = candidate(q);
      if (item != 0 && reads(item, v) && !append(list, nlinks, item)) return false;
    }
  }
  start(cfg::kNvar + 1) = nlinks + 1;
  return true;
}

// Variable -> elements that read it (elements of groups read only).
bool map_variable_elements() {
  return map_variables(s.element_start, s.elements, s.nused, [](int q) { return s.used(q); },
                       element_reads);
}

// Variable -> groups read whose argument depends on it.
bool map_variable_groups() {
  const auto read_group = [](int ig) { return s.role(ig) == kUnusedGroup ? 0 : ig; };
  return map_variables(s.group_start, s.groups, s.ng, read_group, group_reads);
}

// The maps of the current layout, step by step; false when the layout is
// one this cache does not cover.
bool build() {
  return layout_fits() && assign_roles() && map_one_sided() && collect_used_elements() &&
         map_variable_elements() && map_variable_groups();
}

void rebuild() {
  s.built_for = setupcount.value;
  s.usable = build();
  st.valid = false;
}

// The constraint value of group ig (trivial: GSCALE times its argument, as
// ccifg) stored as h_k, or as the one-sided values it produces. The role k
// of a group stored here is a constraint number, 1..ncon (assign_roles); the
// equalities are 1..neq, so a problem without equalities has no branch for
// them (the compiler would see only k <= 0 there, an index below the array).
void store_constraint(int ig) {
  const int k = s.role(ig);
  const double c = ws::gscale()(ig) * st.argument(ig);
  RawValues& values = st.values;
  if (cfg::kNeq > 0 && k <= cfg::kNeq) {
    values.c(k) = c;
    values.changed(++values.nchanged) = k;
    return;
  }
  for (int q = s.sides_start(k); q < s.sides_start(k + 1); ++q) {
    const int j = s.sides(q);
    values.c(cfg::kNeq + j) = s.lower_side(j) ? cbnd.cl(k) - c : c - cbnd.cu(k);
    values.changed(++values.nchanged) = cfg::kNeq + j;
  }
}

// The objective as cofg sums it: its groups in group order.
void sum_objective() {
  const CVec gscale = ws::gscale();
  double f = 0.0;
  for (int q = 1; q <= s.nobjective; ++q) {
    const int ig = s.objective(q);
    f = f + gscale(ig) * st.argument(ig);
  }
  st.values.objective = f;
}

// The values of the elements listed in calc(1..count), each as elfuns
// computes it in mode 1.
void evaluate_elements(CVec x, int count) {
  const CVec epvalu = ws::epvalu();
  const CIVec itypee = ws::itypee();
  const CIVec istaev = ws::istaev();
  const CIVec ielvar = ws::ielvar();
  const CIVec istep = ws::istep();
  for (int q = 1; q <= count; ++q) {
    const int e = st.calc(q);
    st.element_value(e) = element_value(e, x, epvalu, itypee, istaev, ielvar, istep);
  }
}

// A new version of the values: everything may change, or only what is
// listed as it is stored.
void new_version(bool all) {
  st.values.version += 1;
  st.values.all_changed = all;
  st.values.nchanged = 0;
}

void evaluate_all(CVec x) {
  new_version(true);
  for (int v = 1; v <= cfg::kNvar; ++v) st.x(v) = x(v);
  for (int q = 1; q <= s.nused; ++q) st.calc(q) = s.used(q);
  evaluate_elements(x, s.nused);
  const CVec fuvals = st.element_value.slice(1, s.nel);
  for (int ig = 1; ig <= s.ng; ++ig) {
    if (s.role(ig) == kUnusedGroup) continue;
    st.argument(ig) = group_argument_of(ig, s.n, x, fuvals);
    if (s.role(ig) != kObjectiveGroup) store_constraint(ig);
  }
  sum_objective();
  st.valid = true;
}

// Brings the cache from st.x to x, which differs in the nchanged variables
// listed in st.changed.
void update(CVec x, int nchanged) {
  new_version(false);
  ++st.stamp;
  if (st.stamp == 0) {  // wrapped: clear the marks
    for (int e = 1; e <= s.nel; ++e) st.element_mark(e) = 0;
    for (int ig = 1; ig <= s.ng; ++ig) st.group_mark(ig) = 0;
    st.stamp = 1;
  }
  const std::uint32_t stamp = st.stamp;
  int ncalc = 0;
  int ntouched = 0;
  for (int q = 1; q <= nchanged; ++q) {
    const int v = st.changed(q);
    st.x(v) = x(v);
    for (int p = s.element_start(v); p < s.element_start(v + 1); ++p) {
      const int e = s.elements(p);
      if (st.element_mark(e) != stamp) {
        st.element_mark(e) = stamp;
        st.calc(++ncalc) = e;
      }
    }
    for (int p = s.group_start(v); p < s.group_start(v + 1); ++p) {
      const int ig = s.groups(p);
      if (st.group_mark(ig) != stamp) {
        st.group_mark(ig) = stamp;
        st.touched(++ntouched) = ig;
      }
    }
  }
  if (ncalc > 0) evaluate_elements(x, ncalc);
  const CVec fuvals = st.element_value.slice(1, s.nel);
  bool objective_touched = false;
  for (int q = 1; q <= ntouched; ++q) {
    const int ig = st.touched(q);
    st.argument(ig) = group_argument_of(ig, s.n, x, fuvals);
    if (s.role(ig) == kObjectiveGroup) {
      objective_touched = true;
    } else {
      store_constraint(ig);
    }
  }
  if (objective_touched) sum_objective();
}

// The variables are compared in blocks of kBlock; kBlocks bits of a mask
// tell which blocks changed.
constexpr int kBlock = 8;
constexpr int kBlocks = (cfg::kNvar + kBlock - 1) / kBlock;
static_assert(kBlocks <= 64);

// The bits of two neighbouring doubles as one vector (a GCC vector type:
// one SSE2 register on x86-64), so the compare below handles two variables
// per instruction.
using PairBits = std::uint64_t __attribute__((vector_size(16)));

PairBits pair_bits(const double* p) {
  PairBits v;
  std::memcpy(&v, p, sizeof v);
  return v;
}

// The blocks of now(0..kNvar-1) that differ from before in any bit, found
// without branching: bit b of the result is set when block b changed. A
// bitwise compare: -0.0 and +0.0 differ, and a NaN equals itself only in
// the same bits, exactly as the values computed from them may differ.
std::uint64_t changed_blocks(const double* now, const double* before) {
  static_assert(kBlock == 8);
  std::uint64_t mask = 0;
  for (int block = 0; block < cfg::kNvar / kBlock; ++block) {
    const double* a = now + block * kBlock;
    const double* b = before + block * kBlock;
    const PairBits diff = ((pair_bits(a) ^ pair_bits(b)) | (pair_bits(a + 2) ^ pair_bits(b + 2))) |
                          ((pair_bits(a + 4) ^ pair_bits(b + 4)) | (pair_bits(a + 6) ^ pair_bits(b + 6)));
    mask |= static_cast<std::uint64_t>((diff[0] | diff[1]) != 0) << block;
  }
  for (int q = (cfg::kNvar / kBlock) * kBlock; q < cfg::kNvar; ++q) {
    if (bits_of(now[q]) != bits_of(before[q])) mask |= std::uint64_t{1} << (kBlocks - 1);
  }
  return mask;
}

const RawValues* values_at(CVec x) {
  if (s.built_for != setupcount.value || s.n != prbcsa.n || s.neq != prbcsa.neq) rebuild();
  if (!s.usable || x.size() < cfg::kNvar) return nullptr;
  if (!st.valid) {
    evaluate_all(x);
    return &st.values;
  }
  const double* now = x.data();
  const double* before = st.x.data();
  std::uint64_t mask = changed_blocks(now, before);
  if (mask == 0) return &st.values;
  int nchanged = 0;
  while (mask != 0) {
    const int block = std::countr_zero(mask);
    mask &= mask - 1;
    const int end = (block + 1) * kBlock < cfg::kNvar ? (block + 1) * kBlock : cfg::kNvar;
    for (int q = block * kBlock; q < end; ++q) {
      if (bits_of(now[q]) == bits_of(before[q])) continue;
      if (nchanged == kFullUpdateThreshold) {
        evaluate_all(x);
        return &st.values;
      }
      st.changed(++nchanged) = q + 1;
    }
  }
  if (nchanged == 0) return &st.values;
  update(x, nchanged);
  return &st.values;
}

}  // namespace

RawValueSource incremental_values(bool on) {
  st.valid = false;
  st.values.version += 1;
  st.values.all_changed = true;
  return on ? &values_at : nullptr;
}

}  // namespace morlan
