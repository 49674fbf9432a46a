#include "io/units.hpp"

#include <cerrno>
#include <map>
#include <string>
#include <sys/stat.h>

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

std::map<int, std::FILE*>& output_overrides() {
  static std::map<int, std::FILE*> overrides;
  return overrides;
}

}  // namespace

std::string_view trim_right(std::string_view s) {
  while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
  return s;
}

bool file_exists(std::string_view name) {
  const std::string path(trim_right(name));
  struct stat st {};
  return !path.empty() && ::stat(path.c_str(), &st) == 0;
}

int open_old(int unit, std::string_view name) {
  close_unit(unit);
  const std::string path(trim_right(name));
  // A directory opens for reading on some systems but yields no records.
  struct stat st {};
  if (::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) return EISDIR;
  errno = 0;
  std::FILE* f = std::fopen(path.c_str(), "r");
  if (f == nullptr) return errno != 0 ? errno : 1;
  input_units()[unit] = InputUnit{f, path, true};
  return 0;
}

void open_old_or_stop(int unit, std::string_view field) {
  if (!file_exists(field)) {
    say("File ", field, " doesn't exist!");
    error_stop();
  }
  const int status = open_old(unit, field);
  if (status != 0) {
    say("Open file ", field, " error ", status);
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

std::FILE* output_stream(int unit) {
  auto& overrides = output_overrides();
  auto it = overrides.find(unit);
  if (it != overrides.end()) return it->second;
  return unit == 6 ? stdout : stderr;
}

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

void redirect_input(int unit, std::FILE* stream, std::string_view name) {
  close_unit(unit);
  if (stream != nullptr) input_units()[unit] = InputUnit{stream, std::string(name), false};
}

}  // namespace morlan::io
