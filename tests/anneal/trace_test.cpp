#include "anneal/trace.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "io/console.hpp"
#include "tests/anneal/captured_output.hpp"

namespace morlan {
namespace {

using StdoutCapture = test::Captured;

std::vector<double> sequence(int n) {
  std::vector<double> v;
  for (int i = 1; i <= n; ++i) v.push_back(i);
  return v;
}

CVec view(const std::vector<double>& v) { return CVec(v.data(), static_cast<int>(v.size())); }

// The lines prtvec prints for the values 1, 2, ..., n under a name.
std::vector<std::string> printed_sequence(int n, const std::string& name = "X") {
  StdoutCapture out;
  const auto v = sequence(n);
  prtvec(view(v), n, name);
  return out.lines();
}

TEST(GeneralField, FixedAndExponentFormsOfTheShortField) {
  EXPECT_EQ(general_field(0.0, 12, 5), "  0.0000    ");
  EXPECT_EQ(general_field(-0.0, 12, 5), "  0.0000    ");
  EXPECT_EQ(general_field(0.05, 12, 5), " 0.50000E-01");
  EXPECT_EQ(general_field(123.456, 12, 5), "  123.46    ");
  EXPECT_EQ(general_field(-1e-7, 12, 5), "-0.10000E-06");
  EXPECT_EQ(general_field(0.1, 12, 5), " 0.10000    ");
  EXPECT_EQ(general_field(-2.5, 12, 5), " -2.5000    ");
  EXPECT_EQ(general_field(99999.0, 12, 5), "  99999.    ");
  EXPECT_EQ(general_field(100000.0, 12, 5), " 0.10000E+06");
  EXPECT_EQ(general_field(1e20, 12, 5), " 0.10000E+21");
  EXPECT_EQ(general_field(-1.5e-200, 12, 5), "-0.15000-199");
}

TEST(GeneralField, LongFieldHoldsEighteenDigits) {
  EXPECT_EQ(general_field(1.5, 25, 18), "  1.50000000000000000    ");
  EXPECT_EQ(general_field(-1e20, 25, 18), "-0.100000000000000000E+21");
  EXPECT_EQ(general_field(0.0, 25, 18).size(), 25u);
}

TEST(IntegerField, RightAlignedInEight) {
  EXPECT_EQ(integer_field(0), "       0");
  EXPECT_EQ(integer_field(-42), "     -42");
  EXPECT_EQ(integer_field(123456789), "********");
}

TEST(Prtvec, TenValuesMakeOneLine) {
  const auto lines = printed_sequence(10, "NAME");
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[0], "");
  EXPECT_EQ(lines[1], std::string(25, ' ') + "NAME");
  EXPECT_EQ(lines[2].size(), 130u);
  EXPECT_EQ(lines[2].substr(0, 26), "  1.0000       2.0000     ");
  EXPECT_EQ(lines[2].substr(117), "  10.000     ");
}

TEST(Prtvec, ElevenValuesMakeALineOfTenAndOneOfOne) {
  const auto lines = printed_sequence(11);
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(lines[2].size(), 130u);
  EXPECT_EQ(lines[3], "  11.000     ");
}

TEST(Prtvec, TwentyValuesEndWithAnEmptyLine) {
  const auto lines = printed_sequence(20);
  ASSERT_EQ(lines.size(), 5u);
  EXPECT_EQ(lines[2].size(), 130u);
  EXPECT_EQ(lines[3].size(), 130u);
  EXPECT_EQ(lines[4], "");
}

TEST(Prtvec, ExtendedPointOfThreeHundredFourValues) {
  const auto lines = printed_sequence(304);
  ASSERT_EQ(lines.size(), 2u + 30u + 1u);
  EXPECT_EQ(lines[32].size(), 4u * 13u);
}

// The lines of prt9 for both signs of maximize, each label with its value.
TEST(Prt9, LabelsAndValuesForBothSigns) {
  const std::vector<double> v{1.0};
  const std::string fmax = "  3.25000000000000000    ";
  for (bool maximize : {false, true}) {
    StdoutCapture out;
    // A minimising loop hands over the negated search value.
    prt9(maximize, 1, 0.5, view(v), view(v), maximize ? 3.25 : -3.25, 4, 2, 7, 0, 1);
    const auto lines = out.lines();
    ASSERT_EQ(lines.size(), 4u + 7u + 3u + 3u + 1u);
    EXPECT_EQ(lines[0], "");
    EXPECT_EQ(lines[1], " INTERMEDIATE RESULTS BEFORE NEXT TEMPERATURE REDUCTION");
    EXPECT_EQ(lines[2], "");
    EXPECT_EQ(lines[3], "  CURRENT TEMPERATURE:             0.50000    ");
    if (maximize) {
      EXPECT_EQ(lines[4], "  MAX FUNCTION VALUE SO FAR:  " + fmax);
      EXPECT_EQ(lines[5], "  TOTAL MOVES:                      13");
      EXPECT_EQ(lines[6], "     UPHILL:                         4");
      EXPECT_EQ(lines[7], "     ACCEPTED DOWNHILL:              2");
      EXPECT_EQ(lines[8], "     REJECTED DOWNHILL:              7");
      EXPECT_EQ(lines[9], "  OUT OF BOUNDS TRIALS:              0");
      EXPECT_EQ(lines[10], "  NEW MAXIMA THIS TEMPERATURE:       1");
    } else {
      EXPECT_EQ(lines[4], "  MIN FUNCTION VALUE SO FAR:  " + fmax);
      EXPECT_EQ(lines[5], "  TOTAL MOVES:                      13");
      EXPECT_EQ(lines[6], "     DOWNHILL:                       4");
      EXPECT_EQ(lines[7], "     ACCEPTED UPHILL:                2");
      EXPECT_EQ(lines[8], "     REJECTED UPHILL:                7");
      EXPECT_EQ(lines[9], "  TRIALS OUT OF BOUNDS:              0");
      EXPECT_EQ(lines[10], "  NEW MINIMA THIS TEMPERATURE:       1");
    }
    EXPECT_EQ(lines[12], std::string(25, ' ') + "CURRENT OPTIMAL X");
    EXPECT_EQ(lines[15], std::string(25, ' ') + "STEP LENGTH (VM)");
    EXPECT_EQ(lines[17], " ");
  }
}

TEST(TraceLines, SignOfPrintedValuesFollowsMaximize) {
  const std::vector<double> x{1.0}, xt{2.0};
  {
    StdoutCapture out;
    prt2(false, 1, view(x), 2.0);
    const auto lines = out.lines();
    ASSERT_EQ(lines.size(), 6u);
    EXPECT_EQ(lines[0], "  ");
    EXPECT_EQ(lines[2], std::string(25, ' ') + "INITIAL X");
    EXPECT_EQ(lines[4], "  INITIAL F: ");
    EXPECT_EQ(lines[5], " -2.00000000000000000    ");
  }
  {
    StdoutCapture out;
    prt4(true, 1, view(xt), view(x), 0.25, 2.0);
    const auto lines = out.lines();
    ASSERT_EQ(lines.size(), 9u);
    EXPECT_EQ(lines[2], std::string(25, ' ') + "CURRENT X");
    EXPECT_EQ(lines[4], "  CURRENT F:   2.00000000000000000    ");
    EXPECT_EQ(lines[6], std::string(25, ' ') + "TRIAL X");
    EXPECT_EQ(lines[8], "  RESULTING F:  0.250000000000000000    ");
  }
}

TEST(TraceLines, AcceptRejectAndEndLines) {
  StdoutCapture out;
  prt6(false);
  prt6(true);
  prt7(false);
  prt7(true);
  prt10();
  prt1();
  const std::vector<std::string> expected{
      "  THOUGH HIGHER, POINT ACCEPTED",
      "  THOUGH LOWER, POINT ACCEPTED",
      "  HIGHER POINT REJECTED",
      "  LOWER POINT REJECTED",
      "",
      "  SA ACHIEVED TERMINATION CRITERIA. IER = 0. ",
      "",
      "",
      "  THE STARTING VALUE (X) IS OUTSIDE THE BOUNDS ",
      "  (LB AND UB). EXECUTION TERMINATED WITHOUT ANY",
      "  OPTIMIZATION. RESPECIFY X, UB OR LB SO THAT  ",
      "  LB(I) .LT. X(I) .LT. UB(I), I = 1, N. ",
      ""};
  EXPECT_EQ(out.lines(), expected);
}

TEST(TraceLines, Prt8BlockLayout) {
  const std::vector<double> x{1.0};
  StdoutCapture out;
  prt8(1, view(x), view(x), view(x));
  const auto lines = out.lines();
  ASSERT_EQ(lines.size(), 3u + 9u + 1u);
  EXPECT_EQ(lines[1], " INTERMEDIATE RESULTS AFTER STEP LENGTH ADJUSTMENT");
  EXPECT_EQ(lines[4], std::string(25, ' ') + "NEW STEP LENGTH (VM)");
  EXPECT_EQ(lines[7], std::string(25, ' ') + "CURRENT OPTIMAL X");
  EXPECT_EQ(lines[10], std::string(25, ' ') + "CURRENT X");
  EXPECT_EQ(lines[12], " ");
}

}  // namespace
}  // namespace morlan
