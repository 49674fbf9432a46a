// Runs a program binary in a fresh temporary directory with the given
// answers on standard input and files beside it, and collects what it
// printed and how it ended.
#pragma once

#include <map>
#include <string>
#include <utility>
#include <vector>

namespace morlan::testing_support {

struct ProgramRun {
  std::string out;  // standard output
  std::string err;  // standard error
  int status = -1;  // exit status, or 128 + signal number
  bool timed_out = false;  // killed after RunSetup::timeout_seconds
  std::map<std::string, std::string> files;  // the files RunSetup::collect names, as left
};

// Where standard output goes.
enum class Output {
  kFile,        // a file in the run's directory
  kPipe,        // a pipe read by the test while the program runs
  kClosedPipe,  // a pipe whose reader has gone (SIGPIPE ignored, see below)
  kPath,        // RunSetup::output_path (e.g. /dev/full)
};

struct RunSetup {
  std::string arguments;                                   // blank-separated, after the binary
  std::vector<std::pair<std::string, std::string>> files;  // name, content
  std::vector<std::string> directories;                    // created beside the files
  std::vector<std::string> fifos;                          // FIFOs created beside the files
  std::vector<std::pair<std::string, std::string>> links;  // name, target of a symbolic link
  bool problem_data = false;  // copy the bundled OUTSDIF.d when it exists
  std::string input_path;     // standard input from this path instead of the answers
  Output output = Output::kFile;
  std::string output_path;
  // Start with SIGPIPE ignored, as a parent process may leave it (always so
  // for Output::kClosedPipe, where the default action would end the
  // program before it sees the failed write).
  bool ignore_sigpipe = false;
  // When signal != 0: send it once standard output holds `signal_after`
  // and has stopped growing (or after signal_deadline_seconds).
  int signal = 0;
  std::string signal_after;
  double signal_deadline_seconds = 10.0;
  // When positive, the program is killed after this long (a hang fails the
  // test instead of blocking the test run).
  double timeout_seconds = 0.0;
  std::vector<std::string> collect;  // files read back after the run (absent ones are left out)
};

ProgramRun run_program(const std::string& binary, const std::string& answers,
                       const RunSetup& setup = {});

// Runs the program with a pseudo-terminal as its standard output and
// standard error (the terminal's output processing off, so that line ends
// stay "\n"; 200 columns) and the answers on standard input. `out` holds
// everything the terminal received, `err` nothing. Of the setup's stream
// settings only the arguments apply.
ProgramRun run_on_terminal(const std::string& binary, const std::string& answers,
                           const RunSetup& setup = {});

// What a terminal shows, told apart: the text the program printed, the
// status lines drawn ("\r", text, "\033[K"; "\r\033[K" alone erases), and
// whether any other text reached the terminal while a status line stood on
// it, or one was left standing at the end.
struct Screen {
  std::string text;
  std::vector<std::string> drawn;
  bool mixed = false;
  bool left = false;
};
Screen read_screen(const std::string& raw);

// True when the bundled problem data file data/OUTSDIF.d exists.
bool have_problem_data();

// The program under test: $MORLAN_BINARY.
std::string morlan_binary();

// Replaces the CPU-time values of the run lines and of the final line with
// "<t>", so that transcripts compare exactly.
std::string mask_times(const std::string& text);

}  // namespace morlan::testing_support
