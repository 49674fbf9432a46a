// The two sides of a parallel series in-process, with scripted links: a
// message that one side cannot read ends the series with one line and
// status 1 (on the worker's side: it says so and leaves with status 1),
// after the runs before it are printed; nothing is dropped and nothing is
// waited for in vain.
#include "series/coordinator.hpp"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <deque>
#include <stdexcept>
#include <string>
#include <vector>

#include "io/console.hpp"
#include "io/output.hpp"
#include "series/preparation.hpp"
#include "series/series.hpp"

namespace morlan {
namespace {

// An output unit collected in memory while the object lives.
class Collected {
 public:
  explicit Collected(int unit) : unit_(unit), stream_(open_memstream(&buffer_, &size_)) {
    io::redirect_output(unit_, stream_);
  }
  ~Collected() {
    io::redirect_output(unit_, nullptr);
    std::fclose(stream_);
    std::free(buffer_);
  }
  std::string text() {
    std::fflush(stream_);
    return std::string(buffer_, size_);
  }

 private:
  int unit_;
  char* buffer_ = nullptr;
  std::size_t size_ = 0;
  std::FILE* stream_;
};

// A series of two runs of the fake engine.
struct TwoRuns {
  TwoRuns() {
    Answers answers;
    answers.scale = 1.0;
    answers.runmode = 1;
    answers.nruns = 2;
    answers.ratio = 0.9;
    plan = std::make_unique<RunPlan>(plan_of(answers, Prepared{}, options));
    series = std::make_unique<Series>(*plan, options, nullptr);
  }
  DriverOptions options;
  std::unique_ptr<RunPlan> plan;
  std::unique_ptr<Series> series;
};

// One worker whose messages the test writes in advance.
class ScriptedWorker final : public WorkerLink {
 public:
  int count() const override { return 1; }
  void send(int, const Message& m) override { sent.push_back(m); }
  Event next() override {
    if (events.empty()) throw std::runtime_error("the coordinator waits for a message in vain");
    Event e = events.front();
    events.pop_front();
    return e;
  }
  void tell(MessageKind kind, std::string payload) {
    Event e;
    e.worker = 0;
    e.message = {kind, std::move(payload)};
    events.push_back(e);
  }

  std::deque<Event> events;
  std::vector<Message> sent;

 protected:
  void end_workers(int) override {}
};

// coordinate() until it stops: the stop's status, standard output and
// standard error.
struct Ended {
  int status = -1;
  std::string out, err;
};

Ended coordinate_until_stop(Series& series, ScriptedWorker& worker, const CarriedState& start) {
  Ended e;
  Collected out(io::kStdout);
  Collected err(io::kMessageUnit7);
  const io::StopHandler previous = io::set_stop_handler(io::throwing_stop_handler);
  try {
    coordinate(series, worker, start);
  } catch (const io::StopRequest& stop) {
    e.status = stop.status;
  }
  io::set_stop_handler(previous);
  e.out = out.text();
  e.err = err.text();
  return e;
}

TEST(Coordinator, AMessageItCannotReadEndsTheSeriesAfterTheRunsBeforeIt) {
  const CarriedState start = save_carried_state();
  RunRecord first;
  first.run = 1;
  first.output = {{io::kStdout, " run one\n"}};
  first.began = digests_of(start);
  first.left = start;
  const struct {
    MessageKind kind;
    std::string payload;
    const char* line;
  } cases[] = {
      {static_cast<MessageKind>(99), "", "morlan: run 2: the worker sent a message of unknown kind 99\n"},
      {MessageKind::kRecord, "no record", "morlan: run 2: the worker's record does not decode\n"},
      {MessageKind::kRecord, message_of(MessageKind::kRecord, first).payload,
       "morlan: run 2: the worker sent the record of run 1\n"},
      {MessageKind::kNotUnderstood, message_of(MessageKind::kNotUnderstood, 7u).payload,
       "morlan: run 2: the worker could not read a message it was sent\n"},
  };
  for (const auto& c : cases) {
    TwoRuns two;
    ScriptedWorker worker;
    worker.tell(MessageKind::kRecord, message_of(MessageKind::kRecord, first).payload);
    worker.tell(c.kind, c.payload);
    const Ended e = coordinate_until_stop(*two.series, worker, start);
    EXPECT_EQ(e.status, io::kExitError) << c.line;
    EXPECT_EQ(e.out, " run one\n") << c.line;
    EXPECT_EQ(e.err, c.line);
  }
}

// A worker's end of the link whose messages the test writes in advance;
// leaving throws Left (instead of ending the process).
struct Left {};

class ScriptedCoordinator final : public CoordinatorLink {
 public:
  Message receive() override {
    if (messages.empty()) throw std::runtime_error("the worker waits for a message in vain");
    Message m = messages.front();
    messages.pop_front();
    return m;
  }
  void send(const Message& m) override { sent.push_back(m); }

  std::deque<Message> messages;
  std::vector<Message> sent;

 protected:
  void before_leaving() override { throw Left{}; }
};

TEST(Worker, AMessageItCannotReadIsReportedAndTheWorkerLeaves) {
  const std::vector<Message> unreadable = {
      {MessageKind::kRun, "x"},                                // too short for a run index
      message_of(MessageKind::kRun, std::int32_t{3}),           // no run of the series
      message_of(MessageKind::kRun, std::int32_t{0}),
      {MessageKind::kAdopt, "no carried state"},
      {MessageKind::kRecord, ""},                               // no kind a worker takes
  };
  for (const Message& m : unreadable) {
    TwoRuns two;
    ScriptedCoordinator link;
    link.messages.push_back(m);
    const io::StopHandler stop = io::set_stop_handler(io::throwing_stop_handler);
    bool left = false;
    try {
      serve(*two.series, link);
    } catch (const Left&) {
      left = true;
    }
    io::set_output_sink(nullptr);
    io::set_stop_handler(stop);
    EXPECT_TRUE(left) << static_cast<int>(m.kind) << " " << m.payload.size();
    ASSERT_EQ(link.sent.size(), 1u);
    EXPECT_EQ(link.sent[0].kind, MessageKind::kNotUnderstood);
    std::uint32_t kind = 0;
    EXPECT_TRUE(read_payload(link.sent[0], kind));
    EXPECT_EQ(kind, static_cast<std::uint32_t>(m.kind));
  }
}

}  // namespace
}  // namespace morlan
