#include "driver/mpi_series.hpp"

#include <mpi.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <climits>
#include <cstdlib>
#include <csignal>
#include <cstdio>
#include <string>
#include <vector>

#include "driver/program.hpp"
#include "io/console.hpp"
#include "io/cpu_time.hpp"
#include "series/coordinator.hpp"
#include "series/preparation.hpp"
#include "series/prepared_state.hpp"
#include "series/run_record.hpp"
#include "series/series.hpp"
#include "watch/watching.hpp"

namespace morlan::mpi {

namespace {

constexpr int kRankZero = 0;

// ---- Waiting without spinning ----------------------------------------------

// Sleeps, a little longer each time nothing came: from 50 microseconds up
// to 10 milliseconds, a delay no run notices.
void nap(int& micros) {
  ::usleep(static_cast<useconds_t>(micros));
  micros = std::min(micros * 2, 10000);
}

// The next message from `source` (or any rank) into `m`, `from` its
// sender; false when none has come within `wait` (negative: no limit).
bool receive_within(int source, std::chrono::milliseconds wait, Message& m, int* from = nullptr) {
  const auto deadline = std::chrono::steady_clock::now() + wait;
  MPI_Status status;
  int arrived = 0;
  for (int pause = 50;; nap(pause)) {
    MPI_Iprobe(source, MPI_ANY_TAG, MPI_COMM_WORLD, &arrived, &status);
    if (arrived) break;
    if (wait.count() >= 0 && std::chrono::steady_clock::now() >= deadline) return false;
  }
  int count = 0;
  MPI_Get_count(&status, MPI_BYTE, &count);
  m.kind = static_cast<MessageKind>(status.MPI_TAG);
  m.payload.resize(static_cast<std::size_t>(count));
  MPI_Recv(m.payload.data(), count, MPI_BYTE, status.MPI_SOURCE, status.MPI_TAG, MPI_COMM_WORLD,
           MPI_STATUS_IGNORE);
  if (from != nullptr) *from = status.MPI_SOURCE;
  return true;
}

// The next message from `source` (or any rank); `from` is its sender.
Message receive_from(int source, int* from = nullptr) {
  Message m;
  receive_within(source, std::chrono::milliseconds(-1), m, from);
  return m;
}

void send_to(int rank, const Message& m) {
  MPI_Request request;
  MPI_Isend(m.payload.data(), static_cast<int>(m.payload.size()), MPI_BYTE, rank,
            static_cast<int>(m.kind), MPI_COMM_WORLD, &request);
  int done = 0;
  for (int pause = 50;; nap(pause)) {
    MPI_Test(&request, &done, MPI_STATUS_IGNORE);
    if (done) return;
  }
}

// What rank 0 hands the others when the series begins (or when the program
// ends without one).
struct AnswersShare {
  std::int32_t series = 0;  // 1: a series follows, prepared from `answers`
  Answers answers;
};

template <class Archive>
void fields(Archive& a, AnswersShare& s) {
  a(s.series, s.answers);
}

// What a rank that stopped while preparing tells rank 0.
struct Unprepared {
  std::int32_t status = io::kExitError;
  std::string line;  // the line that says why
};

template <class Archive>
void fields(Archive& a, Unprepared& u) {
  a(u.status, u.line);
}

// ---- The rank's place, and what its stops reach -------------------------------

// What the stops of this rank need: io's stop handlers and output sinks
// take no context, so they find it here.
struct Rank {
  int rank = 0;
  int size = 1;
  bool shared = false;                       // rank 0: the others were told
  io::StopHandler previous_stop = nullptr;   // rank 0: the program's own stop
  std::string step_text;                     // another rank: what the step in progress printed
};
Rank g_rank;

// ---- Rank 0 -------------------------------------------------------------------

void share_answers(const AnswersShare& share) {
  if (g_rank.shared) return;
  g_rank.shared = true;
  const Message m = message_of(MessageKind::kAnswers, share);
  for (int r = 1; r < g_rank.size; ++r) send_to(r, m);
}

// Rank 0's stop: before the series the other ranks learn there is none;
// after an error inside it, every rank ends at once.
void stop_rank_zero(int status) {
  if (g_rank.shared && status != io::kExitNormal) {
    io::flush(io::kStdout);
    io::flush(io::kMessageUnit7);
    MPI_Abort(MPI_COMM_WORLD, status);
  }
  share_answers(AnswersShare{});
  MPI_Finalize();
  g_rank.previous_stop(status);
}

class ToRanks final : public WorkerLink {
 public:
  explicit ToRanks(PreparedDigests digests) : digests_(std::move(digests)) {}

