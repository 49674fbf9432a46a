// Watching the runs through the real driver and the fake engine: the rows
// of the convergence log and of the results table in run order, the best
// point, the progress line on a terminal and elsewhere, standard output
// unchanged by every option, and the files refused or failing.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "anneal/stage_watch.hpp"
#include "base/one_based.hpp"
#include "tests/driver/fake_engine.hpp"
#include "tests/driver/program_run.hpp"
#include "watch/progress_line.hpp"
#include "watch/watch_files.hpp"

namespace morlan {
namespace {

using testing_support::mask_times;
using testing_support::ProgramRun;
using testing_support::run_on_terminal;
using testing_support::run_program;
using testing_support::without_cpu_column;
using testing_support::RunSetup;

// Four runs of the plain rule; the third fails.
const char* kSeries = "1.0\n3\n0\n0\n1\n4\n0.9\n";
// Two runs of the multi-level scheme.
const char* kLadderSeries = "1\n0\n0\n1\n2\n1\n2\n0.9\n";

ProgramRun run_fake(const std::string& answers, const std::string& arguments,
                    std::vector<std::string> collect = {}) {
  RunSetup setup;
  setup.arguments = arguments;
  setup.collect = std::move(collect);
  return run_program(MORLAN_FAKE_DRIVER, answers, setup);
}

std::vector<std::string> lines_of(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

std::vector<std::string> fields_of(const std::string& line) {
  std::vector<std::string> fields;
  std::istringstream in(line);
  for (std::string field; std::getline(in, field, '\t');) fields.push_back(field);
  return fields;
}

// The rows without their last column (CPU seconds, which vary).
std::string without_cpu(const std::string& table) {
  return std::regex_replace(table, std::regex("\t[^\t\n]*\n"), "\n");
}

TEST(ConvergenceLog, OneRowPerStageOfEveryRunInRunOrder) {
  const ProgramRun run = run_fake(kSeries, "--log log.tsv", {"log.tsv"});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(without_cpu(run.files.at("log.tsv")),
            "run\tlevel\tstage\ttemperature\tlagrangian\tobjective\tviolation\tproblem_violation\t"
            "best_objective\tacceptance\tevaluations\tcounted_evaluations\n"
            "1\t1\t1\t2.5\t101\t11.5\t0.1\t0.101\tNaN\t0.2500\t50\t1000\n"
            "1\t1\t2\t2.25\t102\t12.5\t0.05\t0.051\t140.160936\t0.5000\t1050\t1000\n"
            "1\t1\t3\t2.025\t103\t13.5\t0.0333333333\t0.0343333333\t139.160936\t0.7500\t2050\t1000\n"
            "2\t1\t1\t2.5\t201\t21.5\t0.1\t0.101\tNaN\t0.2500\t50\t2000\n"
            "2\t1\t2\t2.25\t202\t22.5\t0.05\t0.051\t150.526149\t0.5000\t1050\t2000\n"
            "2\t1\t3\t2.025\t203\t23.5\t0.0333333333\t0.0343333333\t149.526149\t0.7500\t2050\t2000\n"
            "3\t1\t1\t2.5\t301\t31.5\t0.1\t0.101\tNaN\t0.2500\t50\t3000\n"
            "3\t1\t2\t2.25\t302\t32.5\t0.05\t0.051\tNaN\t0.5000\t1050\t3000\n"
            "3\t1\t3\t2.025\t303\t33.5\t0.0333333333\t0.0343333333\tNaN\t0.7500\t2050\t3000\n"
            "4\t1\t1\t2.5\t401\t41.5\t0.1\t0.101\tNaN\t0.2500\t50\t4000\n"
            "4\t1\t2\t2.25\t402\t42.5\t0.05\t0.051\t147.722099\t0.5000\t1050\t4000\n"
            "4\t1\t3\t2.025\t403\t43.5\t0.0333333333\t0.0343333333\t146.722099\t0.7500\t2050\t4000\n");
  // Each successful run's last best objective is the one its run line prints.
  EXPECT_NE(run.out.find("run_id = 1 : Obj =  139.160936"), std::string::npos);
  EXPECT_NE(run.out.find("run_id = 4 : Obj =  146.722099"), std::string::npos);
}

TEST(ConvergenceLog, LevelsAreNumberedAndEvaluationsAddUpOverThem) {
  const ProgramRun run = run_fake(kLadderSeries, "--log log.tsv", {"log.tsv"});
  ASSERT_EQ(run.status, 0) << run.err;
  const auto rows = lines_of(run.files.at("log.tsv"));
  ASSERT_EQ(rows.size(), 1u + 2 * 2 * 3);
  std::string order;
  for (std::size_t r = 1; r < rows.size(); ++r) {
    const auto f = fields_of(rows[r]);
    order += f[0] + f[1] + f[2] + " ";
  }
  EXPECT_EQ(order, "111 112 113 121 122 123 211 212 213 221 222 223 ");
  // Level 2 begins after level 1's 2050 evaluations.
  EXPECT_EQ(fields_of(rows[4])[10], "2100");
  EXPECT_EQ(fields_of(rows[6])[10], "4100");
}

// The problem violation is the measures' own at the run's best point: the
// fake's point lies on its upper bounds but for variable 7, kPastTheBound
// past it (1e-13 after the rounding of the bound's sum).
TEST(ResultsTable, OneRowPerRunWithThePolishedColumnsUnderPolish) {
  ProgramRun run = run_fake(kSeries, "--results results.tsv", {"results.tsv"});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(without_cpu(run.files.at("results.tsv")),
            "run\tsuccess\tobjective\tviolation\tproblem_violation\n"
            "1\t1\t139.16093566524827\t0\t9.9920072216264089e-14\n"
            "2\t1\t149.52614852872955\t0\t9.9920072216264089e-14\n"
            "3\t0\tNaN\tNaN\tNaN\n"
            "4\t1\t146.72209921446154\t0\t9.9920072216264089e-14\n");
  // The CPU seconds are the run line's time.
  const auto first = fields_of(lines_of(run.files.at("results.tsv"))[1]);
  std::smatch time;
  ASSERT_TRUE(std::regex_search(run.out, time, std::regex("run_id = 1 : Obj = +[0-9.]+ time = +([^ \n]+)")));
  EXPECT_EQ(std::stod(first[5]), std::stod(time[1].str()));

  run = run_fake(kSeries, "--polish --results results.tsv", {"results.tsv"});
  ASSERT_EQ(run.status, 0) << run.err;
  const auto rows = lines_of(run.files.at("results.tsv"));
  ASSERT_EQ(rows.size(), 5u);
  EXPECT_EQ(rows[0], "run\tsuccess\tobjective\tviolation\tproblem_violation\tcpu_seconds\t"
                     "polished_objective\tpolished_violation");
  EXPECT_EQ(fields_of(rows[1])[6], "-6.9000000000000004");
  EXPECT_EQ(fields_of(rows[1])[7], "1.0000000000000001e-09");
  EXPECT_EQ(fields_of(rows[3])[6], "NaN");
}

// The text of a best-point file holding value(i) for every variable.
template <class Value>
std::string point_text(Value value) {
  std::string text;
  for (int i = 1; i <= 144; ++i) {
    char buf[40];
    std::snprintf(buf, sizeof buf, "%.17g\n", value(i));
    text += buf;
  }
  return text;
}

TEST(BestPoint, TheLowestObjectiveOfTheSeriesOneValueALine) {
  const ProgramRun run = run_fake(kSeries, "--best best.txt", {"best.txt"});
  ASSERT_EQ(run.status, 0) << run.err;
  // Every successful fake run ends on the upper bounds, variable 7 a
  // rounding past its own: the file holds it on the bound.
  EXPECT_EQ(run.files.at("best.txt"), point_text(fake::upper_bound));
}

// Under --polish the file holds the polished point with the lowest objective
// among the feasible ones: run 2's (run 1 has the best annealing objective,
// run 4 the lowest polished one, but it is not feasible); variable 2, a
// rounding below its lower bound, is written on it.
TEST(BestPoint, UnderPolishTheBestFeasiblePolishedPoint) {
  const ProgramRun run = run_fake(kSeries, "--polish --best best.txt", {"best.txt"});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.err, "");
  EXPECT_EQ(run.files.at("best.txt"), point_text([](int i) {
              return i == 2 ? fake::lower_bound(2) : fake::polished_value(2, i);
            }));
}

TEST(BestPoint, UnderPolishWithNoFeasiblePolishedPointTheBestPointOfTheRunsAndALine) {
  RunSetup setup;
  setup.arguments = "--polish --best best.txt";
  setup.environment = {{"MORLAN_FAKE_POLISH_INFEASIBLE", "1"}};
  setup.collect = {"best.txt"};
  const ProgramRun run = run_program(MORLAN_FAKE_DRIVER, kSeries, setup);
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.err,
            "morlan: no polished point is feasible: the best-point file holds the best point of "
            "the runs\n");
  EXPECT_EQ(run.files.at("best.txt"), point_text(fake::upper_bound));
}

TEST(BestPoint, ValuesARoundingOutsideTheirBoundsAreKeptOnThemOthersAsTheyAre) {
  Array1<double, 6> xl, xu;
  for (int i = 1; i <= 6; ++i) {
    xl(i) = -1.0;
    xu(i) = 5.6;
  }
  std::vector<double> point = {5.6000000000000538, -1.0000000000001, 5.6 + 2.0e-6, -1.5, 0.25,
                               std::nan("")};
  keep_within_bounds(point, xl, xu);
  EXPECT_EQ(point[0], 5.6);
  EXPECT_EQ(point[1], -1.0);
  EXPECT_EQ(point[2], 5.6 + 2.0e-6);
  EXPECT_EQ(point[3], -1.5);
  EXPECT_EQ(point[4], 0.25);
  EXPECT_TRUE(std::isnan(point[5]));
}

// Runs in worker processes: every file holds the rows of one job, in run
// order, whichever worker ran which run (CPU seconds aside).
TEST(WatchFiles, WithJobsHoldTheSameRowsInRunOrder) {
  const std::string files =
      "--polish --log log.tsv --results results.tsv --best best.txt --points points.tsv";
  const std::vector<std::string> names = {"log.tsv", "results.tsv", "best.txt", "points.tsv"};
  for (const char* answers : {kSeries, kLadderSeries}) {
    const ProgramRun serial = run_fake(answers, files, names);
    ASSERT_EQ(serial.status, 0) << serial.err;
    for (const char* jobs : {"-j 2", "-j 3"}) {
      const ProgramRun parallel = run_fake(answers, std::string(jobs) + " " + files, names);
      ASSERT_EQ(parallel.status, 0) << jobs << parallel.err;
      EXPECT_EQ(mask_times(parallel.out), mask_times(serial.out)) << jobs;
      for (const std::string& name : names) {
        EXPECT_EQ(without_cpu_column(parallel.files.at(name)),
                  without_cpu_column(serial.files.at(name)))
            << jobs << " " << name;
      }
    }
  }
}

TEST(Points, EverySuccessfulRunsBestPointAndItsPolishedPointWithAllDigits) {
  const ProgramRun run = run_fake(kSeries, "--polish --points points.tsv", {"points.tsv"});
  ASSERT_EQ(run.status, 0) << run.err;
  const auto rows = lines_of(run.files.at("points.tsv"));
  ASSERT_EQ(rows.size(), 1u + 3 * 2);
  const auto header = fields_of(rows[0]);
  ASSERT_EQ(header.size(), 2u + 144);
  EXPECT_EQ(header[0] + " " + header[1] + " " + header[2] + " " + header[145], "run point x1 x144");
  std::string order;
  for (std::size_t r = 1; r < rows.size(); ++r) {
    const auto f = fields_of(rows[r]);
    ASSERT_EQ(f.size(), 2u + 144) << r;
    order += f[0] + f[1] + " ";
    // Every successful fake run ends on the upper bounds (variable 7 a
    // rounding past it), its polish on the fake's polished values (variable
    // 2 a rounding below its lower bound): both written within the bounds.
    const int k = std::stoi(f[0]);
    for (int i = 1; i <= 144; ++i) {
      double expected = fake::upper_bound(i);
      if (f[1] == "polished") expected = i == 2 ? fake::lower_bound(2) : fake::polished_value(k, i);
      ASSERT_EQ(std::stod(f[1 + i]), expected) << r << " " << i;
    }
  }
  EXPECT_EQ(order, "1best 1polished 2best 2polished 4best 4polished ");
}

TEST(BestPoint, FileIsLeftAsItWasWhenNoRunSucceeds) {
  RunSetup setup;
  setup.arguments = "--best best.txt";
  setup.files = {{"best.txt", "1 2 3\n"}};
  setup.collect = {"best.txt"};
  const ProgramRun run = run_program(MORLAN_FAKE_DRIVER, "-1\n3\n0\n0\n1\n2\n0.9\n", setup);
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.files.at("best.txt"), "1 2 3\n");
}

