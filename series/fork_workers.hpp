// A series on several cores (-j N): forked worker processes run the runs,
// this process prints them in order.
//
// The workers are forked after the preparation, so each starts in exactly
// the state a serial program has before its first run. Each talks to this
// process over its own socket. A worker dies with this process (the kernel
// kills it when its parent ends); an interrupt or a termination of this
// process, an error stop inside a run and a lost worker end every worker
// and wait for it before the program ends, so no process is left behind.
#pragma once

#include "series/series_executor.hpp"

namespace morlan {

// The number of processes for -j N: N, or the online cores for 0.
int jobs_wanted(int jobs);

class WorkerProcesses final : public SeriesExecutor {
 public:
  explicit WorkerProcesses(int count) : count_(count) {}
  int count() const { return count_; }
  void execute(Series& series) override;
  // This process and its workers, which have all been waited for.
  float total_cpu_time() override;

 private:
  int count_;
};

}  // namespace morlan
