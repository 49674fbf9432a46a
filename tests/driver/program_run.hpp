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
  std::string launcher;   // blank-separated words before the binary (mpirun ...), the first a path
  std::string arguments;                                   // blank-separated, after the binary
  std::vector<std::pair<std::string, std::string>> environment;  // variables set for the run
  std::vector<std::pair<std::string, std::string>> files;  // name, content
  std::vector<std::string> directories;                    // created first: files may lie in them
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
  int terminal_columns = 200;        // width of the pseudo-terminal of run_on_terminal
};

ProgramRun run_program(const std::string& binary, const std::string& answers,
                       const RunSetup& setup = {});

// Runs the program with a pseudo-terminal as its standard output and
// standard error (the terminal's output processing off, so that line ends
// stay "\n"; RunSetup::terminal_columns wide) and the answers on standard
// input. `out` holds everything the terminal received, `err` nothing. Of the
// setup's stream settings only the arguments apply.
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

// A program started in its own process group in a fresh temporary
// directory (standard output to a file), for tests that signal it while it
// runs and then check that nothing of it is left.
class StartedProgram {
 public:
  StartedProgram(const std::string& binary, const std::string& answers, const RunSetup& setup = {});
  ~StartedProgram();
  StartedProgram(const StartedProgram&) = delete;
  StartedProgram& operator=(const StartedProgram&) = delete;

  int pid() const { return pid_; }  // also the process group
  // Waits up to `seconds` for the file of its directory to exist and hold
  // `text`; its content, or "".
  std::string wait_for_file(const std::string& name, double seconds,
                            const std::string& text = "") const;
  // Waits up to `seconds` for the program's end; status -1 when it has
  // not ended (it is then killed with its group).
  ProgramRun wait(double seconds);
  // True when no process of its group is left.
  bool group_is_empty() const;

 private:
  std::string dir_;
  int pid_ = -1;
  bool ended_ = false;
};

// True when the bundled problem data file data/OUTSDIF.d exists.
bool have_problem_data();

// The program under test: $MORLAN_BINARY.
std::string morlan_binary();

// The whole content of a file ("" when it cannot be read).
std::string file_text(const std::string& path);

// A file of the source tree ($MORLAN_SOURCE_DIR/<relative path>).
std::string source_file(const std::string& relative_path);

// A series transcript up to the end of run `last`'s run line.
std::string through_run(const std::string& out, int last);

// Replaces the CPU-time values of the run lines and of the final line with
// "<t>", so that transcripts compare exactly.
std::string mask_times(const std::string& text);

// The rows of a tab-separated table, each as its fields.
std::vector<std::vector<std::string>> table_rows(const std::string& table);

// A tab-separated table without its column headed "cpu_seconds" (CPU
// times vary from one execution to the next); other text as it is.
std::string without_cpu_column(const std::string& table);

}  // namespace morlan::testing_support