TEST(BestPoint, MayNameTheStartingPointFileOfTheRun) {
  // The file is read by the dialogue before anything is written to it.
  std::string start;
  for (int i = 1; i <= 144; ++i) start += std::to_string(fake::lower_bound(i)) + "\n";
  RunSetup setup;
  setup.arguments = "--best start.txt --log start.txt.log";
  setup.files = {{"start.txt", start}};
  setup.collect = {"start.txt"};
  const ProgramRun run = run_program(MORLAN_FAKE_DRIVER, "1\n0\n0\n0\n0\n0.8\nstart.txt\n", setup);
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(lines_of(run.files.at("start.txt")).size(), 144u);
  EXPECT_NE(run.files.at("start.txt"), start);
}

TEST(Outputs, LeaveStandardOutputAndErrorAsTheyAre) {
  const ProgramRun plain = run_fake(kSeries, "--polish");
  for (const char* options :
       {"--no-progress", "--log l.tsv --results r.tsv --best b.txt --points p.tsv"}) {
    const ProgramRun watched = run_fake(kSeries, std::string("--polish ") + options);
    EXPECT_EQ(watched.status, 0) << options;
    EXPECT_EQ(mask_times(watched.out), mask_times(plain.out)) << options;
    EXPECT_EQ(watched.err, "") << options;
  }
}

