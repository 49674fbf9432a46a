#include "sif/constraint_list.hpp"

#include <utility>

#include "io/console.hpp"
#include "sif/records.hpp"
#include "sif/setup_messages.hpp"

namespace morlan {

namespace {

// The constraints being ordered: the caller's arrays with the map from
// constraint to group (map) and from group to constraint (kndofc).
struct ConstraintOrder {
  IVec map;
  IVec kndofc;
  const ConstraintArrays& c;

  // Exchange constraints i and j; their groups learn their new numbers.
  void exchange(int i, int j) const {
    std::swap(map(i), map(j));
    std::swap(c.linear(i), c.linear(j));
    std::swap(c.equatn(i), c.equatn(j));
    std::swap(c.v(i), c.v(j));
    std::swap(c.cl(i), c.cl(j));
    std::swap(c.cu(i), c.cu(j));
    kndofc(map(i)) = i;
    kndofc(map(j)) = j;
  }

  // Move the constraints of lo..hi that have the property to the front.
  void partition(int lo, int hi, LVec property) const {
    int last = hi;
    for (int i = lo; i <= last; ++i) {
      if (property(i)) continue;
      int j = last;
      while (j >= i && !property(j)) --j;
      if (j < i) return;
      last = j - 1;
      exchange(i, j);
    }
  }
};

}  // namespace

int list_constraints(int mmax, const ConstraintArrays& c) {
  const IVec kndofc = ws::kndofc();
  const IVec istadg = ws::istadg();
  const LogVec gxeqx = ws::gxeqx();
  const Vec group_lower = ws::grpval();  // where read_numbers left them
  const Vec group_upper = ws::grparg();
  const Vec u = ws::u();
  int m = 0;
  for (int i = 1; i <= global.NGROUP; ++i) {
    if (kndofc(i) == 1) {
      kndofc(i) = 0;
      continue;
    }
    ++m;
    if (m <= mmax) {
      c.v(m) = u(i);
      c.linear(m) = gxeqx(i) != 0 && istadg(i + 1) <= istadg(i);
      const bool equality = kndofc(i) == 2;
      c.equatn(m) = equality;
      c.cl(m) = equality ? 0.0 : group_lower(i);
      c.cu(m) = equality ? 0.0 : group_upper(i);
    }
    kndofc(i) = m;
  }
  return m;
}

void check_constraint_count(int m, int mmax, int input, int iout) {
  if (m == 0 && iout > 0) {
    io::line("", iout);
    io::line(" ** SUBROUTINE CSETUP: ** Warning. The problem has no general constraints. ", iout);
    io::line(" Other tools may be preferable", iout);
  }
  if (m > mmax) {
    const int excess = m - mmax;
    for (const char* array : {"V     ", "CL    ", "CU    ", "EQUATN", "LINEAR"}) {
      capacity_message(iout, array, "MMAX  ", excess);
    }
    abandon_setup(input);
  }
}

void order_constraints(int m, bool equfst, bool linfst, const ConstraintArrays& c, int iout) {
  if (local(loc::kIwkRoom) < m) {
    io::line(" ** SUBROUTINE CSETUP: Increase the size of IWK ", iout);
    io::error_stop();
  }
  const ConstraintOrder order{global.IWK.slice(local(loc::kLsend) + 1, m), ws::kndofc(), c};
  for (int i = 1; i <= global.NGROUP; ++i) {
    if (order.kndofc(i) > 0) order.map(order.kndofc(i)) = i;
  }
  int neq = 0;
  int nlin = 0;
  for (int j = 1; j <= m; ++j) {
    if (c.equatn(j)) ++neq;
    if (c.linear(j)) ++nlin;
  }
  const bool mixed_kinds = neq > 0 && neq != m;
  if (!linfst) {
    if (equfst && mixed_kinds) order.partition(1, m, c.equatn);
  } else {
    if (nlin > 0 && nlin != m) order.partition(1, m, c.linear);
    if (equfst && mixed_kinds) {
      order.partition(1, nlin, c.equatn);
      order.partition(nlin + 1, m, c.equatn);
    }
  }
}

}  // namespace morlan
