// Where the runs of a series happen: in order in this process, in worker
// processes, on MPI ranks. Header only.
#pragma once

namespace morlan {

class Series;

class SeriesExecutor {
 public:
  virtual ~SeriesExecutor() = default;
  // Runs every run; prints each in run order and folds it into the series.
  virtual void execute(Series& series) = 0;
  // The CPU seconds of the whole program so far, over every process that
  // ran a run, for the final line.
  virtual float total_cpu_time() = 0;
};

}  // namespace morlan
