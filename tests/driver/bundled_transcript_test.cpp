// Whole transcripts of the real program on the bundled problem: short
// series (cooling ratio 0.0001, a few temperature stages per run) for every
// Lagrangian form, the relaxed-equality and population rules, the
// multi-level scheme, a single run from a file and --polish. Each must print
// exactly the committed transcript (CPU times masked): refactoring, a faster
// evaluation or another build must not move a bit of any run.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "tests/driver/program_run.hpp"

namespace morlan {
namespace {

using testing_support::mask_times;
using testing_support::ProgramRun;
using testing_support::run_program;
using testing_support::RunSetup;

std::string case_file(const std::string& name) {
  return testing_support::source_file("tests/driver/bundled/" + name);
}

struct Transcript {
  const char* name;       // expected transcript: <name>.out
  const char* answers;    // dialogue: <answers>.answers
  const char* arguments;  // command-line options
};

class BundledTranscript : public ::testing::TestWithParam<Transcript> {};

TEST_P(BundledTranscript, PrintsTheCommittedTranscript) {
  if (!testing_support::have_problem_data()) GTEST_SKIP() << "no bundled data file";
  const Transcript& t = GetParam();
  RunSetup setup;
  setup.problem_data = true;
  setup.arguments = t.arguments;
  setup.files = {{"start_point.txt", case_file("start_point.txt")}};
  const auto run = run_program(testing_support::morlan_binary(),
                               case_file(std::string(t.answers) + ".answers"), setup);
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.err, "");
  EXPECT_EQ(mask_times(run.out), case_file(std::string(t.name) + ".out"));
}

INSTANTIATE_TEST_SUITE_P(
    Bundled, BundledTranscript,
    ::testing::Values(Transcript{"plain_form0_two_runs", "plain_form0_two_runs", ""},
                      Transcript{"plain_form1", "plain_form1", ""},
                      Transcript{"plain_form2", "plain_form2", ""},
                      Transcript{"plain_form3", "plain_form3", ""},
                      Transcript{"plain_form4", "plain_form4", ""},
                      Transcript{"plain_form5", "plain_form5", ""},
                      Transcript{"relaxed", "relaxed", ""},
                      Transcript{"population", "population", ""},
                      Transcript{"ladder_plain_form3", "ladder_plain_form3", ""},
                      Transcript{"ladder_population", "ladder_population", ""},
                      Transcript{"ladder_relaxed", "ladder_relaxed", ""},
                      Transcript{"single_run_file", "single_run_file", ""},
                      Transcript{"polish", "plain_form0_two_runs", "--polish"}),
    [](const ::testing::TestParamInfo<Transcript>& info) { return std::string(info.param.name); });


// The values (list-directed reals) of the block a label begins: the label's
// line and the lines of values that follow it.
std::vector<double> values_after(const std::string& out, const std::string& label,
                                 std::size_t from = 0) {
  std::vector<double> values;
  std::size_t at = out.find(label, from);
  if (at == std::string::npos) return values;
  std::istringstream lines(out.substr(at + label.size()));
  std::string line;
  for (bool first = true; std::getline(lines, line); first = false) {
    if (!first && !std::regex_match(line, std::regex(" +-?[0-9].*"))) break;
    std::istringstream items(line);
    for (std::string item; items >> item;) values.push_back(std::stod(item));
  }
  return values;
}

// A series with every file written prints the committed transcript and
// nothing on standard error; the log's best objective ends at each run's
// printed objective; the results hold the printed values; and the best
// point, given back as the starting-point file of a single run on a
// terminal, is the point its "x0 = " line shows, while the progress line
// comes and goes.
TEST(WatchedBundledSeries, FilesAgreeWithTheTranscriptAndTheBestPointStartsASingleRun) {
  if (!testing_support::have_problem_data()) GTEST_SKIP() << "no bundled data file";
  RunSetup setup;
  setup.problem_data = true;
  setup.arguments = "--log log.tsv --results results.tsv --best best.txt";
  setup.collect = {"log.tsv", "results.tsv", "best.txt"};
  const ProgramRun series = run_program(testing_support::morlan_binary(),
                                        case_file("plain_form0_two_runs.answers"), setup);
  EXPECT_EQ(series.status, 0);
  EXPECT_EQ(series.err, "");
  EXPECT_EQ(mask_times(series.out), case_file("plain_form0_two_runs.out"));

  std::vector<double> printed;
  const std::regex run_line("run_id = [12] : Obj = +([^ ]+) time");
  for (std::sregex_iterator m(series.out.begin(), series.out.end(), run_line), end; m != end; ++m) {
    printed.push_back(std::stod((*m)[1].str()));
  }
  ASSERT_EQ(printed.size(), 2u);
  const auto log = testing_support::table_rows(series.files.at("log.tsv"));
  const auto results = testing_support::table_rows(series.files.at("results.tsv"));
  ASSERT_EQ(results.size(), 3u);
  const auto& header = log.at(0);
  const std::size_t best_column =
      std::find(header.begin(), header.end(), "best_objective") - header.begin();
  ASSERT_LT(best_column, header.size());
  for (int run = 1; run <= 2; ++run) {
    std::string last_best;
    for (const auto& row : log) {
      if (row.at(0) == std::to_string(run)) last_best = row.at(best_column);
    }
    ASSERT_FALSE(last_best.empty()) << run;
    EXPECT_EQ(std::stod(last_best), printed[run - 1]) << run;
    EXPECT_EQ(results[run].at(0), std::to_string(run));
    EXPECT_EQ(results[run].at(1), "1");
    EXPECT_EQ(std::stof(results[run].at(2)), static_cast<float>(printed[run - 1]));
  }

  // Run 2 has the lower objective: its "cSA: x = " point is the best point.
  const std::size_t second = series.out.find("run_id = 1");
  const std::vector<double> best = values_after(series.out, "cSA: x = ", second);
  ASSERT_EQ(best.size(), 144u);
  RunSetup single;
  single.problem_data = true;
  single.files = {{"start_point.txt", series.files.at("best.txt")}};
  const ProgramRun run = testing_support::run_on_terminal(
      testing_support::morlan_binary(), case_file("single_run_file.answers"), single);
  EXPECT_EQ(run.status, 0);
  const testing_support::Screen screen = testing_support::read_screen(run.out);
  EXPECT_EQ(values_after(screen.text, "x0 = "), best);
  // The search left a value a rounding past its bound; the file holds it on
  // the bound, so the run it starts has no complaint.
  EXPECT_EQ(screen.text.find("outside the bounds"), std::string::npos) << screen.text;
  EXPECT_FALSE(screen.mixed);
  EXPECT_FALSE(screen.left);
  ASSERT_FALSE(screen.drawn.empty());
  EXPECT_EQ(screen.drawn.front().rfind("run 1/1 stage 1/~3 | ", 0), 0u) << screen.drawn.front();
}

// Under --polish the best-point file holds the polished design: a single
// run from it starts there, inside the bounds, without a warning. (Which
// polished point is written is pinned through the fake engine.)
TEST(WatchedBundledSeries, UnderPolishTheBestPointIsThePolishedOneAndStartsASingleRun) {
  if (!testing_support::have_problem_data()) GTEST_SKIP() << "no bundled data file";
  RunSetup setup;
  setup.problem_data = true;
  setup.arguments = "--polish --best best.txt";
  setup.collect = {"best.txt"};
  const ProgramRun series = run_program(testing_support::morlan_binary(),
                                        case_file("plain_form0_two_runs.answers"), setup);
  EXPECT_EQ(series.status, 0);
  EXPECT_EQ(series.err, "");
  EXPECT_EQ(mask_times(series.out), case_file("polish.out"));
  std::vector<double> written;
  std::istringstream file(series.files.at("best.txt"));
  for (double v; file >> v;) written.push_back(v);
  ASSERT_EQ(written.size(), 144u);
  // Not a point of the annealing runs.
  for (std::size_t from : {std::size_t{0}, series.out.find("run_id = 1")}) {
    const std::vector<double> annealed = values_after(series.out, "cSA: x = ", from);
    ASSERT_EQ(annealed.size(), 144u);
    EXPECT_GT(std::fabs(annealed[0] - written[0]) + std::fabs(annealed[100] - written[100]), 1e-3);
  }

  RunSetup single;
  single.problem_data = true;
  single.files = {{"start_point.txt", series.files.at("best.txt")}};
  const ProgramRun run = run_program(testing_support::morlan_binary(),
                                     case_file("single_run_file.answers"), single);
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out.find("outside the bounds"), std::string::npos) << run.out;
  const std::vector<double> start = values_after(run.out, "x0 = ");
  ASSERT_EQ(start.size(), 144u);
  for (std::size_t i = 0; i < start.size(); ++i) {
    EXPECT_NEAR(start[i], written[i], 1e-8 * std::fabs(written[i]) + 1e-300) << i + 1;
  }
}

