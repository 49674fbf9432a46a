// Dialogue transcripts of the real program: every rejected answer, the
// relaxed-equality path, the starting-point file failures, end of input at
// every prompt, and the command-line options.
#include <gtest/gtest.h>

#include <csignal>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "tests/driver/program_run.hpp"

namespace morlan {
namespace {

using testing_support::have_problem_data;
using testing_support::morlan_binary;
using testing_support::ProgramRun;
using testing_support::run_program;
using testing_support::RunSetup;

// The prompts, each as the line the program prints.
const std::string kScale = " Input scale slobj for obj (obj/slobj) =\n";
const std::string kLagrangian = " Lagrange function/(0,1,2,3,4,5,10)\n";
const std::string kRelaxedSize = " Input initial relaxed size for equality = \n";
const std::string kRule = " cSA rule/(0 - cSA, 1 - pSA)\n";
const std::string kMultiLevel = " Multi-level CSA/(0,1)\n";
const std::string kConsecutive = " Input #consecutive NTs for stop\n";
const std::string kMultiStart = " Multi start /(0,1)\n";
const std::string kRuns = " Input number of runs = \n";
const std::string kRatio = " Input ratio of reducing T =\n";
const std::string kStartFile = " Input file name for starting point:\n";

// The temperature line with its values masked, and the preparation lines
// up to the starting-point prompt (objective scale 1).
const std::string kTemperature = " Initial temperature t0 = <t0>  Stop tf = <tf>\n";
const std::string kPreparation =
    " number of discretized points per unit = 10000\n"
    " hasdiscrete =  T   needshift =  F\n"
    " obj scale =   1.\n";

// Every dialogue here ends (or is signalled) within a second: a program that
// still runs after 20 s hangs.
constexpr double kHang = 20.0;

ProgramRun run_morlan(const std::string& answers, RunSetup setup = {}) {
  setup.problem_data = true;
  if (setup.timeout_seconds == 0 || setup.timeout_seconds > kHang) setup.timeout_seconds = kHang;
  ProgramRun run = run_program(morlan_binary(), answers, setup);
  static const std::regex temperature(R"((Initial temperature t0 =) +\S+(  Stop tf =) +\S+)");
  run.out = std::regex_replace(run.out, temperature, "$1 <t0>$2 <tf>");
  return run;
}

bool ends_with(const std::string& s, const std::string& tail) {
  return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

TEST(Dialogue, RuleAboveOneIsRejected) {
  for (const char* rule : {"2", "10"}) {
    const ProgramRun run = run_morlan(std::string("1.0\n3\n") + rule + "\n");
    EXPECT_EQ(run.status, 1) << rule;
    EXPECT_EQ(run.out, kScale + kLagrangian + kRule + " Wrong cSA rule in main !\n") << rule;
  }
}

TEST(Dialogue, NegativeRuleIsRejected) {
  const ProgramRun run = run_morlan("1.0\n3\n-1\n");
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.out, kScale + kLagrangian + kRule + " Wrong cSA rule in main !\n");
}

TEST(Dialogue, RunNumberBelowOneIsRejected) {
  const ProgramRun run = run_morlan("1\n0\n0\n0\n1\n0\n");
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.out, kScale + kLagrangian + kRule + kMultiLevel + kMultiStart + kRuns +
                         " Wrong run number in main !\n");
}

TEST(Dialogue, RunningModeOtherThanZeroOrOneIsRejected) {
  for (const char* mode : {"2", "-1"}) {
    const ProgramRun run = run_morlan(std::string("1\n0\n0\n0\n") + mode + "\n");
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, kScale + kLagrangian + kRule + kMultiLevel + kMultiStart +
                           " Wrong running mode in main !\n");
  }
}

TEST(Dialogue, RelaxedLagrangianSkipsTheRulePromptAndAsksTheRadius) {
  const ProgramRun run = run_morlan("1\n10\n0.5\n0\n7\n");
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.out, kScale + kLagrangian + kRelaxedSize + kMultiLevel + kMultiStart +
                         " Wrong running mode in main !\n");
}

