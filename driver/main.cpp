// morlan: constrained simulated annealing on the linked problem.
//
// The command line only carries options; everything about a run comes from
// the dialogue on standard input.
#include <memory>

#include "driver/driver.hpp"
#include "driver/options.hpp"
#include "driver/polish_extension.hpp"
#include "io/console.hpp"
#include "io/output.hpp"
#include "io/signals.hpp"

#ifndef MORLAN_VERSION
#define MORLAN_VERSION "unknown"
#endif

int main(int argc, char** argv) {
  const morlan::CommandLine line = morlan::parse_command_line(argc, argv);
  switch (line.action) {
    case morlan::CommandLine::Action::kHelp:
      morlan::io::write_text(morlan::io::kStdout, morlan::usage_text());
      return morlan::io::kExitNormal;
    case morlan::CommandLine::Action::kVersion:
      morlan::io::write_text(morlan::io::kStdout, "morlan " MORLAN_VERSION "\n");
      return morlan::io::kExitNormal;
    case morlan::CommandLine::Action::kUsageError:
      morlan::print_usage_error(line.error);
      return morlan::io::kExitInputError;
    case morlan::CommandLine::Action::kRun:
      break;
  }
  std::unique_ptr<morlan::RunExtension> extension;
  if (line.options.polish) extension = morlan::make_polish_extension();
  morlan::io::install_signal_handlers();
  morlan::run_driver(line.options, extension.get());
}
