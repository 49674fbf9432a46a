// Series on MPI ranks (morlan-mpi under mpirun on this machine), with the
// real driver linked to the fake engine: the serial bytes with one, two and
// three ranks, and every way the job ends early ending it with a clear line
// instead of a hang, with no process left.
#include <gtest/gtest.h>

#include <csignal>
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
using testing_support::StartedProgram;
using testing_support::through_run;

std::string golden(const std::string& name) {
  return testing_support::file_text(std::string(MORLAN_GOLDEN_DIR) + "/" + name + ".out");
}

// mpirun as root needs its consent; -q leaves out its notices, so that the
// program's own lines are what standard error shows.
RunSetup on_ranks(int ranks, std::vector<std::pair<std::string, std::string>> environment = {},
                  const std::string& arguments = "", bool quiet = true) {
  RunSetup setup;
  setup.launcher = std::string(MORLAN_MPIRUN) + (quiet ? " -q" : "") +
                   " --allow-run-as-root --oversubscribe -np " + std::to_string(ranks);
  setup.environment = std::move(environment);
  setup.arguments = arguments;
  return setup;
}

ProgramRun run_mpi(const std::string& answers, const RunSetup& setup) {
  return run_program(MORLAN_FAKE_MPI_DRIVER, answers, setup);
}

TEST(MpiSeries, AnyNumberOfRanksPrintsTheSerialBytes) {
  const struct {
    const char* golden;
    const char* answers;
    const char* options;
    int ranks;
  } cases[] = {
      {"plain_series", "1.0\n3\n0\n0\n1\n4\n0.9\n", "", 3},
      {"population_ladder_series", "2.0\n1\n1\n1\n3\n1\n2\n0.95\n", "", 2},
      {"polish_series", "1.0\n3\n0\n0\n1\n3\n0.9\n", "--polish", 3},
      {"failing_series", "-1\n3\n0\n0\n1\n2\n0.9\n", "", 1},
  };
  for (const auto& c : cases) {
    const ProgramRun run = run_mpi(c.answers, on_ranks(c.ranks, {}, c.options));
    EXPECT_EQ(run.status, 0) << c.golden << run.err;
    EXPECT_EQ(mask_times(run.out), golden(c.golden)) << c.golden;
  }
}

// The files of --log, --results and --best are written by rank 0 alone,
// with every rank's runs in run order, as the serial program writes them.
TEST(MpiSeries, WatchFilesHoldTheSerialRowsInRunOrder) {
  const char* answers = "1.0\n3\n0\n0\n1\n4\n0.9\n";
  const std::string files = "--polish --log log.tsv --results results.tsv --best best.txt";
  RunSetup serial;
  serial.arguments = files;
  serial.collect = {"log.tsv", "results.tsv", "best.txt"};
  const ProgramRun expected = run_program(MORLAN_FAKE_DRIVER, answers, serial);
  ASSERT_EQ(expected.status, 0) << expected.err;
  RunSetup ranks = on_ranks(3, {}, files);
  ranks.collect = serial.collect;
  const ProgramRun run = run_mpi(answers, ranks);
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(mask_times(run.out), mask_times(expected.out));
  for (const std::string& name : serial.collect) {
    EXPECT_EQ(testing_support::without_cpu_column(run.files.at(name)),
              testing_support::without_cpu_column(expected.files.at(name)))
        << name;
  }
}

const char* kSixRuns = "1.0\n3\n0\n0\n1\n6\n0.9\n";

TEST(MpiSeries, ErrorStopInsideARunPrintsWhatTheSerialProgramPrints) {
  const std::vector<std::pair<std::string, std::string>> stop = {{"MORLAN_FAKE_STOP_RUN", "3"}};
  RunSetup serial;
  serial.environment = stop;
  const ProgramRun expected = run_program(MORLAN_FAKE_DRIVER, kSixRuns, serial);
  StartedProgram program(MORLAN_FAKE_MPI_DRIVER, kSixRuns, on_ranks(3, stop));
  const ProgramRun run = program.wait(120.0);
  EXPECT_EQ(run.status, expected.status);
  EXPECT_EQ(mask_times(run.out), mask_times(expected.out));
  EXPECT_TRUE(program.group_is_empty());
}