TEST(Dialogue, AnyNonzeroMultiLevelAsksForTheConsecutiveCount) {
  for (const char* level : {"1", "2", "-3"}) {
    const ProgramRun run = run_morlan(std::string("1\n0\n0\n") + level + "\n3\n5\n");
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, kScale + kLagrangian + kRule + kMultiLevel + kConsecutive + kMultiStart +
                           " Wrong running mode in main !\n");
  }
}

TEST(Dialogue, AnswersTakeTheRestOfTheirLineAndSpanLines) {
  // The first answer line carries extra values that are dropped; the rule
  // answer comes after a blank line.
  const ProgramRun run = run_morlan("1.0 99 99\n3, 4\n\n  5\n");
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.out, kScale + kLagrangian + kRule + " Wrong cSA rule in main !\n");
}

// The preparation reads the problem data file a second time: the paths that
// pass it need the bundled problem.
#define REQUIRE_PROBLEM_DATA() \
  if (!have_problem_data()) GTEST_SKIP() << "data/OUTSDIF.d is not there"

const std::string kSingleRunAnswers = "1\n0\n0\n0\n0\n0.9\n";
const std::string kUpToStartFile = kScale + kLagrangian + kRule + kMultiLevel + kMultiStart +
                                   kTemperature + kRatio + kPreparation + kStartFile;

TEST(StartFile, MissingFileIsNamedInItsField) {
  REQUIRE_PROBLEM_DATA();
  const ProgramRun run = run_morlan(kSingleRunAnswers + "nofile.txt\n");
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.out, kUpToStartFile + " File nofile.txt           doesn't exist!\n");
}

TEST(StartFile, NameLongerThanItsFieldIsRefusedNamingTheLimit) {
  REQUIRE_PROBLEM_DATA();
  // Cut to 20 characters the name would name another file, or none.
  RunSetup setup;
  setup.files = {{"start_point_long_name.txt", "1\n"}};
  const ProgramRun run = run_morlan(kSingleRunAnswers + "start_point_long_name.txt\n", setup);
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.out, kUpToStartFile + " File name longer than 20 characters!\n");
}

TEST(StartFile, NameFillingItsFieldIsUsedAndTrailingBlanksAreNotPartOfIt) {
  REQUIRE_PROBLEM_DATA();
  RunSetup setup;
  setup.files = {{"start_point_name.txt", "0.5 0.5\n"}};
  for (const char* name : {"start_point_name.txt", "'start_point_name.txt    '"}) {
    const ProgramRun run = run_morlan(kSingleRunAnswers + name + "\n", setup);
    EXPECT_EQ(run.status, 2) << name;
    EXPECT_TRUE(ends_with(run.err, "for 'start_point_name.txt', found end of input after 2 values\n"))
        << run.err;
  }
}

TEST(StartFile, FifoOrDeviceIsRefusedWithoutWaiting) {
  REQUIRE_PROBLEM_DATA();
  RunSetup setup;
  setup.fifos = {"fifo"};
  setup.links = {{"zero", "/dev/zero"}};
  for (const std::string name : {"fifo", "zero"}) {
    const ProgramRun run = run_morlan(kSingleRunAnswers + name + "\n", setup);
    EXPECT_FALSE(run.timed_out) << name;
    EXPECT_EQ(run.status, 1) << name;
    EXPECT_EQ(run.out, kUpToStartFile + " File " + name + std::string(20 - name.size(), ' ') +
                           " is not a regular file!\n");
  }
}

TEST(StartFile, FileThatCannotBeOpenedStopsAfterItsMessage) {
  REQUIRE_PROBLEM_DATA();
  RunSetup setup;
  setup.directories = {"somedir"};
  const ProgramRun run = run_morlan(kSingleRunAnswers + "somedir\n", setup);
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.out, kUpToStartFile + " Open file somedir              error  21\n");
}

