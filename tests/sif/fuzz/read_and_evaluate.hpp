// One fuzz input: read it as the problem data file and, when the set-up
// accepts it, evaluate the objective and every constraint with gradients at
// the file's starting point. Every stop of the program (the reader's error
// lines, capacity messages) returns here; output is discarded.
#pragma once

#include <cstddef>
#include <cstdint>

namespace morlan::fuzz {

// Returns the exit status of the stop the input led to, or -1 when the
// set-up and the evaluations completed.
int read_and_evaluate(const std::uint8_t* data, std::size_t size);

}  // namespace morlan::fuzz
