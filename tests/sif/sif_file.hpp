// Test support: problem data files written in the fixed formats of the
// reader, and the set-up run on them in-process.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

namespace morlan::testing {

// The content of a data file; the header counts follow from the lists.
struct SifFile {
  int n = 0;
  int kclass = 3;
  std::string name = "TOY";
  int iobjgr = 0;
  std::vector<int> istadg, istgp, istada, istaev, istep, itypeg, kndofc, itypee, intvar, ieling,
      ielvar, icna, ivtype;
  std::vector<double> a, b, bl, bu, x, u, gpvalu, epvalu, escale, gscale, vscale;
  double obfbnd[2] = {-1.0e20, 1.0e20};
  std::vector<bool> intrep, gxeqx;
  std::vector<std::string> gnames, vnames, etypes, gtypes;

  int ngroup() const { return static_cast<int>(gxeqx.size()); }
  int nelem() const { return static_cast<int>(itypee.size()); }

  // The file text: every record as the writer of the data files lays it
  // out (reals as 1P,D16.8, short last lines, empty lists as empty lines).
  std::string text() const;
};

// Fixed-format pieces, as the data files are written.
std::string int_lines(const std::vector<int>& v, int per_line = 12);
std::string real_lines(const std::vector<double>& v, int per_line = 4);
std::string real_field(double v);  // "  1.23456789D+02"

// A hand-made problem: 5 variables, 7 groups of every kind interleaved
// (objective groups, equalities, a one-sided inequality, a range), a
// linear-only objective group and a linear-only equality, elements of all
// three types, one element shared by two objective groups and a constraint.
SifFile toy_problem();

// A problem of n variables and one linear objective group (no elements).
SifFile linear_problem(int n);

// Four constraint groups of kinds inequality, equality, inequality,
// equality after one objective group.
SifFile four_constraint_problem();

// csetup run in-process on a file text (unit 55, message unit 6, the
// capacities 1000, equalities first), with standard output (unit 6) and
// standard error (unit 0) captured and a stop turned into `status`.
struct SetupRun {
  bool stopped = false;
  int status = 0;       // exit status of the stop, when stopped
  std::string out;      // unit 6
  std::string err;      // unit 0
  int n = 0, m = 0;
  std::vector<double> x, bl, bu, v, cl, cu;  // 1000 entries each
  std::vector<bool> equatn, linear;
};
SetupRun run_setup(const std::string& text, bool equfst = true, bool linfst = false);

// Capture of an output unit into a string while in scope.
class Capture {
 public:
  explicit Capture(int unit);
  ~Capture();
  std::string text();  // what was written so far

 private:
  int unit_;
  char* buffer_ = nullptr;
  std::size_t size_ = 0;
  std::FILE* stream_ = nullptr;
  std::FILE* previous_ = nullptr;
};

// Write text to `path`.
void write_file(const std::string& path, const std::string& text);

// A fresh empty directory under the system's temporary directory.
std::string make_temp_dir();

}  // namespace morlan::testing