#ifdef MORLAN_PARALLEL_TRANSCRIPTS
// Whole short series of the real program on several processes: with -j N
// and on MPI ranks they must print the committed transcripts of the serial
// program, CPU times masked, without a word on standard error (no run may
// find a state left by another). The series cover the plain rule with
// polishing, the multi-level scheme, the population and relaxed-equality
// rules, on the bundled problem and on a variant of it with the same sizes
// (tests/driver/parallel/variant_OUTSDIF.d: tools/gasnet/gasnet.py on
// network.txt with shuffle_seed 12 and capfactor 44: other bounds, another
// order of the constraints). They take minutes of CPU time, so only the
// program's own build runs them; the checked build runs the same driver code
// through the fake engine.

std::string parallel_file(const std::string& name) {
  return testing_support::source_file("tests/driver/parallel/" + name);
}

struct Parallel {
  const char* name;     // <name>.answers, <name>.out
  const char* data;     // "" for the bundled problem, else a file beside the cases
  const char* options;  // command-line options of the serial transcript
  const char* jobs;     // -j N, or "" to run on three MPI ranks
};

class ParallelTranscript : public ::testing::TestWithParam<Parallel> {};

TEST_P(ParallelTranscript, PrintsTheSerialTranscript) {
  if (!testing_support::have_problem_data()) GTEST_SKIP() << "no bundled data file";
  const Parallel& p = GetParam();
  RunSetup setup;
  setup.problem_data = std::string(p.data).empty();
  if (!setup.problem_data) setup.files = {{"OUTSDIF.d", parallel_file(p.data)}};
  std::string binary = testing_support::morlan_binary();
  setup.arguments = std::string(p.options) + " " + p.jobs;
  if (std::string(p.jobs).empty()) {
#ifdef MORLAN_MPI_BINARY
    binary = MORLAN_MPI_BINARY;
    setup.launcher = std::string(MORLAN_MPIRUN) + " -q --allow-run-as-root --oversubscribe -np 3";
#else
    GTEST_SKIP() << "morlan-mpi is not built";
#endif
  }
  const auto run = run_program(binary, parallel_file(std::string(p.name) + ".answers"), setup);
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.err, "");
  EXPECT_EQ(mask_times(run.out), parallel_file(std::string(p.name) + ".out"));
}

INSTANTIATE_TEST_SUITE_P(
    Series, ParallelTranscript,
    ::testing::Values(Parallel{"polish3", "", "--polish", "-j 3"},
                      Parallel{"polish3", "", "--polish", ""},
                      Parallel{"ladder3", "", "", "-j 2"},
                      Parallel{"population3", "", "", "-j 3"},
                      Parallel{"relaxed2", "", "", "-j 2"},
                      Parallel{"variant3", "variant_OUTSDIF.d", "", "-j 2"},
                      Parallel{"variant3", "variant_OUTSDIF.d", "", ""}),
    [](const ::testing::TestParamInfo<Parallel>& info) {
      std::string jobs = info.param.jobs;
      return std::string(info.param.name) + (jobs.empty() ? "_mpi" : "_j" + jobs.substr(3));
    });

#endif  // MORLAN_PARALLEL_TRANSCRIPTS

}  // namespace
}  // namespace morlan
