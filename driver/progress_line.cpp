#include "driver/progress_line.hpp"

#include <cmath>
#include <cstdio>

#include "anneal/stage_watch.hpp"

namespace morlan {

namespace {

std::string number(const char* format, double v) {
  char buf[48];
  std::snprintf(buf, sizeof buf, format, v);
  return buf;
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

std::string progress_text(const RunProgress& p) {
  // Where, how long, then the values: a narrow terminal cuts the line's end.
  std::string t = "run " + std::to_string(p.run) + "/" + std::to_string(p.runs);
  if (p.level > 0) t += " level " + std::to_string(p.level);
  if (p.stage > 0) {
    t += " stage " + std::to_string(p.stage);
    // Reheats can take a run past the estimate: then there is none to give.
    if (p.stages >= p.stage) t += "/~" + std::to_string(p.stages);
  }
  t += " | " + clock_text(p.elapsed);
  if (p.remaining >= 0.0) t += " ~" + clock_text(p.remaining) + " left";
  if (p.valued) {
    t += " | T " + number("%.3g", p.temperature);
    t += " L " + number("%.6g", p.lagrangian);
    t += p.best_objective < kNoneFeasible ? " best " + number("%.6g", p.best_objective)
                                          : std::string(" none feasible yet");
    t += " vio " + number("%.2g", p.violation);
  }
  return t;
}

std::string series_progress_text(const SeriesProgress& p) {
  std::string t = "runs " + std::to_string(p.done) + "/" + std::to_string(p.runs) + " done";
  t += " | " + clock_text(p.elapsed);
  if (p.remaining >= 0.0) t += " ~" + clock_text(p.remaining) + " left";
  t += p.best_objective < kNoneFeasible ? " | best " + number("%.6g", p.best_objective)
                                        : std::string(" | none feasible yet");
  return t;
}

}  // namespace morlan
