#include "io/bounded_line.hpp"

namespace morlan::io {

LineRead read_bounded_line(std::FILE* in, std::string& line, std::size_t limit) {
  line.clear();
  int c = std::fgetc(in);
  if (c == EOF) return LineRead::kEnd;
  for (; c != EOF && c != '\n'; c = std::fgetc(in)) {
    if (line.size() == limit) return LineRead::kTooLong;
    line += static_cast<char>(c);
  }
  return LineRead::kLine;
}

}  // namespace morlan::io
