// Fixed-format fields and lists of the data-file reader.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "base/config.hpp"
#include "io/console.hpp"
#include "sif/data_file.hpp"
#include "tests/sif/sif_file.hpp"

namespace morlan {
namespace {

double real_of(const std::string& field) {
  double v = -999.0;
  EXPECT_TRUE(parse_real_field(field, v)) << field;
  return v;
}

TEST(RealField, ReadsDAndEExponents) {
  EXPECT_EQ(real_of("  1.23456789D+02"), 123.456789);
  EXPECT_EQ(real_of("  1.23456789E+02"), 123.456789);
  EXPECT_EQ(real_of(" -1.00000000D+20"), -1.0e20);
  EXPECT_EQ(real_of("  5.00000000d-01"), 0.5);
  EXPECT_EQ(real_of("  2.5+3"), 2500.0);  // signed exponent without a letter
  EXPECT_EQ(real_of("  2.5Q-1"), 0.25);
  EXPECT_EQ(real_of("                "), 0.0);
}

TEST(RealField, FollowsTheImpliedDecimalsAndTheScaleFactor) {
  // Without a point the last 8 digits are fractional; without an exponent
  // the scale factor 1P divides by ten.
  EXPECT_EQ(real_of("   123456789D+00"), 1.23456789);
  EXPECT_EQ(real_of("             1.5"), 0.15);
  EXPECT_EQ(real_of("       150000000"), 0.15);
}

TEST(RealField, RejectsWhatIsNoNumber) {
  double v = 0.0;
  for (const char* bad : {"  1.2x3D+00", "  D+02", "  1.0D", "  1.0D+", " --1.0", "  1.0.0",
                          "  1.0D+9999", "  nan", "  1.0D+02x"}) {
    EXPECT_FALSE(parse_real_field(bad, v)) << bad;
  }
}

TEST(IntegerField, IgnoresBlanksAndRejectsOtherText) {
  int v = -1;
  EXPECT_TRUE(parse_integer_field("   -12", v));
  EXPECT_EQ(v, -12);
  EXPECT_TRUE(parse_integer_field("      ", v));
  EXPECT_EQ(v, 0);
  EXPECT_TRUE(parse_integer_field(" 1 2  ", v));
  EXPECT_EQ(v, 12);
  for (const char* bad : {"  1.0 ", "   1e2", "    - ", "  +-1", "  12a "}) {
    EXPECT_FALSE(parse_integer_field(bad, v)) << bad;
  }
}

// A reader over a text, with stops turned into exceptions and the error
// line captured.
struct Reading {
  std::string data;
  std::FILE* in;
  Reading(std::string text) : data(std::move(text)) {
    in = ::fmemopen(data.data(), data.size(), "r");
    io::set_stop_handler(io::throwing_stop_handler);
  }
  ~Reading() {
    if (in != nullptr) std::fclose(in);
    io::set_stop_handler(nullptr);
  }
};

TEST(Lists, ContinueOverLinesAndLeaveShortLastLines) {
  Reading t("     1     2     3\n     4\n  1.00000000D+00  2.00000000D+00\n\n"
            "TFT\nNAME1     NAME2\n");
  DataFileReader r(t.in, "OUTSDIF.d");
  int ints[4] = {};
  r.begin(4, "ISTADG");
  r.integers(IVec(ints, 4), 4, 3);
  EXPECT_EQ(ints[3], 4);
  double reals[2] = {};
  r.begin(16, "A");
  r.reals(Vec(reals, 2), 2);
  EXPECT_EQ(reals[1], 2.0);
  r.begin(22, "GPVALU");
  r.reals(Vec(), 0);  // an empty list takes one empty line
  Logical logi[3] = {};
  r.begin(28, "INTREP");
  r.logicals(LogVec(logi, 3), 3);
  EXPECT_EQ(logi[0], 1);
  EXPECT_EQ(logi[1], 0);
  std::array<char, kNameLength> names[3];
  r.begin(30, "GNAMES");
  r.names(OneBased<std::array<char, kNameLength>>(names, 2), 2);
  EXPECT_EQ(std::string(names[1].data(), 10), "NAME2     ");
}

TEST(Lists, SplitBetweenTwoDestinations) {
  Reading t(testing::real_lines({1, 2, 3, 4, 5, 6, 7}));
  DataFileReader r(t.in, "OUTSDIF.d");
  double first[5] = {}, second[2] = {};
  r.begin(18, "BL");
  r.reals_split(Vec(first, 5), 5, Vec(second, 2), 2);
  EXPECT_EQ(first[4], 5.0);
  EXPECT_EQ(second[0], 6.0);
  EXPECT_EQ(second[1], 7.0);
}

int failing_status(const std::string& text, int count, std::string& message) {
  Reading t(text);
  testing::Capture err(0);
  DataFileReader r(t.in, "OUTSDIF.d");
  int ints[20] = {};
  r.begin(13, "IELING");
  try {
    r.integers(IVec(ints, 20), count);
    r.check_indices(IVec(ints, 20), count, 5, "element");
  } catch (const io::StopRequest& stop) {
    message = err.text();
    return stop.status;
  }
  return -1;
}

TEST(Lists, ReportTheRecordTheEntryAndWhatWasWrong) {
  std::string message;
  EXPECT_EQ(failing_status("     1     2\n", 3, message), 2);
  EXPECT_EQ(message, "OUTSDIF.d: record 13 (IELING), entry 3: line 1 ends before column 13\n");
  EXPECT_EQ(failing_status("     1     2     3     4     5     6     7     8     9    10    11    12\n",
                           13, message),
            2);
  EXPECT_EQ(message, "OUTSDIF.d: record 13 (IELING), entry 13: the file ends early (after line 1)\n");
  EXPECT_EQ(failing_status("     1    x2\n", 2, message), 2);
  EXPECT_EQ(message, "OUTSDIF.d: record 13 (IELING), entry 2: unreadable integer 'x2' on line 1\n");
  EXPECT_EQ(failing_status("     1     9\n", 2, message), 2);
  EXPECT_EQ(message, "OUTSDIF.d: record 13 (IELING), entry 2: element index 9 outside 1..5\n");
  EXPECT_EQ(failing_status("", 0, message), 2);
  EXPECT_EQ(message, "OUTSDIF.d: record 13 (IELING): the file ends early (after line 0)\n");
}

TEST(Lists, LineLongerThanAnyRecordIsACorruptFile) {
  // Far beyond the longest record line: the read stops at the limit, so a
  // file of endless text cannot exhaust memory.
  std::string message;
  const std::string twelve = "     1     2     3     4     5     1     2     3     4     5     1     2\n";
  EXPECT_EQ(failing_status(twelve + std::string(cfg::kMaxInputLine + 1, '7'), 13, message), 2);
  EXPECT_EQ(message, "OUTSDIF.d: record 13 (IELING), entry 13: line 2 is longer than 65536 characters\n");
  EXPECT_EQ(failing_status("     1" + std::string(cfg::kMaxInputLine - 6, ' ') + "\n", 1, message),
            -1);
}

TEST(Lists, UnprintableBytesOfAFieldAreEscaped) {
  std::string message;
  EXPECT_EQ(failing_status(std::string("     1 \0\0332\n", 13), 2, message), 2);
  EXPECT_EQ(message,
            "OUTSDIF.d: record 13 (IELING), entry 2: unreadable integer '\\x00\\x1b2' on line 1\n");
}

}  // namespace
}  // namespace morlan
