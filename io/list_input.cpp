#include "io/list_input.hpp"

#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <limits>

#include "base/config.hpp"
#include "io/bounded_line.hpp"
#include "io/console.hpp"
#include "io/units.hpp"

namespace morlan::io {

namespace {

bool is_separator(char c) { return c == ' ' || c == '\t' || c == ',' || c == '\r'; }

bool equals_nocase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(a[i])) != b[i]) return false;
  }
  return true;
}

bool is_digit(char c) { return c >= '0' && c <= '9'; }

// A found token as the diagnostic shows it: as typed, in quotes, cut when
// long, unprintable bytes escaped.
std::string shown(const std::string& typed) {
  constexpr std::size_t kShown = 40;
  if (typed.size() <= kShown) return "'" + shown_bytes(typed) + "'";
  return "'" + shown_bytes(typed.substr(0, kShown)) + "...'";
}

}  // namespace

bool parse_integer(std::string_view text, int& value) {
  std::size_t i = 0;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  if (i == text.size()) return false;
  std::int64_t v = 0;
  for (; i < text.size(); ++i) {
    if (!is_digit(text[i])) return false;
    v = v * 10 + (text[i] - '0');
    if (v > static_cast<std::int64_t>(std::numeric_limits<int>::max()) + 1) return false;
  }
  if (negative) v = -v;
  if (v > std::numeric_limits<int>::max() || v < std::numeric_limits<int>::min()) return false;
  value = static_cast<int>(v);
  return true;
}

bool parse_real(std::string_view text, double& value) {
  std::size_t i = 0;
  const bool negative = i < text.size() && text[i] == '-';
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
  const std::string_view body = text.substr(i);
  if (equals_nocase(body, "inf") || equals_nocase(body, "infinity")) {
    value = negative ? -HUGE_VAL : HUGE_VAL;
    return true;
  }
  if (equals_nocase(body, "nan")) {
    value = std::numeric_limits<double>::quiet_NaN();
    return true;
  }
  // Mantissa: digits, an optional point, digits; at least one digit.
  std::string c_text(text.substr(0, i));
  std::size_t digits = 0;
  for (; i < text.size() && is_digit(text[i]); ++i, ++digits) c_text += text[i];
  if (i < text.size() && text[i] == '.') {
    c_text += text[i++];
    for (; i < text.size() && is_digit(text[i]); ++i, ++digits) c_text += text[i];
  }
  if (digits == 0) return false;
  // Exponent: E or D, an optional sign, at least one digit.
  if (i < text.size()) {
    const char e = text[i];
    if (e != 'e' && e != 'E' && e != 'd' && e != 'D') return false;
    c_text += 'E';
    ++i;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) c_text += text[i++];
    std::size_t exp_digits = 0;
    for (; i < text.size() && is_digit(text[i]); ++i, ++exp_digits) c_text += text[i];
    if (exp_digits == 0 || i != text.size()) return false;
  }
  errno = 0;
  value = std::strtod(c_text.c_str(), nullptr);
  // A finite text whose value overflows the double range is not a value.
  return !(errno == ERANGE && std::isinf(value));
}

// A prompt is visible before the program waits for its answer, also when
// standard output is a pipe: every complete line is written at once.
ListReader::ListReader(int unit, std::string what) : in_(input_stream(unit)), what_(std::move(what)) {}

ListReader::~ListReader() { finish(); }

void ListReader::finish() { finished_ = true; }

void ListReader::fail(std::string_view expected, std::string_view found) {
  std::string message = "morlan: input error: expected ";
  message += expected;
  message += " for '";
  message += shown_bytes(what_);
  message += "', found ";
  message += found;
  if (wanted_ > 0) message += " after " + std::to_string(count_) + " values";
  line(message, kStderr);
  stop(kExitInputError);
}

bool ListReader::next_line(std::string_view expected) {
  if (in_ == nullptr) return false;
  switch (read_bounded_line(in_, line_, cfg::kMaxInputLine)) {
    case LineRead::kEnd:
      return false;
    case LineRead::kTooLong:
      fail(expected, "a line longer than " + std::to_string(cfg::kMaxInputLine) + " characters");
    case LineRead::kLine:
      break;
  }
  scanned_ += line_.size() + 1;
  if (scanned_ > static_cast<std::size_t>(cfg::kMaxReadLength)) {
    fail(expected, "no value in " + std::to_string(cfg::kMaxReadLength) + " characters");
  }
  have_line_ = true;
  pos_ = 0;
  return true;
}

void ListReader::quoted_token(Token& token) {
  const char q = line_[pos_++];
  token.quoted = true;
  while (pos_ < line_.size()) {
    if (line_[pos_] == q) {
      if (pos_ + 1 < line_.size() && line_[pos_ + 1] == q) {
        token.text += q;
        pos_ += 2;
        continue;
      }
      ++pos_;
      break;
    }
    token.text += line_[pos_++];
  }
}

bool ListReader::next_token(Token& token, std::string_view expected) {
  for (;;) {
    if (!have_line_ && !next_line(expected)) return false;
    while (pos_ < line_.size() && is_separator(line_[pos_])) ++pos_;
    if (pos_ >= line_.size()) {
      have_line_ = false;
      continue;
    }
    token.text.clear();
    token.quoted = false;
    const std::size_t start = pos_;
    if (line_[pos_] == '\'' || line_[pos_] == '"') {
      quoted_token(token);
    } else {
      while (pos_ < line_.size() && !is_separator(line_[pos_])) ++pos_;
      token.text = line_.substr(start, pos_ - start);
    }
    token.typed = line_.substr(start, pos_ - start);
    return true;
  }
}

double ListReader::real() {
  constexpr std::string_view kExpected = "a real number";
  Token tok;
  if (!next_token(tok, kExpected)) fail(kExpected, "end of input");
  double v = 0.0;
  if (tok.quoted || !parse_real(tok.text, v)) fail(kExpected, shown(tok.typed));
  ++count_;
  return v;
}

int ListReader::integer() {
  constexpr std::string_view kExpected = "an integer";
  Token tok;
  if (!next_token(tok, kExpected)) fail(kExpected, "end of input");
  int v = 0;
  if (tok.quoted || !parse_integer(tok.text, v)) fail(kExpected, shown(tok.typed));
  ++count_;
  return v;
}

std::string ListReader::text() {
  constexpr std::string_view kExpected = "a character value";
  Token tok;
  if (!next_token(tok, kExpected)) fail(kExpected, "end of input");
  ++count_;
  return tok.text;
}

std::string ListReader::chars(int width) {
  std::string field = text();
  field.resize(static_cast<std::size_t>(width), ' ');
  return field;
}

void ListReader::reals(Vec out, bool require_finite) {
  const std::string expected = std::to_string(out.size()) +
                               (require_finite ? " finite real numbers" : " real numbers");
  wanted_ = out.size();
  for (double& slot : out) {
    Token tok;
    if (!next_token(tok, expected)) fail(expected, "end of input");
    double v = 0.0;
    if (tok.quoted || !parse_real(tok.text, v) || (require_finite && !std::isfinite(v))) {
      fail(expected, shown(tok.typed));
    }
    slot = v;
    ++count_;
  }
  wanted_ = 0;
}

double read_real(std::string_view what) {
  ListReader r(kStdin, std::string(what));
  return r.real();
}

int read_integer(std::string_view what) {
  ListReader r(kStdin, std::string(what));
  return r.integer();
}

std::string read_text(std::string_view what) {
  ListReader r(kStdin, std::string(what));
  return r.text();
}

}  // namespace morlan::io