TEST(StartFile, ShortFileIsAnInputErrorNamingFileAndCount) {
  REQUIRE_PROBLEM_DATA();
  std::ostringstream values;
  for (int i = 0; i < 100; ++i) values << "0.5" << (i % 10 == 9 ? "\n" : " ");
  RunSetup setup;
  setup.files = {{"short.txt", values.str()}};
  const ProgramRun run = run_morlan(kSingleRunAnswers + "short.txt\n", setup);
  EXPECT_EQ(run.status, 2);
  EXPECT_EQ(run.out, kUpToStartFile);
  EXPECT_TRUE(ends_with(run.err,
                        "morlan: input error: expected 144 finite real numbers for 'short.txt', "
                        "found end of input after 100 values\n"))
      << run.err;
}

TEST(StartFile, NonFiniteOrMalformedValueIsAnInputError) {
  REQUIRE_PROBLEM_DATA();
  for (const char* bad : {"nan", "-Inf", "1.0q"}) {
    std::string values = "1 2 3 ";
    values += bad;
    for (int i = 0; i < 150; ++i) values += " 0";
    RunSetup setup;
    setup.files = {{"bad.txt", values + "\n"}};
    const ProgramRun run = run_morlan(kSingleRunAnswers + "bad.txt\n", setup);
    EXPECT_EQ(run.status, 2) << bad;
    EXPECT_EQ(run.out, kUpToStartFile) << bad;
    EXPECT_TRUE(ends_with(run.err, "morlan: input error: expected 144 finite real numbers for "
                                   "'bad.txt', found '" +
                                       std::string(bad) + "' after 3 values\n"))
        << run.err;
  }
}

// End of input at each prompt: the program prints every line up to that
// prompt completely, reports the prompt on standard error, and exits with 2.
struct PromptStep {
  std::string printed;  // what the program prints before reading the answer
  std::string answer;
  std::string what;     // the prompt named in the diagnostic
  std::string expected; // "an integer", "a real number" ...
};

void expect_end_of_input_at_each_prompt(const std::vector<PromptStep>& steps) {
  std::string answers;
  std::string printed;
  for (const PromptStep& step : steps) {
    printed += step.printed;
    const ProgramRun run = run_morlan(answers);
    EXPECT_EQ(run.status, 2) << step.what;
    EXPECT_EQ(run.out, printed) << step.what;
    EXPECT_TRUE(ends_with(run.err, "morlan: input error: expected " + step.expected + " for '" +
                                       step.what + "', found end of input\n"))
        << run.err;
    answers += step.answer + "\n";
  }
}

TEST(EndOfInput, AtEveryPromptOfTheRelaxedSeriesPath) {
  expect_end_of_input_at_each_prompt({
      {kScale, "1", "Input scale slobj for obj (obj/slobj) =", "a real number"},
      {kLagrangian, "10", "Lagrange function/(0,1,2,3,4,5,10)", "an integer"},
      {kRelaxedSize, "0.5", "Input initial relaxed size for equality =", "a real number"},
      {kMultiLevel, "1", "Multi-level CSA/(0,1)", "an integer"},
      {kConsecutive, "3", "Input #consecutive NTs for stop", "an integer"},
      {kMultiStart, "1", "Multi start /(0,1)", "an integer"},
      {kRuns, "2", "Input number of runs =", "an integer"},
      {kTemperature + kRatio, "0.9", "Input ratio of reducing T =", "a real number"},
  });
}