  int count() const override { return g_rank.size - 1; }
  void send(int worker, const Message& m) override { send_to(worker + 1, m); }

  Event next() override {
    for (;;) {
      Event e;
      if (!receive_within(MPI_ANY_SOURCE, kQuietPeriod, e.message, &e.worker)) {
        e.worker = -1;
        e.quiet = true;
        return e;
      }
      if (!take_aside(e.worker, e.message)) {
        e.worker -= 1;
        return e;
      }
    }
  }

  // Waits until every other rank has reported what it prepared (a rank
  // that prepared otherwise, or could not prepare, ends the job here, before
  // any run).
  void wait_until_prepared() {
    while (ready_ < g_rank.size - 1) {
      int from = 0;
      const Message m = receive_from(MPI_ANY_SOURCE, &from);
      if (!take_aside(from, m)) {
        end_with_line("morlan-mpi: rank " + std::to_string(from) +
                          " sent a message before it reported what it prepared",
                      io::kExitError);
      }
    }
  }

  // Tells every rank to quit; returns the CPU seconds they report.
  double finish() {
    for (int r = 1; r < g_rank.size; ++r) send_to(r, Message{MessageKind::kQuit, {}});
    while (byes_ < g_rank.size - 1) {
      int from = 0;
      const Message m = receive_from(MPI_ANY_SOURCE, &from);
      take_aside(from, m);
    }
    return others_seconds_;
  }

 protected:
  void end_workers(int status) override {
    io::flush(io::kStdout);
    io::flush(io::kMessageUnit7);
    MPI_Abort(MPI_COMM_WORLD, status);
  }

 private:
  // The messages that are not about runs; true when `m` was one.
  bool take_aside(int from, const Message& m) {
    if (m.kind == MessageKind::kReady) {
      check_prepared(from, m);
      ++ready_;
      return true;
    }
    if (m.kind == MessageKind::kUnprepared) {
      Unprepared u;
      if (!read_payload(m, u)) {
        u.line = "morlan-mpi: rank " + std::to_string(from) +
                 " stopped while preparing the series and its message does not decode";
      }
      end_with_line(u.line, u.status);
    }
    if (m.kind == MessageKind::kBye) {
      double seconds = 0.0;
      if (read_payload(m, seconds)) others_seconds_ += seconds;
      ++byes_;
      return true;
    }
    return false;
  }

  // A rank that prepared otherwise than this one ends the job, naming the
  // first record that differs.
  void check_prepared(int from, const Message& m) {
    PreparedDigests theirs;
    std::optional<std::string> differs = "the list of prepared records";
    if (read_payload(m, theirs)) differs = first_difference(digests_, theirs);
    if (!differs) return;
    end_with_line("morlan-mpi: rank " + std::to_string(from) +
                      " prepared another state than rank 0: " + *differs +
                      " differs (another OUTSDIF.d, another build or other options?)",
                  io::kExitError);
  }

  // Ends the job with one line on standard error and the status.
  [[noreturn]] void end_with_line(const std::string& line, int status) {
    io::flush(io::kStdout);
    io::line(line, io::kMessageUnit7);
    end_workers(status);
    std::abort();  // MPI_Abort does not return
  }

  PreparedDigests digests_;
  int ready_ = 0;
  int byes_ = 0;
  double others_seconds_ = 0.0;
};

class Coordinating final : public SeriesExecutor {
 public:
  void execute(Series& series) override {
    share_answers(AnswersShare{1, series.plan().answers});
    ToRanks link(prepared_digests(series.plan(), series.options()));
    link.wait_until_prepared();
    coordinate(series, link, save_carried_state());
    others_seconds_ = link.finish();
  }
  float total_cpu_time() override {
    return static_cast<float>(static_cast<double>(io::cpu_time_total()) + others_seconds_);
  }

 private:
  double others_seconds_ = 0.0;
};

// ---- The other ranks ---------------------------------------------------------

class ToRankZero final : public CoordinatorLink {
 public:
  Message receive() override { return receive_from(kRankZero); }
  void send(const Message& m) override { send_to(kRankZero, m); }