TEST(ProgressLine, ElsewhereThanATerminalOnlyWhenAskedAndThenInWholeLines) {
  const ProgramRun plain = run_fake(kLadderSeries, "");
  const ProgramRun run = run_fake(kLadderSeries, "--progress");
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(mask_times(run.out), mask_times(plain.out));
  // The first stage of every level at least, each a line of its own.
  const auto lines = lines_of(run.err);
  ASSERT_GE(lines.size(), 4u) << run.err;
  EXPECT_EQ(run.err.find('\r'), std::string::npos);
  EXPECT_TRUE(std::regex_match(
      lines[0], std::regex("run 1/2 level 1 stage 1/~141 \\| 0:00 ~0:[0-9][0-9] left \\| T 2.5 L 101 "
                           "none feasible yet vio 0.1")))
      << lines[0];
  EXPECT_NE(run.err.find("run 2/2 level 2 stage 1/~141"), std::string::npos);
}

// With workers the printing process shows the series from the start, as it
// hands out runs and as it takes each run in order: runs done, runs in
// flight, time, the best objective so far; standard output is the serial
// program's.
TEST(ProgressLine, WithJobsShowsTheSeriesAtOnceAndAsItsRunsAreTaken) {
  const ProgramRun plain = run_fake(kSeries, "");
  const ProgramRun run = run_fake(kSeries, "-j 2 --progress");
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(mask_times(run.out), mask_times(plain.out));
  const auto lines = lines_of(run.err);
  ASSERT_GE(lines.size(), 5u) << run.err;
  EXPECT_TRUE(std::regex_match(
      lines.front(), std::regex("runs 0/4 done, 2 running \\| 0:0[0-9] \\| none feasible yet")))
      << lines.front();
  EXPECT_EQ(lines.back().rfind("runs 4/4 done | ", 0), 0u) << lines.back();
  // Every run taken shows, in order, with the best objective of the runs
  // taken so far (run 1's is the lowest).
  const std::regex line_form(
      "runs ([0-4])/4 done(, [12] running)? \\| [0-9]+:[0-9]{2}( ~[0-9]+:[0-9]{2} left)? \\| "
      "(none feasible yet|best 139.161)");
  int done = 0;
  for (const std::string& line : lines) {
    std::smatch m;
    ASSERT_TRUE(std::regex_match(line, m, line_form)) << line;
    const int now = std::stoi(m[1].str());
    EXPECT_TRUE(now == done || now == done + 1) << run.err;
    EXPECT_EQ(m[4].str() == "none feasible yet", now == 0) << line;
    done = now;
  }
  EXPECT_EQ(done, 4);
  // Without the option and off a terminal nothing is shown.
  EXPECT_EQ(run_fake(kSeries, "-j 2").err, "");
}