TEST(EndOfInput, AtEveryPromptOfTheSingleRunPath) {
  REQUIRE_PROBLEM_DATA();
  expect_end_of_input_at_each_prompt({
      {kScale, "1", "Input scale slobj for obj (obj/slobj) =", "a real number"},
      {kLagrangian, "0", "Lagrange function/(0,1,2,3,4,5,10)", "an integer"},
      {kRule, "0", "cSA rule/(0 - cSA, 1 - pSA)", "an integer"},
      {kMultiLevel, "0", "Multi-level CSA/(0,1)", "an integer"},
      {kMultiStart, "0", "Multi start /(0,1)", "an integer"},
      {kTemperature + kRatio, "0.9", "Input ratio of reducing T =", "a real number"},
      {kPreparation + kStartFile, "x.txt", "Input file name for starting point:",
       "a character value"},
  });
}

// Answers that would make a run go on for ever or report a verdict that
// means nothing are rejected where they are given.
TEST(RejectedAnswer, ObjectiveScaleZeroOrNotFinite) {
  for (const char* scale : {"0", "-0.0", "nan", "inf", "-Infinity"}) {
    const ProgramRun run = run_morlan(std::string(scale) + "\n0\n0\n0\n1\n1\n0.5\n");
    EXPECT_EQ(run.status, 1) << scale;
    EXPECT_EQ(run.out, kScale + " Wrong obj scale in main !\n") << scale;
  }
  // A negative scale maximises the objective: it is taken.
  const ProgramRun run = run_morlan("-10\n0\n0\n0\n2\n");
  EXPECT_EQ(run.out, kScale + kLagrangian + kRule + kMultiLevel + kMultiStart +
                         " Wrong running mode in main !\n");
}

TEST(RejectedAnswer, RelaxedSizeNotPositiveOrNotFinite) {
  for (const char* size : {"0", "-1", "nan", "inf", "-inf"}) {
    const ProgramRun run = run_morlan(std::string("1\n10\n") + size + "\n0\n1\n1\n0.5\n");
    EXPECT_EQ(run.status, 1) << size;
    EXPECT_EQ(run.out, kScale + kLagrangian + kRelaxedSize + " Wrong relaxed size in main !\n")
        << size;
  }
}

TEST(RejectedAnswer, ConsecutiveLevelCountBelowOne) {
  for (const char* count : {"0", "-3"}) {
    const ProgramRun run = run_morlan(std::string("1\n0\n0\n1\n") + count + "\n1\n1\n0.5\n");
    EXPECT_EQ(run.status, 1) << count;
    EXPECT_EQ(run.out, kScale + kLagrangian + kRule + kMultiLevel + kConsecutive +
                           " Wrong #consecutive NTs in main !\n")
        << count;
  }
}

TEST(RejectedAnswer, CoolingRatioNotStrictlyBetweenZeroAndOne) {
  REQUIRE_PROBLEM_DATA();
  // Such a ratio used to make the run go on for ever.
  for (const char* ratio : {"1", "1.0", "1.5", "0", "-0.5", "nan", "inf", "-inf"}) {
    const ProgramRun run = run_morlan(std::string("1\n0\n0\n0\n1\n1\n") + ratio + "\n");
    EXPECT_FALSE(run.timed_out) << ratio;
    EXPECT_EQ(run.status, 1) << ratio;
    EXPECT_EQ(run.out, kScale + kLagrangian + kRule + kMultiLevel + kMultiStart + kRuns +
                           kTemperature + kRatio + " Wrong ratio of reducing T in main !\n")
        << ratio;
  }
}

TEST(MalformedAnswer, IsEchoedAsTypedWithUnprintableBytesEscaped) {
  ProgramRun run = run_morlan("\033]0;title\007\n");
  EXPECT_EQ(run.status, 2);
  EXPECT_TRUE(ends_with(run.err, "found '\\x1b]0;title\\x07'\n")) << run.err;
  // A NUL byte does not cut the line.
  run = run_morlan(std::string("1\n0\n0\n0\0x\n", 11));
  EXPECT_EQ(run.status, 2);
  EXPECT_TRUE(ends_with(run.err, "for 'Multi-level CSA/(0,1)', found '0\\x00x'\n")) << run.err;
  // Quotes around a token are shown as typed.
  run = run_morlan("1\n0\n0\n'0'\n");
  EXPECT_EQ(run.status, 2);
  EXPECT_TRUE(ends_with(run.err, "for 'Multi-level CSA/(0,1)', found ''0''\n")) << run.err;
}

