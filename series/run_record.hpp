// One run of a series as the process that ran it reports it, and the
// messages between the process that prints a parallel series and its
// workers (forked processes or MPI ranks).
//
// A record holds the run's output (its lines, with their units, in the
// order written), its values for the statistics and the summary, and the
// state it began from and left behind. The serial series folds records as
// they come; a worker sends each one to the printing process, which folds
// them in run order.
//
// Adding a value to the record: a member in RunRecord and one line in its
// fields() below; the list serves encoding and decoding alike. Adding a
// message (a progress report while a run goes on, say): a MessageKind, a
// payload struct with its own fields(), and a case where the worker sends
// it and where the coordinator receives it (series/coordinator.cpp).
#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

#include "series/carried_state.hpp"

namespace morlan {

// One temperature stage of a run, as the convergence log shows it.
struct StageRow {
  std::int32_t level = 1;  // level of the multi-level scheme; 1 with one level
  std::int32_t stage = 0;  // from 1 within the level
  double temperature = 0.0;
  double lagrangian = 0.0;      // at the current point
  double objective = 0.0;       // at the current point
  double violation = 0.0;       // largest unrelaxed violation at the current point
  double problem_violation = 0.0;  // and as the data file states the problem
  // Lagrangian evaluations of the run so far, as --count-evaluations counts
  // them and --max-evaluations limits them (the multiplier trials too).
  std::int64_t counted_evaluations = 0;
  double best_objective = 0.0;  // best feasible so far in the level; kNoneFeasible while none
  double acceptance = 0.0;      // accepted share of the stage's variable trials
  std::int64_t evaluations = 0;  // counted evaluations of the run so far
  double cpu_seconds = 0.0;      // CPU time of the run so far
};

// Text one run wrote to an output unit.
struct OutputPiece {
  std::int32_t unit = 6;
  std::string text;
};

// What the polishing extension keeps of one run for its summary line.
struct PolishValues {
  std::int32_t polished = 0;  // 1 when the run was polished
  std::int32_t feasible = 0;  // 1 when the polished point is feasible
  double objective = 0.0;     // its objective
  double violation = 0.0;     // and its largest violation
  std::vector<double> point;  // the polished point, when --best or --points asks
};

// A run that ended without an error stop.
inline constexpr std::int32_t kRanToEnd = -1;

struct RunRecord {
  std::int32_t run = 0;  // index in the series, from 1
  std::vector<OutputPiece> output;
  std::int32_t isucc = 0;
  double objval = 0.0;
  double maxvio = 0.0;
  double problem_violation = 0.0;  // of the best point, as the data file states the problem
  std::int32_t nsaiter = 0;  // the cycle-block count as read after the run
  float time = 0.0f;         // the run's CPU seconds in the process that ran it
  std::int32_t stop_status = kRanToEnd;  // else the exit status of the error stop inside it
  PolishValues polish;
  CarriedDigests began;  // the carried state as the run began
  CarriedState left;     // and as it left it
  std::vector<StageRow> stages;  // its temperature stages, when --log asks
  std::vector<double> point;     // a successful run's best point, when --best or --points asks
  std::int64_t evaluations = 0;  // Lagrangian evaluations of its search
};

template <class Archive>
void fields(Archive& a, OutputPiece& p) {
  a(p.unit, p.text);
}

template <class Archive>
void fields(Archive& a, PolishValues& p) {
  a(p.polished, p.feasible, p.objective, p.violation, p.point);
}

template <class Archive>
void fields(Archive& a, CarriedState& s) {
  a(s.items);
}

template <class Archive>
void fields(Archive& a, StageRow& s) {
  a(s.level, s.stage, s.temperature, s.lagrangian, s.objective, s.violation, s.best_objective);
  a(s.acceptance, s.evaluations, s.cpu_seconds, s.problem_violation, s.counted_evaluations);
}

template <class Archive>
void fields(Archive& a, RunRecord& r) {
  a(r.run, r.output, r.isucc, r.objval, r.maxvio, r.nsaiter, r.time, r.stop_status, r.polish);
  a(r.began, r.left, r.stages, r.point, r.evaluations, r.problem_violation);
}

// Messages. Numbers are part of the wire format between ranks: append.
enum class MessageKind : std::uint32_t {
  kRun = 1,       // to a worker: run the run whose index is the payload
  kAdopt = 2,     // to a worker: take this carried state before the next run
  kQuit = 3,      // to a worker: no more runs
  kRecord = 4,    // from a worker: one run's record
  kReady = 5,     // from an MPI rank: the digests of what it prepared
  kBye = 6,       // from an MPI rank leaving: its CPU seconds
  kDialogue = 7,  // (no longer sent: rank 0's dialogue input)
  kAnswers = 8,   // to the MPI ranks: the answers, or that there is no series
  kUnprepared = 9,  // from an MPI rank that stopped while preparing: why, and its status
  kNotUnderstood = 10,  // from a worker: a message it could not read (it then leaves)
};

struct Message {
  MessageKind kind = MessageKind::kQuit;
  std::string payload;
};

// Plain values in their machine layout (every process runs the same build
// on the same kind of machine), strings and lists with a 32-bit count
// first, records through their fields().
class Encoder {
 public:
  template <class... T>
  void operator()(const T&... values) {
    (put(values), ...);
  }
  std::string take() { return std::move(bytes_); }

 private:
  template <class T>
  void put(const T& v) {
    if constexpr (std::is_arithmetic_v<T>) {
      bytes_.append(reinterpret_cast<const char*>(&v), sizeof v);
    } else {
      fields(*this, const_cast<T&>(v));
    }
  }
  void put(const std::string& s) {
    put(static_cast<std::uint32_t>(s.size()));
    bytes_.append(s);
  }
  template <class T>
  void put(const std::vector<T>& list) {
    put(static_cast<std::uint32_t>(list.size()));
    for (const T& v : list) put(v);
  }
  std::string bytes_;
};

// Reads what an Encoder wrote; ok() turns false (and the rest reads as
// zeros) when the bytes run short.
class Decoder {
 public:
  explicit Decoder(std::string_view bytes) : rest_(bytes) {}
  template <class... T>
  void operator()(T&... values) {
    (get(values), ...);
  }
  bool ok() const { return ok_ && rest_.empty(); }

 private:
  template <class T>
  void get(T& v) {
    if constexpr (std::is_arithmetic_v<T>) {
      v = T{};
      if (rest_.size() < sizeof v) {
        ok_ = false;
        return;
      }
      std::memcpy(&v, rest_.data(), sizeof v);
      rest_.remove_prefix(sizeof v);
    } else {
      fields(*this, v);
    }
  }
  void get(std::string& s) {
    std::uint32_t n = 0;
    get(n);
    if (n > rest_.size()) {
      ok_ = false;
      n = static_cast<std::uint32_t>(rest_.size());
    }
    s.assign(rest_.substr(0, n));
    rest_.remove_prefix(n);
  }
  template <class T>
  void get(std::vector<T>& list) {
    std::uint32_t n = 0;
    get(n);
    list.clear();
    for (std::uint32_t i = 0; i < n && ok_; ++i) get(list.emplace_back());
  }
  std::string_view rest_;
  bool ok_ = true;
};

template <class T>
Message message_of(MessageKind kind, const T& value) {
  Encoder e;
  e(value);
  return {kind, e.take()};
}

// Decodes a payload; false when it is not a whole value of T.
template <class T>
bool read_payload(const Message& m, T& value) {
  Decoder d(m.payload);
  d(value);
  return d.ok();
}

}  // namespace morlan
