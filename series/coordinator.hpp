// The two sides of a parallel series, whatever carries the messages (a
// socket to each forked worker, or MPI).
//
// The coordinator hands out run indices to free workers, one at a time, so
// that a long run never holds up the others; takes their records; and,
// in run order, checks each run's carried state, writes its output, and
// folds it into the series. A run's lines are written as soon as it and
// every run before it have ended, so the output streams like the serial
// program's, in the same bytes.
//
// A worker serves runs: for each index it draws the starts in order up to
// that run, runs it with its output collected, and sends the record back.
//
// Nothing is dropped: a message that one side cannot read (its payload
// does not decode, or its kind is not one the side takes) ends the series
// with one line on standard error and exit status 1, after every run before
// the one it concerns is printed; a worker that cannot read a message says
// so and leaves with status 1.
#pragma once

#include <chrono>
#include <string>

#include "series/run_record.hpp"
#include "series/series.hpp"

namespace morlan {

// How long the coordinator waits for its workers before it looks up (a
// quiet event of WorkerLink::next).
inline constexpr std::chrono::milliseconds kQuietPeriod{1000};

// The coordinator's way to its workers, numbered 0 .. count() - 1.
class WorkerLink {
 public:
  virtual ~WorkerLink() = default;
  virtual int count() const = 0;
  virtual void send(int worker, const Message& message) = 0;

  struct Event {
    int worker = -1;
    bool lost = false;   // the worker ended without a word: `how` says how
    bool quiet = false;  // nothing came for kQuietPeriod (no worker)
    Message message;
    std::string how;  // "worker killed by signal 9"
  };
  // Waits for the next message from a worker, or for a worker's end; after
  // kQuietPeriod without either, returns a quiet event, so that the
  // progress line's clock can move on.
  virtual Event next() = 0;

  // Ends every worker at once, then the program with the status.
  [[noreturn]] void end(int status);

 protected:
  // Ends the workers for end(); `status` is the program's exit status.
  virtual void end_workers(int status) = 0;
};

// Runs the whole series on the workers, which begin in the state `start`.
// Tells the series the runs in flight as they change and after every quiet
// period (Series::show_in_flight). Returns when every run is folded. An
// error stop inside run k ends the program here, after every run before k
// and run k's lines up to its message are written, with the stop's status;
// so do a lost worker and a message that cannot be read, with one line on
// standard error and status 1.
void coordinate(Series& series, WorkerLink& link, const CarriedState& start);

// A worker's way to its coordinator.
class CoordinatorLink {
 public:
  virtual ~CoordinatorLink() = default;
  // The next message; kQuit when the coordinator is gone.
  virtual Message receive() = 0;
  virtual void send(const Message& message) = 0;
  // Ends this worker with `status` once it has reported an error stop or a
  // message it could not read.
  [[noreturn]] void leave(int status);

 protected:
  // What the worker still has to do before it ends, for leave().
  virtual void before_leaving() {}
};

// Serves runs until told to quit. An error stop inside a run is reported
// as that run's record, and the worker leaves; a message it cannot read is
// reported as kNotUnderstood, and the worker leaves with status 1.
void serve(Series& series, CoordinatorLink& link);

}  // namespace morlan
