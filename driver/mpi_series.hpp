// The program on MPI ranks (morlan-mpi): a series across machines.
//
// Rank 0 reads the dialogue and prints exactly what the serial program
// prints. When the series begins, it hands every other rank the input its
// dialogue read; each rank answers the same dialogue from it (printing
// nothing), loads the data file and prepares the same state, and reports a
// digest of that state, which rank 0 compares with its own. Rank 0 then
// only coordinates: it hands out run indices to free ranks, takes their
// records and prints every run in order. With one rank the series runs in
// order on rank 0.
//
// Waiting ranks probe for messages and sleep between probes: Open MPI's
// blocking calls spin on a core while they wait, which on a shared machine
// takes the core a working rank needs.
//
// A rank that stops with an error ends the whole job: an error stop inside
// a run after the earlier runs are printed, with the serial program's
// status; a rank that fails in its preparation with one line on standard
// error naming the rank. A rank killed by a signal is noticed by mpirun,
// which ends the job with its own line.
#pragma once

#include "driver/driver_options.hpp"
#include "driver/run_extension.hpp"

namespace morlan::mpi {

// The whole program on this rank, once MPI is initialised.
[[noreturn]] void run_rank(const DriverOptions& options, RunExtension* extension);

}  // namespace morlan::mpi
