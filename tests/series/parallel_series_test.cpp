// Series on several processes (-j N), with the real driver linked to the
// fake engine: the same bytes as one process for every kind of series, a
// state left by a run that sends the rest of the series in order, and what
// ends a parallel series early (an error stop inside a run, a killed worker,
// an interrupt, a termination), each leaving the earlier runs' lines and no
// process behind.
#include <gtest/gtest.h>

#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
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

RunSetup with(const std::string& arguments,
              std::vector<std::pair<std::string, std::string>> environment = {}) {
  RunSetup setup;
  setup.arguments = arguments;
  setup.environment = std::move(environment);
  return setup;
}

ProgramRun run_fake(const std::string& answers, const RunSetup& setup = {}) {
  return run_program(MORLAN_FAKE_DRIVER, answers, setup);
}

struct Series {
  const char* golden;
  const char* answers;
  const char* options;
};

const Series kSeries[] = {
    {"plain_series", "1.0\n3\n0\n0\n1\n4\n0.9\n", ""},
    {"population_ladder_series", "2.0\n1\n1\n1\n3\n1\n2\n0.95\n", ""},
    {"failing_series", "-1\n3\n0\n0\n1\n2\n0.9\n", ""},
    {"one_run_series", "1\n0\n0\n0\n1\n1\n0.9\n", ""},
    {"polish_series", "1.0\n3\n0\n0\n1\n3\n0.9\n", "--polish"},
};

TEST(ParallelSeries, EveryKindOfSeriesPrintsTheSerialBytes) {
  for (const Series& s : kSeries) {
    for (const char* jobs : {"-j 2", "--jobs 3", "-j 8", "-j 0"}) {
      const ProgramRun run = run_fake(s.answers, with(std::string(jobs) + " " + s.options));
      EXPECT_EQ(run.status, 0) << s.golden << " " << jobs;
      EXPECT_EQ(run.err, "") << s.golden << " " << jobs;
      EXPECT_EQ(mask_times(run.out), golden(s.golden)) << s.golden << " " << jobs;
    }
  }
}

// The evaluation counts go to standard error after each run's lines, in
// run order, whichever worker ran the run.
TEST(ParallelSeries, EvaluationCountsComeInRunOrder) {
  const char* answers = "1.0\n3\n0\n0\n1\n4\n0.9\n";
  const ProgramRun serial = run_fake(answers, with("--count-evaluations"));
  ASSERT_EQ(serial.status, 0) << serial.err;
  EXPECT_EQ(serial.err,
            "morlan: run 1: 1000 Lagrangian evaluations\n"
            "morlan: run 2: 2000 Lagrangian evaluations\n"
            "morlan: run 3: 3000 Lagrangian evaluations\n"
            "morlan: run 4: 4000 Lagrangian evaluations\n");
  EXPECT_EQ(mask_times(serial.out), golden("plain_series"));
  const ProgramRun parallel = run_fake(answers, with("-j 3 --count-evaluations"));
  EXPECT_EQ(parallel.status, 0);
  EXPECT_EQ(parallel.err, serial.err);
  EXPECT_EQ(mask_times(parallel.out), golden("plain_series"));
}

TEST(ParallelSeries, SingleRunIsTheSameWithJobs) {
  RunSetup setup = with("-j 3");
  std::string start;
  for (int i = 1; i <= 144; ++i) start += std::to_string(i * 0.25 - 20.0) + "\n";
  setup.files = {{"start.txt", start}};
  const ProgramRun parallel = run_fake("1\n3\n1\n0\n0\n0.8\nstart.txt\n", setup);
  setup.arguments = "";
  const ProgramRun serial = run_fake("1\n3\n1\n0\n0\n0.8\nstart.txt\n", setup);
  EXPECT_EQ(parallel.status, 0);
  EXPECT_EQ(mask_times(parallel.out), mask_times(serial.out));
}

// A run that leaves state behind that a later run reads: the parallel
// series notices at the first run that began otherwise than in order, and
// runs the rest in order in one worker, from the state the runs before it
// left. The bytes are the serial program's. Each run takes a tenth of a
// second, so that on a busy machine, too, no worker runs the whole series
// alone (in order, which would need no notice).
TEST(ParallelSeries, StateLeftByARunSendsTheRestOfTheSeriesInOrder) {
  const std::string answers = "1.0\n3\n0\n0\n1\n6\n0.9\n";
  const std::pair<const char*, const char*> cases[] = {
      {"MORLAN_FAKE_LEAVE_RUN", "2"},  // the relaxed radius, raised by run 2
      {"MORLAN_FAKE_RAND", "1"},       // the C library generator, drawn by every run
  };
  for (const auto& [variable, value] : cases) {
    const std::vector<std::pair<std::string, std::string>> environment = {
        {variable, value}, {"MORLAN_FAKE_RUN_MS", "100"}};
    const ProgramRun serial = run_fake(answers, with("", environment));
    for (const char* jobs : {"-j 2", "-j 3"}) {
      const ProgramRun run = run_fake(answers, with(jobs, environment));
      EXPECT_EQ(run.status, 0) << variable << " " << jobs;
      EXPECT_EQ(mask_times(run.out), mask_times(serial.out)) << variable << " " << jobs;
      EXPECT_NE(run.err.find("differs): the rest of the series runs in order"), std::string::npos)
          << run.err;
    }
  }
}

