#include "sif/evaluate.hpp"

#include <cblas.h>
#include <cstdio>

#include "io/console.hpp"
#include "sif/decoded/decoded.hpp"
#include "sif/records.hpp"
#include "sif/vector_ops.hpp"

namespace morlan {

namespace {

// The parts of the layout that evaluation reads, as views.
struct Layout {
  int ng, nel;
  IVec istadg, istgp, istada, istaev, istep, itypeg, kndofc, itypee, ieling, ielvar, icna, isthes,
      intvar, icalc;
  Vec a, gpvalu, epvalu, escale, gscale, grpval, grparg, fuvals;
  LogVec intrep, gxeqx;

  Layout()
      : ng(global.NGROUP),
        nel(global.NELEM),
        istadg(ws::istadg()),
        istgp(ws::istgp()),
        istada(ws::istada()),
        istaev(ws::istaev()),
        istep(ws::istep()),
        itypeg(ws::itypeg()),
        kndofc(ws::kndofc()),
        itypee(ws::itypee()),
        ieling(ws::ieling()),
        ielvar(ws::ielvar()),
        icna(ws::icna()),
        isthes(ws::isthes()),
        intvar(ws::intvar()),
        icalc(ws::icalc()),
        a(ws::a()),
        gpvalu(ws::gpvalu()),
        epvalu(ws::epvalu()),
        escale(ws::escale()),
        gscale(ws::gscale()),
        grpval(ws::grpval()),
        grparg(ws::grparg()),
        fuvals(global.FUVALS.view()),
        intrep(ws::intrep()),
        gxeqx(ws::gxeqx()) {}

