#include "tests/driver/program_run.hpp"

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <stdexcept>

namespace morlan::testing_support {

namespace fs = std::filesystem;

namespace {

using Clock = std::chrono::steady_clock;

std::string read_file(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

void write_file(const fs::path& p, const std::string& text) {
  std::ofstream out(p, std::ios::binary);
  out << text;
}

fs::path problem_data_file() {
  const char* src = std::getenv("MORLAN_SOURCE_DIR");
  return src == nullptr ? fs::path() : fs::path(src) / "data" / "OUTSDIF.d";
}

int open_checked(const fs::path& p, int flags) {
  const int fd = ::open(p.c_str(), flags | O_CLOEXEC, 0600);
  if (fd < 0) throw std::runtime_error("cannot open " + p.string());
  return fd;
}

fs::path make_run_directory(const std::string& answers, const RunSetup& setup) {
  std::string pattern = (fs::temp_directory_path() / "morlan_run_XXXXXX").string();
  if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
  const fs::path dir = pattern;
  write_file(dir / "answers.txt", answers);
  for (const auto& name : setup.directories) fs::create_directories(dir / name);
  for (const auto& [name, content] : setup.files) write_file(dir / name, content);
  for (const auto& name : setup.fifos) ::mkfifo((dir / name).c_str(), 0600);
  for (const auto& [name, target] : setup.links) fs::create_symlink(target, dir / name);
  if (setup.problem_data && have_problem_data()) fs::copy_file(problem_data_file(), dir / "OUTSDIF.d");
  return dir;
}

// The three standard streams of the program; `reader` is the test's end of
// a standard-output pipe (-1 when there is none).
struct Streams {
  int in = -1, out = -1, err = -1, reader = -1;
};

Streams open_streams(const fs::path& dir, const RunSetup& setup) {
  Streams s;
  s.in = open_checked(setup.input_path.empty() ? dir / "answers.txt" : fs::path(setup.input_path),
                      O_RDONLY);
  s.err = open_checked(dir / "stderr.txt", O_WRONLY | O_CREAT | O_TRUNC);
  if (setup.output == Output::kPipe || setup.output == Output::kClosedPipe) {
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0) throw std::runtime_error("pipe failed");
    s.reader = fds[0];
    s.out = fds[1];
    if (setup.output == Output::kClosedPipe) {
      ::close(s.reader);
      s.reader = -1;
    }
  } else {
    s.out = open_checked(setup.output == Output::kPath ? fs::path(setup.output_path)
                                                       : dir / "stdout.txt",
                         O_WRONLY | O_CREAT | O_TRUNC);
  }
  return s;
}

// The launcher's words, the binary and the setup's blank-separated
// arguments.
std::vector<std::string> command_words(const std::string& binary, const RunSetup& setup) {
  std::vector<std::string> words;
  std::istringstream launcher(setup.launcher);
  for (std::string w; launcher >> w;) words.push_back(w);
  words.push_back(binary);
  std::istringstream args(setup.arguments);
  for (std::string w; args >> w;) words.push_back(w);
  return words;
}

std::vector<char*> argv_of(std::vector<std::string>& words) {
  std::vector<char*> argv;
  for (auto& w : words) argv.push_back(w.data());
  argv.push_back(nullptr);
  return argv;
}

// Starts the program; in a process group of its own when `own_group`.
pid_t spawn(const std::string& binary, const RunSetup& setup, const fs::path& dir,
            const Streams& s, bool own_group = false) {
  std::vector<std::string> words = command_words(binary, setup);
  std::vector<char*> argv = argv_of(words);
  const bool ignore_sigpipe = setup.ignore_sigpipe || setup.output == Output::kClosedPipe;
  const pid_t pid = ::fork();
  if (pid == 0) {
    if (own_group) ::setpgid(0, 0);
    if (::chdir(dir.c_str()) != 0) ::_exit(127);
    for (const auto& [name, value] : setup.environment) ::setenv(name.c_str(), value.c_str(), 1);
    ::dup2(s.in, 0);
    ::dup2(s.out, 1);
    ::dup2(s.err, 2);
    ::signal(SIGPIPE, ignore_sigpipe ? SIG_IGN : SIG_DFL);
    ::signal(SIGINT, SIG_DFL);
    ::signal(SIGTERM, SIG_DFL);
    ::execv(argv[0], argv.data());
    ::_exit(127);
  }
  if (pid < 0) throw std::runtime_error("fork failed");
  if (own_group) ::setpgid(pid, pid);  // whichever of the two comes first
  return pid;
}

void drain(int fd, std::string& into) {
  char buf[65536];
  for (;;) {
    const ssize_t n = ::read(fd, buf, sizeof buf);
    if (n <= 0) return;
    into.append(buf, static_cast<std::size_t>(n));
  }
}

// Sends the signal once the output holds the awaited text and has stopped
// growing for a moment (the program writes a block of lines at once), or at
// the deadline.
class SignalSender {
 public:
  SignalSender(const RunSetup& setup, pid_t pid) : setup_(setup), pid_(pid), start_(Clock::now()) {}
  void check(const std::string& out) {
    if (setup_.signal == 0 || sent_) return;
    const auto now = Clock::now();
    if (out.size() != seen_size_) {
      seen_size_ = out.size();
      last_growth_ = now;
    }
    const bool settled = out.find(setup_.signal_after) != std::string::npos &&
                         now - last_growth_ >= std::chrono::seconds(1);
    if (settled || now - start_ >= std::chrono::duration<double>(setup_.signal_deadline_seconds)) {
      ::kill(pid_, setup_.signal);
      sent_ = true;
    }
  }

