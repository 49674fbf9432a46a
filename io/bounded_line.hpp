// Reading one line of input with a bound on its length, so that endless
// input (a device, a stream without line ends) cannot exhaust memory.
#pragma once

#include <cstddef>
#include <cstdio>
#include <string>

namespace morlan::io {

enum class LineRead {
  kLine,     // a line was read (its line end removed)
  kEnd,      // the input ended before the line began
  kTooLong,  // the line has more than `limit` characters; `line` holds the first `limit`
};

// Reads the next line of `in` into `line`. A last line without a line end
// counts as a line.
LineRead read_bounded_line(std::FILE* in, std::string& line, std::size_t limit);

}  // namespace morlan::io
