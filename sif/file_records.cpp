#include "sif/file_records.hpp"

#include <algorithm>
#include <string>
#include <string_view>

#include "sif/decoded/decoded.hpp"
#include "sif/records.hpp"
#include "sif/setup_messages.hpp"

namespace morlan {

namespace {

void stop_unless_usable(int n, int nmax, int input, int iout) {
  if (n < 1) stop_unusable_problem(input, iout, "the problem uses no variables.");
  if (global.NGROUP < 1) stop_unusable_problem(input, iout, "the problem is vacuous.");
  if (n > nmax) {
    capacity_message(iout, "  X   ", "NMAX  ", n - nmax);
    capacity_message(iout, "  BL  ", "NMAX  ", n - nmax);
    capacity_message(iout, "  BU  ", "NMAX  ", n - nmax);
    abandon_setup(input);
  }
}

// Start pointers p(1..count) into a list of list_length entries.
void read_pointers(DataFileReader& r, int record, std::string_view name, IVec p, int count,
                   int list_length) {
  r.begin(record, name).integers(p, count);
  r.check_pointers(p, count, list_length);
}

// Indices v(1..count) of `what`s numbered 1..hi.
void read_indices(DataFileReader& r, int record, std::string_view name, IVec v, int count, int hi,
                  std::string_view what) {
  r.begin(record, name).integers(v, count);
  r.check_indices(v, count, hi, what);
}

// ccifg lists a group's element slots (duplicates included) in ICALC.
void check_groups_fit_evaluation_list(const DataFileReader& r) {
  const GlobalRecord& g = global;
  const IVec istadg = ws::istadg();
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

// Record 10 (classes 2 and 3); a file without kinds describes an
// unconstrained problem: every group belongs to the objective.
void read_kinds(DataFileReader& r, int kclass) {
  const IVec kndofc = ws::kndofc();
  if (kclass > 1) {
    r.begin(10, "KNDOFC").integers(kndofc, global.NGROUP);
  } else {
    for (int i = 1; i <= global.NGROUP; ++i) kndofc(i) = 1;
  }
}

// Record 11: each element's type must be one of the linked problem's, with
// the variables and parameters that its type takes. Then settyp.
void read_element_types(DataFileReader& r) {
  const int nelem = global.NELEM;
  const IVec itypee = ws::itypee();
  const IVec istaev = ws::istaev();
  const IVec istep = ws::istep();
  r.begin(11, "ITYPEE").integers(itypee, nelem);
  for (int e = 1; e <= nelem; ++e) {
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
  settyp(nelem, itypee);
}

// Record 12. The transformations are the identity: internal variables =
// elemental ones.
void read_internal_counts(DataFileReader& r) {
  const IVec intvar = ws::intvar();
  const IVec itypee = ws::itypee();
  r.begin(12, "INTVAR").integers(intvar, global.NELEM);
  for (int e = 1; e <= global.NELEM; ++e) {
    const int needed = element_type_shape(itypee(e)).variables;
    if (intvar(e) != needed) {
      r.fail(e, "element " + std::to_string(e) + " has " + std::to_string(intvar(e)) +
                    " internal variables, its type needs " + std::to_string(needed));
    }
  }
}

}  // namespace

FileSizes read_sizes(DataFileReader& r, int nmax, int input, int iout) {
  GlobalRecord& g = global;
  int header[10] = {};
  r.begin(1, "sizes").integers(IVec(header, 10), 10, 10);
  const FileSizes sizes{header[0], header[8], header[9]};
  g.NGROUP = header[1];
  g.NELEM = header[2];
  g.NELING = header[3];
  g.NELVAR = header[4];
  g.NLINA = header[5];
  g.NGPVAL = header[6];
  g.NEPVAL = header[7];
  stop_unless_usable(sizes.n, nmax, input, iout);
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
  return sizes;
}

void read_objective_group(DataFileReader& r) {
  int pair[2] = {};  // a count that is not kept, then IOBJGR
  r.begin(3, "IOBJGR").integers(IVec(pair, 2), 2, 2);
  global.declared(3) = pair[1];
}

void read_structure(DataFileReader& r, int n, int kclass) {
  GlobalRecord& g = global;
  read_pointers(r, 4, "ISTADG", ws::istadg(), g.NGP1, g.NELING);
  check_groups_fit_evaluation_list(r);
  read_pointers(r, 5, "ISTGP", ws::istgp(), g.NGP1, g.NGPVAL);
  read_pointers(r, 6, "ISTADA", ws::istada(), g.NGP1, g.NLINA);
  read_pointers(r, 7, "ISTAEV", ws::istaev(), g.NELP1, g.NELVAR);
  read_pointers(r, 8, "ISTEP", ws::istep(), g.NELP1, g.NEPVAL);
  r.begin(9, "ITYPEG").integers(ws::itypeg(), g.NGROUP);
  read_kinds(r, kclass);
  read_element_types(r);
  read_internal_counts(r);
  read_indices(r, 13, "IELING", ws::ieling(), g.NELING, g.NELEM, "element");
  // From here on NELVAR is the length of IELVAR as the element pointers give it.
  g.NELVAR = ws::istaev()(g.NELP1) - 1;
  read_indices(r, 14, "IELVAR", ws::ielvar(), g.NELVAR, n, "variable");
  read_indices(r, 15, "ICNA", ws::icna(), g.NLINA, n, "variable");
}

void read_numbers(DataFileReader& r, int n, int kclass, Vec x, Vec bl, Vec bu) {
  GlobalRecord& g = global;
  r.begin(16, "A").reals(ws::a(), g.NLINA);
  r.begin(17, "B").reals(ws::b(), g.NGROUP);
  const int ngbnd = kclass > 2 ? g.NGROUP : 0;
  r.begin(18, "BL").reals_split(bl, n, ws::grpval(), ngbnd);
  r.begin(19, "BU").reals_split(bu, n, ws::grparg(), ngbnd);
  r.begin(20, "X").reals(x, n);
  if (kclass > 1) r.begin(21, "U").reals(ws::u(), g.NGROUP);
  r.begin(22, "GPVALU").reals(ws::gpvalu(), g.NGPVAL);
  r.begin(23, "EPVALU").reals(ws::epvalu(), g.NEPVAL);
  r.begin(24, "ESCALE").reals(ws::escale(), g.NELING);
  r.begin(25, "GSCALE").reals(ws::gscale(), g.NGROUP);
  r.begin(26, "VSCALE").reals(g.WK.slice(g.OVSCAL + 1, n), n);
  double obfbnd[2] = {};  // bounds on the objective: read, not kept
  r.begin(27, "OBFBND").reals(Vec(obfbnd, 2), 2, 2);
}

void read_flags_and_names(DataFileReader& r, const FileSizes& sizes) {
  GlobalRecord& g = global;
  const int n = sizes.n;
  r.begin(28, "INTREP").logicals(ws::intrep(), g.NELEM);
  r.begin(29, "GXEQX").logicals(ws::gxeqx(), g.NGROUP);
  r.begin(30, "GNAMES").names(chara.CHA.slice(g.OGNAME + 1, g.NGROUP), g.NGROUP);
  r.begin(31, "VNAMES").names(chara.CHA.slice(g.OVNAME + 1, n), n);
  r.begin(32, "element types").skip_names(sizes.netype);
  r.begin(33, "group types").skip_names(sizes.ngtype);
  r.begin(34, "IVTYPE").integers(g.IWK.slice(g.OVTYPE + 1, n), n);
}

}  // namespace morlan
