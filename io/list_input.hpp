// List-directed input: one read statement takes values separated by blanks,
// commas or line ends, over as many lines as it needs, and discards the rest
// of the last line it read. Blank lines are skipped.
//
// Accepted forms: integers with an optional sign; reals with an optional
// sign, digits with or without a decimal point, and an optional exponent
// introduced by E or D (1.5D-3); Inf, Infinity and NaN in any letter case.
// A character item is an unquoted token (ended by a blank, a comma or the
// line end) or a quoted one ('...' or "...", a doubled quote stands for
// one), cut or padded with blanks to the width of its field.
//
// Malformed input or end of input is never retried or defaulted: a one-line
// diagnostic goes to standard error, e.g.
//   morlan: input error: expected an integer for 'Multi start /(0,1)', found 'x'
// and the program stops with exit status 2. The found token is shown as it
// was typed (quotes included), cut after 40 characters, with unprintable
// bytes escaped. Input is bounded: a line longer than cfg::kMaxInputLine
// characters, or a statement that passes over more than cfg::kMaxReadLength
// characters without finding its values (endless blank lines), is malformed
// input as well.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>

#include "base/one_based.hpp"

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
  // A character item, quoted or not, in full.
  std::string text();
  // A character item, quoted or not, cut or padded with blanks to `width`.
  std::string chars(int width);
  // Fills every entry of `out` in order. The diagnostic names how many
  // values the statement wanted and how many it had read. With
  // `require_finite`, an infinity or NaN is malformed input as well.
  void reals(Vec out, bool require_finite = false);
  // Values read so far by this statement.
  int count() const { return count_; }
  void finish();

 private:
  struct Token {
    std::string text;  // the value's text, quotes removed
    std::string typed; // the token as it stands in the line
    bool quoted = false;
  };
  [[noreturn]] void fail(std::string_view expected, std::string_view found);
  // The next token; false at end of input. A line or a statement beyond
  // the input limits fails as malformed `expected` input.
  bool next_token(Token& token, std::string_view expected);
  bool next_line(std::string_view expected);
  void quoted_token(Token& token);
  std::FILE* in_;
  std::string what_;
  std::string line_;
  std::size_t pos_ = 0;
  std::size_t scanned_ = 0;  // characters of the lines this statement read
  bool have_line_ = false;
  bool finished_ = false;
  int count_ = 0;
  int wanted_ = 0;  // values wanted by a reals() call in progress, else 0
};

// Parsers of one unquoted token (exposed for tests). False when the text is
// not a value of that type.
bool parse_integer(std::string_view text, int& value);
bool parse_real(std::string_view text, double& value);

// Convenience: one statement reading one value from standard input.
double read_real(std::string_view what);
int read_integer(std::string_view what);
std::string read_text(std::string_view what);

}  // namespace morlan::io
