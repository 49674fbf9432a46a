// Set-up from a data file: the hand-made problem read back, the constraint
// order and the capacity messages.
#include <gtest/gtest.h>

#include <string>

#include "sif/records.hpp"
#include "tests/sif/sif_file.hpp"

namespace morlan {
namespace {

using testing::run_setup;
using testing::SifFile;

TEST(Setup, ReadsTheHandMadeProblem) {
  const SifFile file = testing::toy_problem();
  const auto run = run_setup(file.text());
  ASSERT_FALSE(run.stopped) << run.out << run.err;
  EXPECT_EQ(run.n, 5);
  EXPECT_EQ(run.m, 4);
  EXPECT_EQ(dims.N, 5);
  EXPECT_EQ(dims.M, 4);
  EXPECT_EQ(run.out, "");
  EXPECT_EQ(run.x[2], 1.5);
  EXPECT_EQ(run.bl[1], -1.0e20);
  EXPECT_EQ(run.bu[2], 1.0e19);
  // Groups 2 (range), 3 (equality), 5 (upper), 6 (linear equality) are the
  // constraints 1..4 in group order; equalities first moves group 6 to the
  // front and group 2 to the back.
  EXPECT_EQ(ws::kndofc()(1), 0);
  EXPECT_EQ(ws::kndofc()(2), 4);
  EXPECT_EQ(ws::kndofc()(3), 2);
  EXPECT_EQ(ws::kndofc()(4), 0);
  EXPECT_EQ(ws::kndofc()(5), 3);
  EXPECT_EQ(ws::kndofc()(6), 1);
  EXPECT_EQ(ws::kndofc()(7), 0);
  const std::vector<bool> eq = {true, true, false, false};
  const std::vector<bool> lin = {true, false, false, false};
  const std::vector<double> v = {0.4, 0.2, 0.3, 0.1};
  const std::vector<double> cl = {0.0, 0.0, -1.0e20, -1.0};
  const std::vector<double> cu = {0.0, 0.0, 10.0, 4.0};
  for (int j = 0; j < 4; ++j) {
    EXPECT_EQ(run.equatn[j], eq[j]) << j;
    EXPECT_EQ(run.linear[j], lin[j]) << j;
    EXPECT_EQ(run.v[j], v[j]) << j;
    EXPECT_EQ(run.cl[j], cl[j]) << j;
    EXPECT_EQ(run.cu[j], cu[j]) << j;
  }
  // Names and the problem name.
  EXPECT_EQ(std::string(chara.CHA(global.OGNAME + 2).data(), 10), "RANGE     ");
  EXPECT_EQ(std::string(chara.CHA(global.OVNAME + 5).data(), 10), "X5        ");
  EXPECT_EQ(std::string(chara.CHA(global.CHAUSE + 1).data(), 10), "TOY       ");
  for (int k = 1; k <= 8; ++k) EXPECT_EQ(prfcts.count(k), 0);
  EXPECT_GE(prfcts.SETSEC, 0.0f);
}

TEST(Setup, FourGroupsOrderEqualitiesFirstByExchange) {
  const auto run = run_setup(testing::four_constraint_problem().text());
  ASSERT_FALSE(run.stopped) << run.err;
  EXPECT_EQ(run.m, 4);
  EXPECT_EQ(ws::kndofc()(1), 4);
  EXPECT_EQ(ws::kndofc()(2), 2);
  EXPECT_EQ(ws::kndofc()(3), 3);
  EXPECT_EQ(ws::kndofc()(4), 1);
  // The caller's arrays moved with them: constraint 1 is group 4, ...
  EXPECT_EQ(run.v[0], 4.0);
  EXPECT_EQ(run.v[1], 2.0);
  EXPECT_EQ(run.v[2], 3.0);
  EXPECT_EQ(run.v[3], 1.0);
  EXPECT_EQ(run.cl[3], -10.0);
  EXPECT_EQ(run.cu[2], 30.0);
  EXPECT_TRUE(run.equatn[0] && run.equatn[1] && !run.equatn[2] && !run.equatn[3]);
}

TEST(Setup, KeepsGroupOrderWhenAllConstraintsAreOfOneKind) {
  SifFile f = testing::four_constraint_problem();
  f.kndofc = {2, 2, 2, 2};
  auto run = run_setup(f.text());
  ASSERT_FALSE(run.stopped);
  for (int i = 1; i <= 4; ++i) EXPECT_EQ(ws::kndofc()(i), i);
  f.kndofc = {3, 3, 3, 3};
  run = run_setup(f.text());
  ASSERT_FALSE(run.stopped);
  for (int i = 1; i <= 4; ++i) EXPECT_EQ(ws::kndofc()(i), i);
  EXPECT_EQ(run.v[0], 1.0);
}

TEST(Setup, LinearFirstThenEqualitiesWithinEachBlock) {
  // Groups: 1 nonlinear equality, 2 linear inequality, 3 linear equality.
  SifFile f = testing::toy_problem();
  const auto run = run_setup(f.text(), true, true);
  ASSERT_FALSE(run.stopped);
  // Linear: only group 6; then equalities first among the rest.
  EXPECT_EQ(ws::kndofc()(6), 1);
  EXPECT_TRUE(run.linear[0]);
  EXPECT_TRUE(run.equatn[1]);
  EXPECT_EQ(ws::kndofc()(3), 2);
}

TEST(Setup, ClassTwoFileReadsTheObjectiveGroupAndNoGroupBounds) {
  SifFile f = testing::four_constraint_problem();
  f.kclass = 2;
  f.iobjgr = 3;
  f.bl.resize(2);
  f.bu.resize(2);
  const auto run = run_setup(f.text());
  ASSERT_FALSE(run.stopped) << run.err;
  EXPECT_EQ(global.declared(3), 3);
  EXPECT_EQ(run.m, 4);
}

TEST(Setup, ClassOneFileHasOnlyObjectiveGroups) {
  SifFile f = testing::four_constraint_problem();
  f.kclass = 1;
  f.bl.resize(2);
  f.bu.resize(2);
  const auto run = run_setup(f.text());
  ASSERT_FALSE(run.stopped) << run.err;
  EXPECT_EQ(run.m, 0);
}

TEST(Setup, WarnsWhenThereAreNoConstraints) {
  const auto run = run_setup(testing::linear_problem(3).text());
  ASSERT_FALSE(run.stopped);
  EXPECT_EQ(run.m, 0);
  EXPECT_EQ(run.out,
            "\n ** SUBROUTINE CSETUP: ** Warning. The problem has no general constraints. \n"
            " Other tools may be preferable\n");
}

std::string capacity(const char* array, const char* parameter, const char* excess) {
  return std::string("\n ** SUBROUTINE CSETUP: array length ") + array + " too small.\n" +
         " -- Miminimization abandoned.\n -- Increase the parameter " + parameter +
         " by at least " + excess + " and restart.\n";
}

TEST(SetupCapacity, AcceptsAThousandVariablesAndStopsAtOneMore) {
  auto run = run_setup(testing::linear_problem(1000).text());
  EXPECT_FALSE(run.stopped) << run.err;
  EXPECT_EQ(run.n, 1000);
  run = run_setup(testing::linear_problem(1001).text());
  EXPECT_TRUE(run.stopped);
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.out, capacity("  X   ", "NMAX  ", "       1") +
                         capacity("  BL  ", "NMAX  ", "       1") +
                         capacity("  BU  ", "NMAX  ", "       1"));
}

// Only the sizes and the class: the layout is checked before anything else
// is read, so a layout that fits runs into the end of the file at record 4.
std::string header_only(int n, int ngroup, int nelem, int neling = 0, int nelvar = 0,
                        int nlina = 0, int ngpval = 0) {
  return testing::int_lines({n, ngroup, nelem, neling, nelvar, nlina, ngpval, 0, 0, 0}, 10) +
         " 3BIG\n";
}

TEST(SetupCapacity, LogicalWorkspaceHoldsExactly350000) {
  auto run = run_setup(header_only(1, 1, 349998, 0, 0));
  EXPECT_TRUE(run.stopped);
  EXPECT_EQ(run.status, 2);
  EXPECT_EQ(run.out, "");
  EXPECT_NE(run.err.find("record 4 (ISTADG)"), std::string::npos) << run.err;
  run = run_setup(header_only(1, 1, 349999, 0, 0));
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.out, capacity("LOGI  ", "LLOGIC", "       1"));
}

