#include "watch/progress_line.hpp"

#include <cmath>
#include <cstdio>
#include <vector>

#include "anneal/stage_watch.hpp"

namespace morlan {

namespace {

std::string number(const char* format, double v) {
  char buf[48];
  std::snprintf(buf, sizeof buf, format, v);
  return buf;
}

// A line made of fields. A field with a drop rank above zero may be left
// out when the line is too long, the lowest rank first; rank 0 always stays.
class FittedLine {
 public:
  void add(std::string text, int drop_rank = 0) { fields_.push_back({std::move(text), drop_rank}); }

  std::string text(std::size_t width) {
    while (width != kAnyWidth && length() > width && drop_one()) {
    }
    std::string t;
    for (const Field& f : fields_) t += f.text;
    return t;
  }

 private:
  struct Field {
    std::string text;
    int drop_rank;
  };

  std::size_t length() const {
    std::size_t n = 0;
    for (const Field& f : fields_) n += f.text.size();
    return n;
  }

  // Leaves out the field of the lowest rank above zero; false when none is left.
  bool drop_one() {
    auto lowest = fields_.end();
    for (auto it = fields_.begin(); it != fields_.end(); ++it) {
      if (it->drop_rank > 0 && (lowest == fields_.end() || it->drop_rank < lowest->drop_rank)) {
        lowest = it;
      }
    }
    if (lowest == fields_.end()) return false;
    fields_.erase(lowest);
    return true;
  }

  std::vector<Field> fields_;
};

// Drop ranks of the run's line: the least telling field goes first.
constexpr int kDropLagrangian = 1;
constexpr int kDropTemperature = 2;
constexpr int kDropTimeLeft = 3;
constexpr int kDropStageCount = 4;

// And of the series' line.
constexpr int kDropSeriesTimeLeft = 1;
constexpr int kDropRunning = 2;

std::string best_text(double best_objective) {
  return best_objective < kNoneFeasible ? "best " + number("%.6g", best_objective)
                                        : std::string("none feasible yet");
}

}  // namespace

std::string clock_text(double seconds) {
  const long s = std::isfinite(seconds) && seconds > 0.0 ? std::lround(seconds) : 0;
  char buf[32];
  if (s >= 3600) {
    std::snprintf(buf, sizeof buf, "%ld:%02ld:%02ld", s / 3600, s / 60 % 60, s % 60);
  } else {
    std::snprintf(buf, sizeof buf, "%ld:%02ld", s / 60, s % 60);
  }
  return buf;
}

std::string progress_text(const RunProgress& p, std::size_t width) {
  // Where, how long, then the values.
  FittedLine line;
  line.add("run " + std::to_string(p.run) + "/" + std::to_string(p.runs));
  if (p.level > 0) line.add(" level " + std::to_string(p.level));
  if (p.stage > 0) {
    line.add(" stage " + std::to_string(p.stage));
    // Reheats can take a run past the estimate: then there is none to give.
    if (p.stages >= p.stage) line.add("/~" + std::to_string(p.stages), kDropStageCount);
  }
  line.add(" | " + clock_text(p.elapsed));
  if (p.remaining >= 0.0) line.add(" ~" + clock_text(p.remaining) + " left", kDropTimeLeft);
  if (p.valued) {
    line.add(" |");
    line.add(" T " + number("%.3g", p.temperature), kDropTemperature);
    line.add(" L " + number("%.6g", p.lagrangian), kDropLagrangian);
    line.add(" " + best_text(p.best_objective));
    line.add(" vio " + number("%.2g", p.violation));
  }
  return line.text(width);
}

std::string series_progress_text(const SeriesProgress& p, std::size_t width) {
  FittedLine line;
  line.add("runs " + std::to_string(p.done) + "/" + std::to_string(p.runs) + " done");
  if (p.running > 0) line.add(", " + std::to_string(p.running) + " running", kDropRunning);
  line.add(" | " + clock_text(p.elapsed));
  if (p.remaining >= 0.0) line.add(" ~" + clock_text(p.remaining) + " left", kDropSeriesTimeLeft);
  line.add(" | " + best_text(p.best_objective));
  return line.text(width);
}

}  // namespace morlan