// mpirun notices the killed rank, says so (unless told to be quiet) and
// ends the other ranks.
TEST(MpiSeries, KilledRankEndsTheJobWithALineAndNothingLeft) {
  const std::string serial = mask_times(run_program(MORLAN_FAKE_DRIVER, kSixRuns).out);
  StartedProgram program(
      MORLAN_FAKE_MPI_DRIVER, kSixRuns,
      on_ranks(3, {{"MORLAN_FAKE_HANG_RUN", "3"}, {"MORLAN_FAKE_PID_FILE", "run3.pid"}}, "", false));
  const std::string pid = program.wait_for_file("run3.pid", 60.0);
  ASSERT_NE(pid, "");
  ASSERT_NE(program.wait_for_file("stdout.txt", 60.0, " run_id = 2 "), "");
  ::kill(std::stoi(pid), SIGKILL);
  const ProgramRun run = program.wait(60.0);
  EXPECT_NE(run.status, 0);
  EXPECT_NE(run.status, -1) << "the job did not end";
  EXPECT_NE(run.err.find("exited on signal 9"), std::string::npos) << run.err;
  EXPECT_EQ(mask_times(run.out), through_run(serial, 2));
  EXPECT_TRUE(program.group_is_empty());
}

TEST(MpiSeries, RankThatPreparedAnotherStateEndsTheJob) {
  StartedProgram program(MORLAN_FAKE_MPI_DRIVER, kSixRuns,
                         on_ranks(3, {{"MORLAN_FAKE_OTHER_T0_RANK", "2"}}));
  const ProgramRun run = program.wait(120.0);
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find("morlan-mpi: rank 2 prepared another state than rank 0"), std::string::npos)
      << run.err;
  EXPECT_TRUE(program.group_is_empty());
}

// Ranks 0 and 1 started with --polish, rank 2 without: rank 2 would hand
// back unpolished runs, so the job ends before any run, naming the options.
TEST(MpiSeries, RankStartedWithOtherRunOptionsEndsTheJobNamingThem) {
  RunSetup setup;
  setup.launcher = std::string(MORLAN_MPIRUN) + " -q --allow-run-as-root --oversubscribe -np 2 " +
                   MORLAN_FAKE_MPI_DRIVER + " --polish : -np 1";
  setup.timeout_seconds = 120.0;
  const ProgramRun run = run_mpi(kSixRuns, setup);
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err,
            "morlan-mpi: rank 2 prepared another state than rank 0: options of a run (--polish, "
            "--polish-margin, --max-evaluations, --log, --results, --best, --points) differs "
            "(another OUTSDIF.d, another build or other options?)\n");
  EXPECT_EQ(run.out.find("x0 ="), std::string::npos) << "a run began";
}

// The real program on three ranks, rank 2 in the folder `other` of the
// run's folder with the data file (if any) the test puts there; ranks 0 and
// 1 with the bundled one.
RunSetup rank_two_in_other() {
  RunSetup setup;
  setup.problem_data = true;
  setup.directories = {"other"};
  setup.launcher = std::string(MORLAN_MPIRUN) +
                   " -q --allow-run-as-root --oversubscribe -np 2 " + MORLAN_MPI_BINARY +
                   " : -np 1 --wdir other";
  setup.timeout_seconds = 120.0;
  return setup;
}

const char* kShortSeries = "10\n0\n0\n0\n1\n3\n0.0001\n";

