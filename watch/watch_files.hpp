// The files that record the runs for scripts and plots, beside the console
// output, which they never change:
//
//   --log FILE      the convergence log: a header row, then one row per
//                   temperature stage of every run (and level);
//   --results FILE  a header row, then one row per run;
//   --best FILE     the best feasible point of the series (of the single
//                   run), one value a line, readable as a starting-point
//                   file; under --polish the best polished point;
//   --points FILE   a header row, then every successful run's best point
//                   and, under --polish, its polished point, one a row.
//
// Rows are tab-separated with a header row; a value that does not exist
// (the best objective while no feasible point is known, the objective of a
// failed run) is written NaN. The files are written by the process that
// prints the runs, as each run is taken in run order.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "base/one_based.hpp"
#include "io/output_file.hpp"
#include "series/driver_options.hpp"
#include "series/run_record.hpp"

namespace morlan {

class WatchFiles {
 public:
  // Opens the files the options name. A file that cannot be opened, or one
  // file named by two options, ends the program with one line on standard
  // error and exit status 2.
  explicit WatchFiles(const DriverOptions& options);

  bool keeps_stages() const { return log_.is_open(); }
  bool keeps_points() const { return best_.is_open() || points_.is_open(); }

  // The runs begin: the log and the results table start anew with their
  // header rows (the results with the polished columns under --polish).
  void begin(bool polish);
  // The next run, in run order.
  void fold(const RunRecord& run);
  // After the last run: the best point is written (a file named by --best
  // is left as it was when no run succeeded) and every file is closed.
  // Under --polish that is the best polished point that is feasible, or,
  // when none is, the best point of the runs, with a line on standard error
  // that says so. False when a write failed (it has been reported).
  bool finish();

 private:
  io::OutputFile log_{"log file"};
  io::OutputFile results_{"results file"};
  io::OutputFile best_{"best-point file"};
  io::OutputFile points_{"points file"};
  bool polish_ = false;
  double best_objective_ = 0.0;      // of the best successful run so far
  std::vector<double> best_point_;   // its point; empty while there is none
  double best_polished_objective_ = 0.0;   // of the best feasible polished point
  std::vector<double> best_polished_point_;  // that point; empty while there is none
};

// A point of the search kept for --best: every value outside its bounds by
// no more than the grid's rounding (kGridBoundSlack) is set to the bound
// it passed, so that the file, read back, starts a run inside the bounds
// from exactly the values it holds. Values farther outside are left as
// they are (a run started from them says so).
void keep_within_bounds(std::vector<double>& point, CVec xl, CVec xu);

// The texts of the files.
std::string log_header();
std::string log_rows(std::int32_t run, const std::vector<StageRow>& stages);
std::string results_header(bool polish);
std::string results_row(const RunRecord& run, bool polish);
std::string best_point_text(const std::vector<double>& point);
std::string points_header(int variables);
std::string points_rows(const RunRecord& run);

}  // namespace morlan
