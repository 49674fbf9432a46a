// The records of the problem data file, read in order into the caller's
// arrays and the workspace laid out for them, each checked as it is read:
// the file is untrusted, and a violation ends the program with the reader's
// one line naming the record and the entry (exit status 2).
#pragma once

#include "base/one_based.hpp"
#include "sif/data_file.hpp"

namespace morlan {

// Counts of record 1 that are not kept in `global`.
struct FileSizes {
  int n;       // variables
  int netype;  // element-type names of record 32
  int ngtype;  // group-type names of record 33
};

// Record 1: the sizes, stored in `global`. A problem without variables or
// groups, or with more than nmax variables, stops with its message to iout
// (the data file on unit `input` closed first); a negative count is a
// corrupt file.
FileSizes read_sizes(DataFileReader& r, int nmax, int input, int iout);

// Record 3 (class 2 only): the objective group, as the third declared length.
void read_objective_group(DataFileReader& r);

// Records 4 to 15: start pointers, types, kinds, internal-variable counts
// and the index lists. A class-1 file has no kinds: every group belongs to
// the objective.
void read_structure(DataFileReader& r, int n, int kclass);

// Records 16 to 27: coefficients, constants, bounds, the starting point,
// multiplier estimates, parameters and scales. The group bounds of a class-3
// file wait in GRPVAL and GRPARG until the constraints are listed.
void read_numbers(DataFileReader& r, int n, int kclass, Vec x, Vec bl, Vec bu);

// Records 28 to 34: the element and group flags, the names, the variable
// types.
void read_flags_and_names(DataFileReader& r, const FileSizes& sizes);

}  // namespace morlan
