// List-directed input: statements over several lines, the accepted value
// forms, character fields, and the diagnostic and exit status on malformed
// input or end of input.
#include <gtest/gtest.h>

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

#include "base/config.hpp"
#include "io/console.hpp"
#include "io/list_input.hpp"
#include "io/units.hpp"
#include "tests/io/captured_output.hpp"

namespace morlan::io {
namespace {

// Feeds `text` as standard input for the lifetime of the object, with stops
// turned into exceptions.
class Input {
 public:
  explicit Input(const std::string& text) : text_(text) {
    stream_ = fmemopen(text_.data(), text_.size(), "r");
    if (text_.empty()) stream_ = std::fopen("/dev/null", "r");
    redirect_input(kStdin, stream_, "standard input");
    previous_ = set_stop_handler(throwing_stop_handler);
  }
  ~Input() {
    redirect_input(kStdin, nullptr, "");
    std::fclose(stream_);
    set_stop_handler(previous_);
  }

 private:
  std::string text_;
  std::FILE* stream_;
  StopHandler previous_;
};

// Runs `read`, which must end in an input-error stop; returns the diagnostic.
template <class F>
std::string input_error_of(F read) {
  testing::internal::CaptureStderr();
  int status = -1;
  try {
    read();
  } catch (const StopRequest& r) {
    status = r.status;
  }
  const std::string err = testing::internal::GetCapturedStderr();
  EXPECT_EQ(status, kExitInputError);
  return err;
}

TEST(ListInput, StatementTakesValuesFromAsManyLinesAsItNeedsAndDropsTheRest) {
  Input in("1\n\n   2, 3 junk 99\n4,5\n");
  {
    ListReader r(kStdin, "first");
    EXPECT_EQ(r.integer(), 1);
    EXPECT_EQ(r.real(), 2.0);
    EXPECT_EQ(r.real(), 3.0);
    EXPECT_EQ(r.count(), 3);
  }
  EXPECT_EQ(read_integer("second"), 4);
  EXPECT_EQ(input_error_of([] { read_integer("third"); }),
            "morlan: input error: expected an integer for 'third', found end of input\n");
}

TEST(ListInput, CommasTabsAndCarriageReturnsSeparate) {
  Input in("7,\t8 ,9\r\n");
  ListReader r(kStdin, "v");
  EXPECT_EQ(r.integer(), 7);
  EXPECT_EQ(r.integer(), 8);
  EXPECT_EQ(r.integer(), 9);
}

TEST(ListInput, LastLineWithoutLineEndIsRead) {
  Input in("0.75");
  EXPECT_EQ(read_real("rt"), 0.75);
}

TEST(ParseReal, AcceptsFortranForms) {
  const struct {
    const char* text;
    double value;
  } cases[] = {{"1", 1.0},         {"7.", 7.0},        {"-.5", -0.5},      {"+2.25", 2.25},
               {"1.5D-3", 1.5e-3}, {"2d2", 200.0},     {"1E20", 1.0e20},   {"-1e+20", -1.0e20},
               {"0.95", 0.95},     {"4.9E-324", 4.9e-324}};
  for (const auto& c : cases) {
    double v = 0;
    EXPECT_TRUE(parse_real(c.text, v)) << c.text;
    EXPECT_EQ(v, c.value) << c.text;
  }
  double v = 0;
  EXPECT_TRUE(parse_real("Inf", v));
  EXPECT_TRUE(std::isinf(v) && v > 0);
  EXPECT_TRUE(parse_real("-infinity", v));
  EXPECT_TRUE(std::isinf(v) && v < 0);
  EXPECT_TRUE(parse_real("NaN", v));
  EXPECT_TRUE(std::isnan(v));
}

TEST(ParseReal, RejectsWhatIsNotAReal) {
  for (const char* text : {"", "x", ".", "-", "1e", "1.5D", "0x10", "1,5", "1.2.3", "1e5x", "1e400",
                           "--1", "1 "}) {
    double v = 0;
    EXPECT_FALSE(parse_real(text, v)) << "'" << text << "'";
  }
}

TEST(ParseInteger, SignsAndRange) {
  int v = 0;
  EXPECT_TRUE(parse_integer("+7", v));
  EXPECT_EQ(v, 7);
  EXPECT_TRUE(parse_integer("-2147483648", v));
  EXPECT_EQ(v, -2147483648);
  EXPECT_TRUE(parse_integer("2147483647", v));
  EXPECT_EQ(v, 2147483647);
  for (const char* text : {"", "-", "1.5", "1e3", "2147483648", "-2147483649", "99999999999999999999",
                           "x", "0x1", "1 "}) {
    EXPECT_FALSE(parse_integer(text, v)) << "'" << text << "'";
  }
}

TEST(ListInput, MalformedValueNamesWhatWasExpectedAndFound) {
  {
    Input in("x\n");
    EXPECT_EQ(input_error_of([] { read_integer("Multi start /(0,1)"); }),
              "morlan: input error: expected an integer for 'Multi start /(0,1)', found 'x'\n");
  }
  {
    Input in("1.5\n");
    EXPECT_EQ(input_error_of([] { read_integer("Multi-level CSA/(0,1)"); }),
              "morlan: input error: expected an integer for 'Multi-level CSA/(0,1)', found '1.5'\n");
  }
  {
    Input in("abc\n");
    EXPECT_EQ(input_error_of([] { read_real("Input ratio of reducing T ="); }),
              "morlan: input error: expected a real number for 'Input ratio of reducing T =', found "
              "'abc'\n");
  }
}

TEST(ListInput, FoundTokenIsEchoedAsTypedWithItsQuotes) {
  {
    Input in("'5'\n");
    EXPECT_EQ(input_error_of([] { read_integer("n"); }),
              "morlan: input error: expected an integer for 'n', found ''5''\n");
  }
  {
    Input in("\"it\"\"s\" 1\n");
    EXPECT_EQ(input_error_of([] { read_real("r"); }),
              "morlan: input error: expected a real number for 'r', found '\"it\"\"s\"'\n");
  }
}

TEST(ListInput, UnprintableBytesOfTheEchoAreEscaped) {
  // A NUL byte must not cut the diagnostic, an escape sequence must not
  // reach the terminal.
  const std::string answers[] = {std::string("a\0b\n", 4), "\033]0;title\007\n", "\xc3\xa9\n"};
  const std::string shown[] = {"a\\x00b", "\\x1b]0;title\\x07", "\\xc3\\xa9"};
  for (int k = 0; k < 3; ++k) {
    Input in(answers[k]);
    EXPECT_EQ(input_error_of([] { read_integer("n"); }),
              "morlan: input error: expected an integer for 'n', found '" + shown[k] + "'\n");
  }
}

TEST(ListInput, LineLengthIsBoundedByTheInputLimit) {
  // A line of exactly the limit is read; one character more is malformed.
  {
    Input in("2.5" + std::string(cfg::kMaxInputLine - 3, ' ') + "\n7\n");
    EXPECT_EQ(read_real("r"), 2.5);
    EXPECT_EQ(read_integer("n"), 7);
  }
  Input in("2.5" + std::string(cfg::kMaxInputLine - 2, ' ') + "\n");
  EXPECT_EQ(input_error_of([] { read_real("r"); }),
            "morlan: input error: expected a real number for 'r', found a line longer than 65536 "
            "characters\n");
}

TEST(ListInput, EndlessInputFromADeviceIsAnInputError) {
  // /dev/zero: NUL bytes without a line end, for ever.
  std::FILE* zero = std::fopen("/dev/zero", "r");
  ASSERT_NE(zero, nullptr);
  const StopHandler previous = set_stop_handler(throwing_stop_handler);
  redirect_input(kStdin, zero, "standard input");
  EXPECT_EQ(input_error_of([] { read_real("Input scale slobj for obj (obj/slobj) ="); }),
            "morlan: input error: expected a real number for 'Input scale slobj for obj "
            "(obj/slobj) =', found a line longer than 65536 characters\n");
  redirect_input(kStdin, nullptr, "");
  std::fclose(zero);
  set_stop_handler(previous);
}

TEST(ListInput, BlankLinesWithoutEndAreBoundedByTheReadLimit) {
  // Blank lines and separators are skipped, but not for ever: what `yes ''`
  // feeds would otherwise keep the read going without end.
  std::string lines;
  for (int k = 0; k < cfg::kMaxReadLength / 2 + 1; ++k) lines += ",\n";
  Input in(lines + "5\n");
  EXPECT_EQ(input_error_of([] { read_integer("Multi start /(0,1)"); }),
            "morlan: input error: expected an integer for 'Multi start /(0,1)', found no value in "
            "1048576 characters\n");
}

TEST(ListInput, EndOfInputIsAnInputError) {
  Input in("\n\n");
  EXPECT_EQ(input_error_of([] { read_real("Input scale slobj for obj (obj/slobj) ="); }),
            "morlan: input error: expected a real number for 'Input scale slobj for obj (obj/slobj) "
            "=', found end of input\n");
}

TEST(ListInput, LongFoundTokenIsShortened) {
  Input in(std::string(60, 'q') + "\n");
  EXPECT_EQ(input_error_of([] { read_integer("n"); }),
            "morlan: input error: expected an integer for 'n', found '" + std::string(40, 'q') +
                "...'\n");
}

TEST(ListInput, CharacterItemsArePaddedOrCutToTheirField) {
  Input in("'my start.txt' ignored\nfile.dat\nabcdefghijklmnopqrstuvwxyz\n\"it''s\"\n'it''s'\n");
  const auto read_chars = [](int width, const char* what) {
    ListReader r(kStdin, what);
    return r.chars(width);
  };
  EXPECT_EQ(read_chars(20, "f"), "my start.txt        ");
  EXPECT_EQ(read_chars(20, "f"), "file.dat            ");
  EXPECT_EQ(read_chars(20, "f"), "abcdefghijklmnopqrst");
  EXPECT_EQ(read_chars(8, "f"), "it''s   ");
  EXPECT_EQ(read_chars(8, "f"), "it's    ");
  EXPECT_EQ(input_error_of([&] { read_chars(20, "Input file name for starting point:"); }),
            "morlan: input error: expected a character value for 'Input file name for starting "
            "point:', found end of input\n");
}

TEST(ListInput, CharacterItemIsReadInFullWhenNoFieldIsGiven) {
  Input in("abcdefghijklmnopqrstuvwxyz.txt x\n'a b  '\n");
  EXPECT_EQ(read_text("f"), "abcdefghijklmnopqrstuvwxyz.txt");
  EXPECT_EQ(read_text("f"), "a b  ");
}

TEST(ListInput, ArrayReadSpansLinesAndIgnoresValuesBeyondIt) {
  Input in("1 2\n3,\n\n4 5 6 7\n8\n");
  double v[5] = {};
  {
    ListReader r(kStdin, "pts");
    r.reals(Vec(v, 5), true);
  }
  EXPECT_EQ(v[0], 1.0);
  EXPECT_EQ(v[4], 5.0);
  EXPECT_EQ(read_integer("next"), 8);
}

TEST(ListInput, ShortArrayReportsHowManyValuesWereRead) {
  Input in("1 2\n3\n");
  double v[5] = {};
  EXPECT_EQ(input_error_of([&] {
              ListReader r(kStdin, "short.txt");
              r.reals(Vec(v, 5));
            }),
            "morlan: input error: expected 5 real numbers for 'short.txt', found end of input after 3 "
            "values\n");
}

TEST(ListInput, NonFiniteValueInAFiniteArrayIsMalformed) {
  Input in("1 2 inf 4 5\n");
  double v[5] = {};
  EXPECT_EQ(input_error_of([&] {
              ListReader r(kStdin, "bad.txt");
              r.reals(Vec(v, 5), true);
            }),
            "morlan: input error: expected 5 finite real numbers for 'bad.txt', found 'inf' after 2 "
            "values\n");
}

TEST(ListInputDeathTest, InputErrorExitsWithStatusTwo) {
  EXPECT_EXIT(
      {
        set_stop_handler(nullptr);
        static char text[] = "oops\n";
        redirect_input(kStdin, fmemopen(text, 5, "r"), "standard input");
        read_integer("Lagrange function/(0,1,2,3,4,5,10)");
      },
      testing::ExitedWithCode(2),
      "morlan: input error: expected an integer for 'Lagrange function/\\(0,1,2,3,4,5,10\\)', "
      "found 'oops'");
}

class UnitFiles : public testing::Test {
 protected:
  void SetUp() override {
    dir_ = std::filesystem::temp_directory_path() /
           ("morlan_units_" + std::to_string(::getpid()) + "_" +
            testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::create_directories(dir_);
  }
  void TearDown() override {
    close_unit(20);
    std::filesystem::remove_all(dir_);
  }
  std::string path(const char* name) const { return (dir_ / name).string(); }
  std::filesystem::path dir_;
};

TEST_F(UnitFiles, ExistenceIgnoresTrailingBlanksOfTheField) {
  std::ofstream(path("a.txt")) << "1\n";
  EXPECT_TRUE(file_exists(path("a.txt") + "      "));
  EXPECT_FALSE(file_exists(path("b.txt")));
  EXPECT_FALSE(file_exists("                    "));
}

TEST_F(UnitFiles, OpenOldReadsThroughTheUnitAndCloseDisconnects) {
  std::ofstream(path("a.txt")) << "1.5 2.5\n";
  ASSERT_EQ(open_old(20, path("a.txt") + "  "), 0);
  EXPECT_EQ(unit_name(20), path("a.txt"));
  {
    ListReader r(20, "a.txt");
    EXPECT_EQ(r.real(), 1.5);
  }
  close_unit(20);
  EXPECT_EQ(input_stream(20), nullptr);
}

TEST_F(UnitFiles, OpenFailuresReportAStatusCode) {
  EXPECT_EQ(open_old(20, path("missing.txt")), ENOENT);
  EXPECT_EQ(open_old(20, dir_.string()), EISDIR);
  EXPECT_EQ(input_stream(20), nullptr);
}

TEST_F(UnitFiles, FifoAndDevicesAreRefusedWithoutWaiting) {
  // A FIFO without a writer would make a plain open wait for ever.
  ASSERT_EQ(::mkfifo(path("fifo").c_str(), 0600), 0);
  EXPECT_EQ(open_old(20, path("fifo")), kNotRegularFile);
  EXPECT_EQ(open_old(20, "/dev/zero"), kNotRegularFile);
  EXPECT_EQ(open_old(20, "/dev/null"), kNotRegularFile);
  std::filesystem::create_symlink("/dev/zero", path("zero.txt"));
  EXPECT_EQ(open_old(20, path("zero.txt")), kNotRegularFile);
  EXPECT_EQ(input_stream(20), nullptr);
}

TEST_F(UnitFiles, NameWithANulByteNamesNoFile) {
  std::ofstream(path("a")) << "1\n";
  const std::string name = path("a") + std::string(1, '\0') + "b";
  EXPECT_FALSE(file_exists(name));
  EXPECT_EQ(open_old(20, name), ENOENT);
}

TEST_F(UnitFiles, OpenOrStopNamesTheRefusedFileWithItsBytesEscaped) {
  ASSERT_EQ(::mkfifo(path("f\033").c_str(), 0600), 0);
  std::filesystem::current_path(dir_);
  Captured out;
  const StopHandler previous = set_stop_handler(throwing_stop_handler);
  int status = -1;
  try {
    open_old_or_stop(20, "f\033   ");
  } catch (const StopRequest& r) {
    status = r.status;
  }
  set_stop_handler(previous);
  std::filesystem::current_path(std::filesystem::temp_directory_path());
  EXPECT_EQ(status, kExitError);
  EXPECT_EQ(out.text(), " File f\\x1b    is not a regular file!\n");
}

}  // namespace
}  // namespace morlan::io
