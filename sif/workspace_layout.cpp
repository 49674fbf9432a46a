#include "sif/workspace_layout.hpp"

#include <algorithm>
#include <cstdint>
#include <initializer_list>

#include "sif/records.hpp"
#include "sif/setup_messages.hpp"

namespace morlan {

namespace {

// A sub-array of a workspace: the member holding its offset, and its length.
struct Part {
  std::int32_t* offset;
  int length;
};

// Places the parts one after the other from offset 0, in order: each
// offset is the sum of the lengths before it. Returns the entries used.
int stack(std::initializer_list<Part> parts) {
  int used = 0;
  for (const Part& part : parts) {
    *part.offset = used;
    used += part.length;
  }
  return used;
}

void lay_out_integers(int n) {
  GlobalRecord& g = global;
  g.IWKUSE = stack({{&g.OSTADG, g.NGP1}, {&g.OSTGP, g.NGP1}, {&g.OSTADA, g.NGP1},
                    {&g.OSTAEV, g.NELP1}, {&g.OSTEP, g.NELP1}, {&g.OTYPEG, g.NGROUP},
                    {&g.OKNDOF, g.NGROUP}, {&g.OTYPEE, g.NELEM}, {&g.OELING, g.NELING},
                    {&g.OELVAR, g.NELVAR}, {&g.OCNA, g.NLINA}, {&g.OSTHES, g.NELP1},
                    {&g.ONTVAR, g.NELP1}, {&g.OVLIST, n},
                    {&g.OCALC, std::max(g.NELEM, g.NGROUP)}, {&g.OVTYPE, n}});
  g.IWKFRE = kLiwk - g.IWKUSE;
}

void lay_out_reals(int n) {
  GlobalRecord& g = global;
  // GRPVAL holds the group values and their first and second derivatives.
  g.WKUSE = stack({{&g.OA, g.NLINA}, {&g.OB, g.NGROUP}, {&g.OU, g.NGROUP},
                   {&g.OGPVAL, g.NGPVAL}, {&g.OEPVAL, g.NEPVAL}, {&g.OESCAL, g.NELING},
                   {&g.OGSCAL, g.NGROUP}, {&g.OVSCAL, n}, {&g.OGRVAL, 3 * g.NGROUP},
                   {&g.OXWORK, n}, {&g.OGWORK, n}, {&g.OQWORK, n}, {&g.OGRARG, g.NGROUP}});
  g.WKFRE = kLwk - g.WKUSE;
}

void lay_out_logicals() {
  GlobalRecord& g = global;
  g.LOGUSE = stack({{&g.OINTRP, g.NELEM}, {&g.OGXEQX, g.NGX2}});
}

void lay_out_names(int n) {
  GlobalRecord& g = global;
  g.CHAUSE = stack({{&g.OGNAME, g.NGROUP}, {&g.OVNAME, n}});
}

}  // namespace

void lay_out_workspace(int n, int input, int iout) {
  GlobalRecord& g = global;
  lay_out_integers(n);
  stop_if_short(-g.IWKFRE, "IWK   ", "LIWK  ", input, iout);
  lay_out_reals(n);
  stop_if_short(-g.WKFRE, " WK   ", "LWK   ", input, iout);
  lay_out_logicals();
  stop_if_short(g.LOGUSE - kLlogic, "LOGI  ", "LLOGIC", input, iout);
  lay_out_names(n);
  // CHA keeps one entry more, the problem name, after the name lists.
  stop_if_short(g.CHAUSE + 1 - kLchara, "CHA   ", "LCHARA", input, iout);
}

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

}  // namespace morlan
