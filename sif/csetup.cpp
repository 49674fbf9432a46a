#include "sif/csetup.hpp"

#include <algorithm>
#include <cstdio>
#include <string>

#include "io/console.hpp"
#include "io/cpu_time.hpp"
#include "io/units.hpp"
#include "sif/data_file.hpp"
#include "sif/decoded/decoded.hpp"
#include "sif/partition.hpp"
#include "sif/records.hpp"

namespace morlan {

GlobalRecord global;
CharaRecord chara;
DimsRecord dims;
OutputRecord output;
LocalRecord local;
PrfctsRecord prfcts;
SetupcountRecord setupcount;
NnvarsRecord nnvars;

float cputim() { return io::cpu_time_total(); }

namespace {

void capacity_message(int iout, const char* array, const char* parameter, int excess) {
  if (iout < 1) return;
  char text[96];
  io::line("", iout);
  std::snprintf(text, sizeof text, " ** SUBROUTINE CSETUP: array length %s too small.", array);
  io::line(text, iout);
  io::line(" -- Miminimization abandoned.", iout);
  std::snprintf(text, sizeof text, " -- Increase the parameter %s by at least %8d and restart.",
                parameter, excess);
  io::line(text, iout);
}

[[noreturn]] void abandon(int input) {
  io::close_unit(input);
  io::error_stop();
}

// Lay out IWK, WK, LOGI and CHA for the header counts; stop with the
// capacity message when one of them is too small.
void lay_out(int input, int iout, int n) {
  GlobalRecord& g = global;
  g.OSTADG = 0;
  g.OSTGP = g.OSTADG + g.NGP1;
  g.OSTADA = g.OSTGP + g.NGP1;
  g.OSTAEV = g.OSTADA + g.NGP1;
  g.OSTEP = g.OSTAEV + g.NELP1;
  g.OTYPEG = g.OSTEP + g.NELP1;
  g.OKNDOF = g.OTYPEG + g.NGROUP;
  g.OTYPEE = g.OKNDOF + g.NGROUP;
  g.OELING = g.OTYPEE + g.NELEM;
  g.OELVAR = g.OELING + g.NELING;
  g.OCNA = g.OELVAR + g.NELVAR;
  g.OSTHES = g.OCNA + g.NLINA;
  g.ONTVAR = g.OSTHES + g.NELP1;
  g.OVLIST = g.ONTVAR + g.NELP1;
  g.OCALC = g.OVLIST + n;
  g.OVTYPE = g.OCALC + std::max(g.NELEM, g.NGROUP);
  g.IWKUSE = g.OVTYPE + n;
  g.IWKFRE = kLiwk - g.IWKUSE;
  if (g.IWKFRE < 0) {
    capacity_message(iout, "IWK   ", "LIWK  ", -g.IWKFRE);
    abandon(input);
  }
  g.OA = 0;
  g.OB = g.OA + g.NLINA;
  g.OU = g.OB + g.NGROUP;
  g.OGPVAL = g.OU + g.NGROUP;
  g.OEPVAL = g.OGPVAL + g.NGPVAL;
  g.OESCAL = g.OEPVAL + g.NEPVAL;
  g.OGSCAL = g.OESCAL + g.NELING;
  g.OVSCAL = g.OGSCAL + g.NGROUP;
  g.OGRVAL = g.OVSCAL + n;
  g.OXWORK = g.OGRVAL + 3 * g.NGROUP;
  g.OGWORK = g.OXWORK + n;
  g.OQWORK = g.OGWORK + n;
  g.OGRARG = g.OQWORK + n;
  g.WKUSE = g.OGRARG + g.NGROUP;
  g.WKFRE = kLwk - g.WKUSE;
  if (g.WKFRE < 0) {
    capacity_message(iout, " WK   ", "LWK   ", -g.WKFRE);
    abandon(input);
  }
  g.OINTRP = 0;
  g.OGXEQX = g.OINTRP + g.NELEM;
  g.LOGUSE = g.OGXEQX + g.NGX2;
  if (g.LOGUSE > kLlogic) {
    capacity_message(iout, "LOGI  ", "LLOGIC", g.LOGUSE - kLlogic);
    abandon(input);
  }
  g.OGNAME = 0;
  g.OVNAME = g.OGNAME + g.NGROUP;
  g.CHAUSE = g.OVNAME + n;
  if (g.CHAUSE + 1 > kLchara) {
    capacity_message(iout, "CHA   ", "LCHARA", g.CHAUSE - (kLchara - 1));
    abandon(input);
  }
}

// The declared lengths handed to the partition and the evaluation tools.
void declare_lengths(int n, int iobjgr) {
  GlobalRecord& g = global;
  auto at_least_1 = [](int v) { return std::max(1, v); };
  const int values[22] = {at_least_1(g.NLINA),
                          at_least_1(g.NGROUP),
                          iobjgr,
                          at_least_1(g.NGROUP),
                          at_least_1(g.NELVAR),
                          at_least_1(g.NELP1),
                          at_least_1(g.NELP1),
                          at_least_1(g.NELP1),
                          std::max({1, g.NGROUP, g.NELEM}),
                          at_least_1(g.NELING),
                          at_least_1(g.NELEM),
                          at_least_1(g.NGROUP),
                          at_least_1(g.NGX2),
                          at_least_1(g.NGP1),
                          at_least_1(g.NGROUP),
                          at_least_1(g.NLINA),
                          at_least_1(g.NGP1),
                          at_least_1(g.NGROUP),
                          at_least_1(g.NGROUP),
                          at_least_1(g.NELING),
                          at_least_1(n),
                          at_least_1(g.NGROUP)};
  for (int i = 1; i <= 22; ++i) g.declared(i) = values[i - 1];
}

// Exchange constraints i and j in every caller array and in the map from
// constraint to group; the groups learn their new numbers.
struct ConstraintLists {
  IVec map;  // constraint -> group
  IVec kndofc;
  LVec equatn, linear;
  Vec v, cl, cu;

