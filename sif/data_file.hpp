// Fixed-format reading of the problem data file, one record (one formatted
// read) at a time.
//
// A list of values continues over as many lines as it needs, `per_line`
// values a line; the last line of a list may be shorter than the format
// (trailing blanks absent); an empty list still occupies one (empty) line.
// The file is untrusted: a value that cannot be read, a line missing where
// the record needs one, or a line longer than any record (cfg::kMaxInputLine)
// ends the program with one line on standard error naming the file, the
// record and the entry, and exit status 2.
#pragma once

#include <array>
#include <cstdio>
#include <string>
#include <string_view>

#include "base/one_based.hpp"
#include "sif/records.hpp"

namespace morlan {

class DataFileReader {
 public:
  DataFileReader(std::FILE* in, std::string_view file_name);

  // Start record `number` (for messages); `name` names its content.
  // Returns the reader, so that the record's read can follow.
  DataFileReader& begin(int number, std::string_view name);

  // One formatted read of a list of `count` values, `per_line` a line:
  // integers of 6 columns (I6), reals of 16 columns (1P,D16.8 with D or E
  // exponents), logicals of one column (L1), names of 10 columns (A10).
  void integers(IVec out, int count, int per_line = 12);
  void reals(Vec out, int count, int per_line = 4);
  // A list of reals whose first n1 values go to first and the next n2 to
  // second (a list continued by another in the same record).
  void reals_split(Vec first, int n1, Vec second, int n2, int per_line = 4);
  void logicals(LogVec out, int count, int per_line = 72);
  void names(OneBased<std::array<char, kNameLength>> out, int count, int per_line = 8);
  // A list of names that is read and not kept.
  void skip_names(int count, int per_line = 8);
  // One line: the class in 2 columns and the problem name in 8 (I2,A8).
  void class_and_name(int& kclass, std::array<char, 8>& prbnam);

  // Checks of what was read into the current record. Start pointers
  // p(1..count): each at least 1 and at least the one before, and at most
  // list_length + 1 (the end of the list they point into).
  void check_pointers(CIVec p, int count, int list_length) const;
  // Indices v(1..count) naming a `what` ("variable", "element"): in 1..hi.
  void check_indices(CIVec v, int count, int hi, std::string_view what) const;

  // Fail with "<file>: record R (NAME), entry E: what" (entry 0: no entry).
  [[noreturn]] void fail(int entry, std::string_view what) const;
  [[noreturn]] static void fail_record(std::string_view file, int record, std::string_view name,
                                       int entry, std::string_view what);

  const std::string& file_name() const { return file_; }

 private:
  // Start the next line of the current record; fails at end of file and
  // on a line longer than cfg::kMaxInputLine.
  void need_line(int entry);
  // The field of `width` columns starting at column `col` (0-based) of the
  // current line, blank padded; fails when the line ends before the field.
  std::string_view field(int col, int width, int entry);

  int read_integer_field(std::string_view f, int entry);
  double read_real_field(std::string_view f, int entry);

  // The walk of one list: read_entry(k, col) for the entries k = 1..count,
  // col being the entry's place (from 0) on its line; each line started as
  // its first entry comes. An empty list takes one line.
  template <class ReadEntry>
  void each_entry(int count, int per_line, ReadEntry read_entry);

  std::FILE* in_;
  std::string file_;
  std::string line_;
  std::string padded_;
  int line_number_ = 0;
  int record_ = 0;
  std::string record_name_;
};

// Parse a Fortran I field (blanks ignored, an all-blank field is zero).
// Returns false when the field is not an integer.
bool parse_integer_field(std::string_view f, int& value);

// Parse a Fortran D or E field of `decimals` implied decimals read under the
// scale factor 1P: blanks ignored; exponent letters D, E or Q (either case),
// or a signed exponent without letter; without a decimal point the last
// `decimals` digits are fractional; without an exponent the value is divided
// by ten (the scale factor). Returns false when the field is not a number or
// the value is not finite.
bool parse_real_field(std::string_view f, double& value, int decimals = 8);

}  // namespace morlan
