// The workspace partition: the structures it builds for evaluation (through
// the set-up of the hand-made problems), its capacity reports, and its two
// small routines.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "sif/decoded/decoded.hpp"
#include "sif/partition.hpp"
#include "sif/records.hpp"
#include "tests/sif/sif_file.hpp"

namespace morlan {
namespace {

using testing::run_setup;
using testing::SifFile;

TEST(Partition, GroupVariableListsAndStarts) {
  ASSERT_FALSE(run_setup(testing::toy_problem().text()).stopped);
  auto list_of = [](int ig) {
    std::vector<int> vars;
    const int lstagv = local(loc::kLstagv), lsvgrp = local(loc::kLsvgrp);
    for (int k = global.IWK(lstagv + ig); k < global.IWK(lstagv + ig + 1); ++k) {
      vars.push_back(global.IWK(lsvgrp + k));
    }
    return vars;
  };
  // Element variables first (a shared variable once), then linear ones.
  EXPECT_EQ(list_of(1), (std::vector<int>{1, 2, 3, 4, 5}));
  EXPECT_EQ(list_of(3), (std::vector<int>{2, 1, 4, 3}));
  EXPECT_EQ(list_of(4), (std::vector<int>{4, 1}));
  EXPECT_EQ(list_of(7), (std::vector<int>{1, 2, 3}));
  EXPECT_EQ(global.IWK(local(loc::kLstagv) + 1), 1);
  // Gradient starts after the values; Hessian starts after the gradients.
  const IVec intvar = ws::intvar();
  const IVec isthes = ws::isthes();
  EXPECT_EQ(intvar(1), 4);
  EXPECT_EQ(intvar(2), 7);
  EXPECT_EQ(intvar(4), 15);
  EXPECT_EQ(isthes(1), 15);
  EXPECT_EQ(isthes(2), 21);
  EXPECT_EQ(isthes(4), 41);
  EXPECT_EQ(local(loc::kMaxinv), 4);
  EXPECT_EQ(local(loc::kMaxelv), 4);
  EXPECT_EQ(local(loc::kTotinv), 11);
  // All groups trivial: no column structure.
  EXPECT_EQ(global.ALLTRV, 1);
  for (int v = 1; v <= 6; ++v) EXPECT_EQ(global.IWK(local(loc::kLstajc) + v), 1);
  // The element slots know their groups.
  EXPECT_EQ(global.IWK(local(loc::kLslgrp) + 4), 3);
}

TEST(Partition, ProblemWithoutElements) {
  ASSERT_FALSE(run_setup(testing::linear_problem(3).text()).stopped);
  EXPECT_EQ(ws::intvar()(1), 1);
  EXPECT_EQ(local(loc::kMaxinv), 1);
  EXPECT_EQ(local(loc::kMaxelv), 1);
  EXPECT_EQ(local(loc::kLgxi), 0);
  EXPECT_EQ(local(loc::kLhxi), 0);
}

TEST(Partition, ColumnsOfNonTrivialGroups) {
  SifFile f = testing::toy_problem();
  f.gxeqx[0] = false;  // group 1: variables 1..5
  f.gxeqx[3] = false;  // group 4: variables 4, 1
  ASSERT_FALSE(run_setup(f.text()).stopped);
  EXPECT_EQ(global.ALLTRV, 0);
  const int lstajc = local(loc::kLstajc), lgcolj = local(loc::kLgcolj);
  std::vector<int> starts;
  for (int v = 1; v <= 6; ++v) starts.push_back(global.IWK(lstajc + v));
  EXPECT_EQ(starts, (std::vector<int>{1, 3, 4, 5, 7, 8}));
  EXPECT_EQ(global.IWK(lgcolj + 1), 1);
  EXPECT_EQ(global.IWK(lgcolj + 2), 4);
  EXPECT_EQ(global.IWK(lgcolj + 5), 1);
  EXPECT_EQ(global.IWK(lgcolj + 6), 4);
}

TEST(Partition, PackedSymmetricTables) {
  int table[9] = {}, diagonal[3] = {};
  dsymmh(3, IVec(table, 9), IVec(diagonal, 3));
  EXPECT_EQ((std::vector<int>(table, table + 9)), (std::vector<int>{0, 1, 3, 1, 2, 4, 3, 4, 5}));
  EXPECT_EQ((std::vector<int>(diagonal, diagonal + 3)), (std::vector<int>{0, 2, 5}));
}

TEST(Partition, EliminationPivotsOnTheLargestEntry) {
  // Columns of [[1, 2], [3, 8]]: the pivot is 8 at (2, 2).
  double a[4] = {1.0, 3.0, 2.0, 8.0};
  int ipvt[2] = {}, jcol[2] = {};
  dgelim(2, 2, IVec(ipvt, 2), IVec(jcol, 2), Vec(a, 4));
  EXPECT_EQ(ipvt[0], 2);
  EXPECT_EQ(jcol[0], 2);
  EXPECT_EQ(a[0], 8.0);
  EXPECT_EQ(a[1], 0.25);              // multiplier 2/8
  EXPECT_EQ(a[3], 1.0 - 0.25 * 3.0);  // remaining entry
}

struct PartitionRun {
  int inform = -1;
  std::string out;
};

// One group of one element of two variables (two internal ones): the chains
// take 2 nodes, the integer partitions end at LSVGRP = 29, the group's list
// (2 entries) at LSEND = 36, the real partitions at LWKSTR = 24 and the
// element store at LEND = 12.
PartitionRun partition_small_problem(int liwk, int lwk, int lfuval) {
  int ieling[] = {1}, istadg[] = {1, 2}, ielvar[] = {1, 2}, istaev[] = {1, 3};
  int intvar[] = {2, 0}, isthes[] = {0, 0}, icna[] = {0}, istada[] = {1, 1};
  Logical gxeqx[] = {1, 0}, intrep[] = {0};
  std::vector<int> iwk(static_cast<std::size_t>(liwk) + 1);
  std::vector<double> wk(static_cast<std::size_t>(lwk) + 1);
  LocalRecord positions{};
  int alltrv = 0;
  PartitionRun run;
  testing::Capture out(6);
  dinitw(2, 1, 1, CIVec(ieling, 1), CIVec(istadg, 2), CIVec(ielvar, 2), CIVec(istaev, 2),
         IVec(intvar, 2), IVec(isthes, 2), CIVec(icna, 1), CIVec(istada, 2), CLogVec(gxeqx, 2),
         CLogVec(intrep, 1), lfuval, alltrv, true, false, positions, ranges,
         IVec(iwk.data(), liwk), liwk, Vec(wk.data(), lwk), lwk, 0, 6, run.inform);
  run.out = out.text();
  return run;
}

std::string too_small(const char* array) {
  return std::string("\n The size of array ") + array + " must be increased by at least        1\n";
}

TEST(Partition, ReportsTheFirstWorkspaceThatIsTooSmallWithItsExcess) {
  PartitionRun run = partition_small_problem(36, 24, 12);
  EXPECT_EQ(run.inform, kPartitionOk);
  EXPECT_EQ(run.out, "");
  struct Case {
    int liwk, lwk, lfuval, status;
    const char* array;
  };
  const Case cases[] = {
      {1, 24, 12, kPartitionIwkTooSmall, "IWK"},    // the chain heads
      {28, 24, 12, kPartitionIwkTooSmall, "IWK"},   // the integer partitions
      {30, 24, 12, kPartitionIwkTooSmall, "IWK"},   // the group's list, at its second entry
      {35, 24, 12, kPartitionIwkTooSmall, "IWK"},   // the column structure after the lists
      {36, 23, 12, kPartitionWkTooSmall, "WK"},     // the real partitions
      {36, 24, 11, kPartitionWkTooSmall, "FUVALS"}  // the element store
  };
  for (const Case& c : cases) {
    run = partition_small_problem(c.liwk, c.lwk, c.lfuval);
    EXPECT_EQ(run.inform, c.status) << c.liwk << " " << c.lwk << " " << c.lfuval;
    EXPECT_EQ(run.out, too_small(c.array)) << c.liwk << " " << c.lwk << " " << c.lfuval;
  }
}

}  // namespace
}  // namespace morlan
