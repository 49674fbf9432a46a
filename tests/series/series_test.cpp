// The series of runs, the single run from a file and the final line, with
// the real driver linked to the deterministic fake engine: whole
// transcripts (CPU times masked), the starting-point draws, and
// reproducibility from one execution to the next.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "anneal/random.hpp"
#include "io/console.hpp"
#include "tests/driver/fake_engine.hpp"
#include "tests/driver/program_run.hpp"

namespace morlan {
namespace {

using testing_support::mask_times;
using testing_support::ProgramRun;
using testing_support::run_program;
using testing_support::RunSetup;

ProgramRun run_fake(const std::string& answers, const RunSetup& setup = {}) {
  return run_program(MORLAN_FAKE_DRIVER, answers, setup);
}

// Compares with the stored transcript tests/series/golden/<name>.out
// (MORLAN_UPDATE_GOLDEN=1 rewrites it instead).
void expect_golden(const std::string& name, const std::string& actual) {
  const std::string path = std::string(MORLAN_GOLDEN_DIR) + "/" + name + ".out";
  if (std::getenv("MORLAN_UPDATE_GOLDEN") != nullptr) {
    std::ofstream(path, std::ios::binary) << actual;
    return;
  }
  std::ifstream in(path, std::ios::binary);
  ASSERT_TRUE(in.good()) << "missing " << path;
  std::ostringstream expected;
  expected << in.rdbuf();
  EXPECT_EQ(actual, expected.str()) << "transcript " << name;
}

// The "x0 = " blocks of a transcript, each as its list of value texts.
std::vector<std::vector<std::string>> start_blocks(const std::string& out) {
  std::vector<std::vector<std::string>> blocks;
  std::istringstream lines(out);
  std::string line;
  bool inside = false;
  while (std::getline(lines, line)) {
    if (line.rfind(" x0 = ", 0) == 0) {
      blocks.emplace_back();
      inside = true;
      line = line.substr(6);
    } else if (!inside || (line.rfind("  ", 0) != 0 && line.rfind(" -", 0) != 0)) {
      inside = false;
      continue;
    }
    std::istringstream items(line);
    std::string item;
    while (items >> item) blocks.back().push_back(item);
  }
  return blocks;
}

// A start value as the transcript prints it.
std::string printed(double v) {
  std::string t = io::real_item_text(v);
  return t[0] == ' ' ? t.substr(1) : t;
}

// Grid points of a variable of width w, as the preparation counts them.
double grid_points(double w) { return w >= 1.0 ? std::trunc(w * 10000.0 + 1.0e-6) : 10000.0; }

const char* kPlainSeries = "1.0\n3\n0\n0\n1\n4\n0.9\n";

TEST(Series, PlainRuleSeriesTranscript) {
  const ProgramRun run = run_fake(kPlainSeries);
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.err, "");
  expect_golden("plain_series", mask_times(run.out));
}

TEST(Series, OutputThatCannotBeWrittenIsNeverReportedAsSuccess) {
  // A full disk: one line on standard error.
  RunSetup setup;
  setup.output = testing_support::Output::kPath;
  setup.output_path = "/dev/full";
  ProgramRun run = run_fake(kPlainSeries, setup);
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err, "morlan: output error: cannot write standard output: No space left on device\n");
  // A reader that went away (`morlan | head`): quietly.
  setup.output = testing_support::Output::kClosedPipe;
  run = run_fake(kPlainSeries, setup);
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err, "");
}

TEST(Series, StartsFollowTheGridAndContinuousRules) {
  const ProgramRun run = run_fake(kPlainSeries);
  const auto blocks = start_blocks(run.out);
  ASSERT_EQ(blocks.size(), 4u);
  x0rmarin(1, 2);
  for (const auto& block : blocks) {
    ASSERT_EQ(block.size(), 144u);
    for (int i = 1; i <= 144; ++i) {
      const double xl = fake::lower_bound(i);
      const double xu = fake::upper_bound(i);
      const double u = static_cast<double>(x0ranmar());
      double expected;
      if (fake::is_grid_variable(i)) {
        const double n = grid_points(xu - xl);
        const double g = (xu - xl) / (n - 1.0);
        expected = xl + g * std::trunc(u * n);
        EXPECT_LE(expected, xu + 1e-12);
      } else {
        expected = xl + u * (xu - xl);
      }
      EXPECT_EQ(block[static_cast<std::size_t>(i - 1)], printed(expected)) << "variable " << i;
    }
  }
}

TEST(Series, StartsAreReproducibleAndIndependentOfTheMainStream) {
  const std::string first = mask_times(run_fake(kPlainSeries).out);
  const std::string again = mask_times(run_fake(kPlainSeries).out);
  EXPECT_EQ(first, again);
  // Another ratio makes every fake run draw a different count of main-stream
  // numbers; the starting points stay the same.
  const ProgramRun other = run_fake("1.0\n3\n0\n0\n1\n4\n0.5\n");
  EXPECT_EQ(start_blocks(other.out), start_blocks(first));
}