// The bundled data file with its first group constant (record 17, B) set
// to 0.001. Its line follows the two header lines, the twelve integer lists
// (12 to a line) and the linear coefficients (4 to a line), whose lengths
// the header's counts give.
std::string with_another_group_constant(const std::string& file) {
  std::vector<std::string> lines;
  std::istringstream in(file);
  for (std::string l; std::getline(in, l);) lines.push_back(l);
  std::istringstream header(lines.at(0));
  int n = 0, ngroup = 0, nelem = 0, neling = 0, nelvar = 0, nlina = 0;
  header >> n >> ngroup >> nelem >> neling >> nelvar >> nlina;
  const auto rows = [](int count, int per_line) { return (count + per_line - 1) / per_line; };
  std::size_t at = 2;
  for (int count : {ngroup + 1, ngroup + 1, ngroup + 1, nelem + 1, nelem + 1, ngroup, ngroup, nelem,
                    nelem, neling, nelvar, nlina}) {
    at += static_cast<std::size_t>(rows(count, 12));
  }
  at += static_cast<std::size_t>(rows(nlina, 4));
  std::string& line = lines.at(at);
  EXPECT_EQ(line.substr(0, 16), "  0.00000000D+00") << "line " << at + 1 << ": " << line;
  line.replace(0, 16, "  1.00000000D-03");
  std::string text;
  for (const std::string& l : lines) text += l + "\n";
  return text;
}

// A rank whose data file differs from rank 0's in one group constant ends
// the job before any run, naming the record.
TEST(MpiSeries, RankWithAnotherGroupConstantEndsTheJobNamingTheRecord) {
  if (!testing_support::have_problem_data()) GTEST_SKIP() << "no bundled data file";
  RunSetup setup = rank_two_in_other();
  setup.files = {{"other/OUTSDIF.d",
                  with_another_group_constant(testing_support::source_file("data/OUTSDIF.d"))}};
  const ProgramRun run = run_program(MORLAN_MPI_BINARY, kShortSeries, setup);
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err,
            "morlan-mpi: rank 2 prepared another state than rank 0: WK: B (group constants) "
            "differs (another OUTSDIF.d, another build or other options?)\n");
  EXPECT_EQ(run.out.find("x0 ="), std::string::npos) << "a run began";
}

// A rank that cannot read its data file (missing, or not a regular file)
// ends the job with one line: the rank, the file, the whole reason.
TEST(MpiSeries, RankThatCannotReadItsDataFileEndsTheJobWithTheFileAndTheWholeReason) {
  if (!testing_support::have_problem_data()) GTEST_SKIP() << "no bundled data file";
  for (const bool fifo : {false, true}) {
    RunSetup setup = rank_two_in_other();
    if (fifo) setup.fifos = {"other/OUTSDIF.d"};
    const ProgramRun run = run_program(MORLAN_MPI_BINARY, kShortSeries, setup);
    EXPECT_EQ(run.status, 1) << fifo;
    const std::string reason = fifo ? "is not a regular file!" : "doesn't exist!";
    const std::regex line("morlan-mpi: rank 2 stopped while preparing the series from /.+"
                          "/other/OUTSDIF\\.d: File OUTSDIF\\.d " + reason + "\n");
    EXPECT_TRUE(std::regex_match(run.err, line)) << run.err;
    EXPECT_EQ(run.out.find("x0 ="), std::string::npos) << "a run began";
  }
}

TEST(MpiSeries, WithoutASeriesTheOtherRanksEndQuietly) {
  // A rejected answer on rank 0, then a single run from a file.
  ProgramRun run = run_mpi("1\n3\n5\n", on_ranks(3));
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.out.find("Wrong cSA rule in main !"), std::string::npos);
  std::string start;
  for (int i = 1; i <= 144; ++i) start += std::to_string(i * 0.25 - 20.0) + "\n";
  RunSetup setup = on_ranks(2);
  setup.files = {{"start.txt", start}};
  run = run_mpi("1\n3\n1\n0\n0\n0.8\nstart.txt\n", setup);
  RunSetup serial;
  serial.files = setup.files;
  const ProgramRun expected = run_program(MORLAN_FAKE_DRIVER, "1\n3\n1\n0\n0\n0.8\nstart.txt\n", serial);
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(mask_times(run.out), mask_times(expected.out));
}

TEST(MpiSeries, JobsIsNotAnOptionOfTheMpiProgram) {
  const ProgramRun run = run_mpi("", on_ranks(2, {}, "-j 2"));
  EXPECT_EQ(run.status, 2);
  EXPECT_NE(run.err.find("-j is for morlan"), std::string::npos) << run.err;
}

}  // namespace
}  // namespace morlan
