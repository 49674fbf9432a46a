// List-directed input: one read statement takes values separated by blanks,
// commas or line ends, over as many lines as it needs, and discards the rest
// of the last line it read.
//
// Malformed input or end of input is never retried or defaulted: a one-line
// diagnostic goes to standard error, e.g.
//   morlan: input error: expected an integer for 'Multi start /(0,1)', found 'x'
// and the program stops with exit status 2.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>

namespace morlan::io {

class ListReader {
 public:
  // `what` names the value(s) in diagnostics: the prompt text or the file.
  ListReader(int unit, std::string what);
  ~ListReader();  // finishes the statement (discards the rest of the line)
  ListReader(const ListReader&) = delete;
  ListReader& operator=(const ListReader&) = delete;

  double real();
  int integer();
  // A character item, quoted or not, cut or padded with blanks to `width`.
  std::string chars(int width);
  // Values read so far by this statement.
  int count() const { return count_; }
  void finish();

 private:
  [[noreturn]] void fail(std::string_view expected, std::string_view found);
  bool next_token(std::string& token);  // false at end of input
  int unit_;
  std::FILE* in_;
  std::string what_;
  std::string line_;
  std::size_t pos_ = 0;
  bool have_line_ = false;
  bool finished_ = false;
  int count_ = 0;
};

// Convenience: one statement reading one value from standard input.
double read_real(std::string_view what);
int read_integer(std::string_view what);
std::string read_chars(int width, std::string_view what);

}  // namespace morlan::io
