#include "series/fork_workers.hpp"

#include <poll.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <string>
#include <vector>

#include "base/config.hpp"
#include "io/console.hpp"
#include "io/cpu_time.hpp"
#include "series/coordinator.hpp"
#include "series/series.hpp"

namespace morlan {

namespace {

// Frames on a worker's socket: the message kind and the payload length
// (32 bits each), then the payload.
constexpr std::size_t kHeader = 8;
constexpr std::uint32_t kLongestPayload = 1u << 28;

// A wait for the workers that fails this many times in a row (not by an
// interrupt) ends the series; between two tries a pause.
constexpr int kWaitTries = 5;
constexpr useconds_t kWaitPause = 20000;

// Writes all of it; false when the other side is gone.
bool send_all(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t n = ::send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    bytes.remove_prefix(static_cast<std::size_t>(n));
  }
  return true;
}

bool send_frame(int fd, const Message& m) {
  std::string frame(kHeader, '\0');
  const auto kind = static_cast<std::uint32_t>(m.kind);
  const auto length = static_cast<std::uint32_t>(m.payload.size());
  std::memcpy(frame.data(), &kind, 4);
  std::memcpy(frame.data() + 4, &length, 4);
  frame += m.payload;
  return send_all(fd, frame);
}

// Takes one whole frame off the front of `inbox`. 0: not yet whole; 1: taken;
// -1: not a frame.
int take_frame(std::string& inbox, Message& m) {
  if (inbox.size() < kHeader) return 0;
  std::uint32_t kind = 0;
  std::uint32_t length = 0;
  std::memcpy(&kind, inbox.data(), 4);
  std::memcpy(&length, inbox.data() + 4, 4);
  if (length > kLongestPayload) return -1;
  if (inbox.size() < kHeader + length) return 0;
  m.kind = static_cast<MessageKind>(kind);
  m.payload = inbox.substr(kHeader, length);
  inbox.erase(0, kHeader + length);
  return 1;
}

// ---- Ending the workers from a signal handler or a stop ----------------

// What the signal handlers and the stop handler reach (neither takes a
// context): the workers not yet waited for, and what the program did on
// the signals and the stop before the workers were started.
struct Ending {
  pid_t live[cfg::kMostJobs];  // async-signal-safe use only: kill and waitpid
  struct sigaction previous_int;
  struct sigaction previous_term;
  io::StopHandler previous_stop = nullptr;
};
Ending g_ending;

void end_workers_now() {
  for (pid_t& pid : g_ending.live) {
    if (pid > 0) ::kill(pid, SIGKILL);
  }
  for (pid_t& pid : g_ending.live) {
    if (pid > 0) ::waitpid(pid, nullptr, 0);
    pid = 0;
  }
}

void forget_worker(pid_t pid) {
  for (pid_t& live : g_ending.live) {
    if (live == pid) live = 0;
  }
}

// Interrupt and termination: end the workers, then do what the program
// does on the signal.
void on_end_signal(int sig) {
  end_workers_now();
  const struct sigaction& previous = sig == SIGINT ? g_ending.previous_int : g_ending.previous_term;
  if (previous.sa_handler != SIG_DFL && previous.sa_handler != SIG_IGN) previous.sa_handler(sig);
  ::signal(sig, SIG_DFL);
  ::raise(sig);
}

void stop_with_workers(int status) {
  end_workers_now();
  g_ending.previous_stop(status);
}

void watch_for_the_end() {
  struct sigaction action {};
  action.sa_handler = on_end_signal;
  sigemptyset(&action.sa_mask);
  ::sigaction(SIGINT, nullptr, &g_ending.previous_int);
  if (g_ending.previous_int.sa_handler != SIG_IGN) ::sigaction(SIGINT, &action, nullptr);
  ::sigaction(SIGTERM, &action, &g_ending.previous_term);
  g_ending.previous_stop = io::set_stop_handler(stop_with_workers);
}

void stop_watching() {
  io::set_stop_handler(g_ending.previous_stop);
  ::sigaction(SIGINT, &g_ending.previous_int, nullptr);
  ::sigaction(SIGTERM, &g_ending.previous_term, nullptr);
}

// ---- The worker's side ---------------------------------------------------

class ToParent final : public CoordinatorLink {
 public:
  explicit ToParent(int fd) : fd_(fd) {}

  Message receive() override {
    Message m;
    for (;;) {
      const int taken = take_frame(inbox_, m);
      if (taken == 1) return m;
      // A frame that is not one: no message this side can read.
      if (taken < 0) return Message{MessageKind::kNotUnderstood, {}};
      char buf[4096];
      const ssize_t n = ::read(fd_, buf, sizeof buf);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) return Message{MessageKind::kQuit, {}};
      inbox_.append(buf, static_cast<std::size_t>(n));
    }
  }

  void send(const Message& m) override {
    if (!send_frame(fd_, m)) ::_exit(io::kExitError);  // the parent is gone
  }

 private:
  int fd_;
  std::string inbox_;
};

[[noreturn]] void worker_main(Series& series, int fd, pid_t parent) {
  // The worker ends with its parent, whatever ends the parent.
  ::prctl(PR_SET_PDEATHSIG, SIGKILL);
  if (::getppid() != parent) ::_exit(io::kExitError);
  // A terminal's interrupt and quit reach the whole process group; the
  // parent answers them for every worker.
  ::signal(SIGINT, SIG_IGN);
  ::signal(SIGQUIT, SIG_IGN);
  ::signal(SIGTERM, SIG_DFL);
  ToParent link(fd);
  serve(series, link);
  ::_exit(io::kExitNormal);
}

// ---- The parent's side ---------------------------------------------------