  void element_functions(CVec x, int ncalcf, int mode) const {
    elfuns(fuvals, x, epvalu, ncalcf, itypee, istaev, ielvar, intvar, isthes, istep, icalc, mode);
  }
};

// The gradient accumulator W (by variable) and the elemental gradient W2.
Vec accumulator(int n) { return global.WK.slice(global.WKUSE + 1, n); }

// Build W for group ig: zero on the group's variable list, add each
// element's weighted gradient at its elemental variables, then the linear
// coefficients. Returns the group's variable list.
CIVec accumulate_group_gradient(const Layout& l, int ig, int n) {
  const Vec w = accumulator(n);
  const int lsvgrp = local(loc::kLsvgrp);
  const int lstagv = local(loc::kLstagv);
  const int first = global.IWK(lstagv + ig);
  const int count = global.IWK(lstagv + ig + 1) - first;
  const CIVec vars = global.IWK.slice(lsvgrp + first, count);
  dsetvi(count, w, vars, 0.0);
  for (int k = l.istadg(ig); k < l.istadg(ig + 1); ++k) {
    const int e = l.ieling(k);
    const int vstart = l.istaev(e);
    const int nvarel = l.istaev(e + 1) - vstart;
    const double weight = l.escale(k);
    if (l.intrep(e) != 0) {
      const int ninvar = l.intvar(e + 1) - l.intvar(e);
      const Vec w2 = global.WK.slice(global.WKUSE + n + 1, nvarel);
      ranges(e, true, l.fuvals.slice(l.intvar(e), ninvar), w2, nvarel, ninvar);
      for (int i = 1; i <= nvarel; ++i) {
        const int v = l.ielvar(vstart + i - 1);
        w(v) = w(v) + weight * w2(i);
      }
    } else {
      const int gstart = l.intvar(e);
      for (int i = 1; i <= nvarel; ++i) {
        const int v = l.ielvar(vstart + i - 1);
        w(v) = w(v) + weight * l.fuvals(gstart + i - 1);
      }
    }
  }
  for (int j = l.istada(ig); j < l.istada(ig + 1); ++j) {
    const int v = l.icna(j);
    w(v) = w(v) + l.a(j);
  }
  return vars;
}

// The weight of group ig's gradient: GSCALE, times the group function's
// derivative unless the group is trivial (the group values are current).
double gradient_weight(const Layout& l, int ig) {
  double s = l.gscale(ig);
  if (l.gxeqx(ig) == 0) s = s * l.grpval(l.ng + ig);
  return s;
}

// s times the gradient of group ig at the variables v <= n, handed to
// put(g(v), term): cofg adds the terms, ccifg assigns them. A group
// without elements takes its linear coefficients directly, entry by entry.
template <class Put>
void put_group_gradient(const Layout& l, int ig, int n, double s, Vec g, Put put) {
  if (l.istadg(ig + 1) <= l.istadg(ig)) {
    for (int j = l.istada(ig); j < l.istada(ig + 1); ++j) {
      const int v = l.icna(j);
      if (v <= n) put(g(v), s * l.a(j));
    }
    return;
  }
  const CIVec vars = accumulate_group_gradient(l, ig, n);
  const Vec w = accumulator(n);
  for (int k = 1; k <= vars.size(); ++k) {
    const int v = vars(k);
    if (v <= n) put(g(v), s * w(v));
  }
}

// cofg's capacity test: the element marks take NELEM logicals after those
// of the layout.
void stop_unless_element_marks_fit(int nel) {
  const int room = kLlogic - global.LOGUSE;
  if (room >= nel) return;
  if (output.value > 0) {
    char text[96];
    io::line("", output.value);
    io::line(" ** SUBROUTINE COFG: array length LLOGIC too small.", output.value);
    io::line(" -- Minimization abandoned.", output.value);
    std::snprintf(text, sizeof text, " -- Increase the parameter LLOGIC by at least %8d and restart.",
                  nel - room);
    io::line(text, output.value);
  }
  io::error_stop();
}

// The distinct elements of the objective groups into ICALC, in group order;
// returns their count.
int list_objective_elements(const Layout& l) {
  const LogVec marked = global.LOGI.slice(global.LOGUSE + 1, l.nel);
  for (int e = 1; e <= l.nel; ++e) marked(e) = 0;
  int ncalcf = 0;
  for (int ig = 1; ig <= l.ng; ++ig) {
    if (l.kndofc(ig) != 0) continue;
    for (int k = l.istadg(ig); k < l.istadg(ig + 1); ++k) {
      const int e = l.ieling(k);
      if (marked(e) == 0) {
        marked(e) = 1;
        l.icalc(++ncalcf) = e;
      }
    }
  }
  return ncalcf;
}

// Whether group ig enters the objective: every group when there are no
// constraints, else the objective groups.
bool in_objective(const Layout& l, int ig, bool all_groups) {
  return all_groups || l.kndofc(ig) == 0;
}

// The group arguments of the objective's groups (the other groups get 0),
// and the unit derivative of its trivial groups.
void objective_group_arguments(const Layout& l, int n, CVec x, bool all_groups) {
  for (int ig = 1; ig <= l.ng; ++ig) {
    if (in_objective(l, ig, all_groups)) {
      group_argument(ig, n, x);
      if (l.gxeqx(ig) != 0) l.grpval(l.ng + ig) = 1.0;
    } else {
      l.grparg(ig) = 0.0;
    }
  }
}

// The group values: the group functions of the objective groups (listed in
// ICALC; returns their count), or, when every group is trivial, the
// arguments themselves with unit derivatives.
int objective_group_values(const Layout& l) {
  const int ng = l.ng;
  int ncalcg = 0;
  if (global.ALLTRV == 0) {
    for (int ig = 1; ig <= ng; ++ig) {
      if (l.kndofc(ig) == 0) l.icalc(++ncalcg) = ig;
    }
    groups(l.grpval, ng, l.grparg, l.gpvalu, ncalcg, l.itypeg, l.istgp, l.icalc, false);
  } else {
    cblas_dcopy(ng, l.grparg.data(), 1, l.grpval.data(), 1);
    dsetvl(ng, l.grpval.slice(ng + 1, ng), 1, 1.0);
  }
  return ncalcg;
}

double objective_value(const Layout& l, bool all_groups) {
  double f = 0.0;
  for (int ig = 1; ig <= l.ng; ++ig) {
    if (!in_objective(l, ig, all_groups)) continue;
    if (l.gxeqx(ig) != 0) {
      f = f + l.gscale(ig) * l.grparg(ig);
    } else {
      f = f + l.gscale(ig) * l.grpval(ig);
    }
  }
  return f;
}

// The objective's gradient, group by group; the group functions'
// derivatives first for the ncalcg groups listed in ICALC.
void objective_gradient(const Layout& l, int n, Vec g, int ncalcg, bool all_groups) {
  if (global.ALLTRV == 0) {
    groups(l.grpval, l.ng, l.grparg, l.gpvalu, ncalcg, l.itypeg, l.istgp, l.icalc, true);
  }
  for (int i = 1; i <= n; ++i) g(i) = 0.0;
  for (int ig = 1; ig <= l.ng; ++ig) {
    if (!in_objective(l, ig, all_groups)) continue;
    put_group_gradient(l, ig, n, gradient_weight(l, ig), g,
                       [](double& gv, double term) { gv = gv + term; });
  }
}

// The group of constraint icon (the first whose KNDOFC is icon), or the
// invalid-index message and a stop.
int constraint_group(const Layout& l, int icon) {
  if (icon >= 1) {
    for (int i = 1; i <= l.ng; ++i) {
      if (l.kndofc(i) == icon) return i;
    }
  }
  io::line(" ** SUBROUTINE CCIFG: invalid constraint index ICON ", output.value);
  io::error_stop();
}

// arg plus A(j) * x(ICNA(j)) over the linear entries of group ig, in order,
// leaving out the variables beyond n.
double add_linear_terms(int ig, int n, CVec x, double arg) {
  const CIVec istada = ws::istada();
  const CIVec icna = ws::icna();
  const CVec a = ws::a();
  for (int j = istada(ig); j < istada(ig + 1); ++j) {
    const int v = icna(j);
    if (v <= n) arg = arg + a(j) * x(v);
  }
  return arg;
}

// arg plus ESCALE(k) * fuvals(IELING(k)) over the element slots of group
// ig, in order.
double add_element_terms(int ig, CVec fuvals, double arg) {
  const CIVec istadg = ws::istadg();
  const CIVec ieling = ws::ieling();
  const CVec escale = ws::escale();
  for (int k = istadg(ig); k < istadg(ig + 1); ++k) arg = arg + escale(k) * fuvals(ieling(k));
  return arg;
}

}  // namespace

double group_argument_of(int ig, int n, CVec x, CVec fuvals) {
  double arg = -ws::b()(ig);
  arg = add_linear_terms(ig, n, x, arg);
  return add_element_terms(ig, fuvals, arg);
}

double group_argument(int ig, int n, CVec x) {
  const double arg = group_argument_of(ig, n, x, global.FUVALS.view());
  ws::grparg()(ig) = arg;
  return arg;
}

void cofg(int n, CVec x, double& f, Vec g, bool grad) {
  const Layout l;
  stop_unless_element_marks_fit(l.nel);
  const int ncalcf = list_objective_elements(l);
  l.element_functions(x, ncalcf, 1);
  if (grad) l.element_functions(x, ncalcf, 2);
  const bool all_groups = dims.M < 1;
  objective_group_arguments(l, n, x, all_groups);
  const int ncalcg = objective_group_values(l);
  f = objective_value(l, all_groups);
  if (grad) objective_gradient(l, n, g, ncalcg, all_groups);
  prfcts.count(1) += 1;
  if (grad) prfcts.count(2) += 1;
}

void ccifg(int n, int icon, CVec x, double& ci, Vec gci, bool grad) {
  if (dims.M == 0) return;
  const Layout l;
  const int ng = l.ng;
  const int ig = constraint_group(l, icon);

  // The group's elements as listed (a repeated element is evaluated twice).
  int ncalcf = 0;
  for (int k = l.istadg(ig); k < l.istadg(ig + 1); ++k) l.icalc(++ncalcf) = l.ieling(k);
  l.element_functions(x, ncalcf, 1);

  const double arg = group_argument(ig, n, x);
  const bool trivial = l.gxeqx(ig) != 0;
  const int only_group[1] = {ig};
  const CIVec group_list(only_group, 1);
  if (!trivial) {
    groups(l.grpval, ng, l.grparg, l.gpvalu, 1, l.itypeg, l.istgp, group_list, false);
    ci = l.gscale(ig) * l.grpval(ig);
    prfcts.count(4) += 1;
  } else {
    l.grpval(ig) = arg;
    l.grpval(ng + ig) = 1.0;
    ci = l.gscale(ig) * l.grparg(ig);
  }
  if (!grad) return;

  prfcts.count(5) += 1;
  l.element_functions(x, ncalcf, 2);
  if (!trivial) {
    groups(l.grpval, ng, l.grparg, l.gpvalu, 1, l.itypeg, l.istgp, group_list, true);
  }
  for (int i = 1; i <= n; ++i) gci(i) = 0.0;
  put_group_gradient(l, ig, n, gradient_weight(l, ig), gci,
                     [](double& gv, double term) { gv = term; });
}

}  // namespace morlan
