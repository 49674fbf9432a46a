#include "series/coordinator.hpp"

#include <unistd.h>

#include <algorithm>
#include <map>
#include <optional>
#include <string_view>
#include <vector>

#include "io/console.hpp"

namespace morlan {

namespace {

constexpr int kNoWorker = -1;

class Coordinator {
 public:
  Coordinator(Series& series, WorkerLink& link, const CarriedState& start)
      : series_(series), link_(link), slots_(static_cast<std::size_t>(link.count())), left_(start),
        left_digests_(digests_of(start)), limit_(series.runs() + 1) {}

  void run() {
    while (next_fold_ <= series_.runs()) {
      hand_out();
      series_.show_in_flight(in_flight(), false);
      if (fold_ready()) continue;
      if (all_gone()) worker_lost(next_fold_, last_how_);
      const WorkerLink::Event event = link_.next();
      if (event.quiet) {
        series_.show_in_flight(in_flight(), true);
      } else {
        take(event);
      }
    }
    series_.show_in_flight(0, false);  // the last run taken
  }

 private:
  struct Slot {
    int run = 0;         // the run it is busy with; 0 when free
    bool gone = false;   // ended
    bool stale = false;  // busy with a run from before the series went in order
  };

  // Free workers take the next runs; in order, only the one worker does,
  // one run at a time.
  void hand_out() {
    for (int w = 0; w < link_.count(); ++w) {
      Slot& slot = slots_[static_cast<std::size_t>(w)];
      if (slot.gone || slot.run != 0 || next_run_ >= limit_) continue;
      if (in_order_) {
        if (order_worker_ == kNoWorker) start_order_worker(w);
        if (w != order_worker_ || next_run_ != next_fold_) continue;
      }
      slot.run = next_run_++;
      link_.send(w, message_of(MessageKind::kRun, slot.run));
    }
  }

  void start_order_worker(int w) {
    order_worker_ = w;
    link_.send(w, message_of(MessageKind::kAdopt, left_));
  }

  // Folds the next run when it is in; false when there is nothing to fold.
  bool fold_ready() {
    const auto lost = lost_.find(next_fold_);
    if (lost != lost_.end()) worker_lost(lost->first, lost->second);
    const auto it = done_.find(next_fold_);
    if (it == done_.end()) return false;
    const RunRecord record = std::move(it->second);
    done_.erase(it);
    const bool ended = record.stop_status == kRanToEnd;
    if (const auto item = carried_difference(record.began, left_digests_)) {
      go_in_order(*item);
      return true;
    }
    write_output(record);
    if (!ended) link_.end(record.stop_status);
    series_.fold(record);
    left_ = record.left;
    left_digests_ = digests_of(left_);
    ++next_fold_;
    return true;
  }

  static void write_output(const RunRecord& record) {
    for (const OutputPiece& piece : record.output) io::write_text(piece.unit, piece.text);
    io::flush(io::kStdout);
    io::flush(io::kMessageUnit7);
  }

  [[noreturn]] void worker_lost(int run, const std::string& how) {
    io::flush(io::kStdout);
    io::line("morlan: run " + std::to_string(run) + ": " + how, io::kMessageUnit7);
    link_.end(io::kExitError);
  }

  // Run next_fold_ did not begin as it would have after the runs before it:
  // from here on the runs go one after another in one worker, which first
  // takes the state the last folded run left.
  void go_in_order(std::string_view item) {
    if (!in_order_) {
      io::flush(io::kStdout);
      io::line("morlan: run " + std::to_string(next_fold_) + " would not begin as it does in order (" +
                   std::string(item) + " differs): the rest of the series runs in order",
               io::kMessageUnit7);
    }
    in_order_ = true;
    order_worker_ = kNoWorker;
    for (Slot& slot : slots_) slot.stale = slot.run != 0;
    done_.clear();
    lost_.clear();
    next_run_ = next_fold_;
    limit_ = series_.runs() + 1;
  }

  void take(const WorkerLink::Event& event) {
    Slot& slot = slots_[static_cast<std::size_t>(event.worker)];
    const int run = slot.run != 0 ? slot.run : next_run_;
    const bool stale = slot.stale;
    if (event.lost) {
      // A worker that reported an error stop has left as it should.
      if (slot.gone) return;
      slot.gone = true;
      last_how_ = event.how;
      if (!stale) note_lost(run, event.how);
      return;
    }
    RunRecord record;
    const std::string fault = unreadable(event.message, slot.run, record);
    if (!fault.empty()) {
      // The worker is of no more use; the earlier runs are still printed.
      slot.gone = true;
      last_how_ = fault;
      if (!stale) note_lost(run, fault);
      return;
    }
    slot.run = 0;
    slot.stale = false;
    slot.gone = record.stop_status != kRanToEnd;  // it leaves after an error stop
    if (stale) return;
    if (record.stop_status != kRanToEnd) limit_ = std::min(limit_, record.run + 1);
    done_[record.run] = std::move(record);
  }

