// The command line: options beyond the dialogue. Everything about a run
// comes from the dialogue on standard input; options only add to it
// (polishing, the evaluation path) and never change what a dialogue prints
// when they are absent.
#pragma once

#include <string>

#include "series/driver_options.hpp"

namespace morlan {

struct CommandLine {
  enum class Action { kRun, kHelp, kVersion, kUsageError };
  Action action = Action::kRun;
  DriverOptions options;
  std::string error;  // kUsageError: the first line of the usage error
};

// Reads the options (argv[1..argc-1]). Unknown options and operands, a
// flag given a value ("--polish=1") and a malformed option value are usage
// errors.
CommandLine parse_command_line(int argc, char** argv);

// The --help text.
const char* usage_text();

// Writes the usage error: its first line, the synopsis and the pointer to
// --help, on standard error.
void print_usage_error(const std::string& first_line);

// Answers what the command line asks besides a run: the help text, the
// version ("morlan <version>") or the usage error. Returns the exit status,
// or kRunTheProgram for a run.
inline constexpr int kRunTheProgram = -1;
int answer_command_line(const CommandLine& line, const char* version);

}  // namespace morlan
