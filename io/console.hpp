// Console layer: list-directed output lines, exact formatted lines, and the
// stop of the program.
//
// Every line the program prints goes through here, and each is written as
// soon as it is complete (io/output). A list-directed line is
// built from items (text, integer, logical, real) with the layout rules of
// the console: a blank before the first text item of a line, one blank
// before every number, reals as "%.9G" with a decimal point always present,
// and a new line begun before an item that would make the line 80 columns or
// longer. Formatted lines (trace tables, set-up messages) are written as
// exact text.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <type_traits>

#include "base/one_based.hpp"
#include "io/output.hpp"

namespace morlan::io {

// Text of one real item without the leading item blank: a sign column
// ('-' or ' ') followed by the magnitude in "%.9G" with a decimal point
// added where the text has none (12 -> "12.", 1E+20 -> "1.E+20"); zero is
// "0."; infinities and NaNs as the C library spells them ("INF", "NAN").
std::string real_item_text(double value);

// One list-directed output statement. Items are appended in order; the
// statement ends (and its last line is written) by end() or on destruction.
class ListWriter {
 public:
  explicit ListWriter(int unit = kStdout);
  ~ListWriter();
  ListWriter(const ListWriter&) = delete;
  ListWriter& operator=(const ListWriter&) = delete;

  ListWriter& text(std::string_view s);
  ListWriter& integer(std::int64_t v);
  ListWriter& logical(bool v);
  ListWriter& real(double v);  // a single-precision value widens exactly
  ListWriter& reals(CVec values);
  void end();

 private:
  void put(const std::string& item_first, const std::string& item_rest);
  int unit_;
  std::string line_;
  bool ended_ = false;
};

namespace detail {
inline void add(ListWriter& w, std::string_view s) { w.text(s); }
inline void add(ListWriter& w, const char* s) { w.text(s); }
inline void add(ListWriter& w, const std::string& s) { w.text(s); }
inline void add(ListWriter& w, bool v) { w.logical(v); }
inline void add(ListWriter& w, CVec v) { w.reals(v); }
inline void add(ListWriter& w, Vec v) { w.reals(v); }
template <class T>
  requires std::is_integral_v<T>
inline void add(ListWriter& w, T v) { w.integer(static_cast<std::int64_t>(v)); }
inline void add(ListWriter& w, double v) { w.real(v); }
inline void add(ListWriter& w, float v) { w.real(static_cast<double>(v)); }
}  // namespace detail

// One list-directed statement on a unit: say_on(6, "Obj = ", obj).
// Items: text (const char*, string_view, string), bool (logical), integers,
// float and double (reals), and views of doubles (one real item each).
template <class... Items>
void say_on(int unit, const Items&... items) {
  ListWriter w(unit);
  (detail::add(w, items), ...);
  w.end();
}

// One list-directed statement on standard output.
template <class... Items>
void say(const Items&... items) {
  say_on(kStdout, items...);
}

// Text from outside the program as a message shows it: every byte outside
// the printable ASCII range (controls, NUL, DEL, bytes above 127) as \xNN
// with two lower-case hex digits, so that no byte can cut a message or
// control the terminal. Printable text is shown unchanged.
std::string shown_bytes(std::string_view text);

// A formatted line: the text exactly as given, then a line end.
void line(std::string_view text, int unit = kStdout);

// The points where the program's output must be complete (before waiting
// for an answer, after a run). Every complete line has already been written
// (io/output), so there is nothing left to do here.
inline void flush(int /*unit*/ = kStdout) {}

// Exit statuses of the program.
inline constexpr int kExitNormal = 0;
inline constexpr int kExitError = 1;       // an error stop after its message
inline constexpr int kExitInputError = 2;  // unreadable console or file input

// End the program with the status. The stop prints nothing of its own;
// every line printed before it has been written.
[[noreturn]] void stop(int status = kExitNormal);
// The stop after an error message of the program (exit status 1).
[[noreturn]] inline void error_stop() { stop(kExitError); }

// Tests replace the process exit with a handler that throws StopRequest, so
// that error paths can be exercised in-process. The handler must not return.
struct StopRequest {
  int status;
};
using StopHandler = void (*)(int status);
StopHandler set_stop_handler(StopHandler handler);  // returns the previous one
void throwing_stop_handler(int status);            // throws StopRequest{status}

}  // namespace morlan::io