// Endless or hostile input ends in an input error before it can exhaust
// memory or make the program wait for ever.
TEST(HostileInput, EndlessAnswerIsAnInputError) {
  RunSetup setup;
  setup.input_path = "/dev/zero";
  setup.timeout_seconds = 10;  // what it once took to exhaust memory
  const ProgramRun run = run_morlan("", setup);
  EXPECT_EQ(run.status, 2);
  EXPECT_EQ(run.out, kScale);
  EXPECT_TRUE(ends_with(run.err, "morlan: input error: expected a real number for 'Input scale slobj "
                                 "for obj (obj/slobj) =', found a line longer than 65536 characters\n"))
      << run.err;
}

TEST(HostileInput, ProblemDataFileThatIsAFifoOrADeviceIsRefused) {
  const std::string refused = " File OUTSDIF.d" + std::string(55, ' ') + "\n  is not a regular file!\n";
  RunSetup setup;
  setup.timeout_seconds = kHang;
  setup.fifos = {"OUTSDIF.d"};
  ProgramRun run = run_program(morlan_binary(), "1\n", setup);
  EXPECT_FALSE(run.timed_out);
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.out, refused);
  setup.fifos = {};
  setup.links = {{"OUTSDIF.d", "/dev/zero"}};
  run = run_program(morlan_binary(), "1\n", setup);
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.out, refused);
}

TEST(Output, FailedWriteIsReportedAndNotSuccess) {
  RunSetup setup;
  setup.output = testing_support::Output::kPath;
  setup.output_path = "/dev/full";
  const std::string full = "morlan: output error: cannot write standard output: No space left on device\n";
  ProgramRun run = run_morlan("1\n0\n0\n0\n2\n", setup);
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err, full);
  setup.arguments = "--help";
  run = run_morlan("", setup);
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err, full);
}

// Interrupt and termination during a run keep every line printed before
// them: the blank line and the whole "x0 = " block of the run, with
// standard output a file or a pipe.
TEST(Interrupt, KeepsEveryLinePrintedBeforeTheSignal) {
  REQUIRE_PROBLEM_DATA();
  struct Case {
    int signal;
    testing_support::Output output;
    const char* message;
  } cases[] = {{SIGINT, testing_support::Output::kFile, "Interrupt\n"},
               {SIGTERM, testing_support::Output::kPipe, "Killed\n"}};
  for (const Case& c : cases) {
    RunSetup setup;
    setup.output = c.output;
    setup.signal = c.signal;
    setup.signal_after = " x0 = ";
    // A ratio of 0.5 keeps the run going for a minute: the signal comes
    // while it runs.
    const ProgramRun run = run_morlan("10\n0\n0\n0\n1\n2\n0.5\n", setup);
    EXPECT_EQ(run.status, 1) << c.message;
    EXPECT_EQ(run.err, c.message);
    const auto x0 = run.out.find("\n  \n x0 = ");
    ASSERT_NE(x0, std::string::npos) << run.out;
    std::istringstream block(run.out.substr(x0 + 10));
    int values = 0;
    for (std::string item; block >> item;) ++values;
    EXPECT_EQ(values, 144);
    EXPECT_EQ(run.out.back(), '\n');
  }
}

TEST(MalformedAnswer, IsReportedWithThePromptAndWhatWasFound) {
  const ProgramRun run = run_morlan("1\n0\n0\n0\nx\n");
  EXPECT_EQ(run.status, 2);
  EXPECT_EQ(run.out, kScale + kLagrangian + kRule + kMultiLevel + kMultiStart);
  EXPECT_TRUE(ends_with(
      run.err, "morlan: input error: expected an integer for 'Multi start /(0,1)', found 'x'\n"))
      << run.err;
}