TEST(Series, PopulationRuleWithLadderShowsMemberOneAndUndefinedIterationFigure) {
  const ProgramRun run = run_fake("2.0\n1\n1\n1\n3\n1\n2\n0.95\n");
  EXPECT_EQ(run.status, 0);
  expect_golden("population_ladder_series", mask_times(run.out));
}

TEST(Series, AllRunsFailing) {
  const ProgramRun run = run_fake("-1\n3\n0\n0\n1\n2\n0.9\n");
  EXPECT_EQ(run.status, 0);
  expect_golden("failing_series", mask_times(run.out));
}

TEST(Series, OneRunSeriesStillPrintsRunLineAndSummary) {
  const ProgramRun run = run_fake("1\n0\n0\n0\n1\n1\n0.9\n");
  EXPECT_EQ(run.status, 0);
  expect_golden("one_run_series", mask_times(run.out));
}

TEST(Series, PolishOptionCallsItsExtensionAfterEachRunLineAndTheSummary) {
  RunSetup setup;
  setup.arguments = "--polish";
  const ProgramRun run = run_fake("1.0\n3\n0\n0\n1\n3\n0.9\n", setup);
  EXPECT_EQ(run.status, 0);
  expect_golden("polish_series", mask_times(run.out));
}

TEST(Series, WithoutOptionsNothingOfTheExtensionAppears) {
  const ProgramRun run = run_fake(kPlainSeries);
  EXPECT_EQ(run.out.find("polish"), std::string::npos);
}

// A starting-point file: 144 values over several lines, mixed separators
// and exponent letters, and values beyond the 144th that are ignored.
std::string start_file() {
  std::ostringstream f;
  for (int i = 1; i <= 150; ++i) {
    if (i % 3 == 0) {
      f << (i * 0.25 - 20.0) << "D0";
    } else if (i % 3 == 1) {
      f << (i * 0.25 - 20.0) << "e+00";
    } else {
      f << (i * 0.25 - 20.0);
    }
    f << (i % 7 == 0 ? "\n" : (i % 2 == 0 ? ", " : "  "));
  }
  f << "\n";
  return f.str();
}

TEST(SingleRun, RelaxedRuleFromAFile) {
  RunSetup setup;
  setup.files = {{"start.txt", start_file()}};
  const ProgramRun run = run_fake("1\n10\n0.25\n0\n0\n0.8\nstart.txt\n", setup);
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.err, "");
  expect_golden("single_run_relaxed", mask_times(run.out));
}

TEST(SingleRun, LadderWithQuotedNameAndAnyMultiLevelValue) {
  RunSetup setup;
  setup.files = {{"my start.txt", start_file()}};
  const ProgramRun run = run_fake("1\n0\n0\n2\n4\n0\n0.7\n'my start.txt'\n", setup);
  EXPECT_EQ(run.status, 0);
  expect_golden("single_run_ladder", mask_times(run.out));
}

TEST(SingleRun, PopulationMembersAllStartFromTheFilePoint) {
  RunSetup setup;
  setup.files = {{"start.txt", start_file()}};
  const ProgramRun run = run_fake("1\n3\n1\n0\n0\n0.8\nstart.txt\n", setup);
  EXPECT_EQ(run.status, 0);
  expect_golden("single_run_population", mask_times(run.out));
}

TEST(SingleRun, PolishOptionCallsItsExtensionAfterTheRun) {
  RunSetup setup;
  setup.files = {{"start.txt", start_file()}};
  setup.arguments = "--polish";
  const ProgramRun run = run_fake("1\n0\n0\n0\n0\n0.8\nstart.txt\n", setup);
  EXPECT_EQ(run.status, 0);
  const std::string out = mask_times(run.out);
  const std::string tail =
      " fake polish: isucc = 1 x(1) = -5.9 x(145) =  0.\n"
      " 1 success run, time per Obj = <t> sec,  iter =   4.\n";
  ASSERT_GE(out.size(), tail.size());
  EXPECT_EQ(out.substr(out.size() - tail.size()), tail);
  EXPECT_EQ(out.find("fake polish summary"), std::string::npos);
}

TEST(SingleRun, FailedRun) {
  RunSetup setup;
  setup.files = {{"start.txt", start_file()}};
  const ProgramRun run = run_fake("-1\n3\n0\n0\n0\n0.8\nstart.txt\n", setup);
  EXPECT_EQ(run.status, 0);
  const std::string out = mask_times(run.out);
  EXPECT_NE(out.find(" fake chainrun"), std::string::npos);
  EXPECT_EQ(out.find("run_id"), std::string::npos);
  EXPECT_EQ(out.find("Summary"), std::string::npos);
  const std::string tail = " 0 success run, time per Obj = <t>\n";
  ASSERT_GE(out.size(), tail.size());
  EXPECT_EQ(out.substr(out.size() - tail.size()), tail);
}

}  // namespace
}  // namespace morlan
