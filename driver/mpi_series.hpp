// The program on MPI ranks (morlan-mpi): a series across machines.
//
// Rank 0 reads the dialogue and prints exactly what the serial program
// prints. When the series begins, it hands every other rank its answers;
// each rank prepares the series from them and from its own data file
// (printing nothing) and reports the digests of everything it prepared
// (series/prepared_state.hpp), which rank 0 compares with its own before
// any run begins. Rank 0 then only coordinates: it hands out run indices to
// free ranks, takes their records and prints every run in order. With one
// rank the series runs in order on rank 0.
//
// Waiting ranks probe for messages and sleep between probes: Open MPI's
// blocking calls spin on a core while they wait, which on a shared machine
// takes the core a working rank needs.
//
// A rank that stops with an error ends the whole job: an error stop inside
// a run after the earlier runs are printed, with the serial program's
// status; a rank that stops in its preparation (its data file missing or
// unreadable, say) through rank 0, with one line on standard error naming
// the rank, its data file and the whole message, and the stop's status; a
// rank that prepared another state than rank 0 with one line naming the
// rank and the first record that differs, and status 1. A rank killed by a
// signal is noticed by mpirun, which ends the job with its own line.
#pragma once

#include "series/driver_options.hpp"
#include "series/run_extension.hpp"

namespace morlan::mpi {

// The whole program on this rank, once MPI is initialised.
[[noreturn]] void run_rank(const DriverOptions& options, RunExtension* extension);

}  // namespace morlan::mpi