const char* kSixRuns = "1.0\n3\n0\n0\n1\n6\n0.9\n";

// Also when the series has gone in order before the stop: the worker that
// stopped in a run that is then run again has left as it should.
TEST(ParallelSeries, ErrorStopInsideARunPrintsWhatTheSerialProgramPrints) {
  for (const char* leave_run : {"0", "2"}) {
    for (const char* stop_run : {"1", "3", "6"}) {
      const std::vector<std::pair<std::string, std::string>> faults = {
          {"MORLAN_FAKE_STOP_RUN", stop_run}, {"MORLAN_FAKE_LEAVE_RUN", leave_run}};
      const ProgramRun serial = run_fake(kSixRuns, with("", faults));
      ASSERT_EQ(serial.status, 1);
      for (const char* jobs : {"-j 2", "-j 4"}) {
        const std::string what = std::string(stop_run) + " " + leave_run + " " + jobs;
        StartedProgram program(MORLAN_FAKE_DRIVER, kSixRuns, with(jobs, faults));
        const ProgramRun run = program.wait(60.0);
        EXPECT_EQ(run.status, serial.status) << what;
        EXPECT_EQ(mask_times(run.out), mask_times(serial.out)) << what;
        EXPECT_TRUE(program.group_is_empty()) << what;
      }
    }
  }
}

// Run 3 waits until the test acts; runs 1 and 2 end at once.
RunSetup hanging_run_3(const char* jobs) {
  return with(jobs, {{"MORLAN_FAKE_HANG_RUN", "3"}, {"MORLAN_FAKE_PID_FILE", "run3.pid"}});
}

TEST(ParallelSeries, KilledWorkerIsNamedAfterTheEarlierRunsArePrinted) {
  const std::string serial = mask_times(run_fake(kSixRuns).out);
  StartedProgram program(MORLAN_FAKE_DRIVER, kSixRuns, hanging_run_3("-j 3"));
  const std::string pid = program.wait_for_file("run3.pid", 30.0);
  ASSERT_NE(pid, "");
  ::kill(std::stoi(pid), SIGKILL);
  const ProgramRun run = program.wait(30.0);
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err, "morlan: run 3: worker killed by signal 9\n");
  EXPECT_EQ(mask_times(run.out), through_run(serial, 2));
  EXPECT_TRUE(program.group_is_empty());
}

TEST(ParallelSeries, InterruptAndTerminationEndEveryWorkerAndKeepTheLinesPrinted) {
  const std::string serial = mask_times(run_fake(kSixRuns).out);
  // An interrupt from a terminal reaches the whole process group; a
  // termination is sent to the program alone.
  const struct {
    int signal;
    bool to_group;
    const char* line;
  } cases[] = {{SIGINT, true, "Interrupt\n"}, {SIGTERM, false, "Killed\n"}};
  for (const auto& c : cases) {
    StartedProgram program(MORLAN_FAKE_DRIVER, kSixRuns, hanging_run_3("-j 2"));
    ASSERT_NE(program.wait_for_file("run3.pid", 30.0), "");
    ASSERT_NE(program.wait_for_file("stdout.txt", 30.0, " run_id = 2 "), "");
    ::kill(c.to_group ? -program.pid() : program.pid(), c.signal);
    const ProgramRun run = program.wait(30.0);
    EXPECT_EQ(run.status, 1) << c.line;
    EXPECT_EQ(run.err, c.line);
    EXPECT_EQ(mask_times(run.out), through_run(serial, 2)) << c.line;
    EXPECT_TRUE(program.group_is_empty()) << c.line;
  }
}

// A wait for the workers that keeps failing (here every poll) ends the
// series with one line instead of a spin, and leaves no process behind.
TEST(ParallelSeries, AWaitThatKeepsFailingEndsTheSeriesWithOneLine) {
  StartedProgram program(MORLAN_FAKE_DRIVER, kSixRuns,
                         with("-j 2", {{"LD_PRELOAD", MORLAN_FAILING_POLL},
                                       {"MORLAN_TEST_POLL_FAILS", "1"}}));
  const ProgramRun run = program.wait(30.0);
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err, "morlan: run 1: cannot wait for the workers: Cannot allocate memory\n");
  EXPECT_EQ(run.out.find("run_id"), std::string::npos);
  EXPECT_TRUE(program.group_is_empty());
}

// Whatever ends the parent, even a kill it cannot answer, ends its workers.
// This test process adopts the orphans, so that it can see them end.
TEST(ParallelSeries, WorkersDieWithTheirParent) {
  ::prctl(PR_SET_CHILD_SUBREAPER, 1);
  StartedProgram program(MORLAN_FAKE_DRIVER, kSixRuns, hanging_run_3("-j 2"));
  ASSERT_NE(program.wait_for_file("run3.pid", 30.0), "");
  ::kill(program.pid(), SIGKILL);
  program.wait(30.0);
  bool empty = false;
  for (int i = 0; i < 200 && !empty; ++i) {
    while (::waitpid(-program.pid(), nullptr, WNOHANG) > 0) {
    }
    empty = program.group_is_empty();
    if (!empty) ::usleep(50000);
  }
  ::prctl(PR_SET_CHILD_SUBREAPER, 0);
  EXPECT_TRUE(empty);
}

}  // namespace
}  // namespace morlan
