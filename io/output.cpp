#include "io/output.hpp"

#include <cerrno>
#include <cstring>
#include <map>
#include <poll.h>
#include <string>
#include <unistd.h>

#include "io/console.hpp"
#include "io/status_line.hpp"

namespace morlan::io {

namespace {

OutputSink g_output_sink = nullptr;

std::map<int, std::FILE*>& output_overrides() {
  static std::map<int, std::FILE*> overrides;
  return overrides;
}

}  // namespace

int write_all(int fd, std::string_view text) {
  while (!text.empty()) {
    const ssize_t n = ::write(fd, text.data(), text.size());
    if (n >= 0) {
      text.remove_prefix(static_cast<std::size_t>(n));
      continue;
    }
    if (errno == EINTR) continue;
    if (errno == EAGAIN || errno == EWOULDBLOCK) {
      pollfd p{fd, POLLOUT, 0};
      ::poll(&p, 1, -1);
      continue;
    }
    return errno;
  }
  return 0;
}

namespace {

int write_stream(std::FILE* stream, std::string_view text) {
  errno = 0;
  const bool written = std::fwrite(text.data(), 1, text.size(), stream) == text.size();
  if (written && std::fflush(stream) == 0) return 0;
  return errno != 0 ? errno : EIO;
}

// Standard output cannot take the program's lines: a reader that went away
// (a closed pipe) ends the program quietly, anything else with one line.
[[noreturn]] void standard_output_failed(int error) {
  if (error != EPIPE) {
    write_text(kStderr, std::string("morlan: output error: cannot write standard output: ") +
                            std::strerror(error) + "\n");
  }
  stop(kExitError);
}

}  // namespace

int output_descriptor(int unit) { return unit == kStdout ? STDOUT_FILENO : STDERR_FILENO; }

void write_text(int unit, std::string_view text) {
  if (g_output_sink != nullptr) {
    g_output_sink(unit, text);
    return;
  }
  // A progress line standing where the text goes is erased first.
  clear_status_for(unit);
  auto& overrides = output_overrides();
  const auto it = overrides.find(unit);
  const int error = it != overrides.end() ? write_stream(it->second, text)
                                          : write_all(output_descriptor(unit), text);
  if (error != 0 && unit == kStdout) standard_output_failed(error);
}

void set_output_sink(OutputSink sink) { g_output_sink = sink; }

std::FILE* redirect_output(int unit, std::FILE* stream) {
  auto& overrides = output_overrides();
  std::FILE* previous = nullptr;
  auto it = overrides.find(unit);
  if (it != overrides.end()) previous = it->second;
  if (stream == nullptr) {
    overrides.erase(unit);
  } else {
    overrides[unit] = stream;
  }
  return previous;
}

}  // namespace morlan::io