 protected:
  // Rank 0 ends the job once it has printed the runs before the stop.
  void before_leaving() override {
    while (receive().kind != MessageKind::kQuit) {
    }
    MPI_Finalize();
  }
};

// What the preparation step in progress prints, kept for the line that says
// why it stopped.
void keep_step_text(int, std::string_view text) { g_rank.step_text.append(text); }

// The text of a message as one line: its lines joined, runs of blanks made
// one, no blank at either end.
std::string one_line(const std::string& text) {
  std::string line;
  for (const char c : text) {
    const bool blank = c == ' ' || c == '\n' || c == '\t';
    if (blank && (line.empty() || line.back() == ' ')) continue;
    line += blank ? ' ' : c;
  }
  while (!line.empty() && line.back() == ' ') line.pop_back();
  return line;
}

// The data file as this rank sees it: the path it reads.
std::string data_file_path() {
  char dir[PATH_MAX];
  const std::string file = "OUTSDIF.d";
  if (::getcwd(dir, sizeof dir) == nullptr) return file;
  return std::string(dir) + "/" + file;
}

// A stop while the rank prepares: rank 0 ends the job with one line, the
// rank, its data file and the whole message of the step that stopped, and
// the stop's status; this rank waits for that.
void stop_preparing_rank(int status) {
  io::set_output_sink(nullptr);
  const Unprepared u{status, "morlan-mpi: rank " + std::to_string(g_rank.rank) +
                                 " stopped while preparing the series from " + data_file_path() +
                                 ": " + one_line(g_rank.step_text)};
  send_to(kRankZero, message_of(MessageKind::kUnprepared, u));
  while (receive_from(kRankZero).kind != MessageKind::kQuit) {
  }
  MPI_Finalize();
  ::_exit(status);
}

// The preparation of rank 0, from its answers and this rank's data file;
// each step's text is kept until the next begins.
RunPlan prepare(const DriverOptions& options, const Answers& answers) {
  Prepared prepared;
  g_rank.step_text.clear();
  load_problem(options, prepared);
  g_rank.step_text.clear();
  estimate(answers, prepared);
  g_rank.step_text.clear();
  prepare_runs(answers, prepared);
  g_rank.step_text.clear();
  return plan_of(answers, prepared, options);
}

// Another rank: waits for rank 0's answers, prepares the series from them
// and its own data file, printing nothing, reports what it prepared and
// serves the runs.
[[noreturn]] void run_other_rank(const DriverOptions& options, RunExtension* extension) {
  AnswersShare share;
  if (!read_payload(receive_from(kRankZero), share) || share.series != 1) {
    MPI_Finalize();
    ::_exit(io::kExitNormal);
  }
  io::set_output_sink(keep_step_text);
  io::set_stop_handler(stop_preparing_rank);
  // Interrupt and termination come from mpirun, which reports them.
  std::signal(SIGINT, SIG_DFL);
  std::signal(SIGTERM, SIG_DFL);
  // Rank 0 writes the files and shows the progress; this rank keeps what
  // the files need in each run's record.
  DriverOptions serving = options;
  serving.writes_files = false;
  serving.progress = DriverOptions::Progress::kNever;
  Watching watching(serving);
  const RunPlan plan = prepare(serving, share.answers);
  watching.start(plan.answers, false);
  Series series(plan, serving, extension, &watching);
  ToRankZero link;
  link.send(message_of(MessageKind::kReady, prepared_digests(plan, options)));
  serve(series, link);
  link.send(message_of(MessageKind::kBye, static_cast<double>(io::cpu_time_total())));
  MPI_Finalize();
  ::_exit(io::kExitNormal);
}

}  // namespace

void run_rank(const DriverOptions& options, RunExtension* extension) {
  MPI_Comm_rank(MPI_COMM_WORLD, &g_rank.rank);
  MPI_Comm_size(MPI_COMM_WORLD, &g_rank.size);
  if (g_rank.rank != kRankZero) run_other_rank(options, extension);
  g_rank.previous_stop = io::set_stop_handler(stop_rank_zero);
  if (g_rank.size == 1) run_program(options, extension);
  Coordinating coordinating;
  run_program(options, extension, &coordinating);
}

}  // namespace morlan::mpi
