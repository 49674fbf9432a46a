// Uniform random streams: the published RANMAR test vector, the seed
// limits and their message, independence of the two streams, and the
// guarded exponential.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>

#include "anneal/random.hpp"
#include "io/console.hpp"
#include "io/units.hpp"

namespace morlan {
namespace {

TEST(Ranmar, PublishedTestVector) {
  rmarin(1802, 9373);
  for (int i = 0; i < 20000; ++i) ranmar();
  const double expected[6] = {6533892.0, 14220222.0, 7275067.0, 6172232.0, 8354498.0, 10633180.0};
  for (double e : expected) EXPECT_EQ(static_cast<double>(ranmar()) * 4096.0 * 4096.0, e);
}

TEST(Ranmar, StartingPointStreamIsTheSameGenerator) {
  x0rmarin(1802, 9373);
  for (int i = 0; i < 20000; ++i) x0ranmar();
  EXPECT_EQ(static_cast<double>(x0ranmar()) * 4096.0 * 4096.0, 6533892.0);
}

TEST(Ranmar, ValuesAreOnTheTwoToTheMinus24GridInsideZeroOne) {
  rmarin(0, 0);
  for (int i = 0; i < 100000; ++i) {
    const float u = ranmar();
    ASSERT_GE(u, 0.0f);
    ASSERT_LT(u, 1.0f);
    const double scaled = static_cast<double>(u) * 16777216.0;
    ASSERT_EQ(scaled, std::floor(scaled));
  }
}

TEST(Ranmar, SeedingStateIsExact) {
  rmarin(1, 2);
  EXPECT_EQ(raset1.cseq, 362436.0f / 16777216.0f);
  EXPECT_EQ(static_cast<double>(raset1.cdec) * 16777216.0, 7654321.0);
  EXPECT_EQ(static_cast<double>(raset1.cmod) * 16777216.0, 16777213.0);
  EXPECT_EQ(raset1.ilag, 97);
  EXPECT_EQ(raset1.jlag, 33);
  for (int i = 1; i <= 97; ++i) {
    EXPECT_GE(raset1.lag(i), 0.0f);
    EXPECT_LT(raset1.lag(i), 1.0f);
  }
}

TEST(Ranmar, SeedsAtTheirLimitsAreAccepted) {
  rmarin(0, 0);
  const float a = ranmar();
  rmarin(31328, 30081);
  const float b = ranmar();
  x0rmarin(31328, 0);
  x0rmarin(0, 30081);
  EXPECT_NE(a, b);
}

TEST(Ranmar, ReseedingRestartsTheSequence) {
  rmarin(1, 2);
  float first[50];
  for (float& v : first) v = ranmar();
  rmarin(1, 2);
  for (float v : first) EXPECT_EQ(ranmar(), v);
}

TEST(Ranmar, StreamsDoNotDisturbEachOther) {
  x0rmarin(1, 2);
  float alone[200];
  for (float& v : alone) v = x0ranmar();

  x0rmarin(1, 2);
  rmarin(3, 4);
  for (int i = 0; i < 200; ++i) {
    for (int k = 0; k < 37; ++k) ranmar();
    if (i % 50 == 0) rmarin(1, 2);
    ASSERT_EQ(x0ranmar(), alone[i]) << i;
  }

  // And the reverse: the main stream ignores the starting-point stream.
  rmarin(1, 2);
  float main_alone[100];
  for (float& v : main_alone) v = ranmar();
  rmarin(1, 2);
  for (int i = 0; i < 100; ++i) {
    x0ranmar();
    x0ranmar();
    if (i == 30) x0rmarin(5, 6);
    ASSERT_EQ(ranmar(), main_alone[i]) << i;
  }
}

// Seeds out of range: both message lines, exactly, then an error stop.
class BadSeed : public testing::Test {
 protected:
  void SetUp() override {
    stream_ = open_memstream(&buf_, &size_);
    previous_out_ = io::redirect_output(io::kStdout, stream_);
    previous_stop_ = io::set_stop_handler(io::throwing_stop_handler);
  }
  void TearDown() override {
    io::redirect_output(io::kStdout, previous_out_);
    io::set_stop_handler(previous_stop_);
    std::fclose(stream_);
    std::free(buf_);
  }
  // Seeds the stream; returns the exit status of the stop (-1 if none).
  int seed(void (*seeder)(int, int), int ij, int kl) {
    try {
      seeder(ij, kl);
    } catch (const io::StopRequest& r) {
      return r.status;
    }
    return -1;
  }
  std::string output() {
    std::fflush(stream_);
    return std::string(buf_, size_);
  }
  static std::string expected_message() {
    const std::string pad(69, ' ');
    return " The first random number seed must have a value" + pad + "between 0 and 31328\n" +
           " The second seed must have a value between 0 and" + pad + "30081\n";
  }
  char* buf_ = nullptr;
  std::size_t size_ = 0;
  std::FILE* stream_ = nullptr;
  std::FILE* previous_out_ = nullptr;
  io::StopHandler previous_stop_ = nullptr;
};

TEST_F(BadSeed, FirstSeedAboveRange) {
  EXPECT_EQ(seed(rmarin, 31329, 0), io::kExitError);
  EXPECT_EQ(output(), expected_message());
}

TEST_F(BadSeed, FirstSeedNegative) {
  EXPECT_EQ(seed(x0rmarin, -1, 5), io::kExitError);
  EXPECT_EQ(output(), expected_message());
}

TEST_F(BadSeed, SecondSeedOutOfRangeGivesTheSameTwoLines) {
  EXPECT_EQ(seed(rmarin, 0, 30082), io::kExitError);
  EXPECT_EQ(seed(x0rmarin, 0, -1), io::kExitError);
  EXPECT_EQ(output(), expected_message() + expected_message());
}

TEST(RanmarDeathTest, BadSeedEndsTheProcessWithStatusOne) {
  EXPECT_EXIT(rmarin(31329, 0), testing::ExitedWithCode(1), "");
}

TEST(Exprep, GuardsBothEnds) {
  EXPECT_EQ(exprep(174.0), std::exp(174.0));
  EXPECT_EQ(exprep(174.000001), 3.69e75);
  EXPECT_EQ(exprep(1.0e300), 3.69e75);
  EXPECT_EQ(exprep(-180.0), std::exp(-180.0));
  EXPECT_EQ(exprep(-180.000001), 0.0);
  EXPECT_EQ(exprep(-1.0e300), 0.0);
  EXPECT_EQ(exprep(0.0), 1.0);
  EXPECT_EQ(exprep(-2.5), std::exp(-2.5));
}

}  // namespace
}  // namespace morlan