class Pool final : public WorkerLink {
 public:
  // Starts up to `count` workers; fewer when the system refuses a fork.
  void start(Series& series, int count) {
    const pid_t parent = ::getpid();
    for (int w = 0; w < count && w < cfg::kMostJobs; ++w) {
      int fds[2];
      if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, fds) != 0) break;
      const pid_t pid = ::fork();
      if (pid == 0) {
        ::close(fds[0]);
        for (const Worker& other : workers_) ::close(other.fd);
        worker_main(series, fds[1], parent);
      }
      ::close(fds[1]);
      if (pid < 0) {
        ::close(fds[0]);
        io::line("morlan: " + std::string(std::strerror(errno)) + ": series runs in " +
                     std::to_string(workers_.size()) + " processes only",
                 io::kMessageUnit7);
        break;
      }
      g_ending.live[w] = pid;
      workers_.push_back(Worker{pid, fds[0], {}, false, false});
    }
  }

  int count() const override { return static_cast<int>(workers_.size()); }

  void send(int worker, const Message& m) override {
    Worker& w = workers_[static_cast<std::size_t>(worker)];
    if (!w.closed) send_frame(w.fd, m);  // a worker that is gone shows as lost
  }

  Event next() override {
    for (;;) {
      for (std::size_t i = 0; i < workers_.size(); ++i) {
        Worker& w = workers_[i];
        Event e;
        e.worker = static_cast<int>(i);
        const int taken = take_frame(w.inbox, e.message);
        if (taken == 1) return e;
        if (taken < 0) close_worker(w);
        if (w.closed && !w.reported) return lost(w, e.worker);
      }
      if (!wait_for_input()) {
        Event quiet;
        quiet.quiet = true;
        return quiet;
      }
    }
  }

  void end_workers(int /*status*/) override { end_workers_now(); }

  // Tells every worker to quit and waits for each.
  void finish() {
    for (Worker& w : workers_) {
      if (!w.closed) send_frame(w.fd, Message{MessageKind::kQuit, {}});
    }
    for (Worker& w : workers_) {
      if (!w.reported) {
        ::waitpid(w.pid, nullptr, 0);
        forget_worker(w.pid);
      }
      if (!w.closed) ::close(w.fd);
    }
  }

 private:
  struct Worker {
    pid_t pid;
    int fd;
    std::string inbox;
    bool closed = false;    // its socket reached its end
    bool reported = false;  // its end was reported and waited for
  };

  void close_worker(Worker& w) {
    if (w.closed) return;
    ::close(w.fd);
    w.closed = true;
  }

  Event lost(Worker& w, int index) {
    w.reported = true;
    Event e;
    e.worker = index;
    e.lost = true;
    if (!failure_.empty()) {
      e.how = failure_;  // every worker was ended and waited for
      return e;
    }
    int status = 0;
    ::waitpid(w.pid, &status, 0);
    forget_worker(w.pid);
    if (WIFSIGNALED(status)) {
      e.how = "worker killed by signal " + std::to_string(WTERMSIG(status));
    } else {
      e.how = "worker ended with status " + std::to_string(WEXITSTATUS(status));
    }
    return e;
  }

  // Reads what the workers have sent; false when nothing came within the
  // quiet period.
  bool wait_for_input() {
    std::vector<pollfd> fds;
    std::vector<std::size_t> which;
    for (std::size_t i = 0; i < workers_.size(); ++i) {
      if (workers_[i].closed) continue;
      fds.push_back(pollfd{workers_[i].fd, POLLIN, 0});
      which.push_back(i);
    }
    const int ready = ::poll(fds.data(), fds.size(), static_cast<int>(kQuietPeriod.count()));
    if (ready == 0) return false;
    if (ready < 0) {
      if (errno == EINTR) return true;  // interrupted: look again
      if (++wait_failures_ < kWaitTries) {
        ::usleep(kWaitPause);
        return true;
      }
      give_up("cannot wait for the workers: " + std::string(std::strerror(errno)));
      return true;
    }
    wait_failures_ = 0;
    for (std::size_t j = 0; j < fds.size(); ++j) {
      if (fds[j].revents == 0) continue;
      Worker& w = workers_[which[j]];
      char buf[65536];
      const ssize_t n = ::read(w.fd, buf, sizeof buf);
      if (n > 0) {
        w.inbox.append(buf, static_cast<std::size_t>(n));
      } else if (n == 0 || errno != EINTR) {
        close_worker(w);
      }
    }
    return true;
  }

  // No worker can be waited for: every one is ended, and each shows as lost
  // for `why`.
  void give_up(const std::string& why) {
    failure_ = why;
    end_workers_now();
    for (Worker& w : workers_) close_worker(w);
  }

  std::vector<Worker> workers_;
  int wait_failures_ = 0;  // failed waits in a row
  std::string failure_;    // why no worker can be waited for; "" while they can
};

}  // namespace

int jobs_wanted(int jobs) {
  if (jobs > 0) return jobs;
  const long online = ::sysconf(_SC_NPROCESSORS_ONLN);
  return online > 0 ? static_cast<int>(online) : 1;
}

void WorkerProcesses::execute(Series& series) {
  // Nothing written before the fork may be written twice.
  io::flush(io::kStdout);
  io::flush(io::kMessageUnit7);
  const CarriedState start = save_carried_state();
  Pool pool;
  pool.start(series, count_);
  if (pool.count() == 0) {
    InOrder().execute(series);
    return;
  }
  watch_for_the_end();
  coordinate(series, pool, start);
  pool.finish();
  stop_watching();
}

float WorkerProcesses::total_cpu_time() { return io::cpu_time_total_with_children(); }

}  // namespace morlan
