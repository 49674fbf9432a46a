#include "io/status_line.hpp"

#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <string>

#include "io/output.hpp"

namespace morlan::io {

namespace {

// Carriage return, and the terminal's "erase to the end of the line".
constexpr std::string_view kReturn = "\r";
constexpr std::string_view kEraseToEnd = "\033[K";

// Width assumed when the terminal does not tell its own.
constexpr int kDefaultColumns = 80;

struct Place {
  int fd = STDERR_FILENO;
  int stdout_fd = STDOUT_FILENO;
  bool known = false;          // terminal and shares_stdout are set
  bool terminal = false;       // fd is a terminal
  bool shares_stdout = false;  // and standard output is the same terminal
};
Place g_place;

// A line is drawn on the terminal and not erased yet. Read by the signal
// handlers.
volatile std::sig_atomic_t g_shown = 0;

bool same_terminal(int a, int b) {
  struct stat sa {};
  struct stat sb {};
  if (::fstat(a, &sa) != 0 || ::fstat(b, &sb) != 0) return false;
  return S_ISCHR(sa.st_mode) && S_ISCHR(sb.st_mode) && sa.st_rdev == sb.st_rdev;
}

Place& place() {
  if (!g_place.known) {
    g_place.terminal = ::isatty(g_place.fd) == 1;
    g_place.shares_stdout = g_place.terminal && ::isatty(g_place.stdout_fd) == 1 &&
                            same_terminal(g_place.fd, g_place.stdout_fd);
    g_place.known = true;
  }
  return g_place;
}

int columns(int fd) {
  struct winsize ws {};
  if (::ioctl(fd, TIOCGWINSZ, &ws) == 0 && ws.ws_col > 0) return ws.ws_col;
  return kDefaultColumns;
}

}  // namespace

void show_status(std::string_view text) {
  Place& p = place();
  if (!p.terminal) {
    // Standard error that cannot take it has nowhere to report that.
    write_all(p.fd, std::string(text) + "\n");
    return;
  }
  const std::size_t room = status_room();
  if (text.size() > room) text = text.substr(0, room);
  std::string drawn(kReturn);
  drawn += text;
  drawn += kEraseToEnd;
  g_shown = 1;
  write_all(p.fd, drawn);
}

void erase_status() {
  if (g_shown == 0) return;
  g_shown = 0;
  std::string erase(kReturn);
  erase += kEraseToEnd;
  write_all(place().fd, erase);
}

void clear_status_for(int unit) {
  if (g_shown == 0) return;
  if (unit == kStdout && !place().shares_stdout) return;
  erase_status();
}

bool status_on_terminal() { return place().terminal; }

std::size_t status_room() {
  Place& p = place();
  if (!p.terminal) return 0;
  // One column stays free: a line that fills the last column makes some
  // terminals wrap, and a wrapped line can no longer be erased in place.
  return static_cast<std::size_t>(std::max(columns(p.fd) - 1, 1));
}

void erase_status_from_signal() {
  if (g_shown == 0) return;
  g_shown = 0;
  static const char kErase[] = "\r\033[K";
  [[maybe_unused]] const ssize_t n = ::write(g_place.fd, kErase, sizeof kErase - 1);
}

void set_status_descriptors(int status_fd, int stdout_fd) {
  g_shown = 0;
  g_place = Place{};
  if (status_fd >= 0) g_place.fd = status_fd;
  if (stdout_fd >= 0) g_place.stdout_fd = stdout_fd;
}

}  // namespace morlan::io
