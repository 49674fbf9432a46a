#include "io/units.hpp"

#include <cerrno>
#include <fcntl.h>
#include <map>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

#include "io/console.hpp"

namespace morlan::io {

namespace {

struct InputUnit {
  std::FILE* stream = nullptr;
  std::string name;
  bool owned = false;  // opened here, closed by close_unit
};

std::map<int, InputUnit>& input_units() {
  static std::map<int, InputUnit> units;
  return units;
}

}  // namespace

std::string_view trim_right(std::string_view s) {
  while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
  return s;
}

bool file_exists(std::string_view name) {
  const std::string path(trim_right(name));
  if (path.empty() || path.find('\0') != std::string::npos) return false;
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0;
}

int open_old(int unit, std::string_view name) {
  close_unit(unit);
  const std::string path(trim_right(name));
  if (path.find('\0') != std::string::npos) return ENOENT;
  // Opened without waiting (a FIFO would wait for a writer), then judged by
  // what was opened, so that no other file can take its place in between.
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) return errno;
  struct stat st {};
  int status = 0;
  if (::fstat(fd, &st) != 0) {
    status = errno;
  } else if (S_ISDIR(st.st_mode)) {
    status = EISDIR;  // opens on some systems, but holds no records
  } else if (!S_ISREG(st.st_mode)) {
    status = kNotRegularFile;
  } else if (::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK) != 0) {
    status = errno;
  }
  std::FILE* f = status == 0 ? ::fdopen(fd, "r") : nullptr;
  if (f == nullptr) {
    if (status == 0) status = errno != 0 ? errno : EIO;
    ::close(fd);
    return status;
  }
  input_units()[unit] = InputUnit{f, path, true};
  return 0;
}

void open_old_or_stop(int unit, std::string_view field) {
  const std::string shown = shown_bytes(field);
  if (!file_exists(field)) {
    say("File ", shown, " doesn't exist!");
    error_stop();
  }
  const int status = open_old(unit, field);
  if (status == kNotRegularFile) {
    say("File ", shown, " is not a regular file!");
    error_stop();
  }
  if (status != 0) {
    say("Open file ", shown, " error ", status);
    error_stop();
  }
}

std::FILE* input_stream(int unit) {
  auto& units = input_units();
  auto it = units.find(unit);
  if (it != units.end()) return it->second.stream;
  return unit == kStdin ? stdin : nullptr;
}

std::string_view unit_name(int unit) {
  auto& units = input_units();
  auto it = units.find(unit);
  if (it != units.end()) return it->second.name;
  return unit == kStdin ? std::string_view("standard input") : std::string_view("an unconnected unit");
}

void close_unit(int unit) {
  auto& units = input_units();
  auto it = units.find(unit);
  if (it == units.end()) return;
  if (it->second.owned && it->second.stream != nullptr) std::fclose(it->second.stream);
  units.erase(it);
}

void redirect_input(int unit, std::FILE* stream, std::string_view name) {
  close_unit(unit);
  if (stream != nullptr) input_units()[unit] = InputUnit{stream, std::string(name), false};
}

}  // namespace morlan::io
