// Whole transcripts of the real program on the bundled problem: short
// series (cooling ratio 0.0001, a few temperature stages per run) for every
// Lagrangian form, the relaxed-equality and population rules, the
// multi-level scheme, a single run from a file and --polish. Each must print
// exactly the committed transcript (CPU times masked): refactoring, a faster
// evaluation or another build must not move a bit of any run.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "tests/driver/program_run.hpp"

namespace morlan {
namespace {

using testing_support::mask_times;
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
