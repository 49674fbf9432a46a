// Work that a command-line option adds to the runs (polishing). Without
// one, nothing is called and the output is exactly the plain program's.
// Header only.
#pragma once

#include "base/one_based.hpp"
#include "series/answers.hpp"

namespace morlan {

struct RunRecord;

class RunExtension {
 public:
  virtual ~RunExtension() = default;
  // After each run, in the process that ran it: in a series after its run
  // line, in the single run after the run. isucc = 1 marks a successful run;
  // x is then its best point (variables, then multipliers). What the summary
  // needs goes into the run's record.
  virtual void after_run(const Answers& answers, int isucc, CVec x, RunRecord& record) = 0;
  // Each run's record, in run order, in the process that prints the series.
  virtual void fold(const RunRecord& record) = 0;
  // After the summary block of a series.
  virtual void after_summary() = 0;
};

}  // namespace morlan
