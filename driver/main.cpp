// morlan: constrained simulated annealing on the linked problem.
//
// The command line only carries options; everything about a run comes from
// the dialogue on standard input.
#include <memory>

#include "driver/options.hpp"
#include "driver/polish_extension.hpp"
#include "driver/program.hpp"
#include "io/console.hpp"
#include "io/signals.hpp"

#ifndef MORLAN_VERSION
#define MORLAN_VERSION "unknown"
#endif

int main(int argc, char** argv) {
  const morlan::CommandLine line = morlan::parse_command_line(argc, argv);
  const int status = morlan::answer_command_line(line, MORLAN_VERSION);
  if (status != morlan::kRunTheProgram) return status;
  std::unique_ptr<morlan::RunExtension> extension;
  if (line.options.polish) {
    extension = morlan::make_polish_extension(line.options);
  }
  morlan::io::install_signal_handlers();
  morlan::run_program(line.options, extension.get());
}
