#include "problem/linked_problem.hpp"

#include <string>

#include "base/config.hpp"
#include "io/units.hpp"
#include "sif/csetup.hpp"
#include "sif/evaluate.hpp"

namespace morlan {

namespace {

constexpr int kCapacity = cfg::kBoundCapacity;

// The set-up's other outputs, kept only while it runs.
Array1<double, kCapacity> start_point;
Array1<double, kCapacity> multipliers;
Array1<bool, kCapacity> equality;
Array1<bool, kCapacity> linear_flag;

// Constraint k and side of one-sided inequality m (true: the lower-bound
// side), and c = c_k(x), with its gradient in g when `gradient`. The walk's
// stop comes before the evaluation, the kind's after it.
bool evaluate_one_sided(const ProblemSide& side, int m, CVec x, bool gradient, double& c, Vec g,
                        int& k, const OneSidedMessages& messages) {
  const BoundRecords& r = side.records;
  const WalkEnd end = walk_kinds_or_stop(m, side.neq, r.idineq, messages.wrong_m);
  k = end.at;
  c = 0.0;
  ccifg(side.n, k, x, c, g, gradient);
  return lower_side_or_stop(end, m, r.idineq, r.cl, messages.wrong_idineq);
}

}  // namespace

LoadedSizes read_problem(int data_unit, int message_unit, const BoundRecords& records) {
  std::string name = "OUTSDIF.d";
  name.resize(64, ' ');
  io::open_old_or_stop(data_unit, name);
  LoadedSizes sizes{0, 0, 0};
  csetup(data_unit, message_unit, sizes.n, sizes.m, start_point, records.xl, records.xu,
         kCapacity, equality, linear_flag, multipliers, records.cl, records.cu, kCapacity, true,
         false, false);
  for (int k = 1; k <= sizes.m; ++k) {
    if (equality(k)) ++sizes.neq;
  }
  return sizes;
}

int classify_problem(const LoadedSizes& sizes, const BoundRecords& records) {
  const BoundRecords& r = records;
  int ranges = 0;
  for (int k = 1; k <= kCapacity; ++k) r.idineq(k) = -1;
  for (int k = sizes.neq + 1; k <= sizes.m; ++k) {
    const bool range = r.cl(k) > -kBigInf && r.cu(k) < kBigInf;
    r.idineq(k) = range ? 2 : 1;
    if (range) ++ranges;
  }
  for (int i = 1; i <= kCapacity; ++i) r.idbd(i) = -1;
  for (int i = 1; i <= sizes.n; ++i) {
    if (r.xl(i) < -kBigInf) r.xl(i) = -kReplacedBound;
    if (r.xu(i) > kBigInf) r.xu(i) = kReplacedBound;
  }
  for (int i = 1; i <= sizes.n; ++i) {
    r.idbd(i) = (r.xl(i) > -kBigInf ? 1 : 0) + (r.xu(i) < kBigInf ? 1 : 0);
  }
  return (sizes.m - sizes.neq) + ranges;
}

double objective(int n, CVec x) {
  double f = 0.0;
  cofg(n, x, f, Vec(), false);
  return f;
}

void objective_gradient(int n, CVec x, Vec g) {
  double f = 0.0;
  cofg(n, x, f, g, true);
}

double constraint(int n, int k, CVec x) {
  double c = 0.0;
  ccifg(n, k, x, c, Vec(), false);
  return c;
}

void constraint_gradient(int n, int k, CVec x, Vec g) {
  double c = 0.0;
  ccifg(n, k, x, c, g, true);
}

double one_sided(const ProblemSide& side, int m, CVec x, const OneSidedMessages& messages) {
  double c = 0.0;
  int k = 0;
  const bool lower = evaluate_one_sided(side, m, x, false, c, Vec(), k, messages);
  return lower ? side.records.cl(k) - c : c - side.records.cu(k);
}

void one_sided_gradient(const ProblemSide& side, int m, CVec x, Vec g,
                        const OneSidedMessages& messages) {
  double c = 0.0;
  int k = 0;
  if (evaluate_one_sided(side, m, x, true, c, g, k, messages)) {
    for (int i = 1; i <= side.n; ++i) g(i) = -g(i);
  }
}

}  // namespace morlan