// On an 80-column terminal the line loses whole fields, the least telling
// first, and keeps the violation: the fake's full line is 85 characters.
TEST(ProgressLine, FitsAnEightyColumnTerminalWithTheViolationIntact) {
  RunSetup setup;
  setup.terminal_columns = 80;
  const ProgramRun run = run_on_terminal(MORLAN_FAKE_DRIVER, kLadderSeries, setup);
  EXPECT_EQ(run.status, 0);
  const testing_support::Screen screen = testing_support::read_screen(run.out);
  ASSERT_GE(screen.drawn.size(), 4u);
  for (const std::string& line : screen.drawn) {
    EXPECT_LE(line.size(), 79u) << line;
    EXPECT_TRUE(std::regex_match(
        line, std::regex("run [12]/2 level [12] stage [1-3]/~141 \\| 0:[0-9]{2}( ~[0-9:]+ left)? \\|"
                         "( T [0-9.]+)? (none feasible yet|best [0-9.]+) vio 0.[0-9]+")))
        << line;
  }
}

TEST(ProgressLine, LosesTheLeastTellingFieldsFirstWhenNarrow) {
  RunProgress p;
  p.run = 2;
  p.runs = 2;
  p.stage = 12;
  p.stages = 25;
  p.valued = true;
  p.temperature = 0.00123;
  p.lagrangian = 8.55123;
  p.best_objective = 85.4712;
  p.violation = 3.1e-6;
  p.elapsed = 62;
  p.remaining = 70;
  const std::string full =
      "run 2/2 stage 12/~25 | 1:02 ~1:10 left | T 0.00123 L 8.55123 best 85.4712 vio 3.1e-06";
  EXPECT_EQ(progress_text(p), full);
  EXPECT_EQ(progress_text(p, full.size()), full);
  EXPECT_EQ(progress_text(p, 79),
            "run 2/2 stage 12/~25 | 1:02 ~1:10 left | T 0.00123 best 85.4712 vio 3.1e-06");
  EXPECT_EQ(progress_text(p, 70),
            "run 2/2 stage 12/~25 | 1:02 ~1:10 left | best 85.4712 vio 3.1e-06");
  EXPECT_EQ(progress_text(p, 60), "run 2/2 stage 12/~25 | 1:02 | best 85.4712 vio 3.1e-06");
  EXPECT_EQ(progress_text(p, 50), "run 2/2 stage 12 | 1:02 | best 85.4712 vio 3.1e-06");
  // What always stays is longer than 20 columns: the terminal cuts it.
  EXPECT_EQ(progress_text(p, 20), "run 2/2 stage 12 | 1:02 | best 85.4712 vio 3.1e-06");
  // A long multi-level series at its longest still fits 80 columns.
  p.run = 1000;
  p.runs = 1000;
  p.level = 12;
  p.stage = 1000;
  p.stages = 1000;
  p.best_objective = kNoneFeasible;
  p.violation = 1.23e-12;
  p.elapsed = 36000;
  EXPECT_EQ(progress_text(p, 79),
            "run 1000/1000 level 12 stage 1000 | 10:00:00 | none feasible yet vio 1.2e-12");

  SeriesProgress s;
  s.done = 3;
  s.runs = 10;
  s.running = 2;
  s.elapsed = 83;
  s.remaining = 194;
  s.best_objective = 85.4712;
  EXPECT_EQ(series_progress_text(s), "runs 3/10 done, 2 running | 1:23 ~3:14 left | best 85.4712");
  EXPECT_EQ(series_progress_text(s, 50), "runs 3/10 done, 2 running | 1:23 | best 85.4712");
  EXPECT_EQ(series_progress_text(s, 30), "runs 3/10 done | 1:23 | best 85.4712");
}

