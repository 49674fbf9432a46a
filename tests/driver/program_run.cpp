#include "tests/driver/program_run.hpp"

#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <stdexcept>

namespace morlan::testing_support {

namespace fs = std::filesystem;

namespace {

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

std::string quoted(const std::string& s) {
  std::string q = "'";
  for (char c : s) {
    if (c == '\'') {
      q += "'\\''";
    } else {
      q += c;
    }
  }
  return q + "'";
}

fs::path problem_data_file() {
  const char* src = std::getenv("MORLAN_SOURCE_DIR");
  return src == nullptr ? fs::path() : fs::path(src) / "data" / "OUTSDIF.d";
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
  std::string pattern = (fs::temp_directory_path() / "morlan_run_XXXXXX").string();
  if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
  const fs::path dir = pattern;
  write_file(dir / "answers.txt", answers);
  for (const auto& [name, content] : setup.files) write_file(dir / name, content);
  for (const auto& name : setup.directories) fs::create_directories(dir / name);
  if (setup.problem_data && have_problem_data()) fs::copy_file(problem_data_file(), dir / "OUTSDIF.d");
  const std::string command = "cd " + quoted(dir.string()) + " && " + quoted(binary) + " " +
                              setup.arguments + " < answers.txt > stdout.txt 2> stderr.txt";
  const int raw = std::system(command.c_str());
  ProgramRun run;
  if (WIFEXITED(raw)) {
    run.status = WEXITSTATUS(raw);
  } else if (WIFSIGNALED(raw)) {
    run.status = 128 + WTERMSIG(raw);
  }
  run.out = read_file(dir / "stdout.txt");
  run.err = read_file(dir / "stderr.txt");
  fs::remove_all(dir);
  return run;
}

std::string mask_times(const std::string& text) {
  static const std::regex time_item(R"((time =|time per Obj =) +-?[0-9.E+-]+)");
  return std::regex_replace(text, time_item, "$1 <t>");
}

}  // namespace morlan::testing_support