 private:
  const RunSetup& setup_;
  pid_t pid_;
  Clock::time_point start_, last_growth_;
  std::size_t seen_size_ = 0;
  bool sent_ = false;
};

// Waits for the program, reading its output pipe and sending the signal on
// the way; kills it at the timeout.
int wait_for(pid_t pid, const RunSetup& setup, const fs::path& dir, int reader, std::string& out,
             bool& timed_out) {
  const auto deadline = Clock::now() + std::chrono::duration<double>(setup.timeout_seconds);
  SignalSender sender(setup, pid);
  for (;;) {
    if (reader >= 0) {
      pollfd p{reader, POLLIN, 0};
      if (::poll(&p, 1, 5) > 0) {
        char buf[65536];
        const ssize_t n = ::read(reader, buf, sizeof buf);
        if (n > 0) out.append(buf, static_cast<std::size_t>(n));
      }
    } else {
      ::usleep(5000);
    }
    int raw = 0;
    if (::waitpid(pid, &raw, WNOHANG) == pid) return raw;
    sender.check(reader >= 0 ? out : read_file(dir / "stdout.txt"));
    if (setup.timeout_seconds > 0 && Clock::now() >= deadline) {
      ::kill(pid, SIGKILL);
      ::waitpid(pid, &raw, 0);
      timed_out = true;
      return raw;
    }
  }
}

// Reads back the files the setup collects and removes the run's directory.
void collect_and_remove(const fs::path& dir, const RunSetup& setup, ProgramRun& run) {
  for (const auto& name : setup.collect) {
    if (fs::exists(dir / name)) run.files[name] = read_file(dir / name);
  }
  fs::remove_all(dir);
}

}  // namespace

bool have_problem_data() {
  const fs::path data = problem_data_file();
  return !data.empty() && fs::exists(data);
}

std::string morlan_binary() {
  const char* b = std::getenv("MORLAN_BINARY");
  if (b == nullptr) throw std::runtime_error("MORLAN_BINARY is not set");
  return b;
}

ProgramRun run_program(const std::string& binary, const std::string& answers, const RunSetup& setup) {
  const fs::path dir = make_run_directory(answers, setup);
  const Streams s = open_streams(dir, setup);
  const pid_t pid = spawn(binary, setup, dir, s);
  ::close(s.in);
  ::close(s.out);
  ::close(s.err);
  ProgramRun run;
  const int raw = wait_for(pid, setup, dir, s.reader, run.out, run.timed_out);
  if (s.reader >= 0) {
    drain(s.reader, run.out);
    ::close(s.reader);
  }
  if (WIFEXITED(raw)) {
    run.status = WEXITSTATUS(raw);
  } else if (WIFSIGNALED(raw)) {
    run.status = 128 + WTERMSIG(raw);
  }
  if (setup.output == Output::kFile) run.out = read_file(dir / "stdout.txt");
  run.err = read_file(dir / "stderr.txt");
  collect_and_remove(dir, setup, run);
  return run;
}

ProgramRun run_on_terminal(const std::string& binary, const std::string& answers,
                           const RunSetup& setup) {
  const fs::path dir = make_run_directory(answers, setup);
  std::vector<std::string> words = command_words(binary, setup);
  std::vector<char*> argv = argv_of(words);
  const int in = open_checked(dir / "answers.txt", O_RDONLY);
  termios raw_output{};
  ::cfmakeraw(&raw_output);
  winsize size{};
  size.ws_row = 50;
  size.ws_col = static_cast<unsigned short>(setup.terminal_columns);
  int master = -1;
  const pid_t pid = ::forkpty(&master, nullptr, &raw_output, &size);
  if (pid == 0) {
    if (::chdir(dir.c_str()) != 0) ::_exit(127);
    ::dup2(in, 0);
    ::signal(SIGINT, SIG_DFL);
    ::signal(SIGTERM, SIG_DFL);
    ::execv(argv[0], argv.data());
    ::_exit(127);
  }
  ::close(in);
  if (pid < 0) throw std::runtime_error("forkpty failed");
  ProgramRun run;
  char buf[4096];
  for (;;) {
    const ssize_t n = ::read(master, buf, sizeof buf);
    if (n > 0) {
      run.out.append(buf, static_cast<std::size_t>(n));
    } else if (!(n < 0 && errno == EINTR)) {
      break;  // EIO: the program has closed the terminal
    }
  }
  ::close(master);
  int raw = 0;
  ::waitpid(pid, &raw, 0);
  run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw);
  collect_and_remove(dir, setup, run);
  return run;
}