TEST(Options, HelpAndVersion) {
  RunSetup setup;
  setup.arguments = "--help";
  ProgramRun run = run_morlan("", setup);
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out.rfind("Usage: morlan", 0), 0u);
  EXPECT_NE(run.out.find("Exit status"), std::string::npos);
  EXPECT_NE(run.out.find("OUTSDIF.d"), std::string::npos);
  setup.arguments = "--version";
  run = run_morlan("", setup);
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out.rfind("morlan ", 0), 0u);
  EXPECT_EQ(run.out.back(), '\n');
}

TEST(Options, UnknownOptionIsAUsageErrorBeforeAnythingElse) {
  // Each argument list with the argument its usage error names; an unknown
  // argument is an error wherever it stands, even beside --help.
  const std::pair<const char*, const char*> cases[] = {
      {"--bogus", "--bogus"}, {"extra", "extra"},        {"--help=1", "--help=1"},
      {"--polish=yes", "--polish=yes"}, {"--help --bogus", "--bogus"}, {"--polish x", "x"}};
  for (const auto& [args, named] : cases) {
    RunSetup setup;
    setup.arguments = args;
    const ProgramRun run = run_morlan("1\n0\n0\n0\n2\n", setup);
    EXPECT_EQ(run.status, 2) << args;
    EXPECT_EQ(run.out, "") << args;
    EXPECT_NE(run.err.find("unknown option '" + std::string(named) + "'"), std::string::npos) << args;
    EXPECT_NE(run.err.find("Usage: morlan"), std::string::npos);
  }
}

TEST(Options, JobsIsListedAndTakesACountFromZeroUp) {
  RunSetup setup;
  setup.arguments = "--help";
  const ProgramRun help = run_morlan("", setup);
  EXPECT_NE(help.out.find("Usage: morlan [-j N]"), std::string::npos);
  EXPECT_NE(help.out.find("  -j N, --jobs N\n"), std::string::npos);
  // The first line says what -j wants, and what it found.
  const std::string wants =
      "morlan: -j wants a number of processes from 0 (one per online core) to 1024";
  const std::pair<const char*, std::string> cases[] = {
      {"-j -1", ", not '-1'"}, {"-j x", ", not 'x'"},   {"-j 1025", ", not '1025'"},
      {"-j 2.5", ", not '2.5'"}, {"--jobs", ""},        {"-j --polish", ""},
      {"--jobs=", ""},         {"-j 2 -j 3x", ", not '3x'"}};
  for (const auto& [args, found] : cases) {
    setup.arguments = args;
    const ProgramRun run = run_morlan("1\n0\n0\n0\n2\n", setup);
    EXPECT_EQ(run.status, 2) << args;
    EXPECT_EQ(run.out, "") << args;
    EXPECT_EQ(run.err.rfind(wants + found + "\nUsage: morlan [-j N]", 0), 0u) << args << run.err;
  }
}

TEST(Options, MaxEvaluationsTakesACountFromOneUp) {
  RunSetup setup;
  setup.arguments = "--help";
  const ProgramRun help = run_morlan("", setup);
  EXPECT_NE(help.out.find("[--max-evaluations N]"), std::string::npos);
  EXPECT_NE(help.out.find("  --max-evaluations N\n"), std::string::npos);
  for (const char* args : {"--max-evaluations 0", "--max-evaluations -3", "--max-evaluations x",
                           "--max-evaluations 2.5", "--max-evaluations"}) {
    setup.arguments = args;
    const ProgramRun run = run_morlan("1\n0\n0\n0\n2\n", setup);
    EXPECT_EQ(run.status, 2) << args;
    EXPECT_EQ(run.out, "") << args;
    EXPECT_NE(run.err.find("Usage: morlan"), std::string::npos) << args << run.err;
  }
}

