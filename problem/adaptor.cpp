#include "problem/adaptor.hpp"

#include <string>

#include "io/console.hpp"
#include "problem/linked_problem.hpp"

namespace morlan {

PrbcsaRecord prbcsa;
XbndRecord xbnd;
CbndRecord cbnd;
BdinfoRecord bdinfo;

namespace {

constexpr int kDataUnit = 55;

BoundRecords records() { return bound_records(xbnd, cbnd, bdinfo.idineq, bdinfo.idbd); }

ProblemSide side() { return {prbcsa.n, prbcsa.neq, records()}; }

// Every evaluation hands on prbcsa.n and walks from prbcsa.neq: a file of
// other sizes would make them read outside the problem's arrays.
void check_sizes(const LoadedSizes& file) {
  if (file.n == prbcsa.n && file.m == prbcsa.m && file.neq == prbcsa.neq) return;
  io::flush();
  io::line("OUTSDIF.d: the problem has " + std::to_string(file.n) + " variables, " +
               std::to_string(file.m) + " constraints and " + std::to_string(file.neq) +
               " equalities; this program is built for " + std::to_string(prbcsa.n) + ", " +
               std::to_string(prbcsa.m) + " and " + std::to_string(prbcsa.neq),
           0);
  io::stop(io::kExitInputError);
}

}  // namespace

void init_csa_pd() { init_sif(); }

std::vector<NamedBytes> adaptor_records() {
  return {named_bytes("prbcsa", prbcsa), named_bytes("xbnd", xbnd), named_bytes("cbnd", cbnd),
          named_bytes("bdinfo", bdinfo)};
}

void init_sif() {
  const LoadedSizes sizes = read_problem(kDataUnit, io::kStdout, records());
  check_sizes(sizes);
  classify_problem(sizes, records());
}

double obj(int, CVec x) { return objective(prbcsa.n, x); }

void dobj(int, CVec x, Vec g) { objective_gradient(prbcsa.n, x, g); }

double ceq(int k, int, CVec x) { return constraint(prbcsa.n, k, x); }

void dceq(int k, int, CVec x, Vec g) { constraint_gradient(prbcsa.n, k, x, g); }

double cineq(int m, int, CVec x) {
  return one_sided(side(), m, x, {"wrong m in cineq()", "wrong idineq(k) in cineq()"});
}

// The kind's message names cineq here too.
void dcineq(int m, int, CVec x, Vec g) {
  one_sided_gradient(side(), m, x, g, {"wrong m in dcineq()", "wrong idineq(k) in cineq()"});
}

}  // namespace morlan