  // What makes the message no record of the run `expected` (then `record`
  // is not to be used); "" when it is one.
  static std::string unreadable(const Message& m, int expected, RunRecord& record) {
    switch (m.kind) {
      case MessageKind::kRecord:
        if (!read_payload(m, record)) return "the worker's record does not decode";
        if (record.run != expected) {
          return "the worker sent the record of run " + std::to_string(record.run);
        }
        return "";
      case MessageKind::kNotUnderstood:
        return "the worker could not read a message it was sent";
      default:
        return "the worker sent a message of unknown kind " +
               std::to_string(static_cast<std::uint32_t>(m.kind));
    }
  }

  // Workers busy with a run.
  int in_flight() const {
    const auto busy = [](const Slot& s) { return !s.gone && s.run != 0; };
    return static_cast<int>(std::count_if(slots_.begin(), slots_.end(), busy));
  }

  bool all_gone() const {
    return std::all_of(slots_.begin(), slots_.end(), [](const Slot& s) { return s.gone; });
  }

  // The runs from `run` on are not handed out any more; the runs before it
  // are still written as they come in.
  void note_lost(int run, const std::string& how) {
    limit_ = std::min(limit_, run);
    lost_.emplace(run, how);
  }

  Series& series_;
  WorkerLink& link_;
  std::vector<Slot> slots_;
  CarriedState left_;            // what the last folded run left
  CarriedDigests left_digests_;
  std::map<int, RunRecord> done_;   // ended, not yet folded
  std::map<int, std::string> lost_;  // runs whose worker ended, and how
  int next_run_ = 1;               // the next run to hand out
  int next_fold_ = 1;              // the next run to fold
  int limit_;                      // runs from here on are not handed out
  bool in_order_ = false;
  int order_worker_ = kNoWorker;
  std::string last_how_ = "no worker left";
};

// What the worker's output sink and stop handler reach (io's sinks and
// handlers take no context): its link, the output of the run in progress
// and the carried state the run began from.
struct WorkerSide {
  CoordinatorLink* link = nullptr;
  std::vector<OutputPiece> pieces;
  CarriedDigests began;
};
WorkerSide g_worker;

void collect(int unit, std::string_view text) {
  std::vector<OutputPiece>& pieces = g_worker.pieces;
  if (!pieces.empty() && pieces.back().unit == unit) {
    pieces.back().text.append(text);
  } else {
    pieces.push_back({unit, std::string(text)});
  }
}

// An error stop inside a run: its lines up to the message go to the
// coordinator as the run's record, and the worker leaves.
[[noreturn]] void report_stop(int status) {
  RunRecord record;
  record.run = run_in_progress();
  record.output = std::move(g_worker.pieces);
  record.stop_status = status;
  record.began = g_worker.began;
  g_worker.link->send(message_of(MessageKind::kRecord, record));
  g_worker.link->leave(io::kExitNormal);
}

// A message the worker cannot read: it says so, and leaves.
[[noreturn]] void not_understood(const Message& m) {
  g_worker.link->send(message_of(MessageKind::kNotUnderstood, static_cast<std::uint32_t>(m.kind)));
  g_worker.link->leave(io::kExitError);
}

void serve_run(Series& series, std::int32_t k) {
  series.skip_to(k);
  g_worker.pieces.clear();
  g_worker.began = digests_of(save_carried_state());
  RunRecord record = series.run(k);
  record.output = std::move(g_worker.pieces);
  g_worker.pieces.clear();
  record.began = g_worker.began;
  record.left = save_carried_state();
  g_worker.link->send(message_of(MessageKind::kRecord, record));
}

}  // namespace

void WorkerLink::end(int status) {
  end_workers(status);
  io::stop(status);
}

void CoordinatorLink::leave(int status) {
  before_leaving();
  ::_exit(status);
}

void coordinate(Series& series, WorkerLink& link, const CarriedState& start) {
  Coordinator(series, link, start).run();
}

void serve(Series& series, CoordinatorLink& link) {
  g_worker.link = &link;
  io::set_output_sink(collect);
  const io::StopHandler previous = io::set_stop_handler(report_stop);
  for (;;) {
    const Message m = link.receive();
    if (m.kind == MessageKind::kQuit) break;
    if (m.kind == MessageKind::kRun) {
      std::int32_t k = 0;
      if (!read_payload(m, k) || k < 1 || k > series.runs()) not_understood(m);
      serve_run(series, k);
    } else if (m.kind == MessageKind::kAdopt) {
      CarriedState state;
      if (!read_payload(m, state)) not_understood(m);
      restore_carried_state(state);
    } else {
      not_understood(m);
    }
  }
  io::set_stop_handler(previous);
  io::set_output_sink(nullptr);
  g_worker.link = nullptr;
}

}  // namespace morlan
