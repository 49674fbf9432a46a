// What watches the runs of a series, as the series sees it: the watching of
// the options (watch/watching.hpp) implements it. Header only.
#pragma once

#include <cstdint>

#include "anneal/run_control.hpp"
#include "base/one_based.hpp"

namespace morlan {

struct RunPlan;
struct RunRecord;
struct Storage;

class SeriesWatching {
 public:
  virtual ~SeriesWatching() = default;
  // Run k of `runs` through the run control on the storage's points,
  // watched as the options ask; what the watching keeps of the run goes
  // into `record`.
  virtual RunOutcome run(const RunPlan& plan, Storage& storage, std::int32_t k, std::int32_t runs,
                         RunRecord& record) = 0;
  // After the run and its extension: what the watching keeps of the run's
  // point x.
  virtual void keep_point(RunRecord& record, CVec x) const = 0;
  // The next record in run order.
  virtual void fold(const RunRecord& record) = 0;
  // In a series whose runs happen elsewhere: `running` runs are in flight;
  // `quiet`: only time has passed since the last call.
  virtual void show_in_flight(std::int32_t running, bool quiet) = 0;
};

}  // namespace morlan
