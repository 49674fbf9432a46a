// List-directed output: item layouts, the real-number text, the 80-column
// wrap, and the stop.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <limits>
#include <string>

#include "io/console.hpp"
#include "io/units.hpp"

namespace morlan::io {
namespace {

// Captures what the console writes on standard output during a test.
class Captured {
 public:
  Captured() : stream_(open_memstream(&buf_, &size_)) { previous_ = redirect_output(kStdout, stream_); }
  ~Captured() {
    redirect_output(kStdout, previous_);
    std::fclose(stream_);
    std::free(buf_);
  }
  std::string text() {
    std::fflush(stream_);
    return std::string(buf_, size_);
  }

 private:
  char* buf_ = nullptr;
  std::size_t size_ = 0;
  std::FILE* stream_;
  std::FILE* previous_;
};

TEST(RealItemText, WholeNumbersGetATrailingPoint) {
  EXPECT_EQ(real_item_text(12.0), " 12.");
  EXPECT_EQ(real_item_text(-12.0), "-12.");
  EXPECT_EQ(real_item_text(100000.0), " 100000.");
  EXPECT_EQ(real_item_text(123456789.0), " 123456789.");
}

TEST(RealItemText, ExponentFormGetsThePointBeforeTheE) {
  EXPECT_EQ(real_item_text(1.0e20), " 1.E+20");
  EXPECT_EQ(real_item_text(-1.0e20), "-1.E+20");
  EXPECT_EQ(real_item_text(1.0e9), " 1.E+09");
  EXPECT_EQ(real_item_text(1.0e-5), " 1.E-05");
  EXPECT_EQ(real_item_text(1.5e-5), " 1.5E-05");
  EXPECT_EQ(real_item_text(123456789012.0), " 1.23456789E+11");
  EXPECT_EQ(real_item_text(3.69e75), " 3.69E+75");
}

TEST(RealItemText, NineSignificantDigits) {
  EXPECT_EQ(real_item_text(0.5), " 0.5");
  EXPECT_EQ(real_item_text(1.0 / 3.0), " 0.333333333");
  EXPECT_EQ(real_item_text(-2.0 / 3.0), "-0.666666667");
  EXPECT_EQ(real_item_text(1.0e-4), " 0.0001");
}

TEST(RealItemText, SinglePrecisionValuesWidenExactly) {
  EXPECT_EQ(real_item_text(static_cast<double>(0.1f)), " 0.100000001");
  EXPECT_EQ(real_item_text(static_cast<double>(4.0e-3f)), " 0.00400000019");
}

TEST(RealItemText, ZeroOfEitherSignIsPlainZero) {
  EXPECT_EQ(real_item_text(0.0), " 0.");
  EXPECT_EQ(real_item_text(-0.0), " 0.");
}

TEST(RealItemText, InfinitiesAndNanAsTheCLibrarySpellsThem) {
  const double inf = std::numeric_limits<double>::infinity();
  EXPECT_EQ(real_item_text(inf), " INF");
  EXPECT_EQ(real_item_text(-inf), "-INF");
  EXPECT_EQ(real_item_text(std::numeric_limits<double>::quiet_NaN()), " NAN");
  EXPECT_EQ(real_item_text(std::log(0.0) / std::log(2.0)), "-INF");
}

TEST(ListOutput, EveryItemKindInOneStatement) {
  Captured out;
  say("Obj =", -3, true, false, 2.5, 7.0f, " end");
  EXPECT_EQ(out.text(), " Obj = -3 T F  2.5  7. end\n");
}

TEST(ListOutput, TextIsExactWithTrailingBlanksAndOneLeadingBlankOnlyFirst) {
  Captured out;
  say("abc  ", "def ");
  say(" ");
  say();
  EXPECT_EQ(out.text(), " abc  def \n  \n\n");
}

TEST(ListOutput, IntegersHaveNoWidthOrLeadingZeros) {
  Captured out;
  say(0, 7, -120, static_cast<long long>(9000000000LL));
  EXPECT_EQ(out.text(), " 0 7 -120 9000000000\n");
}

TEST(ListOutput, ItemReachingColumn80StartsANewLine) {
  Captured out;
  // 66 columns, then a 13-column real: 79, stays.
  say(std::string(65, 'a'), 0.123456789);
  // 67 columns, then a 13-column real: 80, moves to a new line.
  say(std::string(66, 'a'), 0.123456789);
  EXPECT_EQ(out.text(), " " + std::string(65, 'a') + "  0.123456789\n" +
                            " " + std::string(66, 'a') + "\n  0.123456789\n");
}

TEST(ListOutput, WrappedTextItemGetsTheLeadingBlankOfAFirstItem) {
  Captured out;
  say(std::string(70, 'a'), std::string(10, 'b'));
  EXPECT_EQ(out.text(), " " + std::string(70, 'a') + "\n " + std::string(10, 'b') + "\n");
}

TEST(ListOutput, OverlongFirstItemIsWrittenWithoutAnEmptyLineBeforeIt) {
  Captured out;
  say(std::string(100, 'z'), 1);
  EXPECT_EQ(out.text(), " " + std::string(100, 'z') + "\n 1\n");
}

TEST(ListOutput, VectorOfRealsWrapsSixToALineAfterTheLeader) {
  Captured out;
  double v[14];
  for (int i = 0; i < 14; ++i) v[i] = 0.123456789;
  say("x0 = ", CVec(v, 14));
  const std::string item = "  0.123456789";
  std::string expected = " x0 = ";
  for (int i = 0; i < 5; ++i) expected += item;
  expected += "\n";
  for (int i = 0; i < 6; ++i) expected += item;
  expected += "\n";
  for (int i = 0; i < 3; ++i) expected += item;
  expected += "\n";
  EXPECT_EQ(out.text(), expected);
}

TEST(ListOutput, FormattedLineIsExact) {
  Captured out;
  line("  exact  ");
  line("");
  EXPECT_EQ(out.text(), "  exact  \n\n");
}

TEST(ListOutput, UnitsOtherThanSixGoToStandardError) {
  EXPECT_EQ(output_stream(6), stdout);
  EXPECT_EQ(output_stream(7), stderr);
  EXPECT_EQ(output_stream(55), stderr);
}

TEST(Stop, HandlerSeesTheExitStatus) {
  const StopHandler previous = set_stop_handler(throwing_stop_handler);
  try {
    stop();
    FAIL();
  } catch (const StopRequest& r) {
    EXPECT_EQ(r.status, kExitNormal);
  }
  try {
    error_stop();
    FAIL();
  } catch (const StopRequest& r) {
    EXPECT_EQ(r.status, kExitError);
  }
  set_stop_handler(previous);
}

TEST(StopDeathTest, FlushesPendingOutputAndExitsWithTheStatus) {
  EXPECT_EXIT(
      {
        set_stop_handler(nullptr);
        std::fputs("pending", stderr);
        stop(kExitError);
      },
      testing::ExitedWithCode(1), "pending");
  EXPECT_EXIT((set_stop_handler(nullptr), stop()), testing::ExitedWithCode(0), "");
}

}  // namespace
}  // namespace morlan::io