  void exchange(int i, int j) const {
    std::swap(map(i), map(j));
    std::swap(linear(i), linear(j));
    std::swap(equatn(i), equatn(j));
    std::swap(v(i), v(j));
    std::swap(cl(i), cl(j));
    std::swap(cu(i), cu(j));
    kndofc(map(i)) = i;
    kndofc(map(j)) = j;
  }

  // Move the constraints of lo..hi that have the property to the front by a
  // two-pointer exchange (not a stable sort).
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

void csetup(int input, int iout, int& n, int& m, Vec x, Vec bl, Vec bu, int nmax, LVec equatn,
            LVec linear, Vec v, Vec cl, Vec cu, int mmax, bool equfst, bool linfst,
            bool /*nlvfst*/) {
  // The layout is about to change: values derived from it are stale.
  ++setupcount.value;
  GlobalRecord& g = global;
  const float start = cputim();
  prfcts.SETSEC = start;
  output.value = iout;

  std::FILE* in = io::input_stream(input);
  if (in == nullptr) {
    io::line("unit " + std::to_string(input) + " is not connected to the problem data file", 0);
    io::stop(io::kExitInputError);
  }
  DataFileReader r(in, io::unit_name(input));

  // Record 1: the sizes.
  int header[10] = {};
  r.begin(1, "sizes");
  r.integers(IVec(header, 10), 10, 10);
  n = header[0];
  g.NGROUP = header[1];
  g.NELEM = header[2];
  g.NELING = header[3];
  g.NELVAR = header[4];
  g.NLINA = header[5];
  g.NGPVAL = header[6];
  g.NEPVAL = header[7];
  const int netype = header[8];
  const int ngtype = header[9];
  if (n < 1) {
    io::close_unit(input);
    if (iout > 0) {
      io::line("", iout);
      io::line(" ** SUBROUTINE CSETUP: the problem uses no variables. Execution terminating ",
               iout);
    }
    io::error_stop();
  }
  if (g.NGROUP < 1) {
    io::close_unit(input);
    if (iout > 0) {
      io::line("", iout);
      io::line(" ** SUBROUTINE CSETUP: the problem is vacuous. Execution terminating ", iout);
    }
    io::error_stop();
  }
  if (n > nmax) {
    capacity_message(iout, "  X   ", "NMAX  ", n - nmax);
    capacity_message(iout, "  BL  ", "NMAX  ", n - nmax);
    capacity_message(iout, "  BU  ", "NMAX  ", n - nmax);
    abandon(input);
  }
  static const char* const kHeaderNames[10] = {"N",      "NGROUP", "NELEM",  "NELING", "NELVAR",
                                               "NLINA",  "NGPVAL", "NEPVAL", "NETYPE", "NGTYPE"};
  for (int k = 3; k <= 10; ++k) {
    if (header[k - 1] < 0) {
      r.fail(k, std::string(kHeaderNames[k - 1]) + " = " + std::to_string(header[k - 1]) +
                    " is negative");
    }
  }
  g.NGP1 = g.NGROUP + 1;
  g.NELP1 = g.NELEM + 1;
  g.NGX2 = 2 * g.NGROUP;

  // Record 2: class and problem name.
  int kclass = 0;
  std::array<char, 8> prbnam{};
  r.begin(2, "KCLASS, PRBNAM");
  r.class_and_name(kclass, prbnam);

  lay_out(input, iout, n);
  int iobjgr = g.declared(3);
  declare_lengths(n, iobjgr);
  if (kclass == 2) {
    int pair[2] = {};
    r.begin(3, "IOBJGR");
    r.integers(IVec(pair, 2), 2, 2);
    iobjgr = pair[1];
    g.declared(3) = iobjgr;
  }
  {
    std::array<char, kNameLength> name;
    name.fill(' ');
    std::copy(prbnam.begin(), prbnam.end(), name.begin());
    chara.CHA(g.CHAUSE + 1) = name;
  }

  // Records 4 to 15: structure.
  const IVec istadg = ws::istadg();
  const IVec istgp = ws::istgp();
  const IVec istada = ws::istada();
  const IVec istaev = ws::istaev();
  const IVec istep = ws::istep();
  const IVec kndofc = ws::kndofc();
  const IVec itypee = ws::itypee();
  const IVec intvar = ws::intvar();
  r.begin(4, "ISTADG");
  r.integers(istadg, g.NGP1);
  r.check_pointers(istadg, g.NGP1, g.NELING);
  {
    // ccifg lists a group's element slots (duplicates included) in ICALC.
    const int capacity = std::max(g.NELEM, g.NGROUP);
    for (int i = 1; i <= g.NGROUP; ++i) {
      const int slots = istadg(i + 1) - istadg(i);
      if (slots > capacity) {
        r.fail(i + 1, "group " + std::to_string(i) + " has " + std::to_string(slots) +
                          " element entries, more than the " + std::to_string(capacity) +
                          " an evaluation list holds");
      }
    }
  }
  r.begin(5, "ISTGP");
  r.integers(istgp, g.NGP1);
  r.check_pointers(istgp, g.NGP1, g.NGPVAL);
  r.begin(6, "ISTADA");
  r.integers(istada, g.NGP1);
  r.check_pointers(istada, g.NGP1, g.NLINA);
  r.begin(7, "ISTAEV");
  r.integers(istaev, g.NELP1);
  r.check_pointers(istaev, g.NELP1, g.NELVAR);
  r.begin(8, "ISTEP");
  r.integers(istep, g.NELP1);
  r.check_pointers(istep, g.NELP1, g.NEPVAL);
  r.begin(9, "ITYPEG");
  r.integers(ws::itypeg(), g.NGROUP);
  if (kclass > 1) {
    r.begin(10, "KNDOFC");
    r.integers(kndofc, g.NGROUP);
  } else {
    // A file without kinds describes an unconstrained problem: every group
    // belongs to the objective.
    for (int i = 1; i <= g.NGROUP; ++i) kndofc(i) = 1;
  }
  r.begin(11, "ITYPEE");
  r.integers(itypee, g.NELEM);
  for (int e = 1; e <= g.NELEM; ++e) {
    const int type = itypee(e);
    // The element types are those of the decoded routines linked in.
    if (type < 1 || type > element_type_count()) {
      r.fail(e, "element type " + std::to_string(type) + " unknown (types 1.." +
                    std::to_string(element_type_count()) + ")");
    }
    const ElementShape shape = element_type_shape(type);
    const int nvars = istaev(e + 1) - istaev(e);
    const int npars = istep(e + 1) - istep(e);
    if (nvars != shape.variables || npars != shape.parameters) {
      r.fail(e, "element " + std::to_string(e) + " of type " + std::to_string(type) + " has " +
                    std::to_string(nvars) + " variables and " + std::to_string(npars) +
                    " parameters (records 7 and 8), its type needs " +
                    std::to_string(shape.variables) + " and " + std::to_string(shape.parameters));
    }
  }
  settyp(g.NELEM, itypee);
  r.begin(12, "INTVAR");
  r.integers(intvar, g.NELEM);
  for (int e = 1; e <= g.NELEM; ++e) {
    // The transformations are the identity: internal variables = elemental.
    const int needed = element_type_shape(itypee(e)).variables;
    if (intvar(e) != needed) {
      r.fail(e, "element " + std::to_string(e) + " has " + std::to_string(intvar(e)) +
                    " internal variables, its type needs " + std::to_string(needed));
    }
  }
  r.begin(13, "IELING");
  r.integers(ws::ieling(), g.NELING);
  r.check_indices(ws::ieling(), g.NELING, g.NELEM, "element");
  g.NELVAR = istaev(g.NELP1) - 1;
  r.begin(14, "IELVAR");
  r.integers(ws::ielvar(), g.NELVAR);
  r.check_indices(ws::ielvar(), g.NELVAR, n, "variable");
  r.begin(15, "ICNA");
  r.integers(ws::icna(), g.NLINA);
  r.check_indices(ws::icna(), g.NLINA, n, "variable");

  // Records 16 to 27: numbers. Group bounds wait in GRPVAL and GRPARG.
  r.begin(16, "A");
  r.reals(ws::a(), g.NLINA);
  r.begin(17, "B");
  r.reals(ws::b(), g.NGROUP);
  const int ngbnd = kclass > 2 ? g.NGROUP : 0;
  r.begin(18, "BL");
  r.reals_split(bl, n, ws::grpval(), ngbnd);
  r.begin(19, "BU");
  r.reals_split(bu, n, ws::grparg(), ngbnd);
  r.begin(20, "X");
  r.reals(x, n);
  if (kclass > 1) {
    r.begin(21, "U");
    r.reals(ws::u(), g.NGROUP);
  }
  r.begin(22, "GPVALU");
  r.reals(ws::gpvalu(), g.NGPVAL);
  r.begin(23, "EPVALU");
  r.reals(ws::epvalu(), g.NEPVAL);
  r.begin(24, "ESCALE");
  r.reals(ws::escale(), g.NELING);
  r.begin(25, "GSCALE");
  r.reals(ws::gscale(), g.NGROUP);
  r.begin(26, "VSCALE");
  r.reals(g.WK.slice(g.OVSCAL + 1, n), n);
  {
    double obfbnd[2] = {};
    r.begin(27, "OBFBND");
    r.reals(Vec(obfbnd, 2), 2, 2);
  }

  // Records 28 to 34: flags, names, variable types.
  r.begin(28, "INTREP");
  r.logicals(ws::intrep(), g.NELEM);
  r.begin(29, "GXEQX");
  r.logicals(ws::gxeqx(), g.NGROUP);
  r.begin(30, "GNAMES");
  r.names(chara.CHA.slice(g.OGNAME + 1, g.NGROUP), g.NGROUP);
  r.begin(31, "VNAMES");
  r.names(chara.CHA.slice(g.OVNAME + 1, n), n);
  r.begin(32, "element types");
  r.skip_names(netype);
  r.begin(33, "group types");
  r.skip_names(ngtype);
  r.begin(34, "IVTYPE");
  r.integers(g.IWK.slice(g.OVTYPE + 1, n), n);

  // List the constraints in group order.
  const LogVec gxeqx = ws::gxeqx();
  const Vec grpval = ws::grpval();
  const Vec grparg = ws::grparg();
  const Vec u = ws::u();
  m = 0;
  for (int i = 1; i <= g.NGROUP; ++i) {
    if (kndofc(i) == 1) {
      kndofc(i) = 0;
      continue;
    }
    ++m;
    if (m <= mmax) {
      v(m) = u(i);
      linear(m) = gxeqx(i) != 0 && istadg(i + 1) <= istadg(i);
      if (kndofc(i) == 2) {
        equatn(m) = true;
        cl(m) = 0.0;
        cu(m) = 0.0;
      } else {
        equatn(m) = false;
        cl(m) = grpval(i);
        cu(m) = grparg(i);
      }
    }
    kndofc(i) = m;
  }
  if (m == 0 && iout > 0) {
    io::line("", iout);
    io::line(" ** SUBROUTINE CSETUP: ** Warning. The problem has no general constraints. ", iout);
    io::line(" Other tools may be preferable", iout);
  }
  if (m > mmax) {
    const int excess = m - mmax;
    capacity_message(iout, "V     ", "MMAX  ", excess);
    capacity_message(iout, "CL    ", "MMAX  ", excess);
    capacity_message(iout, "CU    ", "MMAX  ", excess);
    capacity_message(iout, "EQUATN", "MMAX  ", excess);
    capacity_message(iout, "LINEAR", "MMAX  ", excess);
    abandon(input);
  }
  dims.N = n;
  dims.M = m;

  // Partition the free workspace for evaluation.
  g.FIRSTC = 1;
  int inform = 0;
  dinitw(n, g.NGROUP, g.NELEM, g.IWK.slice(g.OELING + 1, g.declared(10)),
         g.IWK.slice(g.OSTADG + 1, g.declared(14)), g.IWK.slice(g.OELVAR + 1, g.declared(5)),
         g.IWK.slice(g.OSTAEV + 1, g.declared(6)), g.IWK.slice(g.ONTVAR + 1, g.declared(8)),
         g.IWK.slice(g.OSTHES + 1, g.declared(7)), g.IWK.slice(g.OCNA + 1, g.declared(16)),
         g.IWK.slice(g.OSTADA + 1, g.declared(17)), g.LOGI.slice(g.OGXEQX + 1, g.declared(13)),
         g.LOGI.slice(g.OINTRP + 1, g.declared(11)), kLfuval, g.ALLTRV, true, false, local,
         ranges, g.IWK.slice(g.IWKUSE + 1, g.IWKFRE), g.IWKFRE,
         g.WK.slice(g.WKUSE + 1, g.WKFRE), g.WKFRE, 0, iout, inform);
  if (inform != kPartitionOk) io::error_stop();

  // Positions from tail coordinates to whole-workspace coordinates.
  for (int k = 7; k <= 15; ++k) local(k) += g.WKUSE;
  local(loc::kLswtra) += g.WKUSE;
  for (int k = 16; k <= 32; ++k) local(k) += g.IWKUSE;
  for (int k = 68; k <= 71; ++k) local(k) += g.IWKUSE;
  local(loc::kLsiset) += g.IWKUSE;
  local(loc::kLssvse) += g.IWKUSE;

  if ((!equfst && !linfst) || m == 0) return;

  // Order the constraints.
  if (local(loc::kIwkRoom) < m) {
    io::line(" ** SUBROUTINE CSETUP: Increase the size of IWK ", iout);
    io::error_stop();
  }
  const int lsend = local(loc::kLsend);
  const ConstraintLists lists{g.IWK.slice(lsend + 1, m), kndofc, equatn, linear, v, cl, cu};
  for (int i = 1; i <= g.NGROUP; ++i) {
    if (kndofc(i) > 0) lists.map(kndofc(i)) = i;
  }
  int neq = 0;
  int nlin = 0;
  for (int j = 1; j <= m; ++j) {
    if (equatn(j)) ++neq;
    if (linear(j)) ++nlin;
  }
  if (!linfst) {
    if (equfst && neq > 0 && neq != m) lists.partition(1, m, equatn);
  } else {
    if (nlin > 0 && nlin != m) lists.partition(1, m, linear);
    if (equfst && neq > 0 && neq != m) {
      lists.partition(1, nlin, equatn);
      lists.partition(nlin + 1, m, equatn);
    }
  }

  for (int k = 1; k <= 8; ++k) prfcts.count(k) = 0;
  prfcts.ENDSTP = cputim();
  prfcts.SETSEC = prfcts.ENDSTP - start;
}

}  // namespace morlan