Screen read_screen(const std::string& raw) {
  const std::string erase = "\033[K";
  Screen s;
  bool shown = false;
  std::size_t i = 0;
  while (i < raw.size()) {
    if (raw[i] == '\r') {
      const std::size_t end = raw.find(erase, i);
      if (end == std::string::npos) {
        s.mixed = true;
        break;
      }
      const std::string drawn = raw.substr(i + 1, end - i - 1);
      shown = !drawn.empty();
      if (shown) s.drawn.push_back(drawn);
      i = end + erase.size();
      continue;
    }
    if (shown) s.mixed = true;
    s.text += raw[i++];
  }
  s.left = shown;
  return s;
}

StartedProgram::StartedProgram(const std::string& binary, const std::string& answers,
                               const RunSetup& setup)
    : dir_(make_run_directory(answers, setup).string()) {
  const Streams s = open_streams(dir_, setup);
  pid_ = spawn(binary, setup, dir_, s, /*own_group=*/true);
  ::close(s.in);
  ::close(s.out);
  ::close(s.err);
}

StartedProgram::~StartedProgram() {
  if (!ended_) wait(0.0);
  ::kill(-pid_, SIGKILL);
  fs::remove_all(dir_);
}

std::string StartedProgram::wait_for_file(const std::string& name, double seconds,
                                          const std::string& text) const {
  for (double waited = 0.0; waited <= seconds; waited += 0.05) {
    if (fs::exists(fs::path(dir_) / name)) {
      const std::string content = read_file(fs::path(dir_) / name);
      if (content.find(text) != std::string::npos) return content;
    }
    ::usleep(50000);
  }
  return "";
}

ProgramRun StartedProgram::wait(double seconds) {
  ProgramRun run;
  int raw = 0;
  pid_t done = 0;
  for (double waited = 0.0; done == 0 && waited <= seconds; waited += 0.05) {
    done = ::waitpid(pid_, &raw, WNOHANG);
    if (done == 0) ::usleep(50000);
  }
  if (done == 0) {
    ::kill(-pid_, SIGKILL);
    ::waitpid(pid_, &raw, 0);
    run.timed_out = true;
  } else if (WIFEXITED(raw)) {
    run.status = WEXITSTATUS(raw);
  } else if (WIFSIGNALED(raw)) {
    run.status = 128 + WTERMSIG(raw);
  }
  ended_ = true;
  run.out = read_file(fs::path(dir_) / "stdout.txt");
  run.err = read_file(fs::path(dir_) / "stderr.txt");
  return run;
}

bool StartedProgram::group_is_empty() const { return ::kill(-pid_, 0) != 0 && errno == ESRCH; }

std::string file_text(const std::string& path) { return read_file(path); }

std::string source_file(const std::string& relative_path) {
  const char* src = std::getenv("MORLAN_SOURCE_DIR");
  return read_file(fs::path(src == nullptr ? "." : src) / relative_path);
}

std::string through_run(const std::string& out, int last) {
  const std::string marker = " run_id = " + std::to_string(last) + " : ";
  const auto at = out.find(marker);
  if (at == std::string::npos) return "(no run " + std::to_string(last) + ")";
  return out.substr(0, out.find('\n', at) + 1);
}

std::string mask_times(const std::string& text) {
  static const std::regex time_item(R"((time =|time per Obj =) +-?[0-9.E+-]+)");
  return std::regex_replace(text, time_item, "$1 <t>");
}

std::vector<std::vector<std::string>> table_rows(const std::string& table) {
  std::vector<std::vector<std::string>> rows;
  std::istringstream lines(table);
  for (std::string line; std::getline(lines, line);) {
    rows.emplace_back();
    std::istringstream fields(line);
    for (std::string f; std::getline(fields, f, '\t');) rows.back().push_back(f);
  }
  return rows;
}

std::string without_cpu_column(const std::string& table) {
  const auto rows = table_rows(table);
  if (rows.empty()) return table;
  std::size_t cpu = 0;
  while (cpu < rows[0].size() && rows[0][cpu] != "cpu_seconds") ++cpu;
  std::string text;
  for (const auto& row : rows) {
    for (std::size_t f = 0; f < row.size(); ++f) {
      if (f != cpu) text += row[f] + '\t';
    }
    text += '\n';
  }
  return text;
}

}  // namespace morlan::testing_support