TEST(SetupCapacity, IntegerAndRealWorkspaces) {
  // With N = NGROUP = 1 and no elements IWK takes 15 + NELING + NELVAR +
  // NLINA entries, WK 11 + NLINA + NELING + NGPVAL.
  auto run = run_setup(header_only(1, 1, 0, 999999, 999999, 999987));
  EXPECT_EQ(run.status, 2) << run.out;
  EXPECT_EQ(run.out, "");
  run = run_setup(header_only(1, 1, 0, 999999, 999999, 999988));
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.out, capacity("IWK   ", "LIWK  ", "       1"));
  run = run_setup(header_only(1, 1, 0, 999999, 0, 999999, 999991));
  EXPECT_EQ(run.status, 2) << run.out;
  run = run_setup(header_only(1, 1, 0, 999999, 0, 999999, 999992));
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.out, capacity(" WK   ", "LWK   ", "       1"));
}

TEST(SetupFailures, NoVariablesAndVacuousProblems) {
  auto run = run_setup(header_only(0, 1, 0, 0, 0));
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.out,
            "\n ** SUBROUTINE CSETUP: the problem uses no variables. Execution terminating \n");
  run = run_setup(header_only(2, 0, 0, 0, 0));
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.out, "\n ** SUBROUTINE CSETUP: the problem is vacuous. Execution terminating \n");
}

}  // namespace
}  // namespace morlan
