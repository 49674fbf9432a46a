// Runs a program binary in a fresh temporary directory with the given
// answers on standard input and files beside it, and collects what it
// printed and how it ended.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace morlan::testing_support {

struct ProgramRun {
  std::string out;  // standard output
  std::string err;  // standard error
  int status = -1;  // exit status, or 128 + signal number
};

struct RunSetup {
  std::string arguments;                                   // appended to the command line
  std::vector<std::pair<std::string, std::string>> files;  // name, content
  std::vector<std::string> directories;                    // created beside the files
  bool problem_data = false;  // copy the bundled OUTSDIF.d when it exists
};

ProgramRun run_program(const std::string& binary, const std::string& answers,
                       const RunSetup& setup = {});

// True when the bundled problem data file data/OUTSDIF.d exists.
bool have_problem_data();

// The program under test: $MORLAN_BINARY.
std::string morlan_binary();

// Replaces the CPU-time values of the run lines and of the final line with
// "<t>", so that transcripts compare exactly.
std::string mask_times(const std::string& text);

}  // namespace morlan::testing_support
