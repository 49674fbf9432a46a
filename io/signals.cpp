#include "io/signals.hpp"

#include <csignal>
#include <cstdlib>
#include <unistd.h>

#include "io/status_line.hpp"

namespace morlan::io {

namespace {

// The message goes on a line of its own, not after a progress line.
void write_err(const char* text) {
  erase_status_from_signal();
  std::size_t n = 0;
  while (text[n] != '\0') ++n;
  [[maybe_unused]] ssize_t r = ::write(STDERR_FILENO, text, n);
}

// The handlers use only async-signal-safe calls (write, signal, abort,
// _exit). They have nothing to flush: every complete line the program
// printed has already been written (io/output), and the open files are
// input files.

// Trap-like signals: report, abort.
void on_trap(int sig) {
  switch (sig) {
    case SIGFPE: write_err("Floating Exception\n"); break;
    case SIGABRT: write_err("IOT Trap\n"); break;
    case SIGTRAP: write_err("Trace trap\n"); break;
    case SIGQUIT: write_err("Quit signal\n"); break;
    default: break;
  }
  std::signal(SIGABRT, SIG_DFL);
  std::abort();
}

// Interrupt and termination: report and exit with status 1.
void on_exit_signal(int sig) {
  write_err(sig == SIGINT ? "Interrupt\n" : "Killed\n");
  ::_exit(1);
}

bool ignored(int sig) {
  struct sigaction current {};
  ::sigaction(sig, nullptr, &current);
  return current.sa_handler == SIG_IGN;
}

}  // namespace

void install_signal_handlers() {
  std::signal(SIGFPE, on_trap);
  std::signal(SIGABRT, on_trap);
  std::signal(SIGTRAP, on_trap);
  if (!ignored(SIGQUIT)) std::signal(SIGQUIT, on_trap);
  if (!ignored(SIGINT)) std::signal(SIGINT, on_exit_signal);
  std::signal(SIGTERM, on_exit_signal);
}

}  // namespace morlan::io
