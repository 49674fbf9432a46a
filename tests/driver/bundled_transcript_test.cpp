// Whole transcripts of the real program on the bundled problem: short
// series (cooling ratio 0.0001, a few temperature stages per run) for every
// Lagrangian form, the relaxed-equality and population rules, the
// multi-level scheme, a single run from a file and --polish. Each must print
// exactly the committed transcript (CPU times masked): refactoring, a faster
// evaluation or another build must not move a bit of any run.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "tests/driver/program_run.hpp"

namespace morlan {
namespace {

using testing_support::mask_times;
using testing_support::run_program;
using testing_support::RunSetup;

std::string case_file(const std::string& name) {
  const char* src = std::getenv("MORLAN_SOURCE_DIR");
  std::ifstream in(std::string(src == nullptr ? "." : src) + "/tests/driver/bundled/" + name,
                   std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
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

}  // namespace
}  // namespace morlan