TEST(Options, PolishMarginTakesASmallNonNegativeNumber) {
  RunSetup setup;
  setup.arguments = "--help";
  const ProgramRun help = run_morlan("", setup);
  EXPECT_NE(help.out.find("[--polish-margin M]"), std::string::npos);
  EXPECT_NE(help.out.find("  --polish-margin M\n"), std::string::npos);
  for (const char* args : {"--polish-margin -1e-9", "--polish-margin nan", "--polish-margin x",
                           "--polish-margin 0.01", "--polish-margin"}) {
    setup.arguments = args;
    const ProgramRun run = run_morlan("1\n0\n0\n0\n2\n", setup);
    EXPECT_EQ(run.status, 2) << args;
    EXPECT_EQ(run.out, "") << args;
    EXPECT_NE(run.err.find("Usage: morlan"), std::string::npos) << args << run.err;
  }
}

// Under --polish the search keeps back the polish's share: at most a
// twentieth of the limit (here less than 1001 gradients of 145 evaluations).
TEST(Options, APolishedRunKeepsEvaluationsBackForItsPolish) {
  if (!have_problem_data()) GTEST_SKIP() << "data/OUTSDIF.d is not there";
  RunSetup setup;
  setup.arguments = "--polish --count-evaluations --max-evaluations 20000";
  const ProgramRun run = run_morlan("10\n0\n0\n0\n1\n1\n0.5\n", setup);
  EXPECT_EQ(run.status, 0) << run.out << run.err;
  EXPECT_EQ(run.err, "morlan: run 1: 19000 Lagrangian evaluations\n") << run.out;
}

// Every run of a series, in order or in workers, single-level or over the
// levels of the multi-level scheme, ends at the limit; the single run too.
TEST(Options, MaxEvaluationsEndsEveryRunAtTheLimit) {
  if (!have_problem_data()) GTEST_SKIP() << "data/OUTSDIF.d is not there";
  const std::string counted = "(morlan: run [12]: 2500 Lagrangian evaluations\n){2}";
  for (const char* args : {"--count-evaluations --max-evaluations 2500",
                           "--count-evaluations --max-evaluations 2500 -j 2"}) {
    for (const char* answers : {"10\n0\n0\n0\n1\n2\n0.5\n", "10\n0\n0\n1\n3\n1\n2\n0.5\n"}) {
      RunSetup setup;
      setup.arguments = args;
      const ProgramRun run = run_morlan(answers, setup);
      EXPECT_EQ(run.status, 0) << args << run.out << run.err;
      EXPECT_TRUE(std::regex_match(run.err, std::regex(counted))) << args << "\n" << run.err;
      EXPECT_NE(run.out.find("0 success run"), std::string::npos) << run.out;
    }
  }
  // Under the multi-level scheme the level that reaches the limit is the
  // last: one level of 10 blocks per stage takes more than 2500.
  RunSetup setup;
  setup.arguments = "--max-evaluations 2500";
  const ProgramRun ladder = run_morlan("10\n0\n0\n1\n3\n1\n1\n0.5\n", setup);
  EXPECT_NE(ladder.out.find(" cSA: Obj fails at NT = 10\n run_id"), std::string::npos) << ladder.out;
  setup.arguments = "--max-evaluations 7 --count-evaluations";
  std::string start;
  for (int i = 0; i < 144; ++i) start += "1\n";
  setup.files = {{"start.txt", start}};
  const ProgramRun single = run_morlan("10\n0\n0\n0\n0\n0.5\nstart.txt\n", setup);
  EXPECT_EQ(single.err, "morlan: run 1: 7 Lagrangian evaluations\n") << single.out;
}

TEST(Options, ReservedOptionsLeaveTheDialogueUnchanged) {
  RunSetup setup;
  setup.arguments = "--polish --reference-eval -j 3 --jobs=0";
  const ProgramRun run = run_morlan("1\n0\n0\n0\n2\n", setup);
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.out, kScale + kLagrangian + kRule + kMultiLevel + kMultiStart +
                         " Wrong running mode in main !\n");
}

}  // namespace
}  // namespace morlan
