#include "sif/csetup.hpp"

#include <algorithm>
#include <array>
#include <cstdio>
#include <string>

#include "io/console.hpp"
#include "io/cpu_time.hpp"
#include "io/units.hpp"
#include "sif/constraint_list.hpp"
#include "sif/data_file.hpp"
#include "sif/decoded/decoded.hpp"
#include "sif/file_records.hpp"
#include "sif/partition.hpp"
#include "sif/records.hpp"
#include "sif/workspace_layout.hpp"

namespace morlan {

float cputim() { return io::cpu_time_total(); }

namespace {

DataFileReader data_file_on(int input) {
  std::FILE* in = io::input_stream(input);
  if (in == nullptr) {
    io::line("unit " + std::to_string(input) + " is not connected to the problem data file", 0);
    io::stop(io::kExitInputError);
  }
  return DataFileReader(in, io::unit_name(input));
}

// The problem name, padded with two blanks, after the name lists in CHA.
void store_problem_name(const std::array<char, 8>& prbnam) {
  std::array<char, kNameLength> name;
  name.fill(' ');
  std::copy(prbnam.begin(), prbnam.end(), name.begin());
  chara.CHA(global.CHAUSE + 1) = name;
}

// Partition the free tails of IWK and WK for evaluation (a failure has
// written its message), then move the positions that the partition gives
// relative to the tails into whole-workspace coordinates.
void partition_workspace(int n, int iout) {
  GlobalRecord& g = global;
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
  for (int k = loc::kLqgrad; k <= loc::kLwkstr; ++k) local(k) += g.WKUSE;
  local(loc::kLswtra) += g.WKUSE;
  for (int k = loc::kLsptrs; k <= loc::kLsend; ++k) local(k) += g.IWKUSE;
  for (int k = loc::kLstype; k <= loc::kLsiwtr; ++k) local(k) += g.IWKUSE;
  local(loc::kLsiset) += g.IWKUSE;
  local(loc::kLssvse) += g.IWKUSE;
}

}  // namespace

void csetup(int input, int iout, int& n, int& m, Vec x, Vec bl, Vec bu, int nmax, LVec equatn,
            LVec linear, Vec v, Vec cl, Vec cu, int mmax, bool equfst, bool linfst,
            bool /*nlvfst*/) {
  // The layout is about to change: values derived from it are stale.
  ++setupcount.value;
  const float start = cputim();
  prfcts.SETSEC = start;
  output.value = iout;

  DataFileReader r = data_file_on(input);
  const FileSizes sizes = read_sizes(r, nmax, input, iout);
  n = sizes.n;
  int kclass = 0;
  std::array<char, 8> prbnam{};
  r.begin(2, "KCLASS, PRBNAM").class_and_name(kclass, prbnam);
  lay_out_workspace(n, input, iout);
  declare_lengths(n, global.declared(3));
  if (kclass == 2) read_objective_group(r);
  store_problem_name(prbnam);
  read_structure(r, n, kclass);
  read_numbers(r, n, kclass, x, bl, bu);
  read_flags_and_names(r, sizes);

  const ConstraintArrays constraints{equatn, linear, v, cl, cu};
  m = list_constraints(mmax, constraints);
  check_constraint_count(m, mmax, input, iout);
  dims.N = n;
  dims.M = m;
  partition_workspace(n, iout);
  if ((!equfst && !linfst) || m == 0) return;  // counters and set-up time as they were
  order_constraints(m, equfst, linfst, constraints, iout);

  for (int k = 1; k <= 8; ++k) prfcts.count(k) = 0;
  prfcts.ENDSTP = cputim();
  prfcts.SETSEC = prfcts.ENDSTP - start;
}

}  // namespace morlan