TEST(ProgressLine, OnATerminalIsErasedBeforeEveryLineTheProgramPrints) {
  const ProgramRun plain = run_fake(kLadderSeries, "");
  const ProgramRun run = run_on_terminal(MORLAN_FAKE_DRIVER, kLadderSeries);
  EXPECT_EQ(run.status, 0);
  const testing_support::Screen screen = testing_support::read_screen(run.out);
  EXPECT_FALSE(screen.mixed);
  EXPECT_FALSE(screen.left);
  EXPECT_EQ(mask_times(screen.text), mask_times(plain.out));
  ASSERT_GE(screen.drawn.size(), 4u);
  EXPECT_EQ(screen.drawn.front().rfind("run 1/2 level 1 stage 1/~141 | 0:00", 0), 0u);
}

TEST(ProgressLine, NeverWithNoProgress) {
  const ProgramRun run = run_on_terminal(MORLAN_FAKE_DRIVER, kSeries, [] {
    RunSetup s;
    s.arguments = "--no-progress";
    return s;
  }());
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out.find("\033[K"), std::string::npos);
  EXPECT_EQ(run.out.find('\r'), std::string::npos);
}

TEST(OutputFiles, OneThatCannotBeOpenedIsRefusedBeforeTheDialogue) {
  ProgramRun run = run_fake(kSeries, "--results r.tsv --log missing/log.tsv");
  EXPECT_EQ(run.status, 2);
  EXPECT_EQ(run.out, "");
  EXPECT_EQ(run.err, "morlan: cannot open log file 'missing/log.tsv': No such file or directory\n");

  run = run_fake(kSeries, "--log same.tsv --best ./same.tsv");
  EXPECT_EQ(run.status, 2);
  EXPECT_EQ(run.out, "");
  EXPECT_EQ(run.err,
            "morlan: the log file and the best-point file are the same file './same.tsv'\n");
}

TEST(OutputFiles, AFailedWriteIsReportedAndTheStatusSaysSo) {
  const ProgramRun plain = run_fake(kSeries, "");
  const ProgramRun run = run_fake(kSeries, "--results /dev/full");
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(mask_times(run.out), mask_times(plain.out));
  EXPECT_EQ(run.err,
            "morlan: output error: cannot write results file '/dev/full': No space left on device\n");
}

TEST(Options, UsageErrorsOfTheWatchOptions) {
  const std::pair<const char*, const char*> cases[] = {
      {"--progress --no-progress", "--progress excludes --no-progress"},
      {"--log", "--log: 1 required TEXT missing"},
      {"--results a --results b", "--results: At Most 1 required but received 2"},
      {"--best=", "--best: 1 required TEXT missing"}};
  for (const auto& [args, message] : cases) {
    const ProgramRun run = run_fake(kSeries, args);
    EXPECT_EQ(run.status, 2) << args;
    EXPECT_EQ(run.out, "") << args;
    EXPECT_EQ(run.err.rfind("morlan: " + std::string(message) + "\n", 0), 0u) << run.err;
  }
}

}  // namespace
}  // namespace morlan
