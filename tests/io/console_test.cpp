// List-directed output: item layouts, the real-number text, the 80-column
// wrap, and the stop.
#include <gtest/gtest.h>

#include <cmath>
#include <csignal>
#include <cstdio>
#include <unistd.h>
#include <utility>
#include <limits>
#include <string>
#include <string_view>
#include <vector>

#include "io/console.hpp"
#include "io/units.hpp"
#include "tests/io/captured_output.hpp"

namespace morlan::io {
namespace {

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
  EXPECT_EQ(output_descriptor(6), 1);
  EXPECT_EQ(output_descriptor(7), 2);
  EXPECT_EQ(output_descriptor(55), 2);
}

TEST(ShownBytes, EscapesEveryUnprintableByteAndKeepsPrintableText) {
  EXPECT_EQ(shown_bytes("start point.txt ~!\\"), "start point.txt ~!\\");
  EXPECT_EQ(shown_bytes(std::string("a\0b\t\n\x7f\x80\xff", 8)), "a\\x00b\\x09\\x0a\\x7f\\x80\\xff");
  EXPECT_EQ(shown_bytes("\033]0;title\007"), "\\x1b]0;title\\x07");
}

// Runs `write` with standard output redirected to `stream`; returns the exit
// status of the stop it must end in and what was written on standard error.
template <class F>
std::pair<int, std::string> stop_of_write(std::FILE* stream, F write) {
  Captured err(kStderr);
  std::FILE* previous_out = redirect_output(kStdout, stream);
  const StopHandler previous = set_stop_handler(throwing_stop_handler);
  int status = -1;
  try {
    write();
  } catch (const StopRequest& r) {
    status = r.status;
  }
  set_stop_handler(previous);
  redirect_output(kStdout, previous_out);
  return {status, err.text()};
}

TEST(Output, FailedWriteOfStandardOutputStopsWithOneLine) {
  std::FILE* full = std::fopen("/dev/full", "w");
  ASSERT_NE(full, nullptr);
  const auto [status, err] = stop_of_write(full, [] { say("obj scale = ", 10.0); });
  std::fclose(full);
  EXPECT_EQ(status, kExitError);
  EXPECT_EQ(err, "morlan: output error: cannot write standard output: No space left on device\n");
}

TEST(Output, ClosedPipeStopsQuietly) {
  // With SIGPIPE ignored (as a parent may leave it), the write fails with
  // EPIPE; with the default action the signal itself ends the process.
  int fds[2];
  ASSERT_EQ(::pipe(fds), 0);
  ::close(fds[0]);
  std::FILE* pipe_out = ::fdopen(fds[1], "w");
  const auto previous_action = std::signal(SIGPIPE, SIG_IGN);
  const auto [status, err] = stop_of_write(pipe_out, [] { line(" x0 = "); });
  std::signal(SIGPIPE, previous_action);
  std::fclose(pipe_out);
  EXPECT_EQ(status, kExitError);
  EXPECT_EQ(err, "");
}

TEST(Output, EachLineReachesTheDescriptorWhenComplete) {
  // Standard output is a file: nothing may wait in a buffer once a line is
  // complete, so that a signal or a crash cannot lose it.
  std::fflush(stdout);
  std::FILE* file = std::tmpfile();
  ASSERT_NE(file, nullptr);
  const int saved = ::dup(STDOUT_FILENO);
  ::dup2(::fileno(file), STDOUT_FILENO);
  say("hasdiscrete = ", true);
  char seen[64] = {};
  const ssize_t n = ::pread(::fileno(file), seen, sizeof seen - 1, 0);
  ::dup2(saved, STDOUT_FILENO);
  ::close(saved);
  std::fclose(file);
  EXPECT_EQ(std::string(seen, n > 0 ? static_cast<std::size_t>(n) : 0), " hasdiscrete =  T\n");
}

// What a sink received: unit and text of each piece, in order.
std::vector<std::pair<int, std::string>> g_sunk;
void keep(int unit, std::string_view text) { g_sunk.emplace_back(unit, std::string(text)); }

TEST(OutputSink, TakesEveryLineWithItsUnitInOrderAndNothingReachesTheFile) {
  Captured out;
  g_sunk.clear();
  set_output_sink(keep);
  say("first", 1);
  say_on(kMessageUnit7, "message");
  line("  formatted", kStdout);
  set_output_sink(nullptr);
  say("after");
  const std::vector<std::pair<int, std::string>> expected = {
      {kStdout, " first 1\n"}, {kMessageUnit7, " message\n"}, {kStdout, "  formatted\n"}};
  EXPECT_EQ(g_sunk, expected);
  EXPECT_EQ(out.text(), " after\n");
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
