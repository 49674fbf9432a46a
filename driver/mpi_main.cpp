// morlan-mpi: morlan with the runs of a series spread over MPI ranks, on
// one machine or many (mpirun -np K morlan-mpi, or a scheduler's launcher).
// The same options and dialogue as morlan; rank 0 reads the dialogue and
// prints. -j has no place here: start more ranks instead.
#include <mpi.h>

#include <memory>

#include "driver/mpi_series.hpp"
#include "driver/options.hpp"
#include "driver/polish_extension.hpp"
#include "io/console.hpp"
#include "io/signals.hpp"

#ifndef MORLAN_VERSION
#define MORLAN_VERSION "unknown"
#endif

int main(int argc, char** argv) {
  MPI_Init(&argc, &argv);
  int rank = 0;
  MPI_Comm_rank(MPI_COMM_WORLD, &rank);
  morlan::CommandLine line = morlan::parse_command_line(argc, argv);
  if (line.action == morlan::CommandLine::Action::kRun && line.options.jobs != 1) {
    line.action = morlan::CommandLine::Action::kUsageError;
    line.error = "-j is for morlan: morlan-mpi runs the series on its ranks (mpirun -np K)";
  }
  if (line.action != morlan::CommandLine::Action::kRun) {
    // Every rank reads the same command line; rank 0 answers it.
    const int status = rank == 0 ? morlan::answer_command_line(line, MORLAN_VERSION)
                                 : morlan::io::kExitNormal;
    MPI_Finalize();
    return status;
  }
  std::unique_ptr<morlan::RunExtension> extension;
  if (line.options.polish) {
    extension = morlan::make_polish_extension(line.options);
  }
  morlan::io::install_signal_handlers();
  morlan::mpi::run_rank(line.options, extension.get());
}
