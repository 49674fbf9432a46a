#include "driver/mpi_series.hpp"

#include <mpi.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <string>
#include <vector>

#include "anneal/prepare.hpp"
#include "driver/coordinator.hpp"
#include "driver/program.hpp"
#include "driver/run_record.hpp"
#include "driver/series.hpp"
#include "io/console.hpp"
#include "io/cpu_time.hpp"
#include "io/units.hpp"

namespace morlan::mpi {

namespace {

constexpr int kRankZero = 0;

int g_rank = 0;
int g_size = 1;

// ---- Waiting without spinning ----------------------------------------------

// Sleeps, a little longer each time nothing came: from 50 microseconds up
// to 10 milliseconds, a delay no run notices.
void nap(int& micros) {
  ::usleep(static_cast<useconds_t>(micros));
  micros = std::min(micros * 2, 10000);
}

// The next message from `source` (or any rank); `from` is its sender.
Message receive_from(int source, int* from = nullptr) {
  MPI_Status status;
  int arrived = 0;
  for (int pause = 50;; nap(pause)) {
    MPI_Iprobe(source, MPI_ANY_TAG, MPI_COMM_WORLD, &arrived, &status);
    if (arrived) break;
  }
  int count = 0;
  MPI_Get_count(&status, MPI_BYTE, &count);
  Message m;
  m.kind = static_cast<MessageKind>(status.MPI_TAG);
  m.payload.resize(static_cast<std::size_t>(count));
  MPI_Recv(m.payload.data(), count, MPI_BYTE, status.MPI_SOURCE, status.MPI_TAG, MPI_COMM_WORLD,
           MPI_STATUS_IGNORE);
  if (from != nullptr) *from = status.MPI_SOURCE;
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

// ---- The dialogue's input ----------------------------------------------------

// What rank 0 hands the others when the series begins (or when the program
// ends without one).
struct DialogueShare {
  std::int32_t series = 0;  // 1: a series follows, answer the dialogue from `input`
  std::string input;
};

template <class Archive>
void fields(Archive& a, DialogueShare& d) {
  a(d.series, d.input);
}

// Everything rank 0 reads from standard input, kept as it is read.
std::string g_input_read;
bool g_shared = false;

ssize_t read_and_keep(void*, char* buffer, std::size_t size) {
  ssize_t n;
  do {
    n = ::read(STDIN_FILENO, buffer, size);
  } while (n < 0 && errno == EINTR);
  if (n > 0) g_input_read.append(buffer, static_cast<std::size_t>(n));
  return n;
}

void keep_what_is_read() {
  const cookie_io_functions_t functions{read_and_keep, nullptr, nullptr, nullptr};
  io::redirect_input(io::kStdin, ::fopencookie(nullptr, "r", functions), "standard input");
}

void share_dialogue(bool series) {
  if (g_shared) return;
  g_shared = true;
  DialogueShare share{series ? 1 : 0, series ? g_input_read : std::string()};
  const Message m = message_of(MessageKind::kDialogue, share);
  for (int r = 1; r < g_size; ++r) send_to(r, m);
}

// ---- What ends a rank ---------------------------------------------------------

io::StopHandler g_previous_stop = nullptr;

// Rank 0's stop: before the series the other ranks learn there is none;
// after an error inside it, every rank ends at once.
void stop_rank_zero(int status) {
  if (g_shared && status != io::kExitNormal) {
    io::flush(io::kStdout);
    io::flush(io::kMessageUnit7);
    MPI_Abort(MPI_COMM_WORLD, status);
  }
  share_dialogue(false);
  MPI_Finalize();
  g_previous_stop(status);
}

// What another rank printed while it prepared, for the line that says why
// it stopped.
std::string g_last_line;

void keep_last_line(int, std::string_view text) {
  if (!text.empty()) g_last_line.assign(text.substr(0, text.find('\n')));
}

void stop_preparing_rank(int status) {
  io::set_output_sink(nullptr);
  io::line("morlan-mpi: rank " + std::to_string(g_rank) + " stopped while preparing the series: " +
               g_last_line,
           io::kMessageUnit7);
  io::flush(io::kMessageUnit7);
  MPI_Abort(MPI_COMM_WORLD, status);
}

// ---- The prepared state --------------------------------------------------------

std::uint64_t prepared_digest(const Series& series) {
  Encoder e;
  const RunPlan& plan = series.plan();
  Answers answers = plan.answers;
  e(answers, plan.settings.t0, save_carried_state());
  const Grid& grid = plan.measure.grid();
  for (int i = 1; i <= cfg::kNvar; ++i) e(grid.spacing(i), grid.points(i), grid.on_grid(i));
  Array1<double, cfg::kNvar> xl, xu;
  xbound(cfg::kNvar, xl, xu);
  for (int i = 1; i <= cfg::kNvar; ++i) e(xl(i), xu(i));
  return digest_of(e.take());
}

// ---- Rank 0 -------------------------------------------------------------------

class ToRanks final : public WorkerLink {
 public:
  explicit ToRanks(std::uint64_t digest) : digest_(digest) {}

  int count() const override { return g_size - 1; }
  void send(int worker, const Message& m) override { send_to(worker + 1, m); }

  Event next() override {
    for (;;) {
      Event e;
      e.message = receive_from(MPI_ANY_SOURCE, &e.worker);
      if (!take_aside(e.worker, e.message)) {
        e.worker -= 1;
        return e;
      }
    }
  }

  // Tells every rank to quit; returns the CPU seconds they report.
  double finish() {
    for (int r = 1; r < g_size; ++r) send_to(r, Message{MessageKind::kQuit, {}});
    while (byes_ < g_size - 1) {
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
      std::uint64_t digest = 0;
      if (!read_payload(m, digest) || digest != digest_) {
        io::flush(io::kStdout);
        io::line("morlan-mpi: rank " + std::to_string(from) +
                     " prepared another state than rank 0 (another OUTSDIF.d or another build?)",
                 io::kMessageUnit7);
        end_workers(io::kExitError);
      }
      return true;
    }
    if (m.kind == MessageKind::kBye) {
      double seconds = 0.0;
      if (read_payload(m, seconds)) others_seconds_ += seconds;
      ++byes_;
      return true;
    }
    return false;
  }

  std::uint64_t digest_;
  int byes_ = 0;
  double others_seconds_ = 0.0;
};

class Coordinating final : public SeriesExecutor {
 public:
  void execute(Series& series) override {
    share_dialogue(true);
    ToRanks link(prepared_digest(series));
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

class Serving final : public SeriesExecutor {
 public:
  [[noreturn]] void execute(Series& series) override {
    ToRankZero link;
    link.send(message_of(MessageKind::kReady, prepared_digest(series)));
    serve(series, link);
    link.send(message_of(MessageKind::kBye, static_cast<double>(io::cpu_time_total())));
    MPI_Finalize();
    ::_exit(io::kExitNormal);
  }
  float total_cpu_time() override { return 0.0f; }
};

// Another rank: waits for rank 0's dialogue input, then runs the program on
// it, printing nothing, up to the series, which it serves.
[[noreturn]] void run_other_rank(const DriverOptions& options, RunExtension* extension) {
  static DialogueShare share;
  if (!read_payload(receive_from(kRankZero), share) || share.series != 1 || share.input.empty()) {
    MPI_Finalize();
    ::_exit(io::kExitNormal);
  }
  io::redirect_input(io::kStdin, ::fmemopen(share.input.data(), share.input.size(), "r"),
                     "standard input");
  io::set_output_sink(keep_last_line);
  io::set_stop_handler(stop_preparing_rank);
  // Interrupt and termination come from mpirun, which reports them.
  std::signal(SIGINT, SIG_DFL);
  std::signal(SIGTERM, SIG_DFL);
  static Serving serving;
  // Rank 0 writes the files and shows the progress; this rank keeps what
  // the files need in each run's record.
  static DriverOptions serving_options = options;
  serving_options.writes_files = false;
  serving_options.progress = DriverOptions::Progress::kNever;
  run_program(serving_options, extension, &serving);
}

}  // namespace

void run_rank(const DriverOptions& options, RunExtension* extension) {
  MPI_Comm_rank(MPI_COMM_WORLD, &g_rank);
  MPI_Comm_size(MPI_COMM_WORLD, &g_size);
  if (g_rank != kRankZero) run_other_rank(options, extension);
  g_previous_stop = io::set_stop_handler(stop_rank_zero);
  if (g_size == 1) run_program(options, extension);
  keep_what_is_read();
  static Coordinating coordinating;
  run_program(options, extension, &coordinating);
}

}  // namespace morlan::mpi
