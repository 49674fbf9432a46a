// The layout of the evaluation workspace for the counts of the data file's
// header: the offsets of the sub-arrays in IWK, WK, LOGI and CHA, and the
// declared lengths handed to the partition.
#pragma once

namespace morlan {

// Lay the sub-arrays out one after the other (the counts of the header are
// in `global`; n is the number of variables). When a workspace is too
// small: the capacity message to iout, the data file on unit `input`
// closed, and an error stop.
void lay_out_workspace(int n, int input, int iout);

// The 22 declared lengths, from the header counts; iobjgr is the third.
void declare_lengths(int n, int iobjgr);

}  // namespace morlan
